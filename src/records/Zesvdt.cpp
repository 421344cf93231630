#include "Zesvdt.h"

#include "ListLook.h"
#include "PatientList.h"
#include "RecordOps.h"
#include "RecordWindows.h"
#include "ZeEdit.h"

#include "instrument/Protocol.h"
#include "shell/AppState.h"
#include "shell/DayCount.h"
#include "shell/ZeMsg.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace qern {

namespace {

const QString SaveQuestion = QStringLiteral("Do you want to save the measurement data to this patient?");

QLabel* selectionField(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(140);
    label->setStyleSheet(QStringLiteral("QLabel { color: #12325a; font-weight: bold; }"));
    return label;
}

void copyPatientFields(Patient& to, const Patient& from)
{
    to.Number = from.Number;
    to.Name = from.Name;
    to.Male = from.Male;
    to.BirthDate = from.BirthDate;
    to.Address = from.Address;
    to.Telephone = from.Telephone;
    to.Mobile = from.Mobile;
    to.Fax = from.Fax;
    to.EMail = from.EMail;
}

} // namespace

TZesvdt::TZesvdt(QWidget* parent) : QDialog(parent), db_(MainDatabase())
{
    setObjectName(QStringLiteral("Zesvdt"));
    setWindowTitle(QStringLiteral("Save Meridian Energy Values"));
    setModal(true);

    ToolButton1 = RecordToolButton(QStringLiteral("ToolButton1"), QStringLiteral("New patient"),
                                   QStringLiteral("Add new patient record"), RecordIcon::NewPatient, this);
    ToolButton2 = RecordToolButton(QStringLiteral("ToolButton2"), QStringLiteral("Save Value"),
                                   QStringLiteral("Save measurement data and exit"), RecordIcon::Save, this);
    ToolButton3 = RecordToolButton(QStringLiteral("ToolButton3"), QStringLiteral("Exit"),
                                   QStringLiteral("Abort and exit"), RecordIcon::Exit, this);
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    for (QToolButton* b : {ToolButton1, ToolButton2, ToolButton3})
        toolbar->addWidget(b);
    connect(ToolButton1, &QToolButton::clicked, this, &TZesvdt::ToolButton1Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TZesvdt::ToolButton2Click);
    connect(ToolButton3, &QToolButton::clicked, this, &TZesvdt::ToolButton3Click);

    list_ = new TPatientList(this);
    TotalRecords = new QLabel(this);
    TotalRecords->setObjectName(QStringLiteral("TotalRecords"));
    list_->SearchRow()->addWidget(TotalRecords);
    connect(list_, &TPatientList::SelectionChanged, this, &TZesvdt::DBAdvGrid1SelectionChanged);
    connect(list_, &TPatientList::RowDoubleClicked, this, &TZesvdt::DBAdvGrid1DblClick);
    connect(list_, &TPatientList::Searched, this, &TZesvdt::Searched);
    connect(list_, &TPatientList::FocusEntered, this, [this] { list_->SetFocusGradient(true); });

    SelectionNumber = selectionField(QStringLiteral("SelectionNumber"), this);
    SelectionName = selectionField(QStringLiteral("SelectionName"), this);
    SelectionSex = selectionField(QStringLiteral("SelectionSex"), this);
    SelectionBirth = selectionField(QStringLiteral("SelectionBirth"), this);
    auto* panel = new QGroupBox(QStringLiteral("Save in the record of the following patient"), this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* panelLayout = new QGridLayout(panel);
    panelLayout->addWidget(new QLabel(QStringLiteral("Number:"), panel), 0, 0);
    panelLayout->addWidget(SelectionNumber, 0, 1);
    panelLayout->addWidget(new QLabel(QStringLiteral("Name:"), panel), 0, 2);
    panelLayout->addWidget(SelectionName, 0, 3);
    panelLayout->addWidget(new QLabel(QStringLiteral("Sex:"), panel), 1, 0);
    panelLayout->addWidget(SelectionSex, 1, 1);
    panelLayout->addWidget(new QLabel(QStringLiteral("B.O.D:"), panel), 1, 2);
    panelLayout->addWidget(SelectionBirth, 1, 3);
    panelLayout->setColumnStretch(3, 1);

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    StatusBar1->setMinimumHeight(22);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolbar);
    layout->addWidget(list_, 1);
    layout->addWidget(panel);
    layout->addWidget(StatusBar1);
    resize(1000, 620);
}

void TZesvdt::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        FormShow();
    }
}

