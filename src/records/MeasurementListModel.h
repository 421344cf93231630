#pragma once

#include "PatientListLogic.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSqlDatabase>

#include <optional>

namespace qern {

// The measurements of one patient, newest first. A patient has at most a few
// thousand, so they are read at once.
class MeasurementListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MeasurementListModel(QObject* parent = nullptr);

    // Reads the measurements stored under `number` (trimmed, bound as a
    // parameter); `birthDate` gives the ages at measurement.
    bool Read(QSqlDatabase db, const QString& number, double birthDate);
    // Reads again for the same patient.
    bool Reread();
    void Clear();
    const QString& LastError() const { return error_; }
    const QString& PatientNumber() const { return number_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    qint64 KeyAt(int row) const;
    std::optional<Measurement> MeasurementAt(int row) const;
    int RowOfKey(qint64 key) const;

private:
    QSqlDatabase db_;
    QString number_;
    double birthDate_ = 0;
    QList<Measurement> rows_;
    QString error_;
};

} // namespace qern
