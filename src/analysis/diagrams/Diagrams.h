#pragma once

#include "DiagramStyle.h"

#include "analysis/Analysis.h"

#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

namespace qern {

// What a diagram is drawn from. Every routine reads this and its style only
// and keeps no state between calls.
struct DiagramInput {
    const AnalysisResult& Result;
    bool Male = true;
    // The picture folder of the data folder ("Data/"), for the balance
    // diagram's background picture.
    QString PictureFolder;
    // Called when a picture file is missing; the caller decides how often to
    // tell the user.
    std::function<void(const QString& missingFile)> MissingPicture;
};

// Each routine draws one diagram into `frame`: on the screen the chart
// surface (0, 0, 965, 554), on paper the diagram's frame on the page (some
// labels and legends lie just outside it, as on the printed report).
void DrawBodyEnergyBalance(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style);
void DrawExcessDeficiencyBars(QPainter& painter, const QRectF& frame, const DiagramInput& input,
                              const DiagramStyle& style);
void DrawExcessDeficiencySlopes(QPainter& painter, const QRectF& frame, const DiagramInput& input,
                                const DiagramStyle& style);
void DrawYinYangChart(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style);
void DrawQiBloodChart(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style);
void DrawEciPie(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style);
void DrawNervousDiagram(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style);
void DrawRyodoraku(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style);
// `view`: the five-elements group's view (1 the integrated view, the one printed).
void DrawFiveElements(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style,
                      int view = 1);

// The chart surface of the analysis window.
inline constexpr int ScreenChartWidth = 965;
inline constexpr int ScreenChartHeight = 554;

} // namespace qern
