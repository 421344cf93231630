#include "Zesen.h"

#include "MeasurementHooks.h"
#include "PointPictures.h"
#include "TrendGraph.h"

#include "instrument/Registers.h"
#include "shell/AppState.h"
#include "shell/DataFolder.h"
#include "shell/DayCount.h"
#include "shell/Led.h"
#include "shell/MeridianModel.h"
#include "shell/ProductTexts.h"
#include "shell/Settings.h"
#include "shell/ZeMsg.h"

#include <QCloseEvent>
#include <QDate>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace qern {

namespace {

constexpr int LiveRefreshMs = 20;

const QColor QualityRed(255, 0, 0);
const QColor QualityOlive(128, 128, 0);
const QColor QualityGreen(53, 210, 45);

QString readoutStyle(const QColor& text = QColor(140, 245, 140))
{
    return QStringLiteral("QLabel { background: #0f1d2b; color: %1; padding: 1px 6px;"
                          " font-family: 'DejaVu Sans Mono'; font-size: 14px; }")
        .arg(text.name());
}

QLabel* readout(const QString& name, QWidget* parent, int minimumWidth = 70)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(minimumWidth);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setStyleSheet(readoutStyle());
    return label;
}

QLabel* field(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(110);
    label->setStyleSheet(QStringLiteral("QLabel { color: #12325a; font-weight: bold; }"));
    return label;
}

QProgressBar* bar(const QString& name, QWidget* parent)
{
    auto* b = new QProgressBar(parent);
    b->setObjectName(name);
    b->setRange(0, 100);
    b->setValue(0);
    b->setTextVisible(false);
    b->setFixedHeight(12);
    return b;
}

void setBarColour(QProgressBar* b, const QColor& colour)
{
    b->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: %1; }").arg(colour.name()));
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumSize(84, 34);
    return b;
}

QToolButton* menuButton(const QString& name, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setPopupMode(QToolButton::InstantPopup);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumWidth(110);
    b->setMenu(new QMenu(b));
    return b;
}

QString average(double value) { return value > 0 ? QString::asprintf("%3.1f", value) : QString(); }

} // namespace

