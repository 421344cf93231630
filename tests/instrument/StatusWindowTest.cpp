#include "InstrumentFixture.h"

#include "instrument/InstrumentHooks.h"
#include "instrument/Zestate.h"
#include "shell/AppState.h"
#include "shell/Led.h"
#include "shell/Settings.h"
#include "shell/ShellHooks.h"
#include "shell/Ze2main.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace qern;
using qern::test::InstrumentTest;
using qern::test::TempDataFolder;

namespace {

class StatusWindow : public InstrumentTest {
protected:
    // Shows the window and lets its check run to the end.
    void RunCheck(TZeStatu& window)
    {
        window.show();
        QCoreApplication::processEvents();
    }

    QString Text(TZeStatu& w, const char* name) { return w.findChild<QLabel*>(QLatin1String(name))->text(); }
    TLed* Lamp(TZeStatu& w, const char* name) { return w.findChild<TLed*>(QLatin1String(name)); }
    QPushButton* Exit(TZeStatu& w) { return w.findChild<QPushButton*>(QStringLiteral("BitBtn1")); }
};

TEST_F(StatusWindow, NoInstrument)
{
    SimulationOptions options = NoPatient();
    options.Unplugged = true;
    Attach(options);
    int databaseChecks = 0;
    shellHooks().RunDatabaseStartupCheck = [&](QWidget*) { ++databaseChecks; };

    TZeStatu window;
    RunCheck(window);
    EXPECT_EQ(Lamp(window, "ALed1")->Colour(), TLed::Red);
    EXPECT_EQ(Text(window, "StaticText6"), QStringLiteral("None!"));
    EXPECT_EQ(Text(window, "StaticText7"), QStringLiteral("None!"));
    EXPECT_EQ(Text(window, "StatusBar1"), CannotFindText);
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(window.findChild<TLed*>(QStringLiteral("hhALed%1").arg(i))->On()) << i;
    EXPECT_TRUE(sim_->Reports().isEmpty()) << "no command without an instrument";
    EXPECT_EQ(databaseChecks, 0);
    ASSERT_TRUE(Exit(window)->isVisible());
    EXPECT_TRUE(window.isVisible());

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible()) << "once the failure shows, Escape is Exit";
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_FALSE(appState().InstrumentOnline);
}

TEST_F(StatusWindow, EmptyHardwareVersion)
{
    SimulationOptions options = NoPatient();
    options.EmptyHardwareVersion = true;
    Attach(options);
    ASSERT_TRUE(appState().InstrumentOnline) << "the arrival itself takes any instrument";

    TZeStatu window;
    RunCheck(window);
    EXPECT_EQ(Lamp(window, "ALed1")->Colour(), TLed::Yellow);
    EXPECT_EQ(Text(window, "StaticText7"), QStringLiteral("USB Status Error!"));
    EXPECT_EQ(Text(window, "StaticText6"), appState().InstrumentIdentity);
    EXPECT_EQ(Text(window, "StatusBar1"), UsbConnectionErrorText);
    EXPECT_FALSE(appState().InstrumentOnline);
    EXPECT_TRUE(sim_->Reports().isEmpty()) << "no lamp test on an unusable instrument";

    QTest::mouseClick(Exit(window), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(appState().InstrumentOnline);
}

TEST_F(StatusWindow, OnLineRunsTheLampTestAndTheDatabaseCheckThenFades)
{
    Attach();
    QList<QWidget*> databaseChecks;
    QStringList commandsBeforeDatabase;
    shellHooks().RunDatabaseStartupCheck = [&](QWidget* w) {
        databaseChecks.append(w);
        commandsBeforeDatabase = sim_->Commands();
    };

    TZeStatu window;
    const quint32 start = Now();
    RunCheck(window);
    EXPECT_GE(elapsed(start, Now()), TZeStatu::CheckMs + TZeStatu::FadeMs);
    EXPECT_EQ(commandsBeforeDatabase, QStringList({"A007F", "C007F", "F00FF", "X0000"}));
    EXPECT_EQ(databaseChecks, QList<QWidget*>{&window});
    EXPECT_EQ(Text(window, "StaticText6"), appState().InstrumentIdentity);
    EXPECT_EQ(Text(window, "StaticText7"), QStringLiteral("QERN6-20041115-A01"));
    EXPECT_EQ(Text(window, "StatusBar1"), QStringLiteral("Done."));
    EXPECT_EQ(Lamp(window, "ALed1")->Colour(), TLed::Green);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.windowOpacity(), 0.0);
    EXPECT_TRUE(appState().InstrumentOnline);
}

TEST_F(StatusWindow, EscapeCannotCutTheCheckShort)
{
    Attach();
    TZeStatu window;
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

class StartUp : public InstrumentTest {
protected:
    TempDataFolder folder_;
};

// The program start as the desktop program wires it.
TEST_F(StartUp, SimulatedInstrumentPassesTheCheckAndEnablesTheToolbar)
{
    Attach();
    InstallInstrumentHooks(*link_);
    TZeForm form;
    form.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(appState().InstrumentOnline);
    EXPECT_TRUE(form.findChild<QToolButton*>(QStringLiteral("ToolButton1"))->isEnabled());
    EXPECT_TRUE(form.findChild<QMenu*>(QStringLiteral("System1"))->menuAction()->isVisible());
    EXPECT_TRUE(appState().Tray.Online());
}

TEST_F(StartUp, WithoutAnInstrumentTheProgramEndsAfterExit)
{
    SimulationOptions options = NoPatient();
    options.Unplugged = true;
    Attach(options);
    InstallInstrumentHooks(*link_);
    TZeForm form;

    // Answers the status window from inside its modal loop.
    QString shownError;
    const auto check = shellHooks().RunStatusCheck;
    shellHooks().RunStatusCheck = [&](QWidget* parent) {
        QTimer::singleShot(0, [&] {
            auto* status = qobject_cast<TZeStatu*>(QApplication::activeModalWidget());
            if (!status) {
                ADD_FAILURE() << "no status window";
                return;
            }
            QCoreApplication::processEvents(); // the check itself
            shownError = status->findChild<QLabel*>(QStringLiteral("StatusBar1"))->text();
            QTest::mouseClick(status->findChild<QPushButton*>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        });
        check(parent);
    };
    form.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(shownError, CannotFindText);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
