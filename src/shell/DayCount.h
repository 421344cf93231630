#pragma once

#include <QDateTime>
#include <QString>

namespace qern {

// Dates as stored and compared everywhere: days since 30 December 1899, the
// time of day as the fraction.
double ToDayCount(const QDateTime& moment);
QDateTime FromDayCount(double dayCount);

// A date of 4000 days or less (on or before 13 December 1910) counts as not entered.
inline constexpr double NotEnteredDays = 4000;
constexpr bool DateEntered(double dayCount) { return dayCount > NotEnteredDays; }

// The user's short date and long time formats.
QString ShortDate(double dayCount);
QString LongTime(double dayCount);

// Age in years at a moment: (moment - birth date) / 365.
constexpr double AgeYears(double at, double birth) { return (at - birth) / 365.0; }

} // namespace qern