TZedec::TZedec(QWidget* parent) : QDialog(parent), run_(*this)
{
    setObjectName(QStringLiteral("Zedec"));
    setWindowTitle(QStringLiteral("Meridian Measurement"));
    setModal(true);
    resize(1040, 720);

    // Grid and its title.
    StaticText25 = new QLabel(this);
    StaticText25->setObjectName(QStringLiteral("StaticText25"));
    StaticText25->setStyleSheet(QStringLiteral("QLabel { font-size: 15px; font-weight: bold; color: #12325a; }"));
    RzToolButton1 = new QToolButton(this);
    RzToolButton1->setObjectName(QStringLiteral("RzToolButton1"));
    RzToolButton1->setText(QStringLiteral("Values / Quality"));
    RzToolButton1->setToolTip(QStringLiteral("Switch between the values and their quality scores"));
    connect(RzToolButton1, &QToolButton::clicked, this, &TZedec::RzToolButton1Click);
    AvgText = readout(QStringLiteral("AvgText"), this);
    BuildGrid();

    // Point guide.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(300, 250);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFrameShape(QFrame::Box);
    PictureLabel1 = new QLabel(Image1);
    PictureLabel1->setObjectName(QStringLiteral("PictureLabel1"));
    PictureLabel2 = new QLabel(Image1);
    PictureLabel2->setObjectName(QStringLiteral("PictureLabel2"));
    for (QLabel* l : {PictureLabel1, PictureLabel2}) {
        l->setStyleSheet(QStringLiteral("QLabel { background: rgba(255,255,255,200); color: #8b0000; "
                                        "font-weight: bold; padding: 1px 4px; }"));
        l->hide();
    }
    PictureLabel1->move(6, 6);
    PictureLabel2->move(6, 226);
    LocationText = field(QStringLiteral("LocationText"), this);
    MeridianNameText = field(QStringLiteral("MeridianNameText"), this);
    PointNameText = field(QStringLiteral("PointNameText"), this);
    auto* guideFields = new QGridLayout;
    guideFields->addWidget(new QLabel(QStringLiteral("Location:"), this), 0, 0);
    guideFields->addWidget(LocationText, 0, 1);
    guideFields->addWidget(new QLabel(QStringLiteral("Meridian Name:"), this), 1, 0);
    guideFields->addWidget(MeridianNameText, 1, 1);
    guideFields->addWidget(new QLabel(QStringLiteral("Point Name:"), this), 2, 0);
    guideFields->addWidget(PointNameText, 2, 1);
    auto* guide = new QVBoxLayout;
    guide->addWidget(Image1);
    guide->addLayout(guideFields);
    guide->addStretch();

    // Live read-outs and trend.
    ProgressBar1 = bar(QStringLiteral("ProgressBar1"), this);
    RemainingText = readout(QStringLiteral("RemainingText"), this);
    ValueText = readout(QStringLiteral("ValueText"), this);
    ValueBar = bar(QStringLiteral("ValueBar"), this);
    CompensatedText = readout(QStringLiteral("CompensatedText"), this);
    CompensatedBar = bar(QStringLiteral("CompensatedBar"), this);
    QualityText = readout(QStringLiteral("QualityText"), this);
    QualityBar = bar(QStringLiteral("QualityBar"), this);
    SampleCountText = readout(QStringLiteral("SampleCountText"), this);
    CountdownText = new QLabel(this);
    CountdownText->setObjectName(QStringLiteral("CountdownText"));
    CountdownText->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-size: 16px; font-weight: bold; }"));
    CountdownText->hide();
    StatusLed = new TLed(this, TLed::Green);
    StatusLed->setObjectName(QStringLiteral("StatusLed"));
    StatusLed->setFixedSize(26, 26);
    setBarColour(ValueBar, QColor(40, 120, 220));
    setBarColour(CompensatedBar, QColor(120, 80, 200));

    auto* live = new QGridLayout;
    int row = 0;
    const auto addLive = [&](const QString& caption, QWidget* value, QWidget* barWidget) {
        live->addWidget(new QLabel(caption, this), row, 0);
        live->addWidget(value, row, 1);
        if (barWidget)
            live->addWidget(barWidget, row, 2);
        ++row;
    };
    addLive(QStringLiteral("Progress:"), RemainingText, ProgressBar1);
    addLive(QStringLiteral("Meridian Value:"), ValueText, ValueBar);
    addLive(QStringLiteral("Compensated Value:"), CompensatedText, CompensatedBar);
    addLive(QStringLiteral("Value Quality:"), QualityText, QualityBar);
    addLive(QStringLiteral("Sampling Rate:"), SampleCountText, nullptr);
    auto* lampRow = new QHBoxLayout;
    lampRow->addWidget(StatusLed);
    lampRow->addWidget(CountdownText);
    lampRow->addStretch();
    live->addLayout(lampRow, row, 2);
    live->setColumnStretch(2, 1);
    PaintBox1 = new TTrendGraph(this);
    auto* middle = new QVBoxLayout;
    middle->addLayout(live);
    middle->addWidget(PaintBox1, 1);

    // Patient block, measurement time, selectors.
    PatientNoText = field(QStringLiteral("PatientNoText"), this);
    PatientNameText = field(QStringLiteral("PatientNameText"), this);
    PatientTelText = field(QStringLiteral("PatientTelText"), this);
    PatientDobText = field(QStringLiteral("PatientDobText"), this);
    PatientAgeText = field(QStringLiteral("PatientAgeText"), this);
    MeasurementDateText = field(QStringLiteral("MeasurementDateText"), this);
    MeasurementTimeText = field(QStringLiteral("MeasurementTimeText"), this);
    MeasurementAgeText = field(QStringLiteral("MeasurementAgeText"), this);
    RzMenuButton7 = menuButton(QStringLiteral("RzMenuButton7"), this);
    RzMenuButton2 = menuButton(QStringLiteral("RzMenuButton2"), this);
    RzMenuButton1 = menuButton(QStringLiteral("RzMenuButton1"), this);
    RzMenuButton3 = menuButton(QStringLiteral("RzMenuButton3"), this);
    BuildSelectors();

    UpDown1 = new QSpinBox(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(1, 50);
    UpDown1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    RzTrackBar1 = new QSlider(Qt::Horizontal, this);
    RzTrackBar1->setObjectName(QStringLiteral("RzTrackBar1"));
    RzTrackBar1->setRange(1, 50);
    auto* sensitivityText = readout(QStringLiteral("SensitivityText"), this, 50);
    connect(UpDown1, qOverload<int>(&QSpinBox::valueChanged), this, &TZedec::SetSensitivityPosition);
    connect(RzTrackBar1, &QSlider::valueChanged, this, &TZedec::SetSensitivityPosition);
    connect(UpDown1, qOverload<int>(&QSpinBox::valueChanged), sensitivityText,
            [sensitivityText](int position) { sensitivityText->setText(QString::asprintf("%1.1f", position / 10.0)); });

    auto* patient = new QGridLayout;
    const QList<std::pair<QString, QWidget*>> patientRows = {
        {QStringLiteral("No:"), PatientNoText},
        {QStringLiteral("Name:"), PatientNameText},
        {QStringLiteral("Tel No:"), PatientTelText},
        {QStringLiteral("DOB:"), PatientDobText},
        {QStringLiteral("Age:"), PatientAgeText},
        {QStringLiteral("Gender:"), RzMenuButton7},
        {QStringLiteral("Measurement Date:"), MeasurementDateText},
        {QStringLiteral("Measurement Time:"), MeasurementTimeText},
        {QStringLiteral("Measurement Age:"), MeasurementAgeText},
        {QStringLiteral("Potential:"), RzMenuButton2},
        {QStringLiteral("Sound:"), RzMenuButton1},
        {QStringLiteral("Picture:"), RzMenuButton3},
    };
    for (int i = 0; i < patientRows.size(); ++i) {
        patient->addWidget(new QLabel(patientRows[i].first, this), i, 0);
        patient->addWidget(patientRows[i].second, i, 1);
    }
    auto* sensitivity = new QHBoxLayout;
    sensitivity->addWidget(UpDown1);
    sensitivity->addWidget(RzTrackBar1, 1);
    sensitivity->addWidget(sensitivityText);
    patient->addWidget(new QLabel(QStringLiteral("Sensitivity:"), this), int(patientRows.size()), 0);
    patient->addLayout(sensitivity, int(patientRows.size()), 1);
    auto* right = new QVBoxLayout;
    right->addLayout(patient);
    right->addStretch();

    // Buttons.
    StartButton = button(QStringLiteral("StartButton"), QStringLiteral("Start"), this);
    StopButton = button(QStringLiteral("StopButton"), QStringLiteral("Stop"), this);
    AnalyzeButton = button(QStringLiteral("AnalyzeButton"), QStringLiteral("Analyze"), this);
    SaveButton = button(QStringLiteral("SaveButton"), QStringLiteral("Save"), this);
    RecallButton = button(QStringLiteral("RecallButton"), QStringLiteral("Recall"), this);
    ManualButton = button(QStringLiteral("ManualButton"), QStringLiteral("Manual"), this);
    CompareButton = button(QStringLiteral("CompareButton"), QStringLiteral("Compare"), this);
    ClearButton = button(QStringLiteral("ClearButton"), QStringLiteral("Clear"), this);
    QuitButton = button(QStringLiteral("QuitButton"), QStringLiteral("Quit"), this);
    connect(StartButton, &QPushButton::clicked, this, &TZedec::StartButtonClick);
    connect(StopButton, &QPushButton::clicked, this, &TZedec::StopButtonClick);
    connect(AnalyzeButton, &QPushButton::clicked, this, &TZedec::AnalyzeButtonClick);
    connect(SaveButton, &QPushButton::clicked, this, &TZedec::SaveButtonClick);
    connect(RecallButton, &QPushButton::clicked, this, &TZedec::RecallButtonClick);
    connect(ManualButton, &QPushButton::clicked, this, &TZedec::ManualButtonClick);
    connect(CompareButton, &QPushButton::clicked, this, &TZedec::CompareButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TZedec::ClearButtonClick);
    connect(QuitButton, &QPushButton::clicked, this, &TZedec::QuitButtonClick);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {StartButton, StopButton, AnalyzeButton, SaveButton, RecallButton, ManualButton,
                           CompareButton, ClearButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(QuitButton);
    StartButton->setDefault(false);
    StartButton->setAutoDefault(false);

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    StatusBar1->setMinimumHeight(24);

    auto* head = new QHBoxLayout;
    head->addWidget(StaticText25);
    head->addWidget(RzToolButton1);
    head->addStretch();
    head->addWidget(new QLabel(QStringLiteral("Avg:"), this));
    head->addWidget(AvgText);

    auto* body = new QHBoxLayout;
    body->addLayout(guide);
    body->addLayout(middle, 1);
    body->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(AdvStringGrid1);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar1);

    // Opening, once.
    const Settings& settings = appState().Settings;
    const int position = int(std::lround(settings.Sensitivity * 10));
    UpDown1->setValue(position);
    RzTrackBar1->setValue(position);
    sensitivityText->setText(QString::asprintf("%1.1f", UpDown1->value() / 10.0));
    SetPotential(appState().CurrentMeasurement.HighPotential);
    SetPictureStyle(settings.PictureStyle);
    SetSound(settings.SoundMode);
    liveClock_.start();
}

