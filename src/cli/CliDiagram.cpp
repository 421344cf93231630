// qern-cli diagram KIND --out FILE [--paper] [--monochrome] [--size WxH]: one
// analysis diagram of the measurement on stdin, as PNG or PDF.

#include "AnalysisInput.h"
#include "Cli.h"

#include "analysis/diagrams/DiagramKinds.h"
#include "shell/DataFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <memory>

namespace qern::cli {

namespace {

constexpr double PaperDpi = 600;
constexpr double ReportPoints = 10; // the report font's base size

// The paper page around a printed frame: the title one line above the frame,
// room for the labels and legend that lie outside it.
struct PaperPage {
    double widthMm;
    double heightMm;
    QRectF frame; // printer pixels
    double lineHeight;
    QPointF title;
};

PaperPage paperPage(const DiagramInfo& info, const QFont& font)
{
    const double px = PaperDpi / 25.4;
    QFont sized = font;
    sized.setPointSizeF(ReportPoints);
    const double lineHeight = ReportPoints / 72.0 * PaperDpi * 1.25;
    const double top = 10 * px + 3 * lineHeight;
    PaperPage page;
    // An A4 page's width: some texts of the printed diagrams run past the frame's right edge.
    page.widthMm = std::max(210.0, info.PaperLeftMm + info.PaperWidthMm + 15);
    page.heightMm = top / px + PaperHeightMm + 20;
    page.frame = QRectF(std::round(info.PaperLeftMm * px), std::round(top), std::round(info.PaperWidthMm * px),
                        std::round(PaperHeightMm * px));
    page.lineHeight = lineHeight;
    page.title = QPointF(page.widthMm * px / 2, 10 * px + lineHeight);
    return page;
}

} // namespace

int RunDiagram(const QStringList& args, Streams io)
{
    if (args.isEmpty())
        return Usage(io, QStringLiteral("diagram needs a kind"));
    const std::optional<DiagramKind> kind = DiagramKindNamed(args[0]);
    if (!kind) {
        QStringList names;
        for (const DiagramInfo& info : DiagramKinds())
            names.append(info.Name);
        return Usage(io, QStringLiteral("unknown diagram '%1'; one of: %2").arg(args[0], names.join(QStringLiteral(", "))));
    }
    QString out;
    bool paper = false;
    bool monochrome = false;
    QSize size(ScreenChartWidth, ScreenChartHeight);
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--out") && i + 1 < args.size()) {
            out = args[++i];
        } else if (args[i] == QLatin1String("--paper")) {
            paper = true;
        } else if (args[i] == QLatin1String("--monochrome")) {
            monochrome = true;
        } else if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const auto m = QRegularExpression(QStringLiteral("^(\\d{2,5})x(\\d{2,5})$")).match(args[++i]);
            if (!m.hasMatch())
                return Usage(io, QStringLiteral("--size takes WxH, for example 965x554"));
            size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        } else {
            return Usage(io, QStringLiteral("unknown diagram option '%1'").arg(args[i]));
        }
    }
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (out.isEmpty() || (suffix != QLatin1String("png") && suffix != QLatin1String("pdf")))
        return Usage(io, QStringLiteral("--out needs a file ending in .png or .pdf"));

    AnalysisInput in;
    if (!ReadAnalysisInput(QStringLiteral("diagram"), io.err, in))
        return ExitUsage;
    const AnalysisResult result = Analyse(in.Measurement, in.CoefficientsInForce());
    // The shipped pictures: the balance diagram's background.
    const DiagramInput diagramInput{result, in.Measurement.Male, PictureFolder(ShareFolder()),
                                    [&io](const QString& file) {
                                        io.err << "qern-cli diagram: no picture " << file << "\n";
                                    }};
    const DiagramInfo& info = DiagramInfoOf(*kind);

    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(ReportPoints);
    const PaperPage page = paperPage(info, font);
    const DiagramStyle style =
        paper ? DiagramStyle::Paper(PaperDpi, monochrome, page.lineHeight, font) : DiagramStyle::Screen();

    // Draws the diagram, and on paper its title, on any paint device.
    const auto draw = [&](QPainter& painter, const QRectF& frame) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        if (paper) {
            painter.setFont(font);
            painter.setPen(style.Colour(Qt::blue));
            const QFontMetricsF metrics(font, painter.device());
            painter.drawText(QPointF(page.title.x() - metrics.horizontalAdvance(info.Title) / 2, page.title.y()),
                             info.Title);
        }
        DrawDiagram(*kind, painter, frame, diagramInput, style);
    };

    if (suffix == QLatin1String("png")) {
        const double px = PaperDpi / 25.4;
        QImage image = paper ? QImage(int(page.widthMm * px), int(page.heightMm * px), QImage::Format_RGB32)
                             : QImage(size, QImage::Format_RGB32);
        if (paper) {
            image.setDotsPerMeterX(int(std::round(PaperDpi / 0.0254)));
            image.setDotsPerMeterY(int(std::round(PaperDpi / 0.0254)));
        }
        image.fill(Qt::white);
        QPainter painter(&image);
        draw(painter, paper ? page.frame : QRectF(QPointF(0, 0), size));
        painter.end();
        if (!image.save(out)) {
            io.err << "qern-cli diagram: cannot write " << out << "\n";
            return ExitFailure;
        }
        return ExitOk;
    }

    QPdfWriter pdf(out);
    pdf.setResolution(int(PaperDpi));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    if (paper) {
        pdf.setPageSize(QPageSize(QSizeF(page.widthMm, page.heightMm), QPageSize::Millimeter));
    } else {
        // The screen form on a page of its own proportions, one screen pixel a point.
        pdf.setPageSize(QPageSize(QSizeF(size.width(), size.height()), QPageSize::Point));
    }
    QPainter painter;
    if (!painter.begin(&pdf)) {
        io.err << "qern-cli diagram: cannot write " << out << "\n";
        return ExitFailure;
    }
    if (!paper)
        painter.scale(PaperDpi / 72.0, PaperDpi / 72.0);
    draw(painter, paper ? page.frame : QRectF(QPointF(0, 0), size));
    painter.end();
    return ExitOk;
}

} // namespace qern::cli
