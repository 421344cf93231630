#pragma once

#include <QDialog>
#include <QSqlDatabase>

class QLabel;
class QToolButton;

namespace qern {

class TPatientList;

// "Save Meridian Energy Values": stores the measurement in hand in the record
// of a patient chosen from the list or created on the spot.
class TZesvdt : public QDialog {
    Q_OBJECT
public:
    explicit TZesvdt(QWidget* parent = nullptr);

    TPatientList* PatientList() const { return list_; }

public Q_SLOTS:
    void ToolButton1Click(); // "New patient"
    void ToolButton2Click(); // "Save Value"
    void ToolButton3Click(); // "Exit"
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void DBAdvGrid1SelectionChanged();
    void DBAdvGrid1DblClick(int row);
    void Searched();
    // SaveSelection from the row the list is on.
    void TakeSelectionFromList();
    void ShowSelection();
    void ShowCount();
    // Saves and closes; a database error leaves the window open.
    void SaveAndClose();

    QSqlDatabase db_;
    bool opened_ = false;
    qint64 selectionKey_ = 0; // the ZeCust row SaveSelection came from

    TPatientList* list_;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton3;
    QLabel* TotalRecords;
    QLabel* SelectionNumber;
    QLabel* SelectionName;
    QLabel* SelectionSex;
    QLabel* SelectionBirth;
    QLabel* StatusBar1;
};

} // namespace qern