TZedec::~TZedec() = default;

void TZedec::BuildGrid()
{
    AdvStringGrid1 = new QTableWidget(3, 13, this);
    AdvStringGrid1->setObjectName(QStringLiteral("AdvStringGrid1"));
    AdvStringGrid1->horizontalHeader()->hide();
    AdvStringGrid1->verticalHeader()->hide();
    AdvStringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AdvStringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    AdvStringGrid1->setFocusPolicy(Qt::StrongFocus);
    AdvStringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    AdvStringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    AdvStringGrid1->setFixedHeight(110);
    AdvStringGrid1->setStyleSheet(QStringLiteral("QTableWidget { font-size: 15px; gridline-color: #8aa0b8; }"
                                                 "QTableWidget::item:selected { background: #ffe08a; color: black; }"));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 13; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            if (r == 0 || c == 0) {
                item->setBackground(QColor(214, 224, 236));
                item->setFlags(Qt::ItemIsEnabled);
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            AdvStringGrid1->setItem(r, c, item);
        }
    for (int slot = 1; slot <= MeridianCount; ++slot)
        AdvStringGrid1->item(0, slot)->setText(MeridianTable(DisplayOrder[slot]).Code);
    AdvStringGrid1->item(1, 0)->setText(QStringLiteral("Left"));
    AdvStringGrid1->item(2, 0)->setText(QStringLiteral("Right"));
    connect(AdvStringGrid1, &QTableWidget::cellClicked, this, &TZedec::GridCellClicked);
}

