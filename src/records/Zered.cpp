#include "Zered.h"

#include "ListLook.h"
#include "MeasurementList.h"
#include "PatientList.h"
#include "RecordOps.h"
#include "RecordWindows.h"
#include "Records.h"
#include "ZeEdit.h"

#include "instrument/Protocol.h"
#include "shell/AppState.h"
#include "shell/DayCount.h"
#include "shell/MeridianModel.h"
#include "shell/ZeMsg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace qern {

namespace {

constexpr int DetailWidthWithMemo = 57;
constexpr int DetailWidthWithoutMemo = 75;

QPlainTextEdit* memoBox(const QString& name, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    return memo;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; color: #12325a; }"));
    return label;
}

} // namespace

TZered::TZered(QWidget* parent) : QDialog(parent), db_(MainDatabase())
{
    setObjectName(QStringLiteral("Zered"));
    setWindowTitle(QStringLiteral("Load Patient and Measurement Record"));
    setModal(true);

    struct Tool {
        QToolButton*& button;
        const char* caption;
        const char* hint;
        RecordIcon icon;
        void (TZered::*click)();
    };
    const Tool tools[] = {
        {ToolButton1, "Recall", "Recall energy data", RecordIcon::Recall, &TZered::ToolButton1Click},
        {ToolButton2, "New Pat.", "Add new patient record", RecordIcon::NewPatient, &TZered::ToolButton2Click},
        {ToolButton3, "Edit Pat.", "Edit Patient Record", RecordIcon::EditPatient, &TZered::ToolButton3Click},
        {ToolButton4, "Delete Pat.", "Delete Patient Record", RecordIcon::DeletePatient, &TZered::ToolButton4Click},
        {ToolButton5, "New Value", "Manually enter new meridian energy values", RecordIcon::NewValue,
         &TZered::ToolButton5Click},
        {ToolButton6, "Edit Value", "Edit measurement record", RecordIcon::EditValue, &TZered::ToolButton6Click},
        {ToolButton7, "Delete Value", "Delete measurement record", RecordIcon::DeleteValue,
         &TZered::ToolButton7Click},
        {ToolButton8, "Display Mode", "Display detailed Value", RecordIcon::Display, &TZered::ToolButton8Click},
        {ToolButton9, "MEMO", "Display Memo Field", RecordIcon::Memo, &TZered::ToolButton9Click},
        {ToolButton10, "Exit", "Exit read data menu", RecordIcon::Exit, &TZered::ToolButton10Click},
    };
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    int number = 1;
    for (const Tool& t : tools) {
        t.button = RecordToolButton(QStringLiteral("ToolButton%1").arg(number++), QLatin1String(t.caption),
                                    QLatin1String(t.hint), t.icon, this);
        connect(t.button, &QToolButton::clicked, this, t.click);
        if (t.button == ToolButton10) {
            auto* spacer = new QWidget(toolbar);
            spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            toolbar->addWidget(spacer);
        }
        toolbar->addWidget(t.button);
        if (t.button == ToolButton1 || t.button == ToolButton4 || t.button == ToolButton7)
            toolbar->addSeparator();
    }

    patients_ = new TPatientList(this);
    TotalRecords = new QLabel(this);
    TotalRecords->setObjectName(QStringLiteral("TotalRecords"));
    patients_->SearchRow()->addWidget(TotalRecords);
    measurements_ = new TMeasurementList(this);

    AdvStringGrid1 = new QTableWidget(2, MeridianCount, this);
    AdvStringGrid1->setObjectName(QStringLiteral("AdvStringGrid1"));
    AdvStringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AdvStringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    AdvStringGrid1->setFocusPolicy(Qt::NoFocus);
    AdvStringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    AdvStringGrid1->verticalHeader()->setDefaultSectionSize(24);
    AdvStringGrid1->setFixedHeight(2 * 24 + 30);
    AdvStringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AdvStringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AdvStringGrid1->setStyleSheet(QStringLiteral("QTableWidget { gridline-color: #b8c4d4; }"));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < MeridianCount; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            AdvStringGrid1->setItem(r, c, item);
        }
    AdvStringGrid1->hide();

    MemoPanel = new QWidget(this);
    MemoPanel->setObjectName(QStringLiteral("MemoPanel"));
    MemoPanel->setFixedWidth(250);
    DBMemo1 = memoBox(QStringLiteral("DBMemo1"), MemoPanel);
    DBMemo2 = memoBox(QStringLiteral("DBMemo2"), MemoPanel);
    auto* memoLayout = new QVBoxLayout(MemoPanel);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->addWidget(caption(QStringLiteral("Patient memo"), MemoPanel));
    memoLayout->addWidget(DBMemo1, 1);
    memoLayout->addWidget(caption(QStringLiteral("Measurement memo"), MemoPanel));
    memoLayout->addWidget(DBMemo2, 1);

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    StatusBar1->setMinimumHeight(22);

    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(measurements_, 1);
    lowerLayout->addWidget(AdvStringGrid1);
    auto* lists = new QSplitter(Qt::Vertical, this);
    lists->setChildrenCollapsible(false);
    lists->addWidget(patients_);
    lists->addWidget(lower);
    lists->setStretchFactor(0, 3);
    lists->setStretchFactor(1, 2);

    auto* body = new QHBoxLayout;
    body->addWidget(lists, 1);
    body->addWidget(MemoPanel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolbar);
    layout->addLayout(body, 1);
    layout->addWidget(StatusBar1);

    connect(patients_, &TPatientList::FocusEntered, this, &TZered::PatientsFocused);
    connect(measurements_, &TMeasurementList::FocusEntered, this, &TZered::MeasurementsFocused);
    connect(patients_, &TPatientList::SelectionChanged, this, &TZered::DBAdvGrid1SelectionChanged);
    connect(measurements_, &TMeasurementList::SelectionChanged, this, &TZered::DBAdvGrid2SelectionChanged);
    connect(patients_, &TPatientList::RowDoubleClicked, this, &TZered::ToolButton3Click);
    connect(measurements_, &TMeasurementList::RowDoubleClicked, this, &TZered::DBAdvGrid2DblClick);
    resize(1180, 760);
}

