#include "support/TestSupport.h"

#include "shell/AppState.h"
#include "shell/Settings.h"
#include "shell/Ze2main.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace qern;
using qern::test::RecordedLaunches;
using qern::test::ScriptedMessages;
using qern::test::TempDataFolder;

namespace {

const QString OffLine = QStringLiteral("Q.E.R.N. is off-line! Please reconnect the device.");

const char* const MainButtons[] = {"ToolButton1", "ToolButton3", "ToolButton4", "ToolButton5",
                                   "ToolButton7", "ToolButton8", "ToolButton9"};
const char* const FnButtonNames[] = {"ToolButton11", "ToolButton12", "ToolButton13",
                                     "ToolButton14", "ToolButton15", "ToolButton16"};
const char* const MenuNames[] = {"Measure1", "Reference1", "System1", "About1"};

// Every guarded entry with the work window it opens (none for the user links).
struct Entry {
    const char* name;
    bool menu;
    std::optional<WorkWindow> window;
};
const Entry GuardedEntries[] = {
    {"ToolButton1", false, WorkWindow::Measure},   {"gq1", true, WorkWindow::Measure},
    {"ToolButton3", false, WorkWindow::Recall},    {"Recall1", true, WorkWindow::Recall},
    {"ToolButton4", false, WorkWindow::Reference}, {"g1", true, WorkWindow::Reference},
    {"ToolButton5", false, WorkWindow::TherapySetup}, {"w2", true, WorkWindow::TherapySetup},
    {"ToolButton7", false, WorkWindow::Calibrate}, {"N1", true, WorkWindow::Calibrate},
    {"ToolButton8", false, WorkWindow::ImportExport}, {"N5", true, WorkWindow::ImportExport},
    {"w1", true, WorkWindow::UserSetup},           {"i1", true, WorkWindow::About},
    {"ToolButton11", false, std::nullopt},         {"ToolButton12", false, std::nullopt},
    {"ToolButton13", false, std::nullopt},
};

class MainWindow : public testing::Test {
protected:
    // Settings written before the window starts, as a previous run left them.
    void WithSettings(const std::function<void(Settings&)>& change)
    {
        Settings s = DefaultSettings();
        change(s);
        ASSERT_TRUE(WriteSettingsFile(SettingsPath(), s).Ok);
    }

    // Creates the window, shows it and lets the first activation run.
    TZeForm& Start()
    {
        form_ = std::make_unique<TZeForm>();
        form_->resize(1600, 900); // wide enough that no toolbar button overflows
        form_->show();
        QCoreApplication::processEvents();
        return *form_;
    }

    template <typename T>
    T* Find(const char* name)
    {
        return form_->findChild<T*>(QLatin1String(name));
    }

    bool ButtonEnabled(const char* name) { return Find<QToolButton>(name)->isEnabled(); }
    bool MenusVisible()
    {
        bool all = true;
        for (const char* m : MenuNames)
            all = all && Find<QMenu>(m)->menuAction()->isVisible();
        return all;
    }
    bool AnyMenuVisible()
    {
        for (const char* m : MenuNames)
            if (Find<QMenu>(m)->menuAction()->isVisible())
                return true;
        return false;
    }

    void Trigger(const Entry& e)
    {
        if (e.menu)
            Find<QAction>(e.name)->trigger();
        else
            QTest::mouseClick(Find<QToolButton>(e.name), Qt::LeftButton);
    }

