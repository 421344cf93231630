#include "MeasurementListModel.h"

#include "Records.h"

#include <QFont>
#include <QSqlError>
#include <QSqlQuery>

namespace qern {

MeasurementListModel::MeasurementListModel(QObject* parent) : QAbstractTableModel(parent) {}

bool MeasurementListModel::Read(QSqlDatabase db, const QString& number, double birthDate)
{
    db_ = db;
    number_ = CleanText(number);
    birthDate_ = birthDate;
    return Reread();
}

bool MeasurementListModel::Reread()
{
    beginResetModel();
    rows_.clear();
    error_.clear();
    if (db_.isValid()) {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT * FROM ZeData WHERE CustNo = ? ORDER BY ZeDate DESC, MKEY DESC"));
        q.addBindValue(number_);
        if (!q.exec()) {
            error_ = DatabaseError(q.lastError());
        } else {
            while (q.next())
                rows_.append(MeasurementFromRecord(q.record()));
        }
    }
    endResetModel();
    return error_.isEmpty();
}

void MeasurementListModel::Clear()
{
    beginResetModel();
    rows_.clear();
    number_.clear();
    db_ = QSqlDatabase();
    endResetModel();
}

int MeasurementListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int MeasurementListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : MeasurementColumnCount;
}

QVariant MeasurementListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Measurement& m = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return MeasurementCellText(m, index.column(), index.row(), birthDate_);
    case Qt::ForegroundRole:
        return MeasurementCellColour(m, index.column());
    case Qt::FontRole:
        if (MeasurementCellBold(index.column())) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::TextAlignmentRole:
        return index.column() >= MeasurementEnergy ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant MeasurementListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return MeasurementColumnHeader(section);
    case Qt::ForegroundRole:
        return MeasurementHeaderMarked(section) ? QVariant(ListNavy) : QVariant();
    case Qt::FontRole:
        if (MeasurementHeaderMarked(section)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

qint64 MeasurementListModel::KeyAt(int row) const
{
    return row >= 0 && row < rows_.size() ? rows_[row].StoredMeasurementKey : 0;
}

std::optional<Measurement> MeasurementListModel::MeasurementAt(int row) const
{
    if (row < 0 || row >= rows_.size())
        return std::nullopt;
    return rows_[row];
}

int MeasurementListModel::RowOfKey(qint64 key) const
{
    for (int r = 0; r < rows_.size(); ++r)
        if (rows_[r].StoredMeasurementKey == key)
            return r;
    return -1;
}

} // namespace qern
