#include "PatientListModel.h"

#include "Records.h"

#include "shell/DayCount.h"

#include <QDateTime>
#include <QFont>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>

namespace qern {

namespace {

// A LIKE pattern for "begins with", with the wildcards of the text escaped.
QString prefixPattern(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return escaped + QLatin1Char('%');
}

} // namespace

PatientListModel::PatientListModel(QObject* parent) : QAbstractTableModel(parent) {}

QString PatientListModel::OrderBy() const
{
    // The column names come from a fixed table, never from input.
    const QString direction = sortKey_ < 0 ? QStringLiteral(" DESC") : QString();
    return QStringLiteral(" ORDER BY ") + PatientOrderColumn(std::abs(sortKey_)) + direction + QStringLiteral(", MKEY") +
           direction;
}

bool PatientListModel::Read(QSqlDatabase db, int sortKey)
{
    db_ = db;
    sortKey_ = ValidSortKey(sortKey);
    return Reread();
}

bool PatientListModel::Reread()
{
    beginResetModel();
    keys_.clear();
    pages_.clear();
    pageUse_.clear();
    error_.clear();
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT MKEY FROM ZeCust") + OrderBy())) {
        error_ = DatabaseError(q.lastError());
    } else {
        while (q.next())
            keys_.push_back(q.value(0).toLongLong());
    }
    endResetModel();
    return error_.isEmpty();
}

void PatientListModel::RefreshRows()
{
    pages_.clear();
    pageUse_.clear();
    if (!keys_.empty())
        Q_EMIT dataChanged(index(0, 0), index(int(keys_.size()) - 1, PatientColumnCount - 1));
}

int PatientListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(keys_.size());
}

int PatientListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : PatientColumnCount;
}

double PatientListModel::Today() const
{
    return today_ ? *today_ : ToDayCount(QDateTime::currentDateTime());
}

void PatientListModel::LoadPage(int page) const
{
    const int first = page * PageSize;
    const int last = std::min<int>(first + PageSize, int(keys_.size()));
    QList<Row> rows(last - first);
    QHash<qint64, int> slot;
    QStringList marks;
    for (int r = first; r < last; ++r) {
        rows[r - first].Key = keys_[std::size_t(r)];
        slot.insert(keys_[std::size_t(r)], r - first);
        marks.append(QStringLiteral("?"));
    }
    if (!marks.isEmpty()) {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT * FROM ZeCust WHERE MKEY IN (%1)").arg(marks.join(QLatin1Char(','))));
        for (int r = first; r < last; ++r)
            q.addBindValue(keys_[std::size_t(r)]);
        if (q.exec()) {
            const int keyField = q.record().indexOf(QStringLiteral("MKEY"));
            while (q.next()) {
                const auto it = slot.constFind(q.value(keyField).toLongLong());
                if (it != slot.constEnd())
                    rows[*it].Data = PatientFromRecord(q.record());
            }
        }
    }
    pages_.insert(page, rows);
    pageUse_.append(page);
    while (pageUse_.size() > CachedPages)
        pages_.remove(pageUse_.takeFirst());
}

const PatientListModel::Row* PatientListModel::RowData(int row) const
{
    if (row < 0 || row >= int(keys_.size()))
        return nullptr;
    const int page = row / PageSize;
    if (!pages_.contains(page)) {
        LoadPage(page);
    } else if (pageUse_.last() != page) {
        pageUse_.removeOne(page);
        pageUse_.append(page);
    }
    return &pages_[page][row % PageSize];
}

QVariant PatientListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Row* row = RowData(index.row());
    if (!row)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return PatientCellText(row->Data, index.column(), index.row(), Today());
    case Qt::ForegroundRole:
        return PatientCellColour(row->Data, index.column());
    default:
        return {};
    }
}

QVariant PatientListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return PatientColumnHeader(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

qint64 PatientListModel::KeyAt(int row) const
{
    return row >= 0 && row < int(keys_.size()) ? keys_[std::size_t(row)] : 0;
}

std::optional<Patient> PatientListModel::PatientAt(int row) const
{
    const Row* r = RowData(row);
    if (!r)
        return std::nullopt;
    return r->Data;
}

int PatientListModel::RowOfKey(qint64 key) const
{
    const auto it = std::find(keys_.begin(), keys_.end(), key);
    return it == keys_.end() ? -1 : int(it - keys_.begin());
}

int PatientListModel::FirstRowWhere(const QString& where, const QVariantList& values) const
{
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT MKEY FROM ZeCust WHERE ") + where + OrderBy() + QStringLiteral(" LIMIT 1"));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        return -1;
    return RowOfKey(q.value(0).toLongLong());
}

int PatientListModel::FirstRowNumberBeginsWith(const QString& number) const
{
    return FirstRowWhere(QStringLiteral("CustNo LIKE ? ESCAPE '\\'"), {prefixPattern(CleanText(number))});
}

int PatientListModel::FirstRowNumberEquals(const QString& number) const
{
    return FirstRowWhere(QStringLiteral("CustNo = ?"), {CleanText(number)});
}

int PatientListModel::SearchRow(const QString& text) const
{
    const QString t = CleanText(text);
    const int column = std::abs(sortKey_);
    if (column == PatientBirth) {
        const std::optional<double> day = ParseShortDate(t, Today());
        if (!day)
            return -1;
        // Birth dates may carry a time of day: the whole day matches.
        return FirstRowWhere(QStringLiteral("DBirth >= ? AND DBirth < ?"), {*day, *day + 1});
    }
    const QString searched = PatientSearchColumn(column);
    if (searched.isEmpty() || t.isEmpty())
        return -1;
    return FirstRowWhere(searched + QStringLiteral(" LIKE ? ESCAPE '\\'"), {prefixPattern(t)});
}

} // namespace qern
