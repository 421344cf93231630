#include "AppState.h"

#include <memory>

namespace qern {

AppState::AppState() : Settings(DefaultSettings()) {}

void AppState::ResetCurrentRecords()
{
    CurrentPatient = Patient{};
    CurrentMeasurement = Measurement{};
    PointsMeasured = 0;
}

namespace {
std::unique_ptr<AppState>& instance()
{
    static std::unique_ptr<AppState> state = std::make_unique<AppState>();
    return state;
}
} // namespace

AppState& appState() { return *instance(); }

void resetAppState() { instance() = std::make_unique<AppState>(); }

} // namespace qern
