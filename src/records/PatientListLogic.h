#pragma once

// What the patient and measurement lists show and how they sort and search,
// without widgets.

#include "shell/Measurement.h"

#include <QColor>
#include <QString>

#include <optional>

namespace qern {

// Patient list columns; codes 1..11 are also the magnitudes of PatientSortKey.
enum PatientColumn {
    PatientIndex = 0,
    PatientNumber,
    PatientName,
    PatientGender,
    PatientBirth,
    PatientAge,
    PatientLatest,
    PatientTel,
    PatientAddress,
    PatientEMail,
    PatientMobile,
    PatientFax,
};
inline constexpr int PatientColumnCount = 12;

QString PatientColumnHeader(int column);
// The ZeCust column the list is ordered by for a sort column (0 sorts like 1).
QString PatientOrderColumn(int column);
// The ZeCust column a search in sort column `column` compares, empty when that
// column is not searched by text.
QString PatientSearchColumn(int column);

// A usable key: magnitude 1..11, never 0.
int ValidSortKey(int key);
// The key after a click on header `column`: the same column reverses the
// direction, another column keeps it; "Index" sorts like "Patient No".
int NextSortKey(int key, int column);

enum class SearchIndicator { NotPossible = 0, Ready = 1, Found = 2, NotFound = 3 };

struct SearchSetup {
    bool Enabled = true;
    SearchIndicator Indicator = SearchIndicator::Ready;
    bool HintVisible = false;
    QString Hint;
};
// How the search box looks for sort column `column`; `today` as a day count.
SearchSetup SearchSetupFor(int column, double today);

// A date typed in the short date format, as a whole day count. Two-digit
// years take the century that puts the date on or before `today`.
std::optional<double> ParseShortDate(const QString& text, double today);

QString PatientCellText(const Patient& patient, int column, int row, double today);
QColor PatientCellColour(const Patient& patient, int column);

// Measurement list columns: Index, Date, Time, Energy, M.Age, Potential,
// then Ze1..Ze24.
enum MeasurementColumn {
    MeasurementIndex = 0,
    MeasurementDate,
    MeasurementTime,
    MeasurementEnergy,
    MeasurementAge,
    MeasurementPotential,
    MeasurementFirstValue,
};
inline constexpr int MeasurementColumnCount = MeasurementFirstValue + PointCount;

QString MeasurementColumnHeader(int column);
// The headers of the left-side values are bold navy.
bool MeasurementHeaderMarked(int column);
QString MeasurementCellText(const Measurement& measurement, int column, int row, double birthDate);
QColor MeasurementCellColour(const Measurement& measurement, int column);
bool MeasurementCellBold(int column);

// The mean of the 24 values.
double MeanOfValues(const Measurement& measurement);
// The display format "###.#": one decimal at most, no zeros that are not
// needed, nothing for 0.
QString HashFormat(double value);
// "%6.0d": right-aligned in six characters.
QString CountText(qint64 count);

inline const QColor ListBlack(0, 0, 0);
inline const QColor ListRed(255, 0, 0);
inline const QColor ListGreen(0, 128, 0);
inline const QColor ListBlue(0, 0, 255);
inline const QColor ListNavy(0, 0, 128);

} // namespace qern