void TZedec::BuildSelectors()
{
    struct Choice {
        QToolButton* button;
        QStringList captions;
        std::function<void(int)> choose;
    };
    const Choice choices[] = {
        {RzMenuButton7, {"Male", "Female"}, [this](int i) { SetSex(i == 0); }},
        {RzMenuButton2, {"NRM Potential", "Hi Potential"}, [this](int i) { SetPotential(i == 1); }},
        {RzMenuButton1, {"Standard", "Single", "Mute"}, [this](int i) { SetSound(i == 0 ? 1 : i == 1 ? 2 : 0); }},
        {RzMenuButton3, {"Picture", "Outline", "Combined"}, [this](int i) { SetPictureStyle(i + 1); }},
    };
    for (const Choice& c : choices)
        for (int i = 0; i < c.captions.size(); ++i) {
            QAction* action = c.button->menu()->addAction(c.captions[i]);
            action->setObjectName(c.button->objectName() + QStringLiteral("_") + QString::number(i + 1));
            connect(action, &QAction::triggered, this, [choose = c.choose, i] { choose(i); });
        }
}

// ---------------------------------------------------------------------------
// Opening and the idle window

void TZedec::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TZedec::FormShow()
{
    AppState& state = appState();
    SetSex(state.CurrentPatient.Male);
    AdvStringGrid1->setEnabled(false);
    AdvStringGrid1->clearSelection();
    qualityView_ = false;

    bool any = false;
    bool all = true;
    for (double raw : state.CurrentMeasurement.Raw) {
        any = any || raw != 0;
        all = all && raw != 0;
    }
    AnalyzeButton->setEnabled(all);
    CompareButton->setEnabled(all);
    SaveButton->setEnabled(any);
    ClearButton->setEnabled(any);
    RefreshGrid();
    StartButton->setEnabled(true);
    RecallButton->setEnabled(true);
    ManualButton->setEnabled(true);
    QuitButton->setEnabled(true);
    StopButton->setEnabled(false);
    SetPotential(state.CurrentMeasurement.HighPotential);

    ShowPatientBlock();
    ClearPointGuide();
    ResetReadouts();
}