void TZered::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        FormShow();
    }
}

void TZered::FormShow()
{
    for (QToolButton* b : {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton5, ToolButton6, ToolButton7})
        b->setEnabled(false);
    SetMode(QStringLiteral("[Inquire mode]"));
    patients_->ClearSearchText();
    patients_->Open(db_);
    for (int slot = 1; slot <= MeridianCount; ++slot)
        AdvStringGrid1->setHorizontalHeaderItem(slot - 1, new QTableWidgetItem(MeridianTable(DisplayOrder[slot]).Code));
    AdvStringGrid1->setVerticalHeaderLabels({QStringLiteral("Left"), QStringLiteral("Right")});
    AdvStringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SetDetailWidths();
    if (!patients_->PositionOnNumberPrefix(appState().CurrentPatient.Number.trimmed(), false))
        patients_->PositionOnRow(0, false);
    ReadMeasurements();
    DBAdvGrid1Enter();
}

void TZered::SetMode(const QString& mode) { StatusBar1->setText(mode); }

// ---------------------------------------------------------------------------
// Focus and selection

void TZered::DBAdvGrid1Enter()
{
    patients_->Grid()->setFocus();
    PatientsFocused();
}

void TZered::DBAdvGrid2Enter()
{
    measurements_->Grid()->setFocus();
    MeasurementsFocused();
}

void TZered::PatientsFocused()
{
    focus_ = Focus::Patients;
    for (QToolButton* b : {ToolButton1, ToolButton6, ToolButton7, ToolButton5})
        b->setEnabled(false);
    const bool any = patients_->Count() > 0;
    ToolButton3->setEnabled(any);
    ToolButton4->setEnabled(any);
    ToolButton2->setEnabled(true);
    patients_->SetFocusGradient(true);
    measurements_->SetFocusGradient(false);
}

void TZered::MeasurementsFocused()
{
    focus_ = Focus::Measurements;
    const bool any = measurements_->Count() > 0;
    for (QToolButton* b : {ToolButton1, ToolButton6, ToolButton7})
        b->setEnabled(any);
    ToolButton5->setEnabled(patients_->Count() > 0);
    for (QToolButton* b : {ToolButton3, ToolButton4, ToolButton2})
        b->setEnabled(false);
    measurements_->SetFocusGradient(true);
    patients_->SetFocusGradient(false);
}

void TZered::DBAdvGrid1SelectionChanged() { ReadMeasurements(); }

void TZered::DBAdvGrid2SelectionChanged()
{
    FillDetailGrid();
    ShowMemos();
}

