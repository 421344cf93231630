#pragma once

#include <QString>

namespace qern {

// The report's options as the print page holds them; PrintOptions (the
// setting) is their stored form of 42 "0"/"1" characters with the margin.
enum class MarginUnit { Cm = 0, Inch = 1 };

struct PrintOptionSet {
    bool DetailedFormat = false;    // 1, "Detailed" of " Print Format  "
    bool MeridianData = false;      // 2
    bool BarDiagram = false;        // 3
    bool BodyEnergyMental = false;  // 4
    bool MeridianAnalysis = false;  // 5
    bool DietaryAdvice = false;     // 6
    bool Applications = false;      // 7
    bool SlopeDiagram = false;      // 8
    bool YinYangDiagram = false;    // 9
    bool QiBloodDiagram = false;    // 10
    bool SymptomsNotes = false;     // 11
    bool ProtocolPoints = false;    // 14
    bool RyodorakuAnalysis = false; // 15
    bool ProtocolHerbs = false;     // 16
    bool RyodorakuDiagram = false;  // 17
    bool NervousDiagram = false;    // 18
    bool BalanceDiagram = false;    // 19
    bool EciDiagram = false;        // 26
    bool ElementsDiagram = false;   // 28
    bool Colour = false;            // 31
    bool SmallFont = false;         // 32
    bool FormFeed = false;          // 33
    bool FirstPageOnly = false;     // 34
    MarginUnit Unit = MarginUnit::Cm; // 35
    double MarginMm = 20;           // 36..38
    bool ReportHeader = false;      // 39
    bool PatientData = false;       // 40
    bool CompensatedValue = false;  // 41
    bool DetailedPatient = false;   // 42

    bool operator==(const PrintOptionSet&) const = default;
};

inline constexpr int PrintOptionsLength = 42;
inline constexpr double DefaultMarginMm = 20;

// Every character compared with "1"; the margin 20 mm when characters 36..38
// are not a number, and kept within what the up-down of its unit can reach.
PrintOptionSet ReadPrintOptions(const QString& text);
// Always 42 characters; unused positions "0", the margin "%3.0f".
QString BuildPrintOptions(const PrintOptionSet& options);

// The margin's up-down: whole millimetres for cm (0..102), tenths of an inch
// for inch (0..40). The display is always the position in tenths, "%3.1f"
// (centimetres or inches).
int MarginMaximum(MarginUnit unit);
double MarginMaximumMm(MarginUnit unit);
int MarginPosition(double marginMm, MarginUnit unit);
double MarginFromPosition(int position, MarginUnit unit);
QString MarginDisplay(double marginMm, MarginUnit unit);

} // namespace qern
