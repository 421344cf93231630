// qern-cli settings [--data-dir DIR] [--json]: every setting after the read
// rules, by name, without writing anything.

#include "Cli.h"
#include "JsonOut.h"

#include "shell/DataFolder.h"
#include "shell/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace qern::cli {

namespace {

struct Entry {
    QString name;
    QStringList texts;       // file form, one per member
    QJsonArray values;       // typed, one per member
    bool list = false;
};

// Lines sharing a name (MeridianOrder, UserCoefficients, the link lines) are
// lists in file order; the link lines are shown one by one, as the program names them.
QList<Entry> entries(const Settings& settings)
{
    QList<Entry> result;
    for (const SettingsLine& line : SettingsLines()) {
        const bool list = line.Name == QLatin1String("MeridianOrder") || line.Name == QLatin1String("UserCoefficients");
        const QString name = list || line.Index == 0 ? line.Name : line.Name + QString::number(line.Index);
        if (list && !result.isEmpty() && result.last().name == name) {
            result.last().texts.append(line.Write(settings));
            result.last().values.append(line.Value(settings));
            continue;
        }
        result.append({name, {line.Write(settings)}, QJsonArray{line.Value(settings)}, list});
    }
    return result;
}

} // namespace

int RunSettings(const QStringList& args, Streams io)
{
    QStringList options = args;
    QString folder;
    if (!TakeDataDir(options, folder))
        return Usage(io, QStringLiteral("--data-dir needs a folder"));
    const bool json = TakeFlag(options, QStringLiteral("--json"));
    if (!options.isEmpty())
        return Usage(io, QStringLiteral("unknown settings option '%1'").arg(options.first()));
    const QString path = folder + SettingsFileName;

    Settings settings = DefaultSettings();
    if (!QFileInfo::exists(path)) {
        io.err << "qern-cli: no settings file at " << QDir::toNativeSeparators(path)
               << "; showing the defaults a first start would write\n";
    } else if (const FileResult read = ReadSettingsFile(path, settings); !read.Ok) {
        io.err << "qern-cli: cannot read " << QDir::toNativeSeparators(path) << ": " << read.Error << "\n";
        return ExitFailure;
    }

    const QList<Entry> all = entries(settings);
    if (json) {
        io.out << "{\n";
        for (qsizetype i = 0; i < all.size(); ++i) {
            const Entry& e = all[i];
            io.out << "  " << JsonText(e.name) << ": "
                   << (e.list ? QString::fromUtf8(QJsonDocument(e.values).toJson(QJsonDocument::Compact))
                              : JsonText(e.values.first()))
                   << (i + 1 < all.size() ? ",\n" : "\n");
        }
        io.out << "}\n";
    } else {
        for (const Entry& e : all)
            io.out << e.name << ": " << (e.list ? e.texts.join(QStringLiteral(" ")) : e.texts.first()) << "\n";
    }
    return ExitOk;
}

} // namespace qern::cli
