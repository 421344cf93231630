#pragma once

#include "Schema.h"

#include <QSqlDatabase>
#include <QString>

namespace qern {

// The database connections, by role. Windows never build connections of
// their own; they ask for the one of their role.
enum class DbRole {
    Main,      // qern6.mdb: patients, measurements, the user's protocols
    Reference, // qernE.mdb, read only
    Protocol,  // qernZE.mdb, read only
    Exchange,  // ZeTran.mdb, during an import or export
    Old,       // qern.mdb, read only, during the start-up transfer
};

QString DatabaseFileName(DbRole role);

struct DbResult {
    bool Ok = true;
    QString Error;
    static DbResult Failure(const QString& error) { return {false, error}; }
};

// Opens the connection of `role` on `path` and checks that the file is an
// SQLite database holding the tables of `layout`. A file that does not exist
// is an error for every role (nothing is ever created by opening), and an
// unreadable or foreign file is refused without being written to.
DbResult OpenDatabase(DbRole role, const QString& path, Layout layout);
// The open connection of a role (invalid when not open).
QSqlDatabase Database(DbRole role);
bool DatabaseOpen(DbRole role);
void CloseDatabase(DbRole role);
void CloseAllDatabases();

// Whether a file starts with the SQLite header.
bool IsSqliteFile(const QString& path);

// Creates a new, empty database file with the tables of `layout`; fails if
// the file exists.
DbResult CreateDatabaseFile(const QString& path, Layout layout);

// The last error of a query or database as the user reads it.
QString DatabaseError(const class QSqlError& error);

} // namespace qern
