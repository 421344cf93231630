#include "Ze2main.h"

#include "AppState.h"
#include "Icons.h"
#include "LaunchExternal.h"
#include "MeridianModel.h"
#include "ProductTexts.h"
#include "Settings.h"
#include "ZeMsg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace qern {

namespace {

// The main window's face: the product's name over the twelve meridians in
// their display order, yin beside yang.
class MainPanel : public QWidget {
public:
    explicit MainPanel(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Panel1"));
        setMinimumSize(480, 320);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, height());
        sky.setColorAt(0, QColor(236, 244, 250));
        sky.setColorAt(1, QColor(198, 218, 234));
        p.fillRect(rect(), sky);

        // The ring sits below the title and phrase, which take the top quarter.
        const QPointF centre(width() / 2.0, height() * 0.62);
        const double radius = std::min(width() * 0.5, height() * 0.30) * 0.85;
        p.setPen(QPen(QColor(120, 150, 180), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, radius, radius);

        QFont codeFont(QStringLiteral("DejaVu Sans"));
        codeFont.setBold(true);
        codeFont.setPixelSize(std::max(12, int(radius / 7)));
        p.setFont(codeFont);
        const double node = std::max(14.0, radius / 5.5);
        for (int slot = 1; slot <= MeridianCount; ++slot) {
            const int m = DisplayOrder[slot];
            const double angle = (slot - 1) * 2 * M_PI / MeridianCount - M_PI / 2;
            const QPointF at(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
            const bool yin = slot % 2 == 1;
            p.setPen(QPen(QColor(60, 90, 130), 1.5));
            p.setBrush(yin ? QColor(70, 110, 170) : QColor(250, 250, 252));
            p.drawEllipse(at, node, node);
            p.setPen(yin ? Qt::white : QColor(50, 80, 120));
            p.drawText(QRectF(at.x() - node, at.y() - node, 2 * node, 2 * node), Qt::AlignCenter,
                       MeridianTable(m).Code);
        }

        const ProductTexts& product = Product();
        QFont title(QStringLiteral("Liberation Serif"));
        title.setPixelSize(std::max(18, height() / 14));
        title.setBold(true);
        p.setFont(title);
        p.setPen(QColor(40, 60, 100));
        const QRectF titleBox(0, height() * 0.04, width(), height() * 0.12);
        p.drawText(titleBox, Qt::AlignCenter, product.ProductTitle);
        QFont phrase(QStringLiteral("Liberation Serif"));
        phrase.setPixelSize(std::max(12, height() / 32));
        phrase.setItalic(true);
        p.setFont(phrase);
        p.drawText(QRectF(0, titleBox.bottom(), width(), height() * 0.06), Qt::AlignCenter,
                   product.ProductPhrase);
    }
};

QToolButton* makeToolButton(const QString& name, const QString& caption, ToolIconKind icon, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(ToolIcon(icon));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumWidth(84);
    return button;
}

void setHint(QToolButton* button, const QString& hint)
{
    button->setToolTip(hint);
    button->setStatusTip(hint);
}

QAction* addEntry(QMenu* menu, const QString& name, const QString& caption, const QString& hint = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    return action;
}

} // namespace

TZeForm::TZeForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("ZeForm"));
    const ProductTexts& product = Product();
    setWindowTitle(product.ProductTitle + QStringLiteral(" - ") + product.ProductPhrase);
    setWindowIcon(AppIcon());
    BuildToolbar();
    BuildMenus();
    BuildPanels();
    FormCreate();

    AppState& state = appState();
    connect(&state.Tray, &TrayIcon::Activated, this, [this] {
        showMaximized();
        raise();
        activateWindow();
    });
}

TZeForm::~TZeForm() = default;

