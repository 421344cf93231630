#pragma once

#include <functional>

class QWidget;

namespace qern {

// The windows the measurement window leads to, plugged in by the subsystems
// that build them. An empty hook: the button keeps its enabling and opens nothing.
struct MeasurementHooks {
    std::function<void(QWidget* parent)> Analyze;
    std::function<void(QWidget* parent)> Save;
    std::function<void(QWidget* parent)> Recall;
    std::function<void(QWidget* parent)> Manual;
    std::function<void(QWidget* parent)> Compare;
};

MeasurementHooks& measurementHooks();
void resetMeasurementHooks();

// Makes "Measure" in the main window open the measurement window.
void InstallMeasurementWindow();

} // namespace qern
