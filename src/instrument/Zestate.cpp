#include "Zestate.h"

#include "InstrumentLink.h"

#include "shell/AppState.h"
#include "shell/Clock.h"
#include "shell/Led.h"
#include "shell/ProductTexts.h"
#include "shell/ShellHooks.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace qern {

namespace {

constexpr int LampThresholds[7] = {0, 13, 26, 40, 53, 66, 80};
constexpr int FillAtPercent = 27;
constexpr int LampTestBeforePercent = 34;

QLabel* field(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(220);
    label->setStyleSheet(QStringLiteral("QLabel { background: #10202e; color: #7CFC8A; border: 1px solid #3a5068;"
                                        " padding: 2px 6px; font-family: 'DejaVu Sans Mono'; }"));
    return label;
}

} // namespace

InstrumentStatus EvaluateInstrumentStatus(bool held, const QString& hardwareVersion, const QString& identity)
{
    InstrumentStatus status;
    if (!held) {
        status.Serial = status.Hardware = QStringLiteral("None!");
        status.ErrorText = CannotFindText;
    } else if (hardwareVersion.isEmpty()) {
        status.Serial = identity;
        status.Hardware = QStringLiteral("USB Status Error!");
        status.ErrorText = UsbConnectionErrorText;
    } else {
        status.Online = true;
        status.Serial = identity;
        status.Hardware = hardwareVersion;
    }
    return status;
}

