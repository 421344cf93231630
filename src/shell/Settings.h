#pragma once

#include "MeridianModel.h"
#include "OneBased.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace qern {

inline constexpr int SettingsLineCount = 78;
inline const QString SettingsFileName = QStringLiteral("ZeDefE6c.ini");
inline const QString DefaultPrintOptions = QStringLiteral("011100000000000000000000000000100010201111");

// The in-memory image of the 78-line settings file. Field order is line order;
// the SpareNN fields keep lines that nothing reads, so that they survive a save.
struct Settings {
    int ProbeFullScaleNormal = 4000;     // 1
    int ProbeFullScaleHigh = 4000;       // 2
    int ElectrodeFullScaleNormal = 4000; // 3
    int ElectrodeFullScaleHigh = 4000;   // 4
    QString PrintOptions = DefaultPrintOptions;
    double Sensitivity = 1.0;
    QString CalibrationDate; // 7: short date text
    QString UserCaption;
    QString ReportTitle1;
    QString ReportTitle2;
    QString ReportTitle3;
    QString Spare12 = QStringLiteral("11000");
    bool Spare13 = true;
    bool Spare14 = false;
    int Spare15 = 2;
    double Spare16 = 0;
    bool Spare17 = false;
    int PictureStyle = 1;         // 18
    int SoundMode = 1;            // 19
    int CalibrationSoundMode = 1; // 20
    int Spare21 = 1;
    int AutoAdvance = 1;  // 22
    int InputChannel = 0; // 23
    int CustomTiming = 0; // 24
    int SettleTime = 2000;
    int AverageTime = 500;
    QString LinkFlags = QStringLiteral("111000"); // 27
    OneBased<QString, 6> LinkCaption{"Fn1", "Fn2", "Fn3", "Fn4", "Fn5", "Fn6"}; // 28..33
    OneBased<QString, 6> LinkDescription;         // 34..39
    OneBased<QString, 6> LinkProgram;             // 40..45
    OneBased<QString, 6> LinkParameter;           // 46..51
    int Spare52 = 0;
    OneBased<int, MeridianCount> MeridianOrder{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}; // 53..64
    int CompensationMode = 0;                   // 65
    Coefficients UserCoefficients = Coefficients(1.0); // 66..77
    int IntegratedDisplay = 1;                  // 78

    bool operator==(const Settings&) const = default;
};

// A fresh installation's settings: today as the calibration date, the
// product's own texts and links.
Settings DefaultSettings();

// One line of the file: its name (list members share a name and carry their
// 1-based Index), how a deciphered line is read into the settings (healing it
// by the line's rule), how it is written, and its value for display.
struct SettingsLine {
    QString Name;
    int Index = 0; // 0 for a single value
    std::function<void(Settings&, const QString&)> Read;
    std::function<QString(const Settings&)> Write;
    std::function<QJsonValue(const Settings&)> Value;
};

// The 78 lines in file order.
const std::vector<SettingsLine>& SettingsLines();

// Plain (deciphered) lines <-> settings. Missing lines at the end read as
// empty and take their defaults.
Settings SettingsFromLines(const QStringList& lines);
QStringList SettingsToLines(const Settings& settings);

struct FileResult {
    bool Ok = true;
    QString Error; // why it failed, for the user
};

// The file itself. Reading a file that cannot be opened leaves `settings` at
// the defaults. Writing replaces the file atomically: a failed write (full
// disk, no permission) leaves the old file as it was.
FileResult ReadSettingsFile(const QString& path, Settings& settings);
FileResult WriteSettingsFile(const QString& path, const Settings& settings);

// Against the application state: the file in InstallFolder and
// AppState::Settings. Both end, whatever happened to the file, by selecting the
// compensation coefficients in force.
FileResult ReadSettings();
FileResult WriteSettings();
// Start-up: read the file if it exists, otherwise write a fresh one.
FileResult LoadOrCreateSettings();
QString SettingsPath();

} // namespace qern
