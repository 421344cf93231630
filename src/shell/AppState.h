#pragma once

#include "Measurement.h"
#include "MeridianModel.h"
#include "ProductTexts.h"
#include "Settings.h"
#include "Tray.h"

#include <QString>

namespace qern {

// The process-wide state every window reads, under the names the whole program
// uses. There is one instance (appState()); tests start each case from a
// fresh one (resetAppState()).
struct AppState {
    AppState();

    QString InstallFolder; // data folder, with a trailing "/"
    bool InstrumentOnline = false;
    bool FirstActivation = true;
    bool SampleWarningShowing = false; // the probe-fault balloon is up

    qern::Settings Settings;
    Coefficients MeridianCoefficients = BuiltInCoefficients;

    Patient CurrentPatient;
    Measurement CurrentMeasurement;
    int PointsMeasured = 0;

    int FullScaleNormal = 4000;
    int FullScaleHigh = 4000;

    // The instrument held now: its USB string descriptor 3, whether it keeps its
    // own full-scale calibration, and what its registers said at arrival.
    QString HardwareVersion;
    bool DeviceCalibration = false;
    QString InstrumentIdentity;
    int DeviceFullScaleNormal = 4060;
    int DeviceFullScaleHigh = 4060;

    // How a window was opened.
    bool RecallFromMain = false;
    int PatientEditorMode = 0;
    bool NewPatientCreated = false;
    int ManualEntryMode = 0;

    int PatientSortKey = 1;

    // View state of the analysis window.
    int AnalysisPage = 0;
    int ChartGroup = 1;
    OneBased<int, 5> ChartView = OneBased<int, 5>(1);
    bool BarStatusColouring = true;

    TrayIcon Tray;

    // The main window's start-of-run reset of the patient and measurement in hand.
    void ResetCurrentRecords();
};

AppState& appState();
void resetAppState();

} // namespace qern