void TZedec::ShowPatientBlock()
{
    const Patient& patient = appState().CurrentPatient;
    PatientNoText->setText(patient.Number);
    PatientNameText->setText(patient.Name);
    PatientTelText->setText(patient.Telephone);
    if (DateEntered(patient.BirthDate)) {
        PatientDobText->setText(ShortDate(patient.BirthDate));
        PatientAgeText->setText(QString::asprintf(
            "%3.1f", AgeYears(ToDayCount(QDateTime(QDate::currentDate(), QTime(0, 0))), patient.BirthDate)));
    } else {
        PatientDobText->clear();
        PatientAgeText->clear();
    }
}

void TZedec::RefreshGrid()
{
    const Measurement& m = appState().CurrentMeasurement;
    StaticText25->setText(qualityView_ ? QStringLiteral("Data Quality Score") : QStringLiteral("Meridian Energy Values"));
    double sum = 0;
    int measured = 0;
    for (int slot = 1; slot <= MeridianCount; ++slot)
        for (Side side : {Side::Left, Side::Right}) {
            const int position = PositionOfSlot(slot, side);
            const int point = PositionToPoint(position);
            QTableWidgetItem* cell = AdvStringGrid1->item(side == Side::Left ? 1 : 2, slot);
            const double raw = m.Raw[point];
            const double quality = m.Quality[point];
            QString text;
            QColor colour = Qt::black;
            if (raw > 0 || (!qualityView_ && raw != 0)) {
                if (qualityView_) {
                    text = QString::asprintf("%3.1f", quality > 0 ? quality : 0.0);
                    colour = quality < 60 ? QualityRed : quality < 80 ? QualityOlive : QualityGreen;
                    sum += quality > 0 ? quality : 0.0;
                } else {
                    text = QString::asprintf("%3.0f", raw);
                    sum += raw;
                }
                ++measured;
            }
            cell->setText(text.trimmed());
            cell->setForeground(colour);
        }
    AvgText->setText(measured ? average(sum / measured) : QString());
    ShowMeasuredAt();
}

void TZedec::ShowMeasuredAt()
{
    const Measurement& m = appState().CurrentMeasurement;
    const double birth = appState().CurrentPatient.BirthDate;
    if (!qualityView_ && run_.MeasuredSomething() && m.DateTime != 0) {
        MeasurementDateText->setText(ShortDate(m.DateTime));
        MeasurementTimeText->setText(LongTime(m.DateTime));
        MeasurementAgeText->setText(DateEntered(birth) ? QString::asprintf("%3.1f", AgeYears(m.DateTime, birth))
                                                       : QString());
    } else if (!qualityView_) {
        MeasurementDateText->clear();
        MeasurementTimeText->clear();
        MeasurementAgeText->clear();
    }
}

void TZedec::ClearPointGuide()
{
    guidePosition_ = 0;
    Image1->clear();
    PictureLabel1->hide();
    PictureLabel2->hide();
    LocationText->clear();
    MeridianNameText->clear();
    PointNameText->clear();
}

void TZedec::ResetReadouts()
{
    live_ = Live{};
    ValueText->setText(QStringLiteral("0.0"));
    CompensatedText->setText(QStringLiteral("0.0"));
    QualityText->setText(QStringLiteral("0.0"));
    QualityText->setStyleSheet(readoutStyle(QualityGreen));
    RemainingText->setText(QStringLiteral("off"));
    SampleCountText->setText(QStringLiteral("0"));
    for (QProgressBar* b : {ProgressBar1, ValueBar, CompensatedBar, QualityBar})
        b->setValue(0);
    setBarColour(QualityBar, QualityGreen);
    CountdownText->hide();
    PaintBox1->Reset(false);
}

// ---------------------------------------------------------------------------
// Selectors

void TZedec::SetPotential(bool high)
{
    appState().CurrentMeasurement.HighPotential = high;
    RzMenuButton2->setText(high ? QStringLiteral("Hi Potential") : QStringLiteral("NRM Potential"));
    RzMenuButton2->setStyleSheet(high ? QStringLiteral("QToolButton { color: #c00000; font-weight: bold; }")
                                      : QStringLiteral("QToolButton { color: #006400; }"));
}

void TZedec::SetSound(int mode)
{
    appState().Settings.SoundMode = mode;
    RzMenuButton1->setText(mode == 0 ? QStringLiteral("Mute") : mode == 2 ? QStringLiteral("Single")
                                                                          : QStringLiteral("Standard"));
}

