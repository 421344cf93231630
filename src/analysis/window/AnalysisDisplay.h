#pragma once

#include "analysis/Analysis.h"
#include "analysis/diagrams/DiagramKinds.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace qern {

// What the analysis window shows, computed from the analysis alone.

inline constexpr int AnalysisPageCount = 8;
QString PageCaption(int page);
QString PageStatusText(int page);
inline const QString RightStatusText =
    QStringLiteral("For medical research and reference only. Consult your doctor.");
// Pages 2, 3 and 4 show the reference-protocol list.
constexpr bool ShowsReferenceProtocols(int page) { return page >= 2 && page <= 4; }

struct CellView {
    QString Text;
    QColor Colour;
    bool operator==(const CellView&) const = default;
};

inline const QColor DisplayGreen{53, 210, 45};
inline const QColor DisplayOlive{128, 128, 0};
inline const QColor DisplayRed{255, 0, 0};
inline const QColor DisplayBlue{0, 0, 255};
inline const QColor AverageLabelOrange{238, 149, 21};
inline const QColor GaugeGreen{0, 128, 0};
inline const QColor GaugeAmber{251, 214, 4};
inline const QColor GaugeRed{255, 0, 0};

// A raw value of the value grid, coloured by its point's class.
CellView ValueCell(double raw, int pointClass);
// A quality score: red below 60, olive below 80, green from 80.
CellView QualityCell(double quality);
// A point score of the index table: "[10.0]" in blue, otherwise coloured by
// the value shown.
CellView IndexCell(double score);

// Index table rows 1..12 (display slots: left score, right score, mean) and
// row 13 (mean left, mean right, MeridiansIndex).
struct IndexRow {
    QString Label;
    std::array<double, 3> Scores;
};
QList<IndexRow> IndexTableRows(const AnalysisResult& result);
// The mean of the 24 point scores: 12 left plus 12 right, over 24.
double MeridiansIndexOf(const AnalysisResult& result);

// The five rows of body energy, mental state, musculoskeletal system,
// metabolism and autonomic nerves.
struct GaugeRowView {
    QString Label;
    int Parts = 0;
    int Maximum = 0;
    QColor Colour;
    QString RatioText;
    QString Ratio;
    QString Range;
    QString Statement;
};
QList<GaugeRowView> GaugeRows(const AnalysisResult& result, bool male);
QColor GaugeColour(int cls);

// The large figure by IntegratedDisplay: empty caption when hidden.
struct FigureView {
    bool Visible = false;
    QString Caption;
    QString Value;
};
FigureView IntegratedFigure(int integratedDisplay, const AnalysisResult& result);
inline const QStringList IntegratedDisplayChoices{QStringLiteral(" Disable"), QStringLiteral("  E.C.I."),
                                                  QStringLiteral("Average")};

// An age "%3.1f" at a moment, blank without a birth date.
QString AgeText(double at, double birthDate);

// The chart page.
inline constexpr int ChartGroupCount = 5;
inline constexpr int MaxChartViews = 3;
inline const QStringList ChartGroupCaptions{QStringLiteral("Composite Analysis"), QStringLiteral("Meridian Analysis"),
                                            QStringLiteral("Yin Yang Analysis"), QStringLiteral("Qi-Blood Analysis"),
                                            QStringLiteral("Five Elements Analysis")};
// A group or view outside its range counts as 1.
int ValidChartGroup(int group);
int ValidChartView(int group, int view);
// The view buttons of a group (none for groups 3..5): short captions and hints.
QStringList ChartViewCaptions(int group);
QStringList ChartViewHints(int group);
DiagramKind ChartDiagram(int group, int view);
QString ChartStatusText(int group, int view);

// Where edited notes go: the memo lines of the measurement in hand when the
// shown measurement is that one (its key equals StoredMeasurementKey, or it
// is not stored), and the Memo1 of the stored row shown.
struct NotesTargets {
    bool MeasurementInHand = false;
    qint64 RowKey = 0; // 0: no row
    bool operator==(const NotesTargets&) const = default;
};
NotesTargets NotesTargetsOf(qint64 shownKey, qint64 storedMeasurementKey);

} // namespace qern