void TZeForm::BuildToolbar()
{
    ToolBar1 = addToolBar(QStringLiteral("Tools"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    ToolButton1 = makeToolButton(QStringLiteral("ToolButton1"), QStringLiteral("  Measure  "), ToolIconKind::Measure, this);
    ToolButton3 = makeToolButton(QStringLiteral("ToolButton3"), QStringLiteral("Data Recall"), ToolIconKind::Recall, this);
    ToolButton4 = makeToolButton(QStringLiteral("ToolButton4"), QStringLiteral("Reference"), ToolIconKind::Reference, this);
    ToolButton5 =
        makeToolButton(QStringLiteral("ToolButton5"), QStringLiteral("Therapy Setup"), ToolIconKind::TherapySetup, this);
    ToolButton7 =
        makeToolButton(QStringLiteral("ToolButton7"), QStringLiteral("DCS Calibrate"), ToolIconKind::Calibrate, this);
    ToolButton8 =
        makeToolButton(QStringLiteral("ToolButton8"), QStringLiteral("Import/Export"), ToolIconKind::ImportExport, this);
    ToolButton9 = makeToolButton(QStringLiteral("ToolButton9"), QStringLiteral("    Quit    "), ToolIconKind::Quit, this);

    setHint(ToolButton3, QStringLiteral("Recall or Process data from database"));
    setHint(ToolButton4, QStringLiteral("Legend explanation of related data of Meridians"));
    setHint(ToolButton5, QStringLiteral("Individual therapy setup system"));
    setHint(ToolButton7, QStringLiteral("Instrument digital calibration system"));
    setHint(ToolButton8, QStringLiteral("Data import and export"));

    connect(ToolButton1, &QToolButton::clicked, this, &TZeForm::ToolButton1Click);
    connect(ToolButton3, &QToolButton::clicked, this, &TZeForm::ToolButton3Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TZeForm::ToolButton4Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TZeForm::ToolButton5Click);
    connect(ToolButton7, &QToolButton::clicked, this, &TZeForm::ToolButton7Click);
    connect(ToolButton8, &QToolButton::clicked, this, &TZeForm::ToolButton8Click);
    connect(ToolButton9, &QToolButton::clicked, this, &TZeForm::ToolButton9Click);

    for (QToolButton* b : {ToolButton1, ToolButton3, ToolButton4, ToolButton5, ToolButton7, ToolButton8})
        ToolBar1->addWidget(b);
    ToolBar1->addSeparator();
    for (int k = 1; k <= 6; ++k) {
        QToolButton* fn = makeToolButton(QStringLiteral("ToolButton%1").arg(10 + k), QStringLiteral("Fn%1").arg(k),
                                         ToolIconKind::UserLink, this);
        fn->setMinimumWidth(56);
        connect(fn, &QToolButton::clicked, this, [this, k] { FnButtonClick(k); });
        FnButtons[k - 1] = fn;
        FnActions[k - 1] = ToolBar1->addWidget(fn);
    }
    auto* spacer = new QWidget(this);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar1->addWidget(spacer);
    ToolBar1->addWidget(ToolButton9);
}

void TZeForm::BuildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* measure = bar->addMenu(QStringLiteral("Measure"));
    measure->setObjectName(QStringLiteral("Measure1"));
    connect(addEntry(measure, QStringLiteral("gq1"), QStringLiteral("Measure")), &QAction::triggered, this,
            &TZeForm::ToolButton1Click);
    connect(addEntry(measure, QStringLiteral("Recall1"), QStringLiteral("Recall"),
                     QStringLiteral("Recall or Process data from database")),
            &QAction::triggered, this, &TZeForm::ToolButton3Click);

    QMenu* reference = bar->addMenu(QStringLiteral("Reference"));
    reference->setObjectName(QStringLiteral("Reference1"));
    connect(addEntry(reference, QStringLiteral("g1"), QStringLiteral("Reference"),
                     QStringLiteral("Legend explanation of related data of Meridians")),
            &QAction::triggered, this, &TZeForm::ToolButton4Click);

    QMenu* system = bar->addMenu(QStringLiteral("System"));
    system->setObjectName(QStringLiteral("System1"));
    system->menuAction()->setStatusTip(QStringLiteral("System options"));
    system->menuAction()->setToolTip(QStringLiteral("System options"));
    connect(addEntry(system, QStringLiteral("w2"), QStringLiteral("Therapy setup"),
                     QStringLiteral("Individual therapy setup system")),
            &QAction::triggered, this, &TZeForm::ToolButton5Click);
    connect(addEntry(system, QStringLiteral("N1"), QStringLiteral("DCS Calibrate"),
                     QStringLiteral("Instrument digital calibration system")),
            &QAction::triggered, this, &TZeForm::ToolButton7Click);
    connect(addEntry(system, QStringLiteral("N5"), QStringLiteral("Import/Export"),
                     QStringLiteral("File import and export")),
            &QAction::triggered, this, &TZeForm::ToolButton8Click);
    connect(addEntry(system, QStringLiteral("w1"), QStringLiteral("User Setup"), QStringLiteral("User information setup")),
            &QAction::triggered, this, &TZeForm::w1Click);
    system->addSeparator();
    connect(addEntry(system, QStringLiteral("t1"), QStringLiteral("Quit")), &QAction::triggered, this,
            &TZeForm::ToolButton9Click);

    QMenu* about = bar->addMenu(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About1"));
    connect(addEntry(about, QStringLiteral("i1"), QStringLiteral("About")), &QAction::triggered, this,
            &TZeForm::i1Click);

    HiddenMenus = {measure, reference, system, about};
}

void TZeForm::BuildPanels()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new MainPanel(central), 1);

    auto* bottom = new QFrame(central);
    bottom->setObjectName(QStringLiteral("Panel2"));
    bottom->setFrameShape(QFrame::StyledPanel);
    bottom->setStyleSheet(QStringLiteral("#Panel2 { background: #2c3e58; } QLabel { color: #e8eef6; }"));
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(12, 6, 12, 6);
    StaticText2 = new QLabel(QStringLiteral("\u00A9 ") + Product().CompanyName, bottom);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    StaticText3 = new QLabel(Product().WebAddress, bottom);
    StaticText3->setObjectName(QStringLiteral("StaticText3"));
    StaticText3->setCursor(Qt::PointingHandCursor);
    StaticText3->setStyleSheet(QStringLiteral("QLabel { color: #9fd0ff; text-decoration: underline; }"));
    StaticText3->installEventFilter(this);
    row->addWidget(StaticText2);
    row->addStretch();
    row->addWidget(StaticText3);
    layout->addWidget(bottom);
    setCentralWidget(central);

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    UserCaptionLabel = new QLabel(status);
    UserCaptionLabel->setObjectName(QStringLiteral("UserCaptionLabel"));
    status->addWidget(UserCaptionLabel, 1);
}