void TZedec::SetPictureStyle(int style)
{
    appState().Settings.PictureStyle = style;
    RzMenuButton3->setText(style == 2 ? QStringLiteral("Outline") : style == 3 ? QStringLiteral("Combined")
                                                                               : QStringLiteral("Picture"));
    if (run_.Running()) {
        LoadPicture();
        AdvStringGrid1->setFocus();
    }
}

void TZedec::SetSex(bool male)
{
    appState().CurrentPatient.Male = male;
    RzMenuButton7->setText(male ? QStringLiteral("Male") : QStringLiteral("Female"));
}

void TZedec::SetSensitivityPosition(int position)
{
    const QSignalBlocker a(UpDown1);
    const QSignalBlocker b(RzTrackBar1);
    UpDown1->setValue(position);
    RzTrackBar1->setValue(position);
    appState().Settings.Sensitivity = position / 10.0;
    // The run reads the threshold from the sensitivity at every comparison.
}

// ---------------------------------------------------------------------------
// Buttons

void TZedec::StartButtonClick() { run_.Start(); }
void TZedec::StopButtonClick() { run_.RequestStop(); }

bool TZedec::OnlineGuard()
{
    if (appState().InstrumentOnline)
        return true;
    ShowMessageBox(6, Product().ProductShortName + QStringLiteral(" is off-line! Please reconnect the device."));
    return false;
}

void TZedec::OpenChild(const std::function<void(QWidget*)>& open)
{
    if (!open)
        return;
    hide();
    open(this);
    show();
}

void TZedec::AnalyzeButtonClick()
{
    if (!OnlineGuard())
        return;
    const auto& analyze = measurementHooks().Analyze;
    if (!analyze)
        return;
    OpenChild(analyze);
    AppState& state = appState();
    if (state.PointsMeasured > 11) {
        IncrementMeasurementCounter();
        state.PointsMeasured = 0;
    }
}

void TZedec::SaveButtonClick()
{
    ValuesView(true);
    OpenChild(measurementHooks().Save);
}

void TZedec::RecallButtonClick()
{
    if (!OnlineGuard())
        return;
    appState().RecallFromMain = false;
    OpenChild(measurementHooks().Recall);
    ValuesView(true);
    SetPotential(appState().CurrentMeasurement.HighPotential);
    SetSex(appState().CurrentPatient.Male);
}

void TZedec::ManualButtonClick()
{
    if (!OnlineGuard())
        return;
    appState().ManualEntryMode = 3;
    OpenChild(measurementHooks().Manual);
    SetPotential(appState().CurrentMeasurement.HighPotential);
    ValuesView(true);
}

void TZedec::CompareButtonClick()
{
    if (!OnlineGuard())
        return;
    OpenChild(measurementHooks().Compare);
}

void TZedec::ClearButtonClick()
{
    if (ShowMessageBox(1, QStringLiteral("Are you sure you want to clear the table values?\r\n"
                                         "This action will not affect saved measurements.")))
        ClearValues();
}

void TZedec::ClearValues()
{
    AppState& state = appState();
    Measurement& m = state.CurrentMeasurement;
    m.StoredMeasurementKey = 0;
    state.PointsMeasured = 0;
    m.Memo.clear();
    state.AnalysisPage = 0;
    state.ChartGroup = 1;
    state.ChartView.fill(1);
    m.Raw.fill(0);
    m.Compensated.fill(0);
    m.Quality.fill(0);
    Patient& patient = state.CurrentPatient;
    patient.Number.clear();
    patient.Name.clear();
    patient.Address.clear();
    patient.Telephone.clear();
    patient.Male = true;
    patient.BirthDate = 0;
    m.DateTime = 0;
    run_.SetMeasuredSomething(false);
    qualityView_ = false;
    RefreshGrid();
    AnalyzeButton->setEnabled(false);
    CompareButton->setEnabled(false);
    SaveButton->setEnabled(false);
    ClearButton->setEnabled(false);
    QuitButton->setEnabled(true);
    StartButton->setEnabled(true);
    RecallButton->setEnabled(true);
    StopButton->setEnabled(false);
    ShowPatientBlock();
    SetSex(true);
    SetPotential(m.HighPotential);
}

void TZedec::QuitButtonClick() { close(); }

void TZedec::RzToolButton1Click()
{
    qualityView_ = !qualityView_;
    RefreshGrid();
}

