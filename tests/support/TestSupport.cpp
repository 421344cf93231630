#include "TestSupport.h"

#include "shell/AppState.h"
#include "shell/ShellHooks.h"
#include "shell/ZeMsg.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace qern::test {

void FailOnMessages()
{
    setMessageHandler([](int kind, const QString& text) {
        ADD_FAILURE() << "unexpected message box, kind " << kind << ": " << text.toStdString();
        return false;
    });
}

void FailOnLaunches()
{
    LaunchPlatform& platform = launchPlatform();
    platform.FileExists = [](const QString&) { return false; };
    platform.StartProgram = [](const QString& program, const QString&) {
        ADD_FAILURE() << "unexpected program start: " << program.toStdString();
    };
    platform.OpenDocument = [](const QString& target) {
        ADD_FAILURE() << "unexpected document open: " << target.toStdString();
    };
}

void ResetForTest()
{
    resetAppState();
    resetShellHooks();
    setClock(nullptr);
    setEventPump(nullptr);
    FailOnMessages();
    FailOnLaunches();
}

ScriptedMessages::ScriptedMessages()
{
    setMessageHandler([this](int kind, const QString& text) {
        asked_.append({kind, text});
        if (kind >= 4)
            return true;
        if (answers_.empty()) {
            ADD_FAILURE() << "no scripted answer for question: " << text.toStdString();
            return false;
        }
        const bool answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
}

ScriptedMessages::~ScriptedMessages() { FailOnMessages(); }

VirtualTime::VirtualTime(quint32 step, quint32 start) : clock_(start)
{
    setClock(&clock_);
    setEventPump([this, step] {
        clock_.advance(step);
        QCoreApplication::processEvents();
    });
}

VirtualTime::~VirtualTime()
{
    setClock(nullptr);
    setEventPump(nullptr);
}

TempDataFolder::TempDataFolder() { appState().InstallFolder = Path(); }

QString TempDataFolder::Path() const { return dir_.path() + QLatin1Char('/'); }

RecordedLaunches::RecordedLaunches()
{
    LaunchPlatform& platform = launchPlatform();
    platform.FileExists = [this](const QString& path) { return ExistingFiles.contains(path); };
    platform.StartProgram = [this](const QString& program, const QString& parameter) {
        Launches.append({program, parameter, false});
    };
    platform.OpenDocument = [this](const QString& target) { Launches.append({QString(), target, true}); };
}

RecordedLaunches::~RecordedLaunches() { FailOnLaunches(); }

} // namespace qern::test
