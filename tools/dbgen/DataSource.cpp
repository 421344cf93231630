#include "DataSource.h"

#include <QDir>
#include <QFile>

namespace qern::tools {

namespace {

bool parse(SourceFile& source, const QString& text, QString* error)
{
    QString field;
    QStringList block;
    bool inCondition = false;
    const auto flush = [&] {
        if (!field.isEmpty() && !inCondition) {
            while (!block.isEmpty() && block.last().trimmed().isEmpty())
                block.removeLast();
            source.Fields.insert(field, block.join(QStringLiteral("\r\n")));
        }
        field.clear();
        block.clear();
        inCondition = false;
    };

    const QStringList lines = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        if (line.startsWith(QLatin1Char('@')) && !line.startsWith(QLatin1String("@@"))) {
            flush();
            const QString name = line.mid(1).section(QLatin1Char(' '), 0, 0).trimmed();
            const QString rest = line.mid(1).section(QLatin1Char(' '), 1).trimmed();
            if (name == QLatin1String("Condition")) {
                source.Conditions.append(QMap<QString, QString>());
                inCondition = true;
            } else if (!rest.isEmpty()) {
                source.Fields.insert(name, rest);
            } else {
                field = name;
            }
            continue;
        }
        if (inCondition) {
            if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (!line.contains(QLatin1Char('='))) {
                *error = QStringLiteral("%1:%2: expected Name = value").arg(source.Path).arg(n + 1);
                return false;
            }
            source.Conditions.last().insert(line.section(QLatin1Char('='), 0, 0).trimmed(),
                                            line.section(QLatin1Char('='), 1).trimmed());
        } else if (!field.isEmpty()) {
            block.append(line.startsWith(QLatin1String("@@")) ? line.mid(1) : line);
        }
    }
    flush();
    return true;
}

} // namespace

QList<SourceFile> ReadSources(const QString& folder, QString* error)
{
    QList<SourceFile> sources;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
            return {};
        }
        SourceFile source;
        source.Path = file.fileName();
        if (!parse(source, QString::fromUtf8(file.readAll()), error))
            return {};
        sources.append(source);
    }
    return sources;
}

} // namespace qern::tools
