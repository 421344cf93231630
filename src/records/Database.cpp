#include "Database.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace qern {

namespace {

QString connectionName(DbRole role)
{
    switch (role) {
    case DbRole::Main:
        return QStringLiteral("main");
    case DbRole::Reference:
        return QStringLiteral("reference");
    case DbRole::Protocol:
        return QStringLiteral("protocol");
    case DbRole::Exchange:
        return QStringLiteral("exchange");
    case DbRole::Old:
        return QStringLiteral("old");
    }
    return {};
}

bool readOnly(DbRole role) { return role == DbRole::Reference || role == DbRole::Protocol || role == DbRole::Old; }

// Every table of the layout, with every column it needs. An old file may lack
// the columns that later versions added; the transfer handles those itself.
DbResult checkLayout(QSqlDatabase& db, Layout layout, bool allowMissingColumns)
{
    const QStringList present = db.tables();
    for (const Table* table : LayoutTables(layout)) {
        const auto found = std::find_if(present.begin(), present.end(), [&](const QString& name) {
            return name.compare(table->Name, Qt::CaseInsensitive) == 0;
        });
        if (found == present.end())
            return DbResult::Failure(QStringLiteral("the table %1 is missing").arg(table->Name));
        if (allowMissingColumns)
            continue;
        const QSqlRecord record = db.record(*found);
        for (const Column& column : table->Columns)
            if (record.indexOf(column.Name) < 0)
                return DbResult::Failure(
                    QStringLiteral("the column %1 of %2 is missing").arg(column.Name, table->Name));
    }
    return {};
}

} // namespace

QString DatabaseFileName(DbRole role)
{
    switch (role) {
    case DbRole::Main:
        return QStringLiteral("qern6.mdb");
    case DbRole::Reference:
        return QStringLiteral("qernE.mdb");
    case DbRole::Protocol:
        return QStringLiteral("qernZE.mdb");
    case DbRole::Exchange:
        return QStringLiteral("ZeTran.mdb");
    case DbRole::Old:
        return QStringLiteral("qern.mdb");
    }
    return {};
}

QString DatabaseError(const QSqlError& error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

bool IsSqliteFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

DbResult OpenDatabase(DbRole role, const QString& path, Layout layout)
{
    CloseDatabase(role);
    const QString name = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile())
        return DbResult::Failure(QStringLiteral("%1 does not exist").arg(name));
    // Checked before SQLite opens it: SQLite would accept any file and fail
    // only on the first statement.
    if (!IsSqliteFile(path))
        return DbResult::Failure(QStringLiteral("%1 is not a database this program can read").arg(name));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName(role));
    db.setDatabaseName(path);
    if (readOnly(role))
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    else
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    DbResult result;
    if (!db.open()) {
        result = DbResult::Failure(QStringLiteral("%1: %2").arg(name, DatabaseError(db.lastError())));
    } else {
        const DbResult layoutOk = checkLayout(db, layout, role == DbRole::Old);
        if (!layoutOk.Ok)
            result = DbResult::Failure(QStringLiteral("%1: %2").arg(name, layoutOk.Error));
    }
    if (!result.Ok) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName(role));
        return result;
    }
    if (!readOnly(role))
        QSqlQuery(QStringLiteral("PRAGMA foreign_keys = OFF"), db);
    return result;
}

QSqlDatabase Database(DbRole role) { return QSqlDatabase::database(connectionName(role), false); }

bool DatabaseOpen(DbRole role) { return Database(role).isOpen(); }

void CloseDatabase(DbRole role)
{
    const QString name = connectionName(role);
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void CloseAllDatabases()
{
    for (DbRole role : {DbRole::Main, DbRole::Reference, DbRole::Protocol, DbRole::Exchange, DbRole::Old})
        CloseDatabase(role);
}

DbResult CreateDatabaseFile(const QString& path, Layout layout)
{
    if (QFileInfo::exists(path))
        return DbResult::Failure(QStringLiteral("%1 exists already").arg(path));
    const QString name = QStringLiteral("create-") + path;
    DbResult result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            result = DbResult::Failure(DatabaseError(db.lastError()));
        } else {
            QSqlQuery query(db);
            for (const QString& statement : SchemaStatements(layout))
                if (!query.exec(statement)) {
                    result = DbResult::Failure(DatabaseError(query.lastError()));
                    break;
                }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!result.Ok)
        QFile::remove(path);
    return result;
}

} // namespace qern
