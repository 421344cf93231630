#include "PatientListLogic.h"

#include "shell/DayCount.h"

#include <QDate>
#include <QLocale>

#include <array>
#include <cmath>
#include <cstdlib>

namespace qern {

namespace {

struct PatientColumnInfo {
    const char* Header;
    const char* Order;
    const char* Search; // nullptr: no text search
};

const std::array<PatientColumnInfo, PatientColumnCount> PatientColumns{{
    {"Index", "CustNo", "CustNo"},
    {"Patient No", "CustNo", "CustNo"},
    {"Name", "Name", "Name"},
    {"Gender", "Sex", nullptr},
    {"D.O.B.", "DBirth", nullptr},
    {"Age", "DBirth", nullptr},
    {"Latest Measurement Date", "PreMea", nullptr},
    {"Tel No.", "Tel", "Tel"},
    {"Address", "Addr", "Addr"},
    {"e-mail", "EMail", "EMail"},
    {"Mobile No.", "Tel2", "Tel2"},
    {"Fax No.", "Tel3", "Tel3"},
}};

bool validColumn(int column) { return column >= 0 && column < PatientColumnCount; }

QString oneDecimal(double value) { return QString::asprintf("%3.1f", value); }

QString dateTimeText(double dayCount) { return ShortDate(dayCount) + QLatin1Char(' ') + LongTime(dayCount); }

const std::array<const char*, PointCount> ValueHeaders{"L-LU", "PC", "HT", "SI", "TE", "LI", "R-LU", "PC",
                                                       "HT",   "SI", "TE", "LI", "L-SP", "LR", "KI", "BL",
                                                       "GB",   "ST", "R-SP", "LR", "KI", "BL", "GB", "ST"};

} // namespace

QString PatientColumnHeader(int column)
{
    return validColumn(column) ? QLatin1String(PatientColumns[std::size_t(column)].Header) : QString();
}

QString PatientOrderColumn(int column)
{
    return QLatin1String(PatientColumns[std::size_t(validColumn(column) ? column : 1)].Order);
}

QString PatientSearchColumn(int column)
{
    if (!validColumn(column) || column == PatientIndex || !PatientColumns[std::size_t(column)].Search)
        return {};
    return QLatin1String(PatientColumns[std::size_t(column)].Search);
}

int ValidSortKey(int key)
{
    const int magnitude = std::abs(key);
    if (magnitude < 1 || magnitude >= PatientColumnCount)
        return 1;
    return key;
}

int NextSortKey(int key, int column)
{
    key = ValidSortKey(key);
    if (!validColumn(column) || column == PatientIndex)
        column = PatientNumber;
    if (column == std::abs(key))
        return -key;
    return key < 0 ? -column : column;
}

SearchSetup SearchSetupFor(int column, double today)
{
    SearchSetup setup;
    switch (column) {
    case PatientGender:
    case PatientAge:
    case PatientLatest:
        setup.Enabled = false;
        setup.Indicator = SearchIndicator::NotPossible;
        break;
    default:
        break;
    }
    if (column == PatientBirth) {
        setup.HintVisible = true;
        setup.Hint = QStringLiteral("Example: ") + ShortDate(std::floor(today) - 5000);
    }
    return setup;
}

std::optional<double> ParseShortDate(const QString& text, double today)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString fourDigits = format;
    const bool twoDigitYear = !format.contains(QStringLiteral("yyyy")) && format.contains(QStringLiteral("yy"));
    if (twoDigitYear)
        fourDigits.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));

    QDate date = locale.toDate(t, format);
    if (date.isValid() && twoDigitYear) {
        // Qt reads "yy" as 19yy; take the latest century not after today.
        const QDate now = FromDayCount(today).date();
        date = date.addYears(100 * ((now.year() - date.year()) / 100));
        while (date > now)
            date = date.addYears(-100);
    }
    if (!date.isValid() && twoDigitYear)
        date = locale.toDate(t, fourDigits);
    if (!date.isValid())
        return std::nullopt;
    return std::floor(ToDayCount(QDateTime(date, QTime(0, 0))));
}

