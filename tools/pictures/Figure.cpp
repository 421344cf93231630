#include "Figure.h"

#include "Shapes.h"

#include <QPainter>

namespace qern::pictures {

namespace {

// The figure's left half as seen (x >= 0), from the crown down the outside to
// the crotch.
QPainterPath HalfOutline()
{
    QPainterPath p(QPointF(0, 0));
    p.cubicTo(28, 0, 49, 18, 50, 50);         // crown to temple
    p.cubicTo(56, 46, 60, 56, 58, 68);        // ear
    p.cubicTo(57, 78, 53, 84, 48, 84);
    p.cubicTo(46, 98, 36, 112, 24, 122);      // jaw
    p.cubicTo(21, 125, 20, 132, 21, 140);     // neck
    p.cubicTo(22, 146, 24, 150, 30, 153);
    p.cubicTo(52, 158, 84, 162, 100, 174);    // shoulder
    p.cubicTo(114, 184, 122, 204, 123, 230);  // deltoid
    p.cubicTo(124, 280, 130, 340, 136, 390);  // upper arm
    p.cubicTo(142, 440, 152, 500, 156, 536);  // forearm, thumb side
    p.cubicTo(166, 546, 177, 564, 181, 586);  // thumb
    p.cubicTo(183, 598, 176, 604, 171, 596);
    p.cubicTo(168, 591, 166, 587, 165, 585);
    p.cubicTo(166, 604, 165, 630, 161, 648);  // index finger
    p.cubicTo(157, 662, 138, 664, 132, 650);  // finger tips
    p.cubicTo(126, 630, 124, 578, 128, 546);  // little finger side
    p.cubicTo(118, 500, 106, 440, 100, 395);  // forearm, inner side
    p.cubicTo(94, 340, 88, 298, 84, 258);     // upper arm to the armpit
    p.cubicTo(80, 300, 70, 360, 68, 410);     // flank to the waist
    p.cubicTo(68, 450, 90, 490, 93, 540);     // hip
    p.cubicTo(97, 600, 88, 680, 78, 740);     // thigh to the knee
    p.cubicTo(80, 800, 70, 860, 58, 922);     // leg to the ankle
    p.cubicTo(64, 950, 78, 972, 79, 988);     // foot
    p.cubicTo(80, 1000, 40, 1003, 18, 999);   // toes
    p.cubicTo(10, 996, 14, 960, 24, 926);     // inner ankle
    p.cubicTo(25, 880, 31, 800, 30, 745);     // inner leg
    p.cubicTo(28, 680, 14, 600, 6, 560);      // inner thigh
    p.cubicTo(4, 556, 2, 553, 0, 552);
    return p;
}

const QTransform MirrorX(-1, 0, 0, 1, 0, 0);

QPainterPath BothSides(const QPainterPath& half) { return half + MirrorX.map(half); }

QPainterPath Quad(QPointF a, QPointF c, QPointF b)
{
    QPainterPath p(a);
    p.quadTo(c, b);
    return p;
}

QPainterPath Curve(std::initializer_list<QPointF> points) { return SmoothCurve(QList<QPointF>(points)); }

QPainterPath FrontDetails()
{
    QPainterPath half;
    // Face: brow, eye, the wing of the nose.
    half.addPath(Quad({8, 49}, {17, 44}, {27, 48}));
    half.addPath(Quad({10, 58}, {17, 54}, {24, 58}));
    half.addPath(Quad({10, 58}, {17, 61}, {24, 58}));
    half.addPath(Quad({2, 66}, {5, 76}, {8, 83}));
    // Clavicle, chest, the fold of the groin, the knee, the ankle.
    half.addPath(Curve({{12, 163}, {45, 162}, {88, 172}}));
    half.addPath(Curve({{22, 238}, {46, 248}, {70, 242}, {80, 228}}));
    half.addPath(Curve({{66, 492}, {40, 520}, {12, 556}}));
    half.addPath(Quad({40, 722}, {54, 712}, {66, 724}));
    half.addPath(Quad({40, 760}, {54, 770}, {66, 760}));
    half.addPath(Quad({52, 906}, {58, 916}, {54, 926}));
    half.addPath(Quad({28, 908}, {22, 918}, {26, 928}));
    // Fingers and toes.
    half.addPath(Quad({140, 614}, {139, 636}, {142, 656}));
    half.addPath(Quad({147, 612}, {146, 636}, {149, 660}));
    half.addPath(Quad({154, 610}, {154, 634}, {156, 656}));
    for (const double x : {32.0, 46.0, 58.0, 68.0})
        half.addPath(Quad({x, 982}, {x + 1, 992}, {x + 1, 1000}));
    QPainterPath all = BothSides(half);
    all.addPath(Quad({-8, 84}, {0, 89}, {8, 84}));  // nostrils
    all.addPath(Quad({-11, 99}, {0, 103}, {11, 99})); // mouth
    all.addEllipse(QPointF(0, 420), 3.5, 3.5);        // navel
    return all;
}

QPainterPath BackDetails()
{
    QPainterPath half;
    // Shoulder blade, elbow, the fold below the buttock, the back of the knee.
    half.addPath(Curve({{30, 196}, {62, 192}, {74, 214}, {62, 262}, {44, 290}}));
    half.addPath(Quad({110, 386}, {118, 394}, {126, 386}));
    half.addPath(Curve({{8, 584}, {40, 596}, {72, 590}, {88, 574}}));
    half.addPath(Quad({36, 746}, {52, 752}, {70, 744}));
    half.addPath(Quad({36, 960}, {42, 980}, {56, 984}));
    // Hair down to the nape.
    half.addPath(Curve({{0, 96}, {30, 92}, {48, 80}}));
    half.addPath(Quad({140, 614}, {139, 636}, {142, 656}));
    half.addPath(Quad({147, 612}, {146, 636}, {149, 660}));
    half.addPath(Quad({154, 610}, {154, 634}, {156, 656}));
    QPainterPath all = BothSides(half);
    all.addPath(Curve({{0, 150}, {0, 330}, {0, 500}}));
    all.addPath(Curve({{0, 500}, {0, 530}, {0, 566}}));
    return all;
}

} // namespace

QPainterPath FigureOutline()
{
    QPainterPath right = HalfOutline();
    QPainterPath outline = right;
    outline.connectPath(MirrorX.map(right).toReversed());
    outline.closeSubpath();
    return outline;
}

void DrawFigure(QPainter& p, const QTransform& t, FigureView view, const FigureInk& ink)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ink.Fill);
    p.drawPath(t.map(FigureOutline()));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink.Detail, ink.DetailWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(t.map(view == FigureView::Front ? FrontDetails() : BackDetails()));
    p.setPen(QPen(ink.Line, ink.LineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(t.map(FigureOutline()));
    p.restore();
}

} // namespace qern::pictures