    TempDataFolder folder_;
    std::unique_ptr<TZeForm> form_;
};

TEST_F(MainWindow, CreationResetsStateAndCreatesTheSettingsFile)
{
    AppState& state = appState();
    state.InstrumentOnline = true;
    state.PatientSortKey = 4;
    state.ChartGroup = 3;
    state.ChartView[2] = 3;
    state.AnalysisPage = 5;
    state.CurrentMeasurement.Raw[5] = 42;
    state.CurrentMeasurement.StoredMeasurementKey = 9;
    state.CurrentMeasurement.HighPotential = true;
    state.CurrentMeasurement.Memo = QStringList{"old"};
    state.CurrentPatient.Number = QStringLiteral("P1");
    state.PointsMeasured = 24;

    bool settingsExistedAtInstall = true;
    shellHooks().InstallDeviceChangeHandler = [&] {
        settingsExistedAtInstall = QFileInfo::exists(SettingsPath());
    };

    TZeForm form;
    EXPECT_FALSE(settingsExistedAtInstall) << "the device handler comes before the settings";
    EXPECT_TRUE(QFileInfo::exists(SettingsPath()));
    EXPECT_FALSE(state.InstrumentOnline);
    EXPECT_TRUE(state.FirstActivation);
    EXPECT_EQ(state.PatientSortKey, 1);
    EXPECT_EQ(state.ChartGroup, 1);
    EXPECT_EQ(state.ChartView, (OneBased<int, 5>(1)));
    EXPECT_EQ(state.AnalysisPage, 0);
    EXPECT_EQ(state.CurrentMeasurement.Raw[5], 0);
    EXPECT_EQ(state.CurrentMeasurement.StoredMeasurementKey, 0);
    EXPECT_FALSE(state.CurrentMeasurement.HighPotential);
    EXPECT_TRUE(state.CurrentMeasurement.Memo.isEmpty());
    EXPECT_TRUE(state.CurrentPatient.Number.isEmpty());
    EXPECT_EQ(state.PointsMeasured, 0);

    for (const char* b : MainButtons)
        EXPECT_FALSE(form.findChild<QToolButton*>(QLatin1String(b))->isEnabled()) << b;
    for (const char* m : MenuNames)
        EXPECT_FALSE(form.findChild<QMenu*>(QLatin1String(m))->menuAction()->isVisible()) << m;
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("UserCaptionLabel"))->text(), state.Settings.UserCaption);
    EXPECT_FALSE(state.Tray.Online());
    EXPECT_EQ(state.Tray.Hint(), QStringLiteral("Q.E.R.N. Developers\r\nQ.E.R.N. is off-line !!"));
}

TEST_F(MainWindow, UserLinkButtonsFollowLinkFlags)
{
    struct Case {
        const char* flags;
        QList<int> visible;
    };
    const Case cases[] = {{"111000", {1, 2, 3}}, {"000000", {}}, {"010011", {2, 5, 6}},
                          {"1x0", {1, 2}},      {"", {}},        {"222222", {1, 2, 3, 4, 5, 6}}};
    for (const Case& c : cases) {
        WithSettings([&](Settings& s) {
            s.LinkFlags = QLatin1String(c.flags);
            s.LinkDescription[2] = QStringLiteral("Second link");
        });
        Start();
        for (int k = 1; k <= 6; ++k) {
            auto* fn = Find<QToolButton>(FnButtonNames[k - 1]);
            EXPECT_EQ(fn->isVisibleTo(form_.get()), c.visible.contains(k)) << c.flags << " Fn" << k;
        }
        EXPECT_EQ(Find<QToolButton>("ToolButton12")->toolTip(), QStringLiteral("Second link"));
        form_.reset();
        resetAppState();
        appState().InstallFolder = folder_.Path();
    }
}

TEST_F(MainWindow, WithoutStatusCheckTheWindowStaysOpenOffLine)
{
    Start();
    EXPECT_FALSE(appState().FirstActivation);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(ButtonEnabled("ToolButton1"));
    EXPECT_TRUE(MenusVisible());
}

