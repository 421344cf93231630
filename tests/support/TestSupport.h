#pragma once

#include "shell/Clock.h"
#include "shell/LaunchExternal.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <deque>

namespace qern::test {

// Every test starts from here: a fresh application state and hooks, the real
// clock, and handlers that fail the test on an unexpected message box, program
// start or document open.
void ResetForTest();
void FailOnMessages();
void FailOnLaunches();

// Answers the message box from a script and records every question and
// notice. Notices (kinds 4..6) need no scripted answer; a question without one
// fails the test. Installed for its lifetime.
class ScriptedMessages {
public:
    struct Asked {
        int Kind;
        QString Text;
    };

    ScriptedMessages();
    ~ScriptedMessages();

    ScriptedMessages& Answer(bool yes)
    {
        answers_.push_back(yes);
        return *this;
    }
    const QList<Asked>& asked() const { return asked_; }

private:
    std::deque<bool> answers_;
    QList<Asked> asked_;
};

// Virtual time for every waiting loop: each pass of the event pump advances
// the clock by `step` milliseconds and processes pending events.
class VirtualTime {
public:
    explicit VirtualTime(quint32 step = 1, quint32 start = 0);
    ~VirtualTime();
    VirtualClock& Clock() { return clock_; }

private:
    VirtualClock clock_;
};

// A temporary data folder made the program's InstallFolder.
class TempDataFolder {
public:
    TempDataFolder();
    QString Path() const; // with trailing "/"
    QString File(const QString& name) const { return Path() + name; }

private:
    QTemporaryDir dir_;
};

// Records what LaunchExternal would start; files "exist" when listed.
struct RecordedLaunches {
    struct Launch {
        QString Program;
        QString Parameter;
        bool Document = false;
    };
    QStringList ExistingFiles;
    QList<Launch> Launches;

    RecordedLaunches();
    ~RecordedLaunches();
};

} // namespace qern::test