TZeStatu::TZeStatu(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ZeStatu"));
    setWindowTitle(QStringLiteral("\u7CFB\u7D71\u72C0\u614B\u8A2D\u5B9A"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(480, 260);

    auto* caption = new QLabel(windowTitle(), this);
    caption->setObjectName(QStringLiteral("CaptionLabel"));
    caption->setStyleSheet(QStringLiteral("QLabel { color: #d8e6f4; font-size: 13px; }"));
    auto* logo = new QLabel(Product().ProductShortName, this);
    logo->setObjectName(QStringLiteral("LogoLabel"));
    logo->setStyleSheet(QStringLiteral("QLabel { color: white; font: bold 30px 'Liberation Serif'; }"));

    ALed1 = new TLed(this, TLed::Red);
    ALed1->setObjectName(QStringLiteral("ALed1"));
    ALed1->setFixedSize(34, 34);

    auto* lamps = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("USB Status:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lamps->addWidget(Label1);
    for (int i = 0; i < 7; ++i) {
        hhALed[i] = new TLed(this, TLed::Green);
        hhALed[i]->setObjectName(QStringLiteral("hhALed%1").arg(i + 1));
        hhALed[i]->setFixedSize(16, 16);
        lamps->addWidget(hhALed[i]);
    }
    lamps->addStretch();

    StaticText6 = field(QStringLiteral("StaticText6"), this);
    StaticText7 = field(QStringLiteral("StaticText7"), this);
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Serial Num:"), this), 0, 0);
    fields->addWidget(StaticText6, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Hardware Ver:"), this), 1, 0);
    fields->addWidget(StaticText7, 1, 1);
    fields->setColumnStretch(2, 1);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(12);

    BitBtn1 = new QPushButton(QStringLiteral("Exit"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->hide();
    connect(BitBtn1, &QPushButton::clicked, this, &TZeStatu::BitBtn1Click);

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setWordWrap(true);
    StatusBar1->setStyleSheet(QStringLiteral("QLabel { color: #ffd7a0; }"));

    auto* head = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->addWidget(caption);
    titles->addWidget(logo);
    head->addLayout(titles);
    head->addStretch();
    head->addWidget(ALed1, 0, Qt::AlignTop);

    auto* foot = new QHBoxLayout;
    foot->addWidget(StatusBar1, 1);
    foot->addWidget(BitBtn1, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addLayout(head);
    layout->addSpacing(6);
    layout->addLayout(lamps);
    layout->addLayout(fields);
    layout->addWidget(ProgressBar1);
    layout->addStretch();
    layout->addLayout(foot);

    setStyleSheet(QStringLiteral("QLabel { color: #e8eef6; }"));
}

void TZeStatu::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(40, 62, 92));
    fill.setColorAt(1, QColor(18, 30, 48));
    p.fillRect(rect(), fill);
    p.setPen(QPen(QColor(120, 150, 190), 2));
    p.drawRect(rect().adjusted(1, 1, -1, -1));
}

void TZeStatu::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_)
        QTimer::singleShot(0, this, &TZeStatu::FormActivate);
}

void TZeStatu::SetStatusText(const QString& text) { StatusBar1->setText(text); }

void TZeStatu::SetStepLamp(int lamp, const QColor& colour, bool on)
{
    if (lamp < 1 || lamp > 7)
        return;
    hhALed[lamp - 1]->SetColour(colour);
    hhALed[lamp - 1]->SetOn(on);
}

void TZeStatu::SetProgress(int percent) { ProgressBar1->setValue(std::clamp(percent, 0, 100)); }

void TZeStatu::SetFirstLabel(const QString& text) { Label1->setText(text); }

void TZeStatu::FormActivate()
{
    if (activated_)
        return;
    activated_ = true;

    AppState& state = appState();
    setWindowOpacity(1.0);
    StaticText6->clear();
    StaticText7->clear();
    SetStatusText(QStringLiteral("Environment Setup. Please Wait...."));

    InstrumentLink* link = instrumentLink();
    const bool held = link && link->Instrument();
    const InstrumentStatus status = EvaluateInstrumentStatus(held, state.HardwareVersion, state.InstrumentIdentity);
    if (!held) {
        StaticText6->setText(status.Serial);
        StaticText7->setText(status.Hardware);
    } else if (!status.Online) {
        StaticText7->setText(status.Hardware);
    }
    if (!status.Online)
        state.InstrumentOnline = false;

    ALed1->SetColour(!held ? TLed::Red : state.InstrumentOnline ? TLed::Green : TLed::Yellow);
    ALed1->SetBlinking(300);
    ProgressBar1->setValue(0);
    hhALed[0]->SetOn(true);

    const quint32 start = clock().ticks();
    bool filled = false;
    bool lampTested = false;
    for (quint32 e = 0; e < CheckMs; e = elapsed(start, clock().ticks())) {
        pumpEvents();
        const int progress = int(elapsed(start, clock().ticks()) / 15);
        ProgressBar1->setValue(std::min(progress, 100));
        // Reached rather than inside 27..33 %: a slow instrument may carry one
        // pass right over that window.
        if (!filled && progress >= FillAtPercent) {
            filled = true;
            StaticText6->setText(status.Serial);
            StaticText7->setText(status.Hardware);
        }
        for (int i = 0; i < 7; ++i)
            if (progress >= LampThresholds[i])
                hhALed[i]->SetOn(true);
        if (state.InstrumentOnline && !lampTested && progress < LampTestBeforePercent) {
            lampTested = true;
            SendCommand(QStringLiteral("A007F"));
            SendCommand(QStringLiteral("C007F"));
            SendCommand(QStringLiteral("F00FF"));
        }
    }

    if (state.InstrumentOnline)
        SendCommand(QStringLiteral("X0000"));
    ProgressBar1->setValue(100);
    SetStatusText(QStringLiteral("Done."));

    if (state.InstrumentOnline) {
        if (const auto& check = shellHooks().RunDatabaseStartupCheck)
            check(this);
        accept();
        return;
    }
    // An instrument that went away during the check counts as not found.
    SetStatusText(status.ErrorText.isEmpty() ? CannotFindText : status.ErrorText);
    ALed1->SetBlinking(0);
    BitBtn1->show();
    BitBtn1->setFocus();
}

void TZeStatu::BitBtn1Click() { reject(); }

void TZeStatu::reject()
{
    if (BitBtn1->isHidden())
        return;
    appState().InstrumentOnline = false;
    QDialog::reject();
}

void TZeStatu::done(int result)
{
    if (closing_)
        return;
    closing_ = true;
    ALed1->SetBlinking(0);
    if (appState().InstrumentOnline) {
        const quint32 start = clock().ticks();
        for (quint32 e = 0; e < FadeMs; e = elapsed(start, clock().ticks())) {
            setWindowOpacity((FadeMs - e) / double(FadeMs));
            pumpEvents();
        }
        setWindowOpacity(0.0);
    }
    QDialog::done(result);
}

} // namespace qern
