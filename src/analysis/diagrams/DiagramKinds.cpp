#include "DiagramKinds.h"

namespace qern {

const QList<DiagramInfo>& DiagramKinds()
{
    static const QList<DiagramInfo> kinds = {
        {DiagramKind::Balance, QStringLiteral("balance"), QStringLiteral("Diagram of Body Energy Balance"), 30, 150},
        {DiagramKind::Bars, QStringLiteral("bars"),
         QStringLiteral("Meridian Excess-Deficiency Analysis \u2013 Bar Diagram"), 30, 150},
        {DiagramKind::Slopes, QStringLiteral("slopes"),
         QStringLiteral("Meridian Excess-Deficiency Analysis \u2013 Slope Diagram"), 30, 150},
        {DiagramKind::YinYang, QStringLiteral("yinyang"), QStringLiteral("Yin-Yang Balance Analysis \u2013 Chart A"),
         30, 150},
        {DiagramKind::QiBlood, QStringLiteral("qiblood"), QStringLiteral("Qi-Blood Balance Analysis \u2013 Chart A"),
         30, 150},
        {DiagramKind::Eci, QStringLiteral("eci"), QStringLiteral("E.C.I. Pie Diagram"), 10, 160},
        {DiagramKind::Nervous, QStringLiteral("nervous"), QStringLiteral("Autonomic Nervous System Analysis"), 10,
         160},
        {DiagramKind::Ryodoraku, QStringLiteral("ryodoraku"), QStringLiteral("Ryodoraku Analysis Diagram"), 30, 150},
        {DiagramKind::Elements, QStringLiteral("elements"),
         QStringLiteral("Five Elements Analysis With Yin-Zang And Yang-Fu Integrated"), 10, 160},
    };
    return kinds;
}

const DiagramInfo& DiagramInfoOf(DiagramKind kind)
{
    for (const DiagramInfo& info : DiagramKinds())
        if (info.Kind == kind)
            return info;
    return DiagramKinds().first();
}

std::optional<DiagramKind> DiagramKindNamed(const QString& name)
{
    for (const DiagramInfo& info : DiagramKinds())
        if (info.Name == name)
            return info.Kind;
    return std::nullopt;
}

void DrawDiagram(DiagramKind kind, QPainter& painter, const QRectF& frame, const DiagramInput& input,
                 const DiagramStyle& style)
{
    switch (kind) {
    case DiagramKind::Balance:
        DrawBodyEnergyBalance(painter, frame, input, style);
        break;
    case DiagramKind::Bars:
        DrawExcessDeficiencyBars(painter, frame, input, style);
        break;
    case DiagramKind::Slopes:
        DrawExcessDeficiencySlopes(painter, frame, input, style);
        break;
    case DiagramKind::YinYang:
        DrawYinYangChart(painter, frame, input, style);
        break;
    case DiagramKind::QiBlood:
        DrawQiBloodChart(painter, frame, input, style);
        break;
    case DiagramKind::Eci:
        DrawEciPie(painter, frame, input, style);
        break;
    case DiagramKind::Nervous:
        DrawNervousDiagram(painter, frame, input, style);
        break;
    case DiagramKind::Ryodoraku:
        DrawRyodoraku(painter, frame, input, style);
        break;
    case DiagramKind::Elements:
        DrawFiveElements(painter, frame, input, style, 1);
        break;
    }
}

} // namespace qern
