#include "AnalysisHooks.h"

#include "Zeana.h"

#include "measurement/MeasurementHooks.h"

namespace qern {

namespace {
AnalysisHooks g_hooks;
}

AnalysisHooks& analysisHooks() { return g_hooks; }
void resetAnalysisHooks() { g_hooks = AnalysisHooks{}; }

void InstallAnalysisWindow()
{
    measurementHooks().Analyze = [](QWidget* parent) {
        TZeany window(parent);
        window.exec();
    };
}

} // namespace qern
