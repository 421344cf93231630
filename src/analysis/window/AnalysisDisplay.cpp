#include "AnalysisDisplay.h"

#include "shell/DayCount.h"
#include "shell/MeridianModel.h"

#include <algorithm>
#include <cmath>

namespace qern {

namespace {

int parts(double value, int maximum)
{
    if (!std::isfinite(value))
        return value > 0 ? maximum : 0;
    return std::clamp(int(std::nearbyint(value)), 0, maximum);
}

QString pair(const char* first, double a, const char* second, double b)
{
    return QLatin1String(first) + QString::asprintf("%6.1f", a) + QLatin1String(second) +
           QString::asprintf("%6.1f", b) + QStringLiteral(" =");
}

} // namespace

QString PageCaption(int page)
{
    static const QStringList captions{QStringLiteral("Energy Report"), QStringLiteral("Charts"),
                                      QStringLiteral("Analysis"),      QStringLiteral("Protocols"),
                                      QStringLiteral("Dietary"),       QStringLiteral("Applications"),
                                      QStringLiteral("Notes"),         QStringLiteral("Print    ")};
    return captions.value(page);
}

QString PageStatusText(int page)
{
    switch (page) {
    case 0:
        return QStringLiteral("Analysis is gender-sensitive.");
    case 1:
        return QStringLiteral("Average body energy data varies with each individual patient.");
    case 2:
    case 3:
    case 4:
    case 5:
        return QStringLiteral("Select desired diagnosis category.");
    case 6:
        return QStringLiteral("Record patient symptoms and remedial dispositions.");
    case 7:
        return QStringLiteral("Select your preferences before printing.");
    }
    return {};
}

CellView ValueCell(double raw, int pointClass)
{
    const QString text = raw > 0 ? QString::asprintf("%3.1f", raw) : QString();
    if (pointClass == 0)
        return {text, DisplayGreen};
    if (pointClass == 1 || pointClass == -1)
        return {text, DisplayOlive};
    return {text, DisplayRed};
}

CellView QualityCell(double quality)
{
    const QString text = QString::asprintf("%3.1f", quality > 0 ? quality : 0.0);
    if (quality < 60)
        return {text, DisplayRed};
    if (quality < 80)
        return {text, DisplayOlive};
    return {text, DisplayGreen};
}

CellView IndexCell(double score)
{
    const QString text = QString::asprintf("%3.1f", score);
    if (text == QLatin1String("10.0"))
        return {QStringLiteral("[10.0]"), DisplayBlue};
    // Coloured by the figure shown, so that colour and text never disagree.
    const double shown = text.toDouble();
    if (shown >= 8.0)
        return {text, DisplayGreen};
    if (shown >= 7.0)
        return {text, DisplayOlive};
    return {text, DisplayRed};
}

double MeridiansIndexOf(const AnalysisResult& result)
{
    double left = 0;
    double right = 0;
    for (int k = 1; k <= PointCount; ++k)
        (SideOf(k) == Side::Left ? left : right) += result.PointScore[k];
    return (left + right) / 24;
}

QList<IndexRow> IndexTableRows(const AnalysisResult& result)
{
    QList<IndexRow> rows;
    double left = 0;
    double right = 0;
    for (int s = 1; s <= MeridianCount; ++s) {
        const SlotPair points = SlotPoints(s);
        const double l = result.PointScore[points.Left];
        const double r = result.PointScore[points.Right];
        rows.append({MeridianTable(DisplayOrder[s]).Code, {l, r, (l + r) / 2}});
        left += l;
        right += r;
    }
    rows.append({QStringLiteral("Average"), {left / 12, right / 12, result.MeridiansIndex}});
    return rows;
}

QColor GaugeColour(int cls)
{
    if (cls == 0)
        return GaugeGreen;
    if (cls == 3 || cls == -3)
        return GaugeRed;
    return GaugeAmber;
}

QList<GaugeRowView> GaugeRows(const AnalysisResult& r, bool male)
{
    const double upDown = Ratio(r.UpAverage, r.DownAverage);
    const double leftRight = Ratio(r.LeftAverage, r.RightAverage);
    const double yinYang = Ratio(r.YinAverage, r.YangAverage);
    const double highLow = Ratio(r.HighGroup, r.LowGroup);
    const auto ratioText = [](double value) { return QString::asprintf("%5.2f", value); };
    return {
        {QStringLiteral("Body Energy:"), parts(r.BodyEnergy, 150), 150, GaugeColour(r.EnergyClass),
         QStringLiteral("Energy Average:"), QString::asprintf("%5.1f", r.BodyEnergy), EnergyRangeText(male),
         r.EnergyStatement},
        {QStringLiteral("Mental state:"), parts(upDown * 10, 20), 20, GaugeColour(r.UpDownClass),
         pair("Up", r.UpAverage, " / Down", r.DownAverage), ratioText(upDown), UpDownRangeText(male),
         r.MentalStatement},
        {QStringLiteral("Musculoskeletal system:"), parts(leftRight * 10, 20), 20, GaugeColour(r.LeftRightClass),
         pair("Left", r.LeftAverage, " / Right", r.RightAverage), ratioText(leftRight), LeftRightRangeText,
         r.SkeletalStatement},
        {QStringLiteral("Metabolism function:"), parts(yinYang * 10, 20), 20, GaugeColour(r.YinYangClass),
         pair("Yin", r.YinAverage, " / Yang", r.YangAverage), ratioText(yinYang), YinYangRangeText,
         r.MetabolismStatement},
        {QStringLiteral("Autonomic nerves balance:"), parts(highLow * 10, 40), 40, GaugeColour(r.NervousClass),
         pair("Hi", r.HighGroup, " / Low", r.LowGroup), ratioText(highLow), NervousRangeText, r.NervousStatement},
    };
}

FigureView IntegratedFigure(int integratedDisplay, const AnalysisResult& result)
{
    switch (integratedDisplay) {
    case 0:
        return {};
    case 2:
        return {true, QStringLiteral("Meridians Index"), QString::asprintf("%3.1f", result.MeridiansIndex)};
    default:
        return {true, QStringLiteral("Integrated Index"), QString::asprintf("%3.1f", result.IntegratedIndex)};
    }
}

QString AgeText(double at, double birthDate)
{
    if (!DateEntered(birthDate))
        return {};
    return QString::asprintf("%3.1f", AgeYears(at, birthDate));
}

int ValidChartGroup(int group) { return group >= 1 && group <= ChartGroupCount ? group : 1; }

int ValidChartView(int group, int view)
{
    if (ChartViewCaptions(group).isEmpty())
        return 1;
    return view >= 1 && view <= MaxChartViews ? view : 1;
}

QStringList ChartViewCaptions(int group)
{
    switch (group) {
    case 1:
        return {QStringLiteral("Balance"), QStringLiteral("E.C.I. Pie"), QStringLiteral("ANS")};
    case 2:
        return {QStringLiteral("Bar"), QStringLiteral("Slope"), QStringLiteral("Ryodoraku")};
    }
    return {};
}

QStringList ChartViewHints(int group)
{
    switch (group) {
    case 1:
        return {QStringLiteral("Diagram of Body Energy Balance"), QStringLiteral("E.C.I. Pie Diagram"),
                QStringLiteral("ANS Analysis")};
    case 2:
        return {QStringLiteral("Meridian Excess-Deficiency Analysis \u2013 Bar Diagram"),
                QStringLiteral("Meridian Excess-Deficiency Analysis \u2013 Slope Diagram"),
                QStringLiteral("Ryodoraku Analysis Diagram")};
    }
    return {};
}

DiagramKind ChartDiagram(int group, int view)
{
    group = ValidChartGroup(group);
    view = ValidChartView(group, view);
    switch (group) {
    case 1:
        return view == 1 ? DiagramKind::Balance : view == 2 ? DiagramKind::Eci : DiagramKind::Nervous;
    case 2:
        return view == 1 ? DiagramKind::Bars : view == 2 ? DiagramKind::Slopes : DiagramKind::Ryodoraku;
    case 3:
        return DiagramKind::YinYang;
    case 4:
        return DiagramKind::QiBlood;
    default:
        return DiagramKind::Elements;
    }
}

QString ChartStatusText(int group, int view)
{
    group = ValidChartGroup(group);
    view = ValidChartView(group, view);
    switch (group) {
    case 1:
        return view == 3 ? QStringLiteral("Autonomic Nervous System Analysis") : ChartViewHints(1).value(view - 1);
    case 2:
        return PageStatusText(1);
    case 3:
        return QStringLiteral("This graph compares the Qi-Blood balance between Yin-Zang and Yang-Fu. The smaller "
                              "the gap, the better.");
    case 4:
        return QStringLiteral("This graph compares the Qi-Blood balance of the meridian energy between the right "
                              "side and left side of the body. The smaller the gap, the better");
    default:
        return QStringLiteral("This graph compares the meridian energy of the Five Elements by Yin-Zang and Yang-Fu");
    }
}

NotesTargets NotesTargetsOf(qint64 shownKey, qint64 storedMeasurementKey)
{
    NotesTargets targets;
    targets.MeasurementInHand = shownKey == storedMeasurementKey || shownKey == 0;
    targets.RowKey = shownKey > 0 ? shownKey : 0;
    return targets;
}

} // namespace qern
