// qern-cli db check [--data-dir DIR]: the program's start-up provisioning and
// database check, headless. qern-cli db stats [--data-dir DIR] [--json]: rows
// per table of each database.

#include "Cli.h"
#include "JsonOut.h"

#include "records/Database.h"
#include "records/StartupCheck.h"
#include "shell/AppState.h"
#include "shell/DataFolder.h"
#include "shell/ZeMsg.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace qern::cli {

namespace {

// The check's steps as lines on the terminal.
class PrintingDisplay final : public StartupDisplay {
public:
    explicit PrintingDisplay(QTextStream& out) : out_(out) {}
    void SetLamp(int, Lamp) override {}
    void SetProgress(int) override {}
    void SetStatusText(const QString& text) override { out_ << text << "\n"; }
    void SetFirstLabel(const QString&) override {}
    void Note(const QString& text) override
    {
        out_ << text << "\n";
        out_.flush();
    }

private:
    QTextStream& out_;
};

int check(const QString& folder, Streams io)
{
    appState().InstallFolder = folder;
    // The program runs the check only with an instrument on line; here the
    // check decides alone whether the data folder is usable.
    appState().InstrumentOnline = true;
    setMessageHandler([&io](int, const QString& text) {
        io.err << text.simplified() << "\n";
        io.err.flush();
        return true;
    });

    const ProvisionResult provisioned = ProvisionDataFolder(ShareFolder(), folder);
    if (!provisioned.Error.isEmpty()) {
        io.err << provisioned.Error << "\n";
        return ExitFailure;
    }
    io.out << "Data folder " << QDir::toNativeSeparators(folder) << "\n";
    for (const QString& file : provisioned.Copied)
        io.out << "Installed " << file << "\n";

    PrintingDisplay display(io.out);
    const StartupOutcome outcome = RunStartupCheck(folder, display);
    if (outcome.Transferred)
        io.out << "Transferred " << outcome.Counts.Patients << " patients, " << outcome.Counts.Measurements
               << " measurements, " << outcome.Counts.Protocols << " protocols, " << outcome.Counts.Conditions
               << " conditions\n";
    CloseAllDatabases();
    io.out << (outcome.Ok ? "Done.\n" : "The start-up check failed.\n");
    return outcome.Ok ? ExitOk : ExitFailure;
}

int stats(const QString& folder, bool json, Streams io)
{
    struct Role {
        DbRole role;
        Layout layout;
    };
    QStringList jsonFiles;
    bool allOpened = true;
    for (const Role r : {Role{DbRole::Main, Layout::Main}, Role{DbRole::Reference, Layout::Reference},
                         Role{DbRole::Protocol, Layout::Protocol}}) {
        const QString file = DatabaseFileName(r.role);
        const DbResult opened = OpenDatabase(r.role, folder + file, r.layout);
        if (!opened.Ok) {
            allOpened = false;
            io.err << opened.Error << "\n";
            continue;
        }
        QStringList tables;
        for (const Table* table : LayoutTables(r.layout)) {
            QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table->Name), Database(r.role));
            const qint64 rows = q.next() ? q.value(0).toLongLong() : -1;
            if (json)
                tables.append(QStringLiteral("\"%1\": %2").arg(table->Name).arg(rows));
            else
                io.out << file << " " << table->Name << ": " << rows << "\n";
        }
        if (json)
            jsonFiles.append(QStringLiteral("  %1: {%2}").arg(JsonText(file), tables.join(QStringLiteral(", "))));
        CloseDatabase(r.role);
    }
    if (json)
        io.out << "{\n" << jsonFiles.join(QStringLiteral(",\n")) << "\n}\n";
    return allOpened ? ExitOk : ExitFailure;
}

} // namespace

int RunDb(const QStringList& args, Streams io)
{
    if (args.isEmpty() || (args[0] != QLatin1String("check") && args[0] != QLatin1String("stats")))
        return Usage(io, QStringLiteral("db needs 'check' or 'stats'"));
    QStringList options = args.mid(1);
    QString folder;
    if (!TakeDataDir(options, folder))
        return Usage(io, QStringLiteral("--data-dir needs a folder"));
    const bool json = args[0] == QLatin1String("stats") && TakeFlag(options, QStringLiteral("--json"));
    if (!options.isEmpty())
        return Usage(io, QStringLiteral("unknown db option '%1'").arg(options.first()));
    return args[0] == QLatin1String("check") ? check(folder, io) : stats(folder, json, io);
}

} // namespace qern::cli
