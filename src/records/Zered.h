#pragma once

#include <QDialog>
#include <QSqlDatabase>

#include <optional>

class QLabel;
class QPlainTextEdit;
class QTableWidget;
class QToolButton;
class QWidget;

namespace qern {

class TMeasurementList;
class TPatientList;

// "Load Patient and Measurement Record": the patients, the measurements of
// the selected patient, adding, editing and deleting them, and loading a
// stored measurement back as the measurement in hand.
class TZered : public QDialog {
    Q_OBJECT
public:
    explicit TZered(QWidget* parent = nullptr);

    TPatientList* PatientList() const { return patients_; }
    TMeasurementList* MeasurementList() const { return measurements_; }
    enum class Focus { Patients, Measurements };
    Focus LastFocus() const { return focus_; }

public Q_SLOTS:
    void ToolButton1Click();  // "Recall"
    void ToolButton2Click();  // "New Pat."
    void ToolButton3Click();  // "Edit Pat."
    void ToolButton4Click();  // "Delete Pat."
    void ToolButton5Click();  // "New Value"
    void ToolButton6Click();  // "Edit Value"
    void ToolButton7Click();  // "Delete Value"
    void ToolButton8Click();  // "Display Mode"
    void ToolButton9Click();  // "MEMO"
    void ToolButton10Click(); // "Exit"
    // The list gets the focus (and the buttons follow it).
    void DBAdvGrid1Enter();
    void DBAdvGrid2Enter();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void PatientsFocused();
    void MeasurementsFocused();
    void DBAdvGrid1SelectionChanged();
    void DBAdvGrid2SelectionChanged();
    void DBAdvGrid2DblClick();
    // The measurements of the patient the list is on, the counts, the
    // detail grid and the memos.
    void ReadMeasurements();
    void ShowCounts();
    void FillDetailGrid();
    void ShowMemos();
    void RecallMeasurement();
    void OpenManualEntry(int mode);
    void SetMode(const QString& mode);
    void SetDetailWidths();

    QSqlDatabase db_;
    bool opened_ = false;
    Focus focus_ = Focus::Patients;

    TPatientList* patients_;
    TMeasurementList* measurements_;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton3;
    QToolButton* ToolButton4;
    QToolButton* ToolButton5;
    QToolButton* ToolButton6;
    QToolButton* ToolButton7;
    QToolButton* ToolButton8;
    QToolButton* ToolButton9;
    QToolButton* ToolButton10;
    QLabel* TotalRecords;
    QTableWidget* AdvStringGrid1;
    QWidget* MemoPanel;
    QPlainTextEdit* DBMemo1; // the patient's Memo
    QPlainTextEdit* DBMemo2; // the measurement's Memo1
    QLabel* StatusBar1;
};

} // namespace qern
