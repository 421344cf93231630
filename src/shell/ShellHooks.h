#pragma once

#include <QString>

#include <functional>
#include <map>

class QWidget;

namespace qern {

// The work windows the main window dispatches to.
enum class WorkWindow { Measure, Reference, TherapySetup, Calibrate, Recall, ImportExport, UserSetup, About };

// What the shell needs from the subsystems built on top of it. The program
// start installs them; tests install fakes. An empty hook means the subsystem
// is not present and its step is skipped.
struct ShellHooks {
    // Releases any instrument held and installs the device-change handler.
    std::function<void()> InstallDeviceChangeHandler;
    // The modal instrument status check of the first activation.
    std::function<void(QWidget* parent)> RunStatusCheck;
    // The database start-up check, run by the status check once the
    // instrument is on line.
    std::function<void(QWidget* statusWindow)> RunDatabaseStartupCheck;
    std::function<void(int sound)> PlaySound;
    std::function<void(const QString& command)> SendCommand;
    std::function<void()> CloseDatabases;
    // Creates the window, shows it modally and destroys it.
    std::map<WorkWindow, std::function<void(QWidget* parent)>> WorkWindows;
};

ShellHooks& shellHooks();
void resetShellHooks();

} // namespace qern
