#pragma once

#include "Diagrams.h"

#include <QList>
#include <QString>

#include <optional>

namespace qern {

enum class DiagramKind { Balance, Bars, Slopes, YinYang, QiBlood, Eci, Nervous, Ryodoraku, Elements };

// What the report and the command line need to know of each diagram.
struct DiagramInfo {
    DiagramKind Kind;
    QString Name;         // on the command line
    QString Title;        // above the diagram, on the screen and on paper
    double PaperLeftMm;   // the printed frame's left edge
    double PaperWidthMm;  // and width; every printed frame is 90 mm high
};
inline constexpr double PaperHeightMm = 90;

const QList<DiagramInfo>& DiagramKinds();
const DiagramInfo& DiagramInfoOf(DiagramKind kind);
std::optional<DiagramKind> DiagramKindNamed(const QString& name);

void DrawDiagram(DiagramKind kind, QPainter& painter, const QRectF& frame, const DiagramInput& input,
                 const DiagramStyle& style);

} // namespace qern
