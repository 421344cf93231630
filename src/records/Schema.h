#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qern {

// How a column is stored. Texts compare and sort without regard to ASCII case,
// as patient and protocol numbers must; dates are day counts.
enum class ColumnType { Key, Text, Memo, Number, Integer, YesNo, DateTime, Picture };

struct Column {
    QString Name;
    ColumnType Type;
};

struct Table {
    QString Name;
    QList<Column> Columns;
    QStringList ColumnNames() const;
};

// The layouts of the database files.
const Table& ZeCustTable();
const Table& ZeDataTable();
const Table& ZeProTable();
const Table& ZePrDtTable();
// The supplied protocol set: ZePro with the therapy texts, and ZePrDt.
const Table& ZeProExtendedTable();
const Table& ZemtdbTable();

enum class Layout {
    Main,      // qern6.mdb, the template, the exchange file: ZeCust, ZeData, ZePro, ZePrDt
    Reference, // qernE.mdb: ZEMTDB
    Protocol,  // qernZE.mdb: ZePro (extended), ZePrDt
};
QList<const Table*> LayoutTables(Layout layout);

// CREATE TABLE and CREATE INDEX statements of a layout.
QStringList SchemaStatements(Layout layout);

} // namespace qern
