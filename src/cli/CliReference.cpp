// qern-cli reference show M [--data-dir DIR]: the deciphered texts of one
// reference row, by column, for checking and for translators.

#include "Cli.h"

#include "records/Database.h"
#include "records/Schema.h"
#include "shell/DataFolder.h"
#include "shell/TextCipher.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>

namespace qern::cli {

int RunReference(const QStringList& args, Streams io)
{
    if (args.size() < 2 || args[0] != QLatin1String("show"))
        return Usage(io, QStringLiteral("reference needs 'show' and a row number"));
    bool ok = false;
    const int row = args[1].toInt(&ok);
    if (!ok || row < 1 || row > 17)
        return Usage(io, QStringLiteral("the row is a number from 1 to 17"));
    QStringList options = args.mid(2);
    QString folder;
    if (!TakeDataDir(options, folder))
        return Usage(io, QStringLiteral("--data-dir needs a folder"));
    if (!options.isEmpty())
        return Usage(io, QStringLiteral("unknown reference option '%1'").arg(options.first()));
    // A data folder the program has not filled yet: the shipped copy.
    QString path = folder + DatabaseFileName(DbRole::Reference);
    if (!QFileInfo::exists(path))
        path = ShareFolder() + DatabaseFileName(DbRole::Reference);

    const DbResult opened = OpenDatabase(DbRole::Reference, path, Layout::Reference);
    if (!opened.Ok) {
        io.err << "qern-cli reference: " << opened.Error << "\n";
        return ExitFailure;
    }
    int status = ExitOk;
    {
        QSqlQuery q(Database(DbRole::Reference));
        q.prepare(QStringLiteral("SELECT * FROM ZEMTDB WHERE MKEY = ?"));
        q.addBindValue(row);
        if (!q.exec() || !q.next()) {
            io.err << "qern-cli reference: " << QDir::toNativeSeparators(path) << " has no row " << row << "\n";
            status = ExitFailure;
        } else {
            io.out << "Row " << row << " of " << QDir::toNativeSeparators(path) << "\n";
            for (const Column& column : ZemtdbTable().Columns) {
                if (column.Type == ColumnType::Key)
                    continue;
                const QVariant value = q.value(column.Name);
                io.out << "\n[" << column.Name << "]\n";
                if (column.Type == ColumnType::Picture)
                    io.out << (value.toByteArray().isEmpty() ? QStringLiteral("(no picture)")
                                                             : QStringLiteral("(picture, %1 bytes)")
                                                                   .arg(value.toByteArray().size()))
                           << "\n";
                else
                    io.out << Decipher(value.toString(), 1) << "\n";
            }
        }
    }
    CloseDatabase(DbRole::Reference);
    return status;
}

} // namespace qern::cli
