// qern-dbgen: writes the shipped databases from the readable sources under
// data/: the empty template, the reference texts (enciphered with key 1) and
// the supplied protocol set. CHARTS_FOLDER/NN.png is the chart picture of a
// reference row NN that names none itself.
//
//   qern-dbgen template OUT
//   qern-dbgen reference SOURCE_FOLDER OUT [CHARTS_FOLDER]
//   qern-dbgen protocols SOURCE_FOLDER OUT

#include "DataSource.h"

#include "records/Database.h"
#include "records/Schema.h"
#include "shell/TextCipher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

using namespace qern;
using namespace qern::tools;

namespace {

int fail(const QString& why)
{
    std::fprintf(stderr, "qern-dbgen: %s\n", qPrintable(why));
    return 1;
}

QVariant valueFor(const Column& column, const QString& text, const QDir& base, bool encipher, QString* error)
{
    switch (column.Type) {
    case ColumnType::Picture: {
        QFile picture(base.filePath(text));
        if (!picture.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("picture %1: %2").arg(picture.fileName(), picture.errorString());
            return {};
        }
        return picture.readAll();
    }
    case ColumnType::YesNo:
        return text.trimmed() == QLatin1String("1") || text.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
                   ? 1
                   : 0;
    case ColumnType::Number:
    case ColumnType::Integer:
    case ColumnType::DateTime: {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok)
            *error = QStringLiteral("%1 is not a number: %2").arg(column.Name, text);
        return v;
    }
    default:
        return encipher ? Encipher(text, 1) : text;
    }
}

// Inserts one row of `table` from named texts; every name must be a column.
bool insertRow(QSqlDatabase db, const Table& table, const QMap<QString, QString>& fields, const QDir& base,
               bool encipher, const QString& where, QString* error)
{
    QStringList names;
    QVariantList values;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const auto column = std::find_if(table.Columns.begin(), table.Columns.end(),
                                         [&](const Column& c) { return c.Name == it.key(); });
        if (column == table.Columns.end()) {
            *error = QStringLiteral("%1: %2 has no column %3").arg(where, table.Name, it.key());
            return false;
        }
        const QVariant value = valueFor(*column, it.value(), base, encipher && column->Name != QLatin1String("MKEY"),
                                        error);
        if (!error->isEmpty()) {
            *error = where + QStringLiteral(": ") + *error;
            return false;
        }
        names.append(column->Name);
        values.append(value);
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table.Name, names.join(QStringLiteral(", ")),
                       QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        *error = QStringLiteral("%1: %2").arg(where, DatabaseError(q.lastError()));
        return false;
    }
    return true;
}

int create(const QString& out, Layout layout, const std::function<bool(QSqlDatabase, QString*)>& fill)
{
    QFile::remove(out);
    QDir().mkpath(QFileInfo(out).absolutePath());
    if (const DbResult created = CreateDatabaseFile(out, layout); !created.Ok)
        return fail(created.Error);
    if (!fill)
        return 0;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dbgen"));
        db.setDatabaseName(out);
        if (!db.open())
            error = DatabaseError(db.lastError());
        else if (db.transaction() && fill(db, &error))
            db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("dbgen"));
    if (!error.isEmpty()) {
        QFile::remove(out);
        return fail(error);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QString usage =
        QStringLiteral("usage: qern-dbgen template OUT | reference SOURCES OUT [CHARTS] | protocols SOURCES OUT");
    if (args.size() == 2 && args[0] == QLatin1String("template"))
        return create(args[1], Layout::Main, nullptr);
    const bool withCharts = args.size() == 4 && args[0] == QLatin1String("reference");
    if (args.size() != 3 && !withCharts)
        return fail(usage);
    const QDir charts(withCharts ? args[3] : QString());

    const QDir base(args[1]);
    QString error;
    const QList<SourceFile> sources = ReadSources(args[1], &error);
    if (!error.isEmpty())
        return fail(error);

    if (args[0] == QLatin1String("reference")) {
        return create(args[2], Layout::Reference, [&](QSqlDatabase db, QString* e) {
            for (const SourceFile& source : sources) {
                QMap<QString, QString> fields = source.Fields;
                // The key is the number the file name starts with: 01..12 meridians, 13..17 findings.
                const QString key = QRegularExpression(QStringLiteral("^\\d+"))
                                        .match(QFileInfo(source.Path).fileName())
                                        .captured();
                if (key.isEmpty()) {
                    *e = source.Path + QStringLiteral(": the file name must start with the row's key");
                    return false;
                }
                fields.insert(QStringLiteral("MKEY"), QString::number(key.toInt()));
                // A picture named in the source wins; a drawn chart is only the default.
                if (withCharts && !fields.contains(QStringLiteral("DtGpM"))) {
                    const QString chart =
                        charts.absoluteFilePath(QStringLiteral("%1.png").arg(key.toInt(), 2, 10, QLatin1Char('0')));
                    if (QFileInfo::exists(chart))
                        fields.insert(QStringLiteral("DtGpM"), chart);
                }
                if (!insertRow(db, ZemtdbTable(), fields, base, true, source.Path, e))
                    return false;
            }
            return true;
        });
    }
    if (args[0] == QLatin1String("protocols")) {
        return create(args[2], Layout::Protocol, [&](QSqlDatabase db, QString* e) {
            for (const SourceFile& source : sources) {
                if (!insertRow(db, ZeProExtendedTable(), source.Fields, base, false, source.Path, e))
                    return false;
                for (QMap<QString, QString> condition : source.Conditions) {
                    condition.insert(QStringLiteral("ProNo"), source.Fields.value(QStringLiteral("ProNo")));
                    if (!insertRow(db, ZePrDtTable(), condition, base, false, source.Path, e))
                        return false;
                }
            }
            return true;
        });
    }
    return fail(usage);
}