void TZeForm::FormCreate()
{
    AppState& state = appState();
    state.InstrumentOnline = false;
    state.SampleWarningShowing = false;

    SetToolbarEnabled(false);
    SetMenusVisible(false);

    state.CurrentMeasurement.Memo.clear();
    state.FirstActivation = true;
    state.PatientSortKey = 1;
    state.CurrentMeasurement.StoredMeasurementKey = 0;
    state.CurrentMeasurement.HighPotential = false;
    state.ChartGroup = 1;
    state.ChartView.fill(1);
    state.BarStatusColouring = true;

    state.Tray.SetOnline(false);
    state.Tray.Attach();
    if (const auto& install = shellHooks().InstallDeviceChangeHandler)
        install();
    QCoreApplication::processEvents();

    const FileResult settings = LoadOrCreateSettings();
    if (!settings.Ok)
        StartupProblem = QStringLiteral("The settings file %1 could not be %2 (%3). The default settings are in use.")
                             .arg(QDir::toNativeSeparators(SettingsPath()),
                                  QFileInfo::exists(SettingsPath()) ? QStringLiteral("read")
                                                                    : QStringLiteral("created"),
                                  settings.Error);

    UserCaptionLabel->setText(state.Settings.UserCaption);
    state.AnalysisPage = 0;
    state.ResetCurrentRecords();
}

void TZeForm::SetToolbarEnabled(bool enabled)
{
    for (QToolButton* b : {ToolButton1, ToolButton3, ToolButton4, ToolButton5, ToolButton7, ToolButton8, ToolButton9})
        b->setEnabled(enabled);
    for (QToolButton* fn : FnButtons)
        fn->setEnabled(enabled);
}

void TZeForm::SetMenusVisible(bool visible)
{
    for (QMenu* menu : HiddenMenus)
        menu->menuAction()->setVisible(visible);
}

