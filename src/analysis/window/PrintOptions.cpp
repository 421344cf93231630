#include "PrintOptions.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qern {

namespace {

using Flag = std::pair<int, bool PrintOptionSet::*>;

constexpr Flag Flags[] = {
    {1, &PrintOptionSet::DetailedFormat},    {2, &PrintOptionSet::MeridianData},
    {3, &PrintOptionSet::BarDiagram},        {4, &PrintOptionSet::BodyEnergyMental},
    {5, &PrintOptionSet::MeridianAnalysis},  {6, &PrintOptionSet::DietaryAdvice},
    {7, &PrintOptionSet::Applications},      {8, &PrintOptionSet::SlopeDiagram},
    {9, &PrintOptionSet::YinYangDiagram},    {10, &PrintOptionSet::QiBloodDiagram},
    {11, &PrintOptionSet::SymptomsNotes},    {14, &PrintOptionSet::ProtocolPoints},
    {15, &PrintOptionSet::RyodorakuAnalysis}, {16, &PrintOptionSet::ProtocolHerbs},
    {17, &PrintOptionSet::RyodorakuDiagram}, {18, &PrintOptionSet::NervousDiagram},
    {19, &PrintOptionSet::BalanceDiagram},   {26, &PrintOptionSet::EciDiagram},
    {28, &PrintOptionSet::ElementsDiagram},  {31, &PrintOptionSet::Colour},
    {32, &PrintOptionSet::SmallFont},        {33, &PrintOptionSet::FormFeed},
    {34, &PrintOptionSet::FirstPageOnly},    {39, &PrintOptionSet::ReportHeader},
    {40, &PrintOptionSet::PatientData},      {41, &PrintOptionSet::CompensatedValue},
    {42, &PrintOptionSet::DetailedPatient},
};

constexpr int UnitPosition = 35;
constexpr int MarginPositionFirst = 36;
constexpr int MarginWidth = 3;

bool one(const QString& text, int position)
{
    return text.size() >= position && text[position - 1] == QLatin1Char('1');
}

} // namespace

PrintOptionSet ReadPrintOptions(const QString& text)
{
    PrintOptionSet options;
    for (const auto& [position, member] : Flags)
        options.*member = one(text, position);
    options.Unit = one(text, UnitPosition) ? MarginUnit::Inch : MarginUnit::Cm;
    bool ok = false;
    const int margin = text.mid(MarginPositionFirst - 1, MarginWidth).trimmed().toInt(&ok);
    options.MarginMm = ok ? std::clamp(double(margin), 0.0, MarginMaximumMm(options.Unit)) : DefaultMarginMm;
    return options;
}

QString BuildPrintOptions(const PrintOptionSet& options)
{
    QString text(PrintOptionsLength, QLatin1Char('0'));
    for (const auto& [position, member] : Flags)
        if (options.*member)
            text[position - 1] = QLatin1Char('1');
    text[UnitPosition - 1] = options.Unit == MarginUnit::Inch ? QLatin1Char('1') : QLatin1Char('0');
    // Three characters whatever the margin: a longer one would shift the
    // characters after it.
    const double margin = std::clamp(options.MarginMm, 0.0, 999.0);
    text.replace(MarginPositionFirst - 1, MarginWidth, QString::asprintf("%3.0f", margin));
    return text;
}

int MarginMaximum(MarginUnit unit) { return unit == MarginUnit::Cm ? 102 : 40; }

double MarginMaximumMm(MarginUnit unit) { return MarginFromPosition(MarginMaximum(unit), unit); }

int MarginPosition(double marginMm, MarginUnit unit)
{
    const double position = unit == MarginUnit::Cm ? marginMm : marginMm / 2.54;
    return std::clamp(int(std::nearbyint(position)), 0, MarginMaximum(unit));
}

double MarginFromPosition(int position, MarginUnit unit)
{
    return unit == MarginUnit::Cm ? double(position) : position * 2.54;
}

QString MarginDisplay(double marginMm, MarginUnit unit)
{
    return QString::asprintf("%3.1f", unit == MarginUnit::Cm ? marginMm / 10 : marginMm / 25.4);
}

} // namespace qern
