#include "MeasurementHooks.h"

#include "Zesen.h"

#include "shell/Modal.h"
#include "shell/ShellHooks.h"

namespace qern {

namespace {
MeasurementHooks g_hooks;
}

MeasurementHooks& measurementHooks() { return g_hooks; }
void resetMeasurementHooks() { g_hooks = MeasurementHooks{}; }

void InstallMeasurementWindow()
{
    shellHooks().WorkWindows[WorkWindow::Measure] = [](QWidget* parent) {
        TZedec window(parent);
        RunModal(window);
    };
}

} // namespace qern