void TZesvdt::FormShow()
{
    AppState& state = appState();
    Patient& selection = SaveSelection();
    list_->ClearSearchText();
    ToolButton2->setEnabled(!state.CurrentPatient.Number.trimmed().isEmpty());
    list_->Open(db_);
    StatusBar1->setText(QStringLiteral("Please select patient, or create a new record, to save measurement data."));
    ShowCount();
    const QString number = state.CurrentPatient.Number.trimmed();
    if (!number.isEmpty() && list_->PositionOnNumber(number, false)) {
        list_->Grid()->setFocus();
        list_->SetFocusGradient(true);
        ToolButton2->setEnabled(true);
        selection = state.CurrentPatient;
        selectionKey_ = list_->CurrentKey();
    } else {
        // Nothing is chosen for the user: the first click on any row chooses.
        list_->ClearPosition();
        list_->SearchBox()->setFocus();
        ToolButton2->setEnabled(false);
        const bool male = state.CurrentPatient.Male;
        selection = Patient{};
        selection.Male = male;
        selectionKey_ = 0;
    }
    ShowSelection();
}

void TZesvdt::ShowCount() { TotalRecords->setText(QStringLiteral("Total Records:") + CountText(list_->Count())); }

void TZesvdt::ShowSelection()
{
    const Patient& selection = SaveSelection();
    SelectionNumber->setText(selection.Number);
    SelectionName->setText(selection.Name);
    SelectionBirth->setText(DateEntered(selection.BirthDate) ? ShortDate(selection.BirthDate) : QString());
    SelectionSex->setText(selection.Male ? QStringLiteral("Male") : QStringLiteral("Female"));
}

void TZesvdt::TakeSelectionFromList()
{
    const std::optional<Patient> row = list_->CurrentPatient();
    if (!row)
        return;
    copyPatientFields(SaveSelection(), *row);
    selectionKey_ = list_->CurrentKey();
}

void TZesvdt::DBAdvGrid1SelectionChanged()
{
    if (list_->CurrentRow() < 0)
        return;
    ToolButton2->setEnabled(true);
    TakeSelectionFromList();
    ShowSelection();
}

void TZesvdt::Searched()
{
    TakeSelectionFromList();
    ShowSelection();
}

void TZesvdt::DBAdvGrid1DblClick(int row)
{
    // The measurement goes to the patient that was double-clicked.
    if (row != list_->CurrentRow())
        list_->PositionOnRow(row);
    TakeSelectionFromList();
    ShowSelection();
    if (list_->CurrentRow() < 0)
        return;
    if (ShowMessageBox(1, SaveQuestion))
        SaveAndClose();
}

void TZesvdt::ToolButton2Click() { SaveAndClose(); }

void TZesvdt::SaveAndClose()
{
    AppState& state = appState();
    const Patient& selection = SaveSelection();
    if (selection.Number.trimmed().isEmpty())
        return;
    copyPatientFields(state.CurrentPatient, selection);
    const SavedMeasurement saved =
        SaveMeasurement(db_, selectionKey_, state.CurrentPatient.Number, state.CurrentMeasurement);
    if (!saved.Result.Ok) {
        ShowDatabaseError(saved.Result);
        return;
    }
    state.CurrentMeasurement.StoredMeasurementKey = saved.Key;
    accept();
}

void TZesvdt::ToolButton3Click() { reject(); }

void TZesvdt::reject()
{
    SaveSelection().Number = QStringLiteral(" ");
    QDialog::reject();
}

void TZesvdt::ToolButton1Click()
{
    AppState& state = appState();
    state.PatientEditorMode = 3;
    const qint64 remembered = list_->CurrentKey();
    qint64 created = 0;
    {
        TZeEdit editor(db_, 0, this);
        editor.exec();
        created = editor.SavedKey();
    }
    if (state.NewPatientCreated && created != 0) {
        ToolButton2->setEnabled(true);
        if (const std::optional<Patient> p = PatientByKey(db_, created))
            copyPatientFields(SaveSelection(), *p);
        selectionKey_ = created;
        ShowSelection();
        PlaySound(1);
        list_->Reread();
        list_->PositionOnKey(created, false);
        ShowCount();
        list_->Grid()->setFocus();
        if (ShowMessageBox(1, SaveQuestion))
            SaveAndClose();
        return;
    }
    if (remembered != 0)
        list_->PositionOnKey(remembered, false);
    if (!SaveSelection().Number.trimmed().isEmpty()) {
        ToolButton2->setEnabled(true);
        list_->Grid()->setFocus();
    } else {
        ToolButton2->setEnabled(false);
        list_->SearchBox()->setFocus();
    }
}

} // namespace qern
