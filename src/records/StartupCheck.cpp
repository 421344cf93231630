#include "StartupCheck.h"

#include "Records.h"

#include "shell/AppState.h"
#include "shell/ZeMsg.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

namespace qern {

namespace {

using Lamp = StartupDisplay::Lamp;

// Copy rules of the transfer: the columns of each table, in order, and where
// the optional group (columns a later version added) begins.
struct TransferTable {
    const Table& table;
    QStringList Columns;
    int OptionalFrom = -1; // index into Columns; -1: none
    int OptionalTo = -1;   // one past the group
    int TransferCounts::*Count;
};

QStringList range(const QString& prefix, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(prefix + QString::number(i));
    return names;
}

QList<TransferTable> transferTables()
{
    QStringList data{"CustNo", "ZeDate", "ZeVota", "Memo1", "Memo2", "AutoKey"};
    data += range(QStringLiteral("Ze"), 24);
    data += QStringList{"PrtFG", "STD"};
    QStringList pro{"ProNo", "ProName", "ProData", "ProPict", "ProScal", "PrtFG", "ProFN"};
    pro += range(QStringLiteral("ProScrp"), 4);
    pro += range(QStringLiteral("ProPrg"), 4);
    pro += range(QStringLiteral("ProParm"), 4);
    return {
        {ZeCustTable(),
         {"CustNo", "Name", "Sex", "DBirth", "Addr", "Tel", "Tel2", "Tel3", "EMail", "BType", "Height", "Weight",
          "Memo", "CustCat", "CustFG", "PrtFG"},
         -1,
         -1,
         &TransferCounts::Patients},
        {ZeDataTable(), data, int(data.size()) - 1, int(data.size()), &TransferCounts::Measurements},
        {ZeProTable(), pro, 6, int(pro.size()), &TransferCounts::Protocols},
        {ZePrDtTable(),
         {"ProNo", "ProSubN", "ProNote", "ProAnd", "ProCond", "ProEng", "ProAGL", "ProAGH", "ProFlg", "PrtFG"},
         6,
         8,
         &TransferCounts::Conditions},
    };
}

ColumnType typeOf(const Table& table, const QString& column)
{
    for (const Column& c : table.Columns)
        if (c.Name.compare(column, Qt::CaseInsensitive) == 0)
            return c.Type;
    return ColumnType::Text;
}

// A value of the old table as the new column takes it.
QVariant converted(const QVariant& value, ColumnType type)
{
    if (value.isNull())
        return value;
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        return value.toString();
    case ColumnType::Number:
    case ColumnType::DateTime:
        return value.toDouble();
    case ColumnType::Integer:
        return value.toLongLong();
    case ColumnType::YesNo:
        return value.toInt() != 0 ? 1 : 0;
    case ColumnType::Picture:
        return value.toByteArray();
    case ColumnType::Key:
        break;
    }
    return value;
}

int percent(int done, int count) { return int(std::lround(done / double(count + 1) * 100)); }

} // namespace

bool MoveWithoutReplacing(const QString& from, const QString& to)
{
    if (!QFileInfo::exists(from) || QFileInfo::exists(to))
        return false;
    return QFile::rename(from, to);
}

