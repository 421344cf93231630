#pragma once

#include "analysis/Analysis.h"
#include "analysis/Findings.h"
#include "shell/Measurement.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace qern {

// What the report is printed from: the analysis shown in the window, its
// lists and notes, and the print options as the print page holds them.
struct AnalysisReportInput {
    const AnalysedMeasurement& Analysed;
    const AnalysisResult& Result;
    const Patient& PatientShown; // CurrentPatient
    QString PrintOptions; // the 42-character form, from the print page's controls
    const FindingLists& Findings;       // the "Analysis" and "Dietary" lists
    const FindingList& ProtocolTab;     // the "Protocols" list
    QStringList UserProtocolNames;      // the "Applications" list
    QList<qint64> UserProtocolKeys;     // their ZePro MKEY, same order
    int SelectedUserProtocol = -1;      // -1: none
    QString Notes;
};

// What the analysis window leads to, plugged in by the subsystems that build
// it. An empty hook: the button stays and opens nothing.
struct AnalysisHooks {
    std::function<void(QWidget* parent, const AnalysisReportInput& input)> Print;
    // The system print dialog ("Printer Setup").
    std::function<void(QWidget* parent)> PrinterSetup;
};

AnalysisHooks& analysisHooks();
void resetAnalysisHooks();

// Makes "Analyze" in the measurement window open the analysis window.
void InstallAnalysisWindow();

} // namespace qern