void TZered::ReadMeasurements()
{
    measurements_->Read(db_, patients_->CurrentPatient());
    ShowCounts();
    FillDetailGrid();
    ShowMemos();
}

void TZered::ShowCounts()
{
    TotalRecords->setText(QStringLiteral("Total Records:") + CountText(patients_->Count()) + QStringLiteral("  -  [ ") +
                          CountText(measurements_->Count()).trimmed() + QStringLiteral(" ]"));
}

void TZered::FillDetailGrid()
{
    if (AdvStringGrid1->isHidden())
        return;
    const std::optional<Measurement> m = measurements_->CurrentMeasurement();
    for (int p = 1; p <= PointCount; ++p) {
        const int column = p <= 6 ? p : p <= 12 ? p - 6 : p <= 18 ? p - 6 : p - 12;
        const int row = (p <= 6 || (p >= 13 && p <= 18)) ? 0 : 1;
        const double value = m ? m->Raw[PositionToPoint(p)] : 0.0;
        AdvStringGrid1->item(row, column - 1)->setText(value != 0 ? QString::asprintf("%3.1f", value) : QString());
    }
}

void TZered::ShowMemos()
{
    const std::optional<Patient> p = patients_->CurrentPatient();
    DBMemo1->setPlainText(p ? SplitMemo(p->Memo).join(QLatin1Char('\n')) : QString());
    const std::optional<Measurement> m = measurements_->CurrentMeasurement();
    DBMemo2->setPlainText(m ? m->Memo.join(QLatin1Char('\n')) : QString());
}

// ---------------------------------------------------------------------------
// Recall

void TZered::ToolButton1Click()
{
    appState().RecallFromMain = false;
    RecallMeasurement();
}

void TZered::DBAdvGrid2DblClick() { RecallMeasurement(); }

void TZered::RecallMeasurement()
{
    AppState& state = appState();
    const bool any = measurements_->Count() > 0;
    if (state.RecallFromMain && any &&
        ShowMessageBox(1, QStringLiteral("Are you sure you want to recall this measurement data\uFF1F")))
        state.RecallFromMain = false;
    if (state.RecallFromMain || !any)
        return;
    const std::optional<Patient> patient = patients_->CurrentPatient();
    std::optional<Measurement> measurement = measurements_->CurrentMeasurement();
    if (!patient || !measurement)
        return;
    state.CurrentPatient = *patient;
    for (int k = 1; k <= PointCount; ++k)
        measurement->Compensated[k] = Compensate(k, measurement->Raw[k]);
    state.CurrentMeasurement = *measurement; // its StoredMeasurementKey is the row's MKEY
    state.AnalysisPage = 0;
    state.ChartGroup = 1;
    state.ChartView.fill(1);
    state.PointsMeasured = 0;
    accept();
}

// ---------------------------------------------------------------------------
// Patients

void TZered::ToolButton3Click()
{
    const qint64 key = patients_->CurrentKey();
    if (key == 0)
        return;
    appState().PatientEditorMode = 1;
    SetMode(QStringLiteral("[Edit Mode]"));
    {
        TZeEdit editor(db_, key, this);
        editor.exec();
    }
    SetMode(QStringLiteral("[Inquire mode]"));
    DBAdvGrid1Enter();
    // The edited row is followed, under its new number when it changed.
    patients_->Reread();
    patients_->PositionOnKey(key, false);
    ReadMeasurements();
}

void TZered::ToolButton2Click()
{
    AppState& state = appState();
    state.PatientEditorMode = 2;
    SetMode(QStringLiteral("[Append Mode]"));
    const qint64 remembered = patients_->CurrentKey();
    qint64 created = 0;
    {
        TZeEdit editor(db_, 0, this);
        editor.exec();
        created = editor.SavedKey();
    }
    SetMode(QStringLiteral("[Inquire mode]"));
    if (state.NewPatientCreated && created != 0) {
        patients_->Reread();
        patients_->PositionOnKey(created, false);
        ReadMeasurements();
    } else if (remembered != 0) {
        patients_->PositionOnKey(remembered, false);
    }
    DBAdvGrid1Enter();
}

