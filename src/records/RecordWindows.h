#pragma once

// The record windows (save, recall, patient editor) and their wiring into
// the measurement window and the main window.

#include "Database.h"

#include "shell/Measurement.h"

#include <QString>

#include <functional>

class QWidget;

namespace qern {

// What the manual entry window works on when the recall window opens it
// (ManualEntryMode 1: the measurement; 2: a new measurement of the patient).
struct ManualEntryTarget {
    QString PatientNumber; // trimmed
    qint64 PatientKey = 0; // MKEY of the ZeCust row
    qint64 MeasurementKey = 0; // MKEY of the ZeData row in mode 1, else 0
};

// Windows of later work that the record windows open. An empty hook: the
// button keeps its enabling and opens nothing.
struct RecordHooks {
    // Opens the manual entry window modally.
    std::function<void(QWidget* parent, const ManualEntryTarget& target)> ManualEntry;
};
RecordHooks& recordHooks();
void resetRecordHooks();

// The save window's choice, kept from one opening to the next.
Patient& SaveSelection();
void ResetRecordWindowState();

// Create the window, show it modally, destroy it.
void OpenSaveWindow(QWidget* parent);
void OpenRecallWindow(QWidget* parent);

// Makes the measurement window's "Save" and "Recall" and the main window's
// "Data Recall" open the record windows.
void InstallRecordWindows();

// A database error, as the database layer words it.
void ShowDatabaseError(const DbResult& result);

} // namespace qern