QString PatientCellText(const Patient& p, int column, int row, double today)
{
    switch (column) {
    case PatientIndex:
        return QString::number(row + 1);
    case PatientNumber:
        return p.Number;
    case PatientName:
        return p.Name;
    case PatientGender:
        return p.Male ? QStringLiteral("Male") : QStringLiteral("Female");
    case PatientBirth:
        return DateEntered(p.BirthDate) ? ShortDate(p.BirthDate) : QString();
    case PatientAge:
        return DateEntered(p.BirthDate) ? oneDecimal(AgeYears(today, p.BirthDate)) : QString();
    case PatientLatest:
        return DateEntered(p.LatestMeasurement) ? dateTimeText(p.LatestMeasurement) : QString();
    case PatientTel:
        return p.Telephone;
    case PatientAddress:
        return p.Address;
    case PatientEMail:
        return p.EMail;
    case PatientMobile:
        return p.Mobile;
    case PatientFax:
        return p.Fax;
    default:
        return {};
    }
}

QColor PatientCellColour(const Patient& p, int column)
{
    if (column == PatientGender)
        return p.Male ? ListGreen : ListRed;
    return ListBlack;
}

QString MeasurementColumnHeader(int column)
{
    switch (column) {
    case MeasurementIndex:
        return QStringLiteral("Index");
    case MeasurementDate:
        return QStringLiteral("Date");
    case MeasurementTime:
        return QStringLiteral("Time");
    case MeasurementEnergy:
        return QStringLiteral("Energy");
    case MeasurementAge:
        return QStringLiteral("M.Age");
    case MeasurementPotential:
        return QStringLiteral("Potential");
    default:
        break;
    }
    const int point = column - MeasurementFirstValue + 1;
    if (point < 1 || point > PointCount)
        return {};
    return QLatin1String(ValueHeaders[std::size_t(point - 1)]);
}

bool MeasurementHeaderMarked(int column)
{
    const int point = column - MeasurementFirstValue + 1;
    return (point >= 1 && point <= 6) || (point >= 13 && point <= 18);
}

double MeanOfValues(const Measurement& m)
{
    double sum = 0;
    for (double v : m.Raw)
        sum += v;
    return sum / PointCount;
}

QString HashFormat(double value)
{
    const double rounded = std::round(value * 10) / 10;
    if (rounded == 0)
        return {};
    const bool negative = rounded < 0;
    const qint64 tenths = std::llround(std::abs(rounded) * 10);
    QString text = negative ? QStringLiteral("-") : QString();
    if (tenths >= 10)
        text += QString::number(tenths / 10);
    if (tenths % 10 != 0)
        text += QLatin1Char('.') + QString::number(tenths % 10);
    return text;
}

QString CountText(qint64 count) { return QString::number(count).rightJustified(6, QLatin1Char(' ')); }

QString MeasurementCellText(const Measurement& m, int column, int row, double birthDate)
{
    switch (column) {
    case MeasurementIndex:
        return QString::number(row + 1);
    case MeasurementDate:
        return DateEntered(m.DateTime) ? ShortDate(m.DateTime) : QString();
    case MeasurementTime:
        return DateEntered(m.DateTime) ? LongTime(m.DateTime) : QString();
    case MeasurementEnergy:
        return oneDecimal(MeanOfValues(m));
    case MeasurementAge:
        // A measurement without a date has no age either.
        return DateEntered(birthDate) && DateEntered(m.DateTime) ? oneDecimal(AgeYears(m.DateTime, birthDate))
                                                                 : QString();
    case MeasurementPotential:
        return m.HighPotential ? QStringLiteral("HI") : QStringLiteral("NRM");
    default:
        break;
    }
    const int point = column - MeasurementFirstValue + 1;
    if (point < 1 || point > PointCount)
        return {};
    return HashFormat(m.Raw[point]);
}

QColor MeasurementCellColour(const Measurement& m, int column)
{
    if (column == MeasurementEnergy)
        return ListBlue;
    if (column == MeasurementPotential)
        return m.HighPotential ? ListRed : ListGreen;
    return ListBlack;
}

bool MeasurementCellBold(int column) { return column == MeasurementEnergy || column == MeasurementPotential; }

} // namespace qern