TEST_F(MainWindow, EveryGuardedEntrySaysOffLineAndOpensNothing)
{
    int opened = 0;
    for (WorkWindow w : {WorkWindow::Measure, WorkWindow::Reference, WorkWindow::TherapySetup, WorkWindow::Calibrate,
                         WorkWindow::Recall, WorkWindow::ImportExport, WorkWindow::UserSetup, WorkWindow::About})
        shellHooks().WorkWindows[w] = [&](QWidget*) { ++opened; };
    Start();

    for (const Entry& e : GuardedEntries) {
        ScriptedMessages messages;
        Trigger(e);
        ASSERT_EQ(messages.asked().size(), 1) << e.name;
        EXPECT_EQ(messages.asked()[0].Kind, 6) << e.name;
        EXPECT_EQ(messages.asked()[0].Text, OffLine) << e.name;
        EXPECT_TRUE(ButtonEnabled("ToolButton1")) << e.name;
    }
    EXPECT_EQ(opened, 0);
}

TEST_F(MainWindow, EntriesOpenTheirWindowWithTheToolbarDisabled)
{
    QList<WorkWindow> opened;
    QList<bool> toolbarDuring;
    for (WorkWindow w : {WorkWindow::Measure, WorkWindow::Reference, WorkWindow::TherapySetup, WorkWindow::Calibrate,
                         WorkWindow::Recall, WorkWindow::ImportExport, WorkWindow::About})
        shellHooks().WorkWindows[w] = [&, w](QWidget* parent) {
            opened.append(w);
            toolbarDuring.append(parent->findChild<QToolButton*>(QStringLiteral("ToolButton9"))->isEnabled());
        };
    // User setup changes the links; the buttons follow when it closes.
    shellHooks().WorkWindows[WorkWindow::UserSetup] = [&](QWidget*) {
        opened.append(WorkWindow::UserSetup);
        appState().Settings.LinkFlags = QStringLiteral("000001");
    };
    Start();
    appState().InstrumentOnline = true;

    for (const Entry& e : GuardedEntries) {
        if (!e.window)
            continue;
        opened.clear();
        toolbarDuring.clear();
        appState().RecallFromMain = false;
        Trigger(e);
        ASSERT_EQ(opened, QList<WorkWindow>{*e.window}) << e.name;
        if (*e.window != WorkWindow::UserSetup) {
            EXPECT_EQ(toolbarDuring, QList<bool>{false}) << e.name;
        }
        for (const char* b : MainButtons)
            EXPECT_TRUE(ButtonEnabled(b)) << e.name << " then " << b;
        EXPECT_EQ(appState().RecallFromMain, *e.window == WorkWindow::Recall) << e.name;
    }
    QCoreApplication::processEvents(); // the toolbar lays itself out again
    EXPECT_FALSE(Find<QToolButton>("ToolButton11")->isVisibleTo(form_.get()));
    EXPECT_TRUE(Find<QToolButton>("ToolButton16")->isVisibleTo(form_.get()));
}

