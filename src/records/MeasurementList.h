#pragma once

#include "MeasurementListModel.h"

#include <QWidget>

#include <optional>

class QTableView;

namespace qern {

// The measurement list of the recall and comparison windows: the
// measurements of the selected patient, newest first.
class TMeasurementList : public QWidget {
    Q_OBJECT
public:
    explicit TMeasurementList(QWidget* parent = nullptr);

    MeasurementListModel& Model() { return *model_; }
    QTableView* Grid() const { return DBAdvGrid2; }

    // Reads the patient's measurements and stands on the newest.
    void Read(QSqlDatabase db, const std::optional<Patient>& patient);
    void Reread();
    bool PositionOnRow(int row);

    int Count() const;
    int CurrentRow() const;
    qint64 CurrentKey() const;
    std::optional<Measurement> CurrentMeasurement() const;
    void SetFocusGradient(bool focused);

Q_SIGNALS:
    void SelectionChanged();
    void RowDoubleClicked(int row);
    void FocusEntered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MeasurementListModel* model_;
    QTableView* DBAdvGrid2;
    bool quiet_ = false;
};

} // namespace qern
