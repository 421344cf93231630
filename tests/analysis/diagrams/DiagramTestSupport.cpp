#include "DiagramTestSupport.h"

#include "analysis/Analysis.h"
#include "shell/MeridianModel.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace qern::diagram_test {

double Mm(double mm) { return std::round(mm * PaperDpi / 25.4); }

AnalysisResult Uniform(double value)
{
    AnalysedMeasurement m;
    m.RawValues.fill(value);
    return Analyse(m, Coefficients(1.0));
}

AnalysisResult BodyEnergy50()
{
    AnalysisResult r;
    r.BodyEnergy = 50;
    r.UpperLimit1 = 11.5;
    r.UpperLimit2 = 21;
    r.LowerLimit1 = 10.5;
    r.LowerLimit2 = 20;
    return r;
}

Surface ScreenSurface()
{
    Surface s{DiagramStyle::Screen(), QRectF(0, 0, ScreenChartWidth, ScreenChartHeight),
              QImage(ScreenChartWidth, ScreenChartHeight, QImage::Format_RGB32)};
    s.Image.fill(Qt::white);
    return s;
}

QFont ReportFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10);
    return font;
}

QImage PaperImage(const QSizeF& pageMm)
{
    QImage image(int(Mm(pageMm.width())), int(Mm(pageMm.height())), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::round(PaperDpi / 0.0254)));
    image.setDotsPerMeterY(int(std::round(PaperDpi / 0.0254)));
    image.fill(Qt::white);
    return image;
}

double ReportLineHeight()
{
    const QImage page = PaperImage(QSizeF(1, 1));
    return Mm(1) + QFontMetricsF(ReportFont(), &page).height();
}

Surface PaperSurface(bool monochrome, double lineHeight, const QRectF& frameMm, const QSizeF& pageMm)
{
    return Surface{DiagramStyle::Paper(PaperDpi, monochrome, lineHeight, ReportFont()),
                   QRectF(Mm(frameMm.left()), Mm(frameMm.top()), Mm(frameMm.width()), Mm(frameMm.height())),
                   PaperImage(pageMm)};
}

void DrawOn(Surface& surface, const DrawFunction& draw, const DiagramInput& input)
{
    QPainter painter(&surface.Image);
    draw(painter, surface.Frame, input, surface.Style);
}

void DrawOn(Surface& surface, const DrawFunction& draw, const AnalysisResult& result)
{
    DrawOn(surface, draw, DiagramInput{result, true, QString(), {}});
}

std::optional<QRect> Extent(const QImage& image, const QRect& area, const QColor& colour)
{
    QRect found;
    const QRect clipped = area & image.rect();
    const QRgb wanted = colour.rgb() & RGB_MASK;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if ((line[x] & RGB_MASK) == wanted)
                found |= QRect(x, y, 1, 1);
    }
    if (found.isNull())
        return std::nullopt;
    return found;
}

int Count(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    const QRect clipped = area & image.rect();
    const QRgb wanted = colour.rgb() & RGB_MASK;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            n += (line[x] & RGB_MASK) == wanted;
    }
    return n;
}

QRect InkBox(const QImage& image, const QRect& area, const QColor& ink)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            // Blends of the ink with white keep the ink's darkest channel
            // lowest; require a clear share of the ink.
            const double share = (255.0 - std::min({p.red(), p.green(), p.blue()})) / 255.0;
            const QColor expected((1 - share) * 255 + share * ink.red(), (1 - share) * 255 + share * ink.green(),
                                  (1 - share) * 255 + share * ink.blue());
            const int distance = std::abs(p.red() - expected.red()) + std::abs(p.green() - expected.green()) +
                                 std::abs(p.blue() - expected.blue());
            if (share > 0.5 && distance < 40)
                box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

void ExpectInkAsInReference(const QImage& drawn, const QImage& reference, const QRect& area, const QColor& ink,
                            int tolerance)
{
    const QRect want = InkBox(reference, area, ink);
    const QRect got = InkBox(drawn, area, ink);
    const std::string colour = ink.name().toStdString();
    ASSERT_FALSE(want.isEmpty()) << colour;
    EXPECT_NEAR(got.left(), want.left(), tolerance) << colour;
    EXPECT_NEAR(got.right(), want.right(), tolerance) << colour;
    EXPECT_NEAR(got.top(), want.top(), tolerance) << colour;
    EXPECT_NEAR(got.bottom(), want.bottom(), tolerance) << colour;
}

std::string HatchAround(const QImage& image, QPoint centre, int halfHeight)
{
    int ink = 0;
    int down = 0;
    int up = 0;
    const auto inked = [&](int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); };
    for (int y = centre.y() - halfHeight; y < centre.y() + halfHeight; ++y)
        for (int x = centre.x() - 12; x < centre.x() + 12; ++x) {
            if (!inked(x, y))
                continue;
            ++ink;
            down += inked(x + 1, y + 1);
            up += inked(x - 1, y + 1);
        }
    if (ink == 0 || ink > 2 * halfHeight * 24 * 3 / 4)
        return "none";
    if (down > ink / 3 && up > ink / 3)
        return "cross";
    if (down > ink / 2 && up < ink / 5)
        return "\\";
    if (up > ink / 2 && down < ink / 5)
        return "/";
    return "mixed";
}