// A run in progress keeps the window open: it must be stopped first, or the
// run would go on behind a closed window.
void TZedec::reject()
{
    if (!run_.Running())
        QDialog::reject();
}

void TZedec::closeEvent(QCloseEvent* event)
{
    if (run_.Running()) {
        event->ignore();
        return;
    }
    appState().CurrentMeasurement.HighPotential = RzMenuButton2->text() == QLatin1String("Hi Potential");
    WriteSettings();
    QDialog::closeEvent(event);
}

void TZedec::GridCellClicked(int row, int column)
{
    if (row < 1 || column < 1)
        return;
    run_.SelectPosition(PositionOfSlot(column, row == 1 ? Side::Left : Side::Right));
}

// ---------------------------------------------------------------------------
// What the run shows

void TZedec::ValuesView(bool toggleEnabled)
{
    qualityView_ = false;
    RzToolButton1->setEnabled(toggleEnabled);
    RefreshGrid();
}

void TZedec::ValuesCleared()
{
    RefreshGrid();
    SaveButton->setEnabled(false);
    ClearButton->setEnabled(false);
    AvgText->clear();
    MeasurementDateText->clear();
    MeasurementTimeText->clear();
    MeasurementAgeText->clear();
}

void TZedec::RunStarted()
{
    RzMenuButton2->setEnabled(false);
    AdvStringGrid1->setEnabled(true);
    AdvStringGrid1->setFocus();
    for (QPushButton* b : {AnalyzeButton, CompareButton, ManualButton, SaveButton, ClearButton, QuitButton,
                           StartButton, RecallButton})
        b->setEnabled(false);
    StopButton->setEnabled(true);
    PaintBox1->Reset(true);
}

void TZedec::RunEnded(bool allPointsMeasured, bool measuredSomething)
{
    FlushLive(true);
    Image1->clear();
    PictureLabel1->hide();
    PictureLabel2->hide();
    RzToolButton1->setEnabled(true);
    StatusLed->SetBlinking(0);
    StatusLed->SetOn(false);
    AdvStringGrid1->clearSelection();
    AdvStringGrid1->setEnabled(false);
    StatusBar1->clear();
    AnalyzeButton->setEnabled(allPointsMeasured);
    CompareButton->setEnabled(allPointsMeasured);
    SaveButton->setEnabled(measuredSomething);
    ClearButton->setEnabled(measuredSomething);
    for (QPushButton* b : {QuitButton, StartButton, ManualButton, RecallButton})
        b->setEnabled(true);
    RzMenuButton2->setEnabled(true);
    StopButton->setEnabled(false);
    ClearPointGuide();
    ResetReadouts();
}

void TZedec::ShowPointGuide(int position)
{
    guidePosition_ = position;
    const int point = PositionToPoint(position);
    const MeridianInfo& meridian = MeridianTable(MeridianOf(point));
    LoadPicture();
    LocationText->setText(QString::fromLatin1(SideOf(point) == Side::Left ? "Left " : "Right ") +
                          QString::fromLatin1(IsFoot(point) ? "Foot" : "Hand"));
    MeridianNameText->setText(meridian.Name + QStringLiteral(" of ") + meridian.Channel);
    PointNameText->setText(meridian.SourcePoint);
    PictureLabel1->setText(meridian.SourcePoint);
    PictureLabel2->setText(meridian.FullName);
    for (QLabel* l : {PictureLabel1, PictureLabel2}) {
        l->adjustSize();
        l->show();
    }
    // The cell this point's result will be written to.
    for (int slot = 1; slot <= MeridianCount; ++slot)
        for (Side side : {Side::Left, Side::Right})
            if (PositionOfSlot(slot, side) == position)
                AdvStringGrid1->setCurrentCell(side == Side::Left ? 1 : 2, slot);
}

