#include "ZeEdit.h"

#include "ListLook.h"
#include "RecordOps.h"
#include "RecordWindows.h"
#include "Records.h"

#include "instrument/Protocol.h"
#include "shell/AppState.h"
#include "shell/DayCount.h"
#include "shell/ZeMsg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace qern {

namespace {

QLineEdit* textBox(const QString& name, int maxLength, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

// The short date format with the full year: a birth date needs its century.
QString pickerFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QString memoText(const QString& stored) { return SplitMemo(stored).join(QLatin1Char('\n')); }

} // namespace

TZeEdit::TZeEdit(QSqlDatabase db, qint64 patientKey, QWidget* parent)
    : QDialog(parent), db_(db), patientKey_(patientKey), mode_(appState().PatientEditorMode)
{
    setObjectName(QStringLiteral("ZeEdit"));
    setModal(true);

    ToolButton1 = RecordToolButton(QStringLiteral("ToolButton1"), QStringLiteral("Save"),
                                   QStringLiteral("Save and exit"), RecordIcon::Save, this);
    ToolButton2 = RecordToolButton(QStringLiteral("ToolButton2"), QStringLiteral("     Exit     "),
                                   QStringLiteral("Abort and exit"), RecordIcon::Exit, this);
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    toolbar->addWidget(ToolButton1);
    toolbar->addWidget(ToolButton2);
    connect(ToolButton1, &QToolButton::clicked, this, &TZeEdit::ToolButton1Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TZeEdit::ToolButton2Click);

    Edit1 = textBox(QStringLiteral("Edit1"), 15, this);
    Edit2 = textBox(QStringLiteral("Edit2"), 20, this);
    Edit3 = textBox(QStringLiteral("Edit3"), 50, this);
    Edit4 = textBox(QStringLiteral("Edit4"), 30, this);
    Edit5 = textBox(QStringLiteral("Edit5"), 30, this);
    Edit6 = textBox(QStringLiteral("Edit6"), 30, this);
    Edit7 = textBox(QStringLiteral("Edit7"), 50, this);
    RadioButton1 = new QRadioButton(QStringLiteral("Male"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Female"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* gender = new QButtonGroup(this);
    gender->addButton(RadioButton1);
    gender->addButton(RadioButton2);
    CheckBox1 = new QCheckBox(this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(pickerFormat());
    DateTimePicker1->setMinimumWidth(130);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);
    connect(CheckBox1, &QCheckBox::clicked, this, &TZeEdit::CheckBox1Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TZeEdit::NumberChanged);

    auto* required = new QLabel(QStringLiteral("(required)"), this);
    required->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(Edit1, 1);
    numberRow->addWidget(required);
    auto* genderRow = new QHBoxLayout;
    genderRow->addWidget(RadioButton1);
    genderRow->addWidget(RadioButton2);
    genderRow->addStretch();
    auto* birthRow = new QHBoxLayout;
    birthRow->addWidget(CheckBox1);
    birthRow->addWidget(DateTimePicker1);
    birthRow->addStretch();

    auto* fields = new QGridLayout;
    int row = 0;
    const auto add = [&](const QString& caption, QWidget* field, QLayout* fieldLayout) {
        auto* label = new QLabel(caption, this);
        fields->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        if (field) {
            label->setBuddy(field);
            fields->addWidget(field, row, 1);
        } else {
            fields->addLayout(fieldLayout, row, 1);
        }
        ++row;
    };
    add(QStringLiteral("No:"), nullptr, numberRow);
    add(QStringLiteral("Name:"), Edit2, nullptr);
    add(QStringLiteral("Gender "), nullptr, genderRow);
    add(QStringLiteral("D.O.B:"), nullptr, birthRow);
    add(QStringLiteral("Address:"), Edit3, nullptr);
    add(QStringLiteral("Tel No:"), Edit4, nullptr);
    add(QStringLiteral("Mobile Phone:"), Edit5, nullptr);
    add(QStringLiteral("Fax No:"), Edit6, nullptr);
    add(QStringLiteral("E-Mail:"), Edit7, nullptr);
    fields->setColumnStretch(1, 1);

    auto* memoLabel = new QLabel(QStringLiteral("MEMO"), this);
    memoLabel->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    StatusBar1->setMinimumHeight(22);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolbar);
    layout->addLayout(fields);
    layout->addWidget(memoLabel);
    layout->addWidget(Memo1, 1);
    layout->addWidget(StatusBar1);

    QWidget::setTabOrder(Edit1, Edit2);
    QWidget::setTabOrder(Edit2, RadioButton1);
    QWidget::setTabOrder(RadioButton1, RadioButton2);
    QWidget::setTabOrder(RadioButton2, CheckBox1);
    QWidget::setTabOrder(CheckBox1, DateTimePicker1);
    QWidget::setTabOrder(DateTimePicker1, Edit3);
    QWidget::setTabOrder(Edit3, Edit4);
    QWidget::setTabOrder(Edit4, Edit5);
    QWidget::setTabOrder(Edit5, Edit6);
    QWidget::setTabOrder(Edit6, Edit7);
    QWidget::setTabOrder(Edit7, Memo1);
    for (QWidget* w : std::initializer_list<QWidget*>{Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, RadioButton1,
                                                      RadioButton2, DateTimePicker1})
        w->installEventFilter(this);

    resize(460, 540);
    FormShow();
}

void TZeEdit::FormShow()
{
    AppState& state = appState();
    state.NewPatientCreated = false;
    const QDateTime now = QDateTime::currentDateTime();
    if (mode_ == 1) {
        setWindowTitle(QStringLiteral("Edit Patient Record"));
        StatusBar1->setText(QStringLiteral("Edit patient's basic data. Please select \"Save\" to confirm."));
        const Patient p = PatientByKey(db_, patientKey_).value_or(Patient{});
        storedNumber_ = p.Number;
        Edit1->setText(p.Number);
        Edit2->setText(p.Name);
        (p.Male ? RadioButton1 : RadioButton2)->setChecked(true);
        Edit3->setText(p.Address);
        Edit4->setText(p.Telephone);
        Edit5->setText(p.Mobile);
        Edit6->setText(p.Fax);
        Edit7->setText(p.EMail);
        Memo1->setPlainText(memoText(p.Memo));
        if (DateEntered(p.BirthDate))
            SetPicker(true, FromDayCount(p.BirthDate));
        else
            SetPicker(false, now);
    } else {
        setWindowTitle(QStringLiteral("Add New Patient"));
        StatusBar1->setText(QStringLiteral("Number and gender are required."));
        (state.CurrentPatient.Male ? RadioButton1 : RadioButton2)->setChecked(true);
        SetPicker(false, now);
    }
    NumberChanged();
    Edit1->setFocus();
}

void TZeEdit::SetPicker(bool checked, const QDateTime& shown)
{
    DateTimePicker1->setDateTime(shown);
    if (!checked)
        initialTime_ = DateTimePicker1->dateTime();
    CheckBox1->setChecked(checked);
    DateTimePicker1->setEnabled(checked);
}

void TZeEdit::NumberChanged() { ToolButton1->setEnabled(!Edit1->text().trimmed().isEmpty()); }

void TZeEdit::CheckBox1Click() { DateTimePicker1->setEnabled(CheckBox1->isChecked()); }

bool TZeEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EnterPressed(static_cast<QWidget*>(watched));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TZeEdit::EnterPressed(QWidget* control)
{
    if (control == Edit2) {
        CheckBox1->setChecked(true);
        DateTimePicker1->setEnabled(true);
        DateTimePicker1->setFocus();
        return;
    }
    if (control == DateTimePicker1 && DateTimePicker1->dateTime() == initialTime_) {
        // The date was never chosen: no birth date.
        CheckBox1->setChecked(false);
        DateTimePicker1->setEnabled(false);
    }
    focusNextChild();
}

Patient TZeEdit::Fields() const
{
    Patient p;
    p.Number = Edit1->text().trimmed();
    p.Name = Edit2->text().trimmed();
    p.Male = RadioButton1->isChecked();
    p.BirthDate = CheckBox1->isChecked() ? ToDayCount(QDateTime(DateTimePicker1->date(), QTime(0, 0))) : 0.0;
    if (!DateEntered(p.BirthDate))
        p.BirthDate = 0;
    p.Address = Edit3->text().trimmed();
    p.Telephone = Edit4->text().trimmed();
    p.Mobile = Edit5->text().trimmed();
    p.Fax = Edit6->text().trimmed();
    p.EMail = Edit7->text().trimmed();
    p.Memo = JoinMemo(Memo1->toPlainText().isEmpty() ? QStringList() : Memo1->toPlainText().split(QLatin1Char('\n')));
    return p;
}

bool TZeEdit::RefuseTakenNumber(const QString& number, qint64 exceptKey)
{
    const std::optional<PatientHolder> holder = OtherPatientWithNumber(db_, number, exceptKey);
    if (!holder)
        return false;
    PlaySound(1);
    ShowMessageBox(5, QStringLiteral("atient number is already taken and is named\r\n [ ") + holder->Name +
                          QStringLiteral(" ] ! \r\nPlease input a new number."));
    return true;
}

void TZeEdit::ToolButton1Click()
{
    const Patient p = Fields();
    if (p.Number.isEmpty())
        return;
    if (mode_ == 1) {
        const QString old = storedNumber_.trimmed();
        // Only another patient can hold the number: changing the letter case
        // of one's own number is allowed.
        if (p.Number != old && RefuseTakenNumber(p.Number, patientKey_)) {
            Edit1->setText(storedNumber_);
            Edit1->setFocus();
            return;
        }
        const DbResult result = UpdatePatient(db_, patientKey_, p, old);
        if (!result.Ok) {
            ShowDatabaseError(result);
            return;
        }
        savedKey_ = patientKey_;
        accept();
        return;
    }
    if (RefuseTakenNumber(p.Number, 0)) {
        Edit1->setFocus();
        return;
    }
    const AddedPatient added = AddPatient(db_, p);
    if (!added.Result.Ok) {
        ShowDatabaseError(added.Result);
        return;
    }
    savedKey_ = added.Key;
    appState().NewPatientCreated = true;
    accept();
}

void TZeEdit::ToolButton2Click() { reject(); }

void TZeEdit::reject()
{
    // Nothing was written yet: leaving discards every change, the memo's too.
    appState().NewPatientCreated = false;
    QDialog::reject();
}

} // namespace qern