DbResult TransferOldDatabase(StartupDisplay& display, TransferCounts& counts)
{
    QSqlDatabase oldDb = Database(DbRole::Old);
    QSqlDatabase newDb = Database(DbRole::Main);
    counts = TransferCounts{};
    // Inserts land in the indexes in random order: a cache of 64 MiB keeps
    // them in memory instead of reading and writing pages back and forth.
    QSqlQuery(QStringLiteral("PRAGMA cache_size = -65536"), newDb);
    if (!newDb.transaction())
        return DbResult::Failure(DatabaseError(newDb.lastError()));
    const auto fail = [&](const QString& error) {
        newDb.rollback();
        counts = TransferCounts{};
        return DbResult::Failure(error);
    };

    int lamp = 3;
    for (const TransferTable& t : transferTables()) {
        QSqlQuery total(oldDb);
        if (!total.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(t.table.Name)) || !total.next())
            return fail(DatabaseError(total.lastError()));
        const int n = total.value(0).toInt();

        QSqlQuery source(oldDb);
        source.setForwardOnly(true);
        if (!source.exec(QStringLiteral("select * from %1").arg(t.table.Name)))
            return fail(DatabaseError(source.lastError()));
        const QSqlRecord layout = source.record();
        // An older layout lacks the optional group, or its end: the group is
        // copied up to its first missing column, the rest stays empty.
        QList<int> at;
        QList<ColumnType> types; // looked up once per table, not per cell
        QList<bool> dateOnly;
        int groupEnd = t.OptionalTo;
        for (int i = 0; i < t.Columns.size(); ++i) {
            at.append(layout.indexOf(t.Columns[i]));
            types.append(typeOf(t.table, t.Columns[i]));
            dateOnly.append(t.Columns[i] == QLatin1String("DBirth"));
            const bool optional = i >= t.OptionalFrom && i < t.OptionalTo;
            if (at.last() < 0 && !optional)
                return fail(QStringLiteral("the old %1 has no column %2").arg(t.table.Name, t.Columns[i]));
            if (at.last() < 0 && optional && i < groupEnd)
                groupEnd = i;
        }

        QSqlQuery insert(newDb);
        insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(t.table.Name, t.Columns.join(QStringLiteral(", ")),
                                QStringList(t.Columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
        display.SetProgress(0);
        int done = 0;
        int shown = 0;
        while (source.next()) {
            if (const int p = percent(done, n); p != shown) {
                display.SetProgress(p);
                shown = p;
            }
            for (int i = 0; i < t.Columns.size(); ++i) {
                const bool unread = i >= groupEnd && i < t.OptionalTo;
                QVariant value;
                if (!unread)
                    value = source.value(at[i]);
                if (dateOnly[i] && !value.isNull())
                    value = std::floor(value.toDouble()); // the date alone
                insert.addBindValue(converted(value, types[i]));
            }
            if (!insert.exec())
                return fail(DatabaseError(insert.lastError()));
            ++done;
        }
        if (source.lastError().isValid())
            return fail(DatabaseError(source.lastError()));
        counts.*(t.Count) = done;
        display.Note(QStringLiteral("%1: %2 rows transferred").arg(t.table.Name).arg(done));
        if (lamp <= 5) {
            display.SetLamp(lamp, Lamp::Green);
            display.SetLamp(lamp + 1, Lamp::Lit);
        }
        ++lamp;
    }
    return {};
}

StartupOutcome RunStartupCheck(const QString& folder, StartupDisplay& display)
{
    StartupOutcome outcome;
    AppState& state = appState();
    const auto path = [&](const char* name) { return folder + QLatin1String(name); };
    const auto error = [&](const QString& text, const QString& detail = {}) {
        outcome.Ok = false;
        state.InstrumentOnline = false;
        ShowMessageBox(6, detail.isEmpty() ? text : text + QStringLiteral("\r\n\r\n") + detail);
    };

    // File preparation.
    display.SetLamp(1, Lamp::Lit);
    for (int lamp = 2; lamp <= 7; ++lamp)
        display.SetLamp(lamp, Lamp::Dark);
    if (!QFileInfo::exists(path("ZeSpa_60.mdb")))
        error(NotInstalledText);
    if (QFileInfo::exists(path("qern_60.mdb"))) {
        if (QFileInfo::exists(path("qern6.mdb")))
            MoveWithoutReplacing(path("qern6.mdb"), path("qern.mdb"));
        else if (QFileInfo::exists(path("qern4.mdb")))
            MoveWithoutReplacing(path("qern4.mdb"), path("qern.mdb"));
        MoveWithoutReplacing(path("qern_60.mdb"), path("qern6.mdb"));
    } else if (QFileInfo::exists(path("qern4.mdb"))) {
        MoveWithoutReplacing(path("qern4.mdb"), path("qern.mdb"));
    }
    if (!QFileInfo::exists(path("qern6.mdb")) && QFileInfo::exists(path("ZeSpa_60.mdb"))) {
        QFile::copy(path("ZeSpa_60.mdb"), path("qern6.mdb"));
        QFile::setPermissions(path("qern6.mdb"), QFile::permissions(path("qern6.mdb")) | QFileDevice::WriteOwner);
        display.Note(QStringLiteral("qern6.mdb created from the template"));
    }
    display.SetLamp(1, Lamp::Green);
    display.SetLamp(2, Lamp::Lit);

    // Connecting.
    const bool installed = outcome.Ok;
    for (const auto& [role, layout] : {std::pair{DbRole::Main, Layout::Main},
                                       std::pair{DbRole::Reference, Layout::Reference},
                                       std::pair{DbRole::Protocol, Layout::Protocol}}) {
        const DbResult opened = OpenDatabase(role, folder + DatabaseFileName(role), layout);
        if (!opened.Ok) {
            // The reason follows the message the user knows, so the cause is not lost.
            error(StartupErrorText, opened.Error);
            break;
        }
    }
    if (outcome.Ok)
        display.Note(QStringLiteral("qern6.mdb, qernE.mdb and qernZE.mdb opened"));
    display.SetLamp(2, Lamp::Green);

    // Transfer.
    const QString oldFile = path("qern.mdb");
    if (outcome.Ok && installed && QFileInfo::exists(oldFile)) {
        display.SetLamp(3, Lamp::Lit);
        display.SetFirstLabel(QStringLiteral("DBT Prog:"));
        display.SetStatusText(QStringLiteral("Q.E.R.N. database is being transferred. Please wait.."));
        const DbResult opened = OpenDatabase(DbRole::Old, oldFile, Layout::Main);
        if (!opened.Ok) {
            ShowMessageBox(6, QStringLiteral("The database qern.mdb of an earlier installation cannot be taken "
                                             "over: %1. It was left as it is.")
                                  .arg(opened.Error));
            return outcome;
        }
        TransferCounts counts;
        const DbResult copied = TransferOldDatabase(display, counts);
        CloseDatabase(DbRole::Old);
        if (!copied.Ok) {
            ShowMessageBox(6, QStringLiteral("The transfer of qern.mdb failed: %1. Nothing of it was kept; "
                                             "qern.mdb is unchanged and will be taken over at the next start.")
                                  .arg(copied.Error));
            return outcome;
        }

        // The old file becomes the dated backup before the rows are committed,
        // so that a committed transfer can never be taken over a second time;
        // should the commit fail, the file goes back.
        const QString backup =
            path("qern_") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("_BAK.mdb");
        const QString previous = backup + QStringLiteral(".previous");
        QFile::remove(previous);
        const bool hadBackup = QFile::rename(backup, previous);
        QSqlDatabase db = Database(DbRole::Main);
        if (!QFile::rename(oldFile, backup)) {
            db.rollback();
            if (hadBackup)
                QFile::rename(previous, backup);
            ShowMessageBox(6, QStringLiteral("qern.mdb cannot be renamed to %1; its transfer was undone and will "
                                             "be repeated at the next start.")
                                  .arg(QFileInfo(backup).fileName()));
            return outcome;
        }
        if (!db.commit()) {
            const QString why = DatabaseError(db.lastError());
            db.rollback();
            QFile::rename(backup, oldFile);
            if (hadBackup)
                QFile::rename(previous, backup);
            ShowMessageBox(6, QStringLiteral("The transfer of qern.mdb failed: %1. Nothing of it was kept.").arg(why));
            return outcome;
        }
        QFile::remove(previous);
        outcome.Transferred = true;
        outcome.Counts = counts;
        outcome.BackupFile = QFileInfo(backup).fileName();
        display.Note(QStringLiteral("qern.mdb kept as %1").arg(outcome.BackupFile));

        display.SetLamp(6, Lamp::Green);
        display.SetLamp(7, Lamp::Lit);
        db.transaction();
        const DbResult latest = RecomputeAllLatestMeasurements(db, [&](int done, int count) {
            display.SetProgress(percent(done, count));
        });
        if (latest.Ok)
            db.commit();
        else
            db.rollback();
    }
    display.SetProgress(100);
    for (int lamp = 3; lamp <= 7 && outcome.Ok; ++lamp)
        display.SetLamp(lamp, Lamp::Green);
    return outcome;
}

} // namespace qern