void TZedec::LoadPicture()
{
    if (guidePosition_ < 1)
        return;
    const QPixmap picture = LoadPointPicture(PictureFolder(appState().InstallFolder), appState().Settings.PictureStyle,
                                             PositionToPoint(guidePosition_), Image1->size() - QSize(4, 4));
    Image1->setPixmap(picture.scaled(Image1->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TZedec::ShowAverage(double average) { AvgText->setText(qern::average(average)); }

void TZedec::ShowStatusText(const QString& text) { StatusBar1->setText(text); }

void TZedec::ShowStatusLamp(Lamp lamp, int blinkMs)
{
    StatusLed->SetColour(lamp == Lamp::Red ? TLed::Red : TLed::Green);
    StatusLed->SetOn(lamp != Lamp::Off);
    StatusLed->SetBlinking(lamp == Lamp::Off ? 0 : blinkMs);
}

void TZedec::ResetLiveDisplays(double totalSeconds)
{
    live_ = Live{};
    ProgressBar1->setValue(0);
    SampleCountText->setText(QStringLiteral("0"));
    RemainingText->setText(QString::asprintf("%5.1f", totalSeconds).trimmed());
    CountdownText->hide();
}

void TZedec::ShowReading(double microamps, double compensated)
{
    live_.reading = {microamps, compensated};
    FlushLive(false);
}

void TZedec::ShowProgress(int percent, double remainingSeconds)
{
    live_.progress = {percent, remainingSeconds};
    FlushLive(percent >= 100);
}

void TZedec::ShowSampleCount(int count)
{
    live_.samples = count;
    FlushLive(false);
}

void TZedec::ShowQuality(double quality, QualityColour colour)
{
    live_.quality = {quality, colour};
    FlushLive(false);
}

void TZedec::ClearTrend()
{
    PaintBox1->Reset(true);
    live_.trend = false;
}

void TZedec::AddTrendPoint(quint32 elapsedMs, double deviationMicroamps)
{
    PaintBox1->AddPoint(elapsedMs, deviationMicroamps);
    live_.trend = true;
    FlushLive(false);
}

void TZedec::ShowPointResult(int position)
{
    FlushLive(true);
    const int point = PositionToPoint(position);
    for (int slot = 1; slot <= MeridianCount; ++slot)
        for (Side side : {Side::Left, Side::Right})
            if (PositionOfSlot(slot, side) == position)
                AdvStringGrid1->item(side == Side::Left ? 1 : 2, slot)
                    ->setText(QString::asprintf("%3.0f", appState().CurrentMeasurement.Raw[point]).trimmed());
    ShowMeasuredAt();
}

void TZedec::ShowCountdown(const QString& text)
{
    if (text.isEmpty()) {
        live_.countdown.reset();
        CountdownText->hide();
        return;
    }
    live_.countdown = text;
    FlushLive(text == QLatin1String("0.0 Sec"));
}

void TZedec::SetGridEnabled(bool enabled) { AdvStringGrid1->setEnabled(enabled); }

void TZedec::FlushLive(bool force)
{
    if (!force && liveClock_.elapsed() < LiveRefreshMs)
        return;
    liveClock_.restart();
    if (live_.reading) {
        const auto [value, compensated] = *live_.reading;
        ValueText->setText(QString::asprintf("%5.1f", value).trimmed());
        CompensatedText->setText(QString::asprintf("%5.1f", compensated).trimmed());
        ValueBar->setValue(std::clamp(int(value / 200 * 100), 0, 100));
        CompensatedBar->setValue(std::clamp(int(compensated / 200 * 100), 0, 100));
        live_.reading.reset();
    }
    if (live_.progress) {
        ProgressBar1->setValue(std::clamp(live_.progress->first, 0, 100));
        RemainingText->setText(QString::asprintf("%5.1f", live_.progress->second).trimmed());
        live_.progress.reset();
    }
    if (live_.samples) {
        SampleCountText->setText(QString::number(*live_.samples));
        live_.samples.reset();
    }
    if (live_.quality) {
        const auto [quality, colour] = *live_.quality;
        const QColor shade = colour == QualityColour::Green    ? QualityGreen
                             : colour == QualityColour::Yellow ? QColor(230, 200, 0)
                                                               : QualityRed;
        QualityText->setText(quality > 0 ? QString::asprintf("%5.1f", quality).trimmed() : QStringLiteral("0.0"));
        QualityText->setStyleSheet(readoutStyle(shade));
        QualityBar->setValue(quality > 0 ? std::clamp(int(std::lround(quality)), 0, 100) : 0);
        setBarColour(QualityBar, colour == QualityColour::Yellow ? QColor(255, 140, 0) : shade);
        live_.quality.reset();
    }
    if (live_.countdown) {
        CountdownText->setText(*live_.countdown);
        CountdownText->show();
        live_.countdown.reset();
    }
    if (live_.trend) {
        PaintBox1->Flush();
        live_.trend = false;
    }
}

} // namespace qern
