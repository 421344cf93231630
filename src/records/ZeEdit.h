#pragma once

#include "shell/Measurement.h"

#include <QDateTime>
#include <QDialog>
#include <QSqlDatabase>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QToolButton;

namespace qern {

// The patient editor. PatientEditorMode says what it does: 1 edits the
// patient row `patientKey`, 2 (recall window) and 3 (save window) add a
// patient and report it through NewPatientCreated.
class TZeEdit : public QDialog {
    Q_OBJECT
public:
    TZeEdit(QSqlDatabase db, qint64 patientKey, QWidget* parent = nullptr);

    int Mode() const { return mode_; }
    // The row written by "Save" (the edited or the new patient), 0 when none.
    qint64 SavedKey() const { return savedKey_; }

public Q_SLOTS:
    void ToolButton1Click(); // "Save"
    void ToolButton2Click(); // "     Exit     "
    void CheckBox1Click();
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void SetPicker(bool checked, const QDateTime& shown);
    Patient Fields() const;
    bool RefuseTakenNumber(const QString& number, qint64 exceptKey);
    void NumberChanged();
    void EnterPressed(QWidget* control);

    QSqlDatabase db_;
    qint64 patientKey_;
    int mode_;
    qint64 savedKey_ = 0;
    QString storedNumber_;      // mode 1: the number as stored when the window opened
    QDateTime initialTime_;     // the picker's time when it opened without a birth date

    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QLineEdit* Edit1; // No:
    QLineEdit* Edit2; // Name:
    QRadioButton* RadioButton1; // Male
    QRadioButton* RadioButton2; // Female
    QCheckBox* CheckBox1;
    QDateEdit* DateTimePicker1;
    QLineEdit* Edit3; // Address:
    QLineEdit* Edit4; // Tel No:
    QLineEdit* Edit5; // Mobile Phone:
    QLineEdit* Edit6; // Fax No:
    QLineEdit* Edit7; // E-Mail:
    QPlainTextEdit* Memo1;
    QLabel* StatusBar1;
};

} // namespace qern
