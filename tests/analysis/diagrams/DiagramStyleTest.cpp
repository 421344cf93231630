#include "analysis/diagrams/DiagramStyle.h"
#include "shell/MeridianModel.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace qern;

namespace {

TEST(DiagramStyle, DirectionConventionAndQtAngles)
{
    const QPointF c(100, 100);
    struct Case {
        double direction;
        QPointF point;
    };
    const Case cases[] = {{0, {60, 100}}, {90, {100, 80}}, {180, {140, 100}}, {270, {100, 120}}};
    for (const Case& k : cases) {
        const QPointF p = DirectionPoint(c, 40, 20, k.direction);
        EXPECT_NEAR(p.x(), k.point.x(), 1e-9) << k.direction;
        EXPECT_NEAR(p.y(), k.point.y(), 1e-9) << k.direction;
    }
    EXPECT_EQ(QtAngle16(0), 180 * 16) << "left is 180 degrees for Qt";
    EXPECT_EQ(QtAngle16(90), 90 * 16);
    EXPECT_EQ(QtSweep16(30), -30 * 16) << "clockwise";

    // The sector of directions 90..120 (twelve to one o'clock on a clock face)
    // covers the upper right, not the upper left.
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    DrawDirectionPie(p, QRectF(0, 0, 200, 200), 90, 120);
    p.end();
    const QPointF inside = DirectionPoint(QPointF(100, 100), 60, 60, 105);
    const QPointF outside = DirectionPoint(QPointF(100, 100), 60, 60, 75);
    EXPECT_EQ(image.pixelColor(inside.toPoint()), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(outside.toPoint()), QColor(Qt::white));
    EXPECT_GT(inside.x(), 100);
}

TEST(DiagramStyle, PrintColourRuleAndHatches)
{
    const DiagramStyle screen = DiagramStyle::Screen();
    const DiagramStyle colour = DiagramStyle::Paper(600, false, 100, QFont());
    const DiagramStyle mono = DiagramStyle::Paper(600, true, 100, QFont());
    EXPECT_EQ(screen.Colour(ColorPoor), ColorPoor);
    EXPECT_EQ(colour.Colour(ColorPoor), ColorPoor);
    EXPECT_EQ(mono.Colour(QColor(255, 70, 70)), QColor(112, 112, 112)) << "capped at 112";
    EXPECT_EQ(mono.Colour(QColor(0, 0, 128)), QColor(42, 42, 42));
    EXPECT_EQ(colour.StateBrush(ColorNormal).style(), Qt::SolidPattern);
    EXPECT_EQ(mono.StateBrush(ColorNormal).style(), Qt::DiagCrossPattern);
    EXPECT_EQ(mono.StateBrush(ColorTolerable).style(), Qt::BDiagPattern);
    EXPECT_EQ(mono.StateBrush(ColorPoor).style(), Qt::FDiagPattern);
    EXPECT_EQ(mono.Mm(25.4), 600);
    EXPECT_EQ(mono.Offset(5, 2), std::round(2 * 600 / 25.4));
    EXPECT_EQ(screen.Offset(5, 2), 5);
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-2.5), -2);
}

} // namespace
