#pragma once

#include "PatientListLogic.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlDatabase>

#include <optional>
#include <vector>

namespace qern {

// The patient list over ZeCust in the order of a PatientSortKey. Reading it
// takes only the row keys, in list order, through the index of the sort
// column; the rows themselves are fetched a page at a time as they are shown.
// Ties keep the order of MKEY, so positions are stable between readings.
class PatientListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PatientListModel(QObject* parent = nullptr);

    // Builds the statement from `sortKey` and reads the list; the key is kept
    // as the last statement.
    bool Read(QSqlDatabase db, int sortKey);
    // Reads again with the last statement.
    bool Reread();
    // Fetches the rows again, in the order they have: a changed cell shows
    // its new value without the list being re-sorted.
    void RefreshRows();
    int SortKey() const { return sortKey_; }
    QSqlDatabase Database() const { return db_; }
    const QString& LastError() const { return error_; }
    // "Today" for the ages (a day count); the current time when not set.
    void SetToday(double today) { today_ = today; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    qint64 KeyAt(int row) const;
    std::optional<Patient> PatientAt(int row) const;
    int RowOfKey(qint64 key) const; // -1 when not in the list

    // The first row, in list order, whose number begins with / equals `number`
    // (trimmed, letter case ignored); -1 when none.
    int FirstRowNumberBeginsWith(const QString& number) const;
    int FirstRowNumberEquals(const QString& number) const;
    // The search of the list for text `t` in the sort column; -1 when nothing
    // is found or the column is not searched.
    int SearchRow(const QString& t) const;

private:
    struct Row {
        qint64 Key = 0;
        Patient Data;
    };
    static constexpr int PageSize = 128;
    static constexpr int CachedPages = 40;

    const Row* RowData(int row) const;
    void LoadPage(int page) const;
    // The first row of the rows that `where` selects, in list order.
    int FirstRowWhere(const QString& where, const QVariantList& values) const;
    QString OrderBy() const;
    double Today() const;

    QSqlDatabase db_;
    int sortKey_ = 1;
    std::vector<qint64> keys_;
    QString error_;
    std::optional<double> today_;
    mutable QHash<int, QList<Row>> pages_;
    mutable QList<int> pageUse_; // least recently used first
};

} // namespace qern
