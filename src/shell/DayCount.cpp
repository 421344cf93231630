#include "DayCount.h"

#include <QLocale>

#include <cmath>

namespace qern {

namespace {
const QDate Epoch(1899, 12, 30);
constexpr qint64 MsPerDay = 24LL * 60 * 60 * 1000;
} // namespace

double ToDayCount(const QDateTime& moment)
{
    const double days = double(Epoch.daysTo(moment.date()));
    return days + moment.time().msecsSinceStartOfDay() / double(MsPerDay);
}

QDateTime FromDayCount(double dayCount)
{
    const double whole = std::floor(dayCount);
    const qint64 ms = std::llround((dayCount - whole) * MsPerDay);
    return QDateTime(Epoch.addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
}

QString ShortDate(double dayCount) { return QLocale().toString(FromDayCount(dayCount).date(), QLocale::ShortFormat); }

// The locale's long time format names the time zone; a measurement's time of
// day is shown without one.
QString LongTime(double dayCount)
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale().toString(FromDayCount(dayCount).time(), format.trimmed());
}

} // namespace qern