void ExpectText(const QImage& image, const QFont& font, const QColor& colour, QPointF topLeft, const QString& text,
                const QColor& background)
{
    const QFontMetricsF metrics(font, &image);
    const QRect box = QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height()))
                          .toAlignedRect()
                          .adjusted(-2, -2, 2, 2);
    QImage alone(box.size(), QImage::Format_RGB32);
    alone.setDotsPerMeterX(image.dotsPerMeterX());
    alone.setDotsPerMeterY(image.dotsPerMeterY());
    alone.fill(background);
    QPainter painter(&alone);
    painter.translate(-box.topLeft());
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(font, &alone).ascent()), text);
    painter.end();
    // How far a pixel lies from the background towards the text colour, and
    // whether it lies on the way between them at all.
    const int channel[3] = {colour.red() - background.red(), colour.green() - background.green(),
                            colour.blue() - background.blue()};
    const int widest = std::abs(channel[0]) >= std::abs(channel[1]) && std::abs(channel[0]) >= std::abs(channel[2]) ? 0
                       : std::abs(channel[1]) >= std::abs(channel[2])                                              ? 1
                                                                                                                   : 2;
    const auto parts = [](QRgb p) { return std::array<int, 3>{qRed(p), qGreen(p), qBlue(p)}; };
    const auto coverage = [&](QRgb p) {
        return double(parts(p)[widest] - parts(background.rgb())[widest]) / channel[widest];
    };
    const auto onTheWay = [&](QRgb p) {
        const double t = coverage(p);
        for (int i = 0; i < 3; ++i)
            if (std::abs(parts(p)[i] - (parts(background.rgb())[i] + t * channel[i])) > 48)
                return false;
        return true;
    };
    int solid = 0;
    int missing = 0;
    QRect expectedInk;
    QRect ink;
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x) {
            if (!image.rect().contains(box.x() + x, box.y() + y))
                continue;
            const QRgb expected = alone.pixel(x, y);
            const QRgb drawn = image.pixel(box.x() + x, box.y() + y);
            if (expected != background.rgb())
                expectedInk |= QRect(x, y, 1, 1);
            if (drawn != background.rgb())
                ink |= QRect(x, y, 1, 1);
            if (coverage(expected) >= 0.6) {
                ++solid;
                missing += coverage(drawn) < 0.3 || !onTheWay(drawn);
            }
        }
    const std::string what = "\"" + text.toStdString() + "\" at " + std::to_string(topLeft.x()) + ", " +
                             std::to_string(topLeft.y());
    ASSERT_GT(solid, 0) << what;
    EXPECT_LE(missing, solid / 50) << what;
    EXPECT_LE(std::abs(ink.left() - expectedInk.left()), 1) << what;
    EXPECT_LE(std::abs(ink.right() - expectedInk.right()), 1) << what;
    EXPECT_LE(std::abs(ink.top() - expectedInk.top()), 1) << what;
    EXPECT_LE(std::abs(ink.bottom() - expectedInk.bottom()), 1) << what;
}

namespace {

// Glyph edges may blend a little differently at a fractional pen position.
bool Distinct(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) > 80 || std::abs(qGreen(a) - qGreen(b)) > 80
           || std::abs(qBlue(a) - qBlue(b)) > 80;
}

} // namespace

testing::AssertionResult TextAt(const QImage& image, const QPointF& topLeft, const QString& text,
                                const QColor& colour, const QFont& font)
{
    const QFontMetricsF metrics(font, &image);
    const QRect area = QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height())).toAlignedRect()
                       & image.rect().adjusted(1, 1, -1, -1);
    QImage reference(area.size(), image.format());
    reference.setDotsPerMeterX(image.dotsPerMeterX());
    reference.setDotsPerMeterY(image.dotsPerMeterY());
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setFont(font);
    painter.setPen(colour);
    painter.translate(-area.topLeft());
    painter.drawText(QRectF(topLeft, QSizeF(area.size()) * 2), Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    int fewest = area.width() * area.height();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int differing = 0;
            for (int y = 0; y < area.height(); ++y)
                for (int x = 0; x < area.width(); ++x)
                    differing += Distinct(image.pixel(area.left() + x + dx, area.top() + y + dy),
                                          reference.pixel(x, y));
            fewest = std::min(fewest, differing);
        }
    // A text that leaves no ink in its reference would match anything.
    if (Count(reference, reference.rect(), Qt::white) < area.width() * area.height() && fewest == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << text.toStdString() << "\" at (" << topLeft.x() << ", "
                                       << topLeft.y() << "): " << fewest << " of " << area.width() * area.height()
                                       << " pixels differ";
}

Pie Pie::Of(const Surface& surface)
{
    const double w = surface.Frame.width();
    const double h = surface.Frame.height();
    const double margin = surface.Style.IsPaper() ? Mm(6) : 30;
    const double l = RoundEven(w / 12 * 2.5) + margin;
    const double r = RoundEven(w / 12 * 9.5) - margin;
    const double rx = (r - l) / 2;
    const double ry = (h - 2 * margin) / 2;
    return {surface.Frame.left(), surface.Frame.top(), RoundEven(l + rx), RoundEven(margin + ry), rx, ry};
}

QPointF Pie::Point(double degrees, double k) const
{
    const double a = degrees * std::numbers::pi / 180;
    return {Cx - std::cos(a) * Rx * k, Cy - std::sin(a) * Ry * k};
}

QPoint Pie::At(double degrees, double k) const
{
    const QPointF p = Point(degrees, k);
    return QPoint(int(std::lround(Ox + p.x())), int(std::lround(Oy + p.y())));
}

QPointF Pie::Text(double x, double y) const { return QPointF(Ox + RoundEven(x), Oy + RoundEven(y)); }

} // namespace qern::diagram_test