TEST_F(MainWindow, UserLinksAndTheWebAddressLaunch)
{
    WithSettings([](Settings& s) {
        s.LinkFlags = QStringLiteral("110000");
        s.LinkProgram[2] = QStringLiteral("D:\\Tools\\viewer.exe");
        s.LinkParameter[2] = QStringLiteral("--page 3");
    });
    Start();
    appState().InstrumentOnline = true;
    RecordedLaunches launches;
    launches.ExistingFiles = {QStringLiteral("F:\\Tools\\viewer.exe")};

    QTest::mouseClick(Find<QToolButton>("ToolButton11"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("ToolButton12"), Qt::LeftButton);
    QTest::mouseClick(Find<QLabel>("StaticText3"), Qt::LeftButton);

    ASSERT_EQ(launches.Launches.size(), 3);
    EXPECT_TRUE(launches.Launches[0].Document);
    EXPECT_EQ(launches.Launches[0].Parameter, QStringLiteral("https://qern.example.org/"));
    EXPECT_EQ(launches.Launches[1].Program, QStringLiteral("F:\\Tools\\viewer.exe"));
    EXPECT_EQ(launches.Launches[1].Parameter, QStringLiteral("--page 3"));
    EXPECT_TRUE(launches.Launches[2].Document);
    EXPECT_EQ(launches.Launches[2].Parameter, QStringLiteral("https://qern.example.org/"));
}

TEST_F(MainWindow, FirstActivationRunsTheStatusCheckOnce)
{
    int checks = 0;
    QWidget* checkParent = nullptr;
    shellHooks().RunStatusCheck = [&](QWidget* parent) {
        ++checks;
        checkParent = parent;
        EXPECT_FALSE(ButtonEnabled("ToolButton1")) << "nothing is enabled during the check";
        EXPECT_FALSE(AnyMenuVisible());
        appState().InstrumentOnline = true;
    };
    Start();
    form_->FormActivate();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(form_.get(), &activate);
    QCoreApplication::processEvents();

    EXPECT_EQ(checks, 1);
    EXPECT_EQ(checkParent, form_.get());
    for (const char* b : MainButtons)
        EXPECT_TRUE(ButtonEnabled(b)) << b;
    EXPECT_TRUE(MenusVisible());
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(MainWindow, MissingInstrumentEndsTheProgramAfterTheCheck)
{
    int databasesClosed = 0;
    shellHooks().RunStatusCheck = [](QWidget*) {};
    shellHooks().CloseDatabases = [&] { ++databasesClosed; };
    Start();
    QCoreApplication::processEvents();

    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(databasesClosed, 1);
    EXPECT_FALSE(ButtonEnabled("ToolButton1"));
    EXPECT_FALSE(AnyMenuVisible());
}

TEST_F(MainWindow, QuitAsksOnlyWhenOnLine)
{
    struct Case {
        const char* name;
        bool online;
        std::optional<bool> answer;
        bool closed;
        QList<int> sounds;
        QStringList commands;
    };
    const Case cases[] = {
        {"off line", false, std::nullopt, true, {}, {}},
        {"on line, yes", true, true, true, {2}, {"X0000"}},
        {"on line, no", true, false, false, {2}, {}},
    };
    for (const Case& c : cases) {
        QList<int> sounds;
        QStringList commands;
        int databasesClosed = 0;
        shellHooks().PlaySound = [&](int n) { sounds.append(n); };
        shellHooks().SendCommand = [&](const QString& cmd) { commands.append(cmd); };
        shellHooks().CloseDatabases = [&] { ++databasesClosed; };
        Start();
        appState().InstrumentOnline = c.online;

        ScriptedMessages messages;
        if (c.answer)
            messages.Answer(*c.answer);
        QTest::mouseClick(Find<QToolButton>("ToolButton9"), Qt::LeftButton);

        EXPECT_EQ(!form_->isVisible(), c.closed) << c.name;
        EXPECT_EQ(sounds, c.sounds) << c.name;
        EXPECT_EQ(commands, c.commands) << c.name;
        EXPECT_EQ(databasesClosed, c.closed ? 1 : 0) << c.name;
        if (c.answer) {
            ASSERT_EQ(messages.asked().size(), 1) << c.name;
            EXPECT_EQ(messages.asked()[0].Kind, 2);
            EXPECT_EQ(messages.asked()[0].Text, QStringLiteral("Are you sure you want to exit Q.E.R.N."));
        } else {
            EXPECT_TRUE(messages.asked().isEmpty()) << c.name;
        }
        EXPECT_EQ(ButtonEnabled("ToolButton1"), !c.closed) << c.name;
        form_.reset();
    }
}

TEST_F(MainWindow, UnreadableSettingsAreReportedAndDefaultsUsed)
{
    ASSERT_TRUE(QDir().mkpath(SettingsPath()));
    form_ = std::make_unique<TZeForm>();
    EXPECT_TRUE(appState().Settings == DefaultSettings());

    ScriptedMessages messages;
    form_->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 5);
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("ZeDefE6c.ini")));
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("default settings are in use")));
    EXPECT_TRUE(form_->isVisible());
}

} // namespace