void TZered::ToolButton4Click()
{
    PlaySound(1);
    if (focus_ == Focus::Patients && patients_->Count() > 0) {
        DBAdvGrid1Enter();
        const int row = patients_->CurrentRow();
        const std::optional<Patient> patient = patients_->CurrentPatient();
        if (row >= 0 && patient) {
            SetMode(QStringLiteral("[Delete Mode]"));
            if (ShowMessageBox(2, QStringLiteral("Are you sure you want to delete this patient record, including all "
                                                 "the measurements? [ ") +
                                      patient->Name.trimmed() + QStringLiteral(" ]"))) {
                const qint64 key = patients_->CurrentKey();
                // The list then stands on the patient that followed, or on the
                // new last one.
                const qint64 next = patients_->Model().KeyAt(row + 1 < patients_->Count() ? row + 1 : row - 1);
                const DbResult result = DeletePatientWithMeasurements(db_, key, patient->Number);
                ShowDatabaseError(result);
                patients_->Reread();
                patients_->PositionOnKey(result.Ok ? next : key, false);
                ReadMeasurements();
            }
            SetMode(QStringLiteral("[Inquire mode]"));
            PatientsFocused(); // the buttons follow what is left
        }
    }
    ShowCounts();
}

// ---------------------------------------------------------------------------
// Measurements

void TZered::ToolButton5Click() { OpenManualEntry(2); }
void TZered::ToolButton6Click() { OpenManualEntry(1); }

void TZered::OpenManualEntry(int mode)
{
    const auto& manualEntry = recordHooks().ManualEntry;
    if (!manualEntry)
        return;
    AppState& state = appState();
    state.ManualEntryMode = mode;
    const qint64 patientKey = patients_->CurrentKey();
    const std::optional<Patient> patient = patients_->CurrentPatient();
    if (!patient)
        return;
    ManualEntryTarget target;
    target.PatientNumber = patient->Number.trimmed();
    target.PatientKey = patientKey;
    target.MeasurementKey = mode == 1 ? measurements_->CurrentKey() : 0;
    hide();
    manualEntry(this, target);
    show();
    patients_->PositionOnKey(patientKey, false);
    measurements_->Read(db_, patients_->CurrentPatient());
    if (measurements_->Count() > 0) {
        ShowDatabaseError(SetLatestMeasurement(db_, patientKey, target.PatientNumber));
        patients_->Model().RefreshRows();
    }
    ShowCounts();
    FillDetailGrid();
    ShowMemos();
    DBAdvGrid2Enter();
}

void TZered::ToolButton7Click()
{
    PlaySound(1);
    const std::optional<Patient> patient = patients_->CurrentPatient();
    if (!patient) {
        ShowCounts();
        return;
    }
    qint64 deleted = 0;
    if (focus_ == Focus::Measurements && measurements_->Count() > 0) {
        DBAdvGrid2Enter();
        const std::optional<Measurement> m = measurements_->CurrentMeasurement();
        SetMode(QStringLiteral("[Delete Mode]"));
        const QString when = m && DateEntered(m->DateTime)
                                 ? ShortDate(m->DateTime) + QLatin1Char(' ') + LongTime(m->DateTime)
                                 : QString();
        if (m && ShowMessageBox(2, QStringLiteral("Are you sure you want to delete this measurement data? [ ") + when +
                                       QStringLiteral(" ]")))
            deleted = m->StoredMeasurementKey;
        SetMode(QStringLiteral("[Inquire mode]"));
    }
    // PreMea follows the measurements that remain, whatever the answer.
    ShowDatabaseError(DeleteMeasurement(db_, deleted, patients_->CurrentKey(), patient->Number));
    if (deleted != 0)
        measurements_->Reread();
    if (focus_ == Focus::Measurements)
        MeasurementsFocused(); // the buttons follow what is left
    patients_->Model().RefreshRows();
    FillDetailGrid();
    ShowMemos();
    ShowCounts();
}

// ---------------------------------------------------------------------------
// View

void TZered::ToolButton8Click()
{
    AdvStringGrid1->setVisible(AdvStringGrid1->isHidden());
    FillDetailGrid();
}

void TZered::ToolButton9Click()
{
    MemoPanel->setVisible(MemoPanel->isHidden());
    SetDetailWidths();
}

void TZered::SetDetailWidths()
{
    const int width = MemoPanel->isHidden() ? DetailWidthWithoutMemo : DetailWidthWithMemo;
    for (int c = 0; c < MeridianCount; ++c)
        AdvStringGrid1->horizontalHeader()->resizeSection(c, width);
}

void TZered::ToolButton10Click() { reject(); }

} // namespace qern
