#pragma once

#include "PatientListModel.h"

#include <QSqlDatabase>
#include <QWidget>

#include <optional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace qern {

// The patient list of the save, recall and comparison windows: the search
// row ("Search:", the box, "Start Searching", the indicator and the date
// hint) above the grid. The order is PatientSortKey, shared by every window
// and kept for the run; a header click re-sorts.
class TPatientList : public QWidget {
    Q_OBJECT
public:
    explicit TPatientList(QWidget* parent = nullptr);

    PatientListModel& Model() { return *model_; }
    QTableView* Grid() const { return DBAdvGrid1; }
    QLineEdit* SearchBox() const { return SearchEdit; }
    // The search row, for the window's own additions ("Total Records:").
    QHBoxLayout* SearchRow() const { return searchRow_; }

    // Builds the statement from PatientSortKey, reads the list, marks the
    // sort column and direction, sets up the search box.
    bool Open(QSqlDatabase db);
    // Reads again with the last statement; the position is the caller's.
    bool Reread();

    // Positioning; `notify` reports a change of patient through
    // SelectionChanged. Each returns whether a row was found.
    bool PositionOnRow(int row, bool notify = true);
    bool PositionOnKey(qint64 key, bool notify = true);
    bool PositionOnNumberPrefix(const QString& number, bool notify = true);
    bool PositionOnNumber(const QString& number, bool notify = true);
    // No row is current (nothing chosen yet).
    void ClearPosition();

    int Count() const;
    int CurrentRow() const;
    qint64 CurrentKey() const;
    std::optional<Patient> CurrentPatient() const;

    SearchIndicator SearchState() const { return searchState_; }
    void ClearSearchText();
    void SetFocusGradient(bool focused);

public Q_SLOTS:
    // A click on header `column`.
    void Resort(int column);
    // "Start Searching", or Enter in the search box.
    void Search();

Q_SIGNALS:
    void SelectionChanged();
    void RowDoubleClicked(int row);
    void FocusEntered();
    void Searched(bool found);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpSearch(int column);
    void SetIndicator(SearchIndicator state);
    void MarkHeader();
    void CurrentRowChanged();
    void SearchTextChanged();

    PatientListModel* model_;
    QHBoxLayout* searchRow_;
    QTableView* DBAdvGrid1;
    QLineEdit* SearchEdit;
    QPushButton* SearchButton;
    QLabel* SearchImage;
    QLabel* SearchHint;
    SearchIndicator searchState_ = SearchIndicator::Ready;
    bool quiet_ = false;
    qint64 reportedKey_ = -1;
};

} // namespace qern
