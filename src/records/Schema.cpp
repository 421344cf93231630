#include "Schema.h"

namespace qern {

namespace {

using T = ColumnType;

QList<Column> numbered(const QString& prefix, int count, ColumnType type)
{
    QList<Column> columns;
    for (int i = 1; i <= count; ++i)
        columns.append({prefix + QString::number(i), type});
    return columns;
}

QString sqlType(ColumnType type)
{
    switch (type) {
    case T::Key:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case T::Text:
    case T::Memo:
        return QStringLiteral("TEXT COLLATE NOCASE");
    case T::Number:
    case T::DateTime:
        return QStringLiteral("REAL");
    case T::Integer:
    case T::YesNo:
        return QStringLiteral("INTEGER");
    case T::Picture:
        return QStringLiteral("BLOB");
    }
    return {};
}

QString createTable(const Table& table)
{
    QStringList columns;
    for (const Column& c : table.Columns)
        columns.append(c.Name + QLatin1Char(' ') + sqlType(c.Type));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.Name, columns.join(QStringLiteral(", ")));
}

} // namespace

QStringList Table::ColumnNames() const
{
    QStringList names;
    for (const Column& c : Columns)
        names.append(c.Name);
    return names;
}

const Table& ZeCustTable()
{
    static const Table table{QStringLiteral("ZeCust"),
                             {{"MKEY", T::Key},
                              {"CustNo", T::Text},
                              {"Name", T::Text},
                              {"Sex", T::YesNo},
                              {"DBirth", T::DateTime},
                              {"Addr", T::Text},
                              {"Tel", T::Text},
                              {"Tel2", T::Text},
                              {"Tel3", T::Text},
                              {"EMail", T::Text},
                              {"BType", T::Text},
                              {"Height", T::Number},
                              {"Weight", T::Number},
                              {"Memo", T::Memo},
                              {"CustCat", T::Text},
                              {"CustFG", T::Text},
                              {"PrtFG", T::YesNo},
                              {"PreMea", T::DateTime}}};
    return table;
}

const Table& ZeDataTable()
{
    static const Table table = [] {
        Table t{QStringLiteral("ZeData"),
                {{"MKEY", T::Key},
                 {"CustNo", T::Text},
                 {"ZeDate", T::DateTime},
                 {"ZeVota", T::YesNo},
                 {"Memo1", T::Memo},
                 {"Memo2", T::Memo},
                 {"AutoKey", T::Text}}};
        t.Columns += numbered(QStringLiteral("Ze"), 24, T::Number);
        t.Columns += QList<Column>{{"PrtFG", T::YesNo}, {"STD", T::Text}};
        return t;
    }();
    return table;
}

namespace {
QList<Column> protocolColumns()
{
    QList<Column> columns{{"MKEY", T::Key},       {"ProNo", T::Text},  {"ProName", T::Text}, {"ProData", T::Memo},
                          {"ProPict", T::Picture}, {"ProScal", T::YesNo}, {"PrtFG", T::YesNo}, {"ProFN", T::Text}};
    columns += numbered(QStringLiteral("ProScrp"), 4, T::Text);
    columns += numbered(QStringLiteral("ProPrg"), 4, T::Text);
    columns += numbered(QStringLiteral("ProParm"), 4, T::Text);
    return columns;
}
} // namespace

const Table& ZeProTable()
{
    static const Table table{QStringLiteral("ZePro"), protocolColumns()};
    return table;
}

const Table& ZeProExtendedTable()
{
    static const Table table = [] {
        Table t{QStringLiteral("ZePro"), protocolColumns()};
        t.Columns += numbered(QStringLiteral("ProMed"), 3, T::Memo);
        t.Columns += numbered(QStringLiteral("ProHel"), 5, T::Memo);
        return t;
    }();
    return table;
}

const Table& ZePrDtTable()
{
    static const Table table{QStringLiteral("ZePrDt"),
                             {{"MKEY", T::Key},
                              {"ProNo", T::Text},
                              {"ProSubN", T::Text},
                              {"ProNote", T::Text},
                              {"ProAnd", T::Text},
                              {"ProCond", T::Text},
                              {"ProAGL", T::Integer},
                              {"ProAGH", T::Integer},
                              {"ProEng", T::Number},
                              {"ProFlg", T::YesNo},
                              {"PrtFG", T::YesNo}}};
    return table;
}

const Table& ZemtdbTable()
{
    static const Table table = [] {
        Table t{QStringLiteral("ZEMTDB"), {{"MKEY", T::Key}}};
        t.Columns += numbered(QStringLiteral("DtEA"), 5, T::Memo);
        t.Columns += numbered(QStringLiteral("DtPot"), 3, T::Memo);
        t.Columns += numbered(QStringLiteral("DtMA"), 3, T::Memo);
        t.Columns += numbered(QStringLiteral("DtMH"), 5, T::Memo);
        t.Columns += numbered(QStringLiteral("DtML"), 5, T::Memo);
        t.Columns.append({QStringLiteral("DtGpM"), T::Picture});
        return t;
    }();
    return table;
}

QList<const Table*> LayoutTables(Layout layout)
{
    switch (layout) {
    case Layout::Main:
        return {&ZeCustTable(), &ZeDataTable(), &ZeProTable(), &ZePrDtTable()};
    case Layout::Reference:
        return {&ZemtdbTable()};
    case Layout::Protocol:
        return {&ZeProExtendedTable(), &ZePrDtTable()};
    }
    return {};
}

QStringList SchemaStatements(Layout layout)
{
    QStringList statements;
    for (const Table* table : LayoutTables(layout))
        statements.append(createTable(*table));
    if (layout == Layout::Reference)
        return statements;
    // The protocol list's order, and the conditions of a protocol.
    statements.append(QStringLiteral("CREATE INDEX ZeProB ON ZePro (ProNo, MKEY)"));
    statements.append(QStringLiteral("CREATE INDEX ZePrDtByProNo ON ZePrDt (ProNo)"));
    if (layout == Layout::Protocol)
        return statements;
    // A patient's measurements newest first, and every sort key of the patient list.
    statements.append(QStringLiteral("CREATE INDEX ZeDataByPatient ON ZeData (CustNo, ZeDate)"));
    for (const char* column : {"CustNo", "Name", "Sex", "DBirth", "PreMea", "Tel", "Addr", "EMail", "Tel2", "Tel3"})
        statements.append(
            QStringLiteral("CREATE INDEX ZeCustBy%1 ON ZeCust (%1)").arg(QLatin1String(column)));
    return statements;
}

} // namespace qern