void TZeForm::ApplyUserLinks()
{
    const Settings& s = appState().Settings;
    for (int k = 1; k <= 6; ++k) {
        // A flag string shorter than six characters leaves the missing buttons hidden.
        const bool visible = s.LinkFlags.size() >= k && s.LinkFlags[k - 1] != QLatin1Char('0');
        FnActions[k - 1]->setVisible(visible);
        setHint(FnButtons[k - 1], s.LinkDescription[k]);
    }
}

void TZeForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TZeForm::FormShow()
{
    ApplyUserLinks();
    // Some desktops never report activation of a new window; the status check
    // must run all the same, once the window is on screen.
    if (appState().FirstActivation)
        QMetaObject::invokeMethod(this, &TZeForm::FormActivate, Qt::QueuedConnection);
}

bool TZeForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && appState().FirstActivation)
        QMetaObject::invokeMethod(this, &TZeForm::FormActivate, Qt::QueuedConnection);
    return QMainWindow::event(event);
}

void TZeForm::FormActivate()
{
    AppState& state = appState();
    if (!state.FirstActivation)
        return;
    state.FirstActivation = false;

    if (!StartupProblem.isEmpty())
        ShowMessageBox(5, StartupProblem);

    const auto& statusCheck = shellHooks().RunStatusCheck;
    if (statusCheck)
        statusCheck(this);
    // Without an instrument link in the program there is no check to pass:
    // the window stays open, off line, so that its entries can say so.
    if (state.InstrumentOnline || !statusCheck) {
        SetToolbarEnabled(true);
        SetMenusVisible(true);
    } else {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        QApplication::restoreOverrideCursor();
        unsetCursor();
    }
}

bool TZeForm::InstrumentGuard()
{
    if (appState().InstrumentOnline)
        return true;
    ShowMessageBox(6, Product().ProductShortName + QStringLiteral(" is off-line! Please reconnect the device."));
    return false;
}

void TZeForm::OpenWorkWindow(WorkWindow window)
{
    if (!InstrumentGuard())
        return;
    const auto& windows = shellHooks().WorkWindows;
    const auto it = windows.find(window);
    if (it == windows.end() || !it->second)
        return;
    SetToolbarEnabled(false);
    it->second(this);
    SetToolbarEnabled(true);
}

void TZeForm::ToolButton1Click() { OpenWorkWindow(WorkWindow::Measure); }

void TZeForm::ToolButton3Click()
{
    appState().RecallFromMain = true;
    OpenWorkWindow(WorkWindow::Recall);
}

void TZeForm::ToolButton4Click() { OpenWorkWindow(WorkWindow::Reference); }
void TZeForm::ToolButton5Click() { OpenWorkWindow(WorkWindow::TherapySetup); }
void TZeForm::ToolButton7Click() { OpenWorkWindow(WorkWindow::Calibrate); }
void TZeForm::ToolButton8Click() { OpenWorkWindow(WorkWindow::ImportExport); }

void TZeForm::w1Click()
{
    OpenWorkWindow(WorkWindow::UserSetup);
    ApplyUserLinks();
}

void TZeForm::i1Click() { OpenWorkWindow(WorkWindow::About); }

void TZeForm::FnButtonClick(int k)
{
    if (!InstrumentGuard())
        return;
    const Settings& s = appState().Settings;
    LaunchExternal(s.LinkProgram[k], s.LinkParameter[k]);
}

void TZeForm::ToolButton9Click()
{
    SetToolbarEnabled(false);
    close();
}

void TZeForm::StaticText3Click() { LaunchExternal(QString(), Product().WebAddress); }

bool TZeForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StaticText3 && event->type() == QEvent::MouseButtonRelease) {
        StaticText3Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TZeForm::closeEvent(QCloseEvent* event)
{
    AppState& state = appState();
    const ShellHooks& hooks = shellHooks();
    if (state.InstrumentOnline) {
        if (hooks.PlaySound)
            hooks.PlaySound(2);
        if (!ShowMessageBox(2, QStringLiteral("Are you sure you want to exit ") + Product().ProductShortName)) {
            SetToolbarEnabled(true);
            event->ignore();
            return;
        }
        if (hooks.SendCommand)
            hooks.SendCommand(QStringLiteral("X0000"));
    }
    if (hooks.CloseDatabases)
        hooks.CloseDatabases();
    SetToolbarEnabled(false);
    state.Tray.Detach();
    event->accept();
}

} // namespace qern
