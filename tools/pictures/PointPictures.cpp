#include "PointPictures.h"

#include "Shapes.h"

#include "shell/MeridianModel.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>

namespace qern::pictures {

namespace {

// Every limb is drawn once, in a canonical frame of the picture's size, and
// then turned or mirrored into the view of each picture.
//
// Views, as the practitioner sees the patient's limbs across the table:
// - wrist points LU9, PC7, HT7: the palm side, fingers pointing down (towards
//   the practitioner), forearm at the top; the left hand then shows its thumb
//   on the viewer's right, the right hand on the viewer's left.
// - wrist points SI4, TE4, LI5: the back of the hand, fingers down; the left
//   hand shows its thumb on the viewer's left, the right hand on the right.
// - SP3, KI4: the inner side of the foot, sole down; the toes point right for
//   the left foot, left for the right foot (the foot as seen from the
//   patient's midline).
// - BL65, GB40: the outer side of the foot, sole down; the toes point left for
//   the left foot, right for the right foot.
// - LR3, ST42: the top of the foot, toes pointing down, ankle at the top; the
//   left foot shows its big toe on the viewer's left, the right foot on the
//   right.
// Left and right pictures of a point are mirror images of each other.
//
// Canonical frames: the hand with fingers up and thumb on the left (the left
// palm or the back of the right hand, as its owner sees it); the foot from its
// inner or outer side with toes to the right; the foot from above with toes
// down and big toe on the left (the left foot).

constexpr double W = PointPictureWidth;
constexpr double H = PointPictureHeight;

enum class View { Palm, BackOfHand, FootInner, FootOuter, FootTop };

enum class Mark { Crease, Tendon, Bone, Vessel, Nail };

struct Stroke {
    QPainterPath Path;
    Mark Kind;
};

// A soft patch of shading: a hollow (Depth > 0) darkens, a prominence
// (Depth < 0) catches the light.
struct Spot {
    QPointF Centre;
    double Rx;
    double Ry;
    double Depth;
};

struct LimbArt {
    QPainterPath Silhouette;
    QPainterPath Underside; // sole or palm skin, tinted a little pinker
    QList<Stroke> Strokes;
    QList<Spot> Spots;
    QMap<QString, QPointF> Points;
    // Where each point's label goes, as a direction from the point.
    QMap<QString, QPointF> LabelDirections;
};

struct DigitDef {
    QPointF Base;
    QPointF Tip;
    double BaseWidth;
    double TipWidth;
};

// The hand, fingers up, thumb on the left; the wrist crease lies at y 176..180.
const DigitDef Fingers[4] = {
    {{120, 104}, {113, 27}, 23, 19},
    {{142, 100}, {141, 13}, 24, 20},
    {{164, 103}, {170, 23}, 22, 18},
    {{184, 110}, {198, 52}, 19, 16},
};
const DigitDef Thumb = {{106, 146}, {76, 86}, 29, 21};

QPainterPath HandSilhouette()
{
    QPainterPath forearm(QPointF(113, 174));
    forearm.cubicTo(109, 205, 104, 232, 100, 262);
    forearm.lineTo(203, 262);
    forearm.cubicTo(198, 232, 194, 205, 191, 174);
    forearm.closeSubpath();

    QPainterPath palm(QPointF(113, 184));
    palm.cubicTo(109, 160, 105, 130, 109, 102);
    palm.cubicTo(130, 92, 172, 94, 193, 107);
    palm.cubicTo(200, 130, 201, 160, 191, 184);
    palm.closeSubpath();

    QPainterPath thenar;
    {
        QPainterPath ellipse;
        ellipse.addEllipse(QPointF(0, 0), 19, 33);
        thenar = QTransform().translate(120, 149).rotate(-27).map(ellipse);
    }

    QPainterPath hand = forearm.united(palm).united(thenar);
    for (const DigitDef& f : Fingers)
        hand = hand.united(Digit(f.Base, f.Tip, f.BaseWidth, f.TipWidth, 14));
    hand = hand.united(Digit(Thumb.Base, Thumb.Tip, Thumb.BaseWidth, Thumb.TipWidth, 12));
    return hand.simplified();
}

QPainterPath Line(QPointF a, QPointF b)
{
    QPainterPath path(a);
    path.lineTo(b);
    return path;
}

QPainterPath Curve(std::initializer_list<QPointF> points) { return SmoothCurve(QList<QPointF>(points)); }

QPainterPath Arc(QPointF centre, double rx, double ry, double startDegrees, double spanDegrees)
{
    QPainterPath path;
    const QRectF box(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    path.arcMoveTo(box, startDegrees);
    path.arcTo(box, startDegrees, spanDegrees);
    return path;
}

// The distal wrist crease, radial end to ulnar end, in the hand frame.
QPainterPath WristCrease()
{
    QPainterPath path(QPointF(116, 180));
    path.quadTo(151, 172, 188, 180);
    return path;
}

LimbArt PalmArt()
{
    LimbArt art;
    art.Silhouette = HandSilhouette();
    art.Underside = art.Silhouette;

    const QPainterPath crease = WristCrease();
    art.Strokes.append({crease, Mark::Crease});
    art.Strokes.append({Curve({{119, 190}, {151, 186}, {185, 190}}), Mark::Crease});
    // The palm's three main lines.
    art.Strokes.append({Curve({{110, 122}, {124, 134}, {135, 152}, {141, 171}}), Mark::Crease});
    art.Strokes.append({Curve({{110, 123}, {135, 128}, {162, 134}, {184, 146}}), Mark::Crease});
    art.Strokes.append({Curve({{197, 124}, {176, 117}, {152, 112}, {133, 104}}), Mark::Crease});
    for (const DigitDef& f : Fingers) {
        art.Strokes.append({AcrossDigit(f.Base, f.Tip, f.BaseWidth, f.TipWidth, 0.08, 0.15), Mark::Crease});
        art.Strokes.append({AcrossDigit(f.Base, f.Tip, f.BaseWidth, f.TipWidth, 0.45), Mark::Crease});
        art.Strokes.append({AcrossDigit(f.Base, f.Tip, f.BaseWidth, f.TipWidth, 0.72), Mark::Crease});
    }
    art.Strokes.append({AcrossDigit(Thumb.Base, Thumb.Tip, Thumb.BaseWidth, Thumb.TipWidth, 0.3, 0.3), Mark::Crease});
    art.Strokes.append({AcrossDigit(Thumb.Base, Thumb.Tip, Thumb.BaseWidth, Thumb.TipWidth, 0.66, 0.25), Mark::Crease});

    // Flexor tendons and the radial artery above the wrist.
    art.Strokes.append({Curve({{136, 258}, {137, 220}, {139, 183}}), Mark::Tendon});
    art.Strokes.append({Curve({{156, 258}, {155, 220}, {153, 181}}), Mark::Tendon});
    art.Strokes.append({Curve({{183, 258}, {183, 220}, {182, 186}}), Mark::Tendon});
    art.Strokes.append({Curve({{123, 258}, {122, 220}, {120, 184}}), Mark::Vessel});

    art.Spots = {
        {{122, 150}, 17, 26, -0.9}, // thenar
        {{186, 152}, 11, 24, -0.7}, // hypothenar
        {{152, 140}, 26, 22, 0.8},  // hollow of the palm
        {{182, 186}, 6, 5, -0.9},   // pisiform
        {{146, 180}, 8, 5, 0.5},    // between the tendons
    };

    art.Points[QStringLiteral("LU9")] = crease.pointAtPercent(0.06);
    art.Points[QStringLiteral("PC7")] = crease.pointAtPercent(0.42);
    art.Points[QStringLiteral("HT7")] = crease.pointAtPercent(0.87);
    art.LabelDirections[QStringLiteral("LU9")] = {-1, 0.35};
    art.LabelDirections[QStringLiteral("PC7")] = {-0.5, 1};
    art.LabelDirections[QStringLiteral("HT7")] = {1, 0.35};
    return art;
}

LimbArt BackOfHandArt()
{
    LimbArt art;
    art.Silhouette = HandSilhouette();

    art.Strokes.append({Curve({{117, 181}, {151, 177}, {187, 181}}), Mark::Crease});
    for (const DigitDef& f : Fingers) {
        art.Strokes.append({Nail(f.Base, f.Tip, f.TipWidth), Mark::Nail});
        // Knuckle, wrinkles over the middle joint, the end joint.
        const QPointF d = (f.Tip - f.Base) / std::hypot(f.Tip.x() - f.Base.x(), f.Tip.y() - f.Base.y());
        art.Strokes.append({Arc(f.Base + d * 2, f.BaseWidth * 0.32, f.BaseWidth * 0.22, 20, 140), Mark::Bone});
        art.Strokes.append({AcrossDigit(f.Base, f.Tip, f.BaseWidth, f.TipWidth, 0.43, 0.45), Mark::Crease});
        art.Strokes.append({AcrossDigit(f.Base, f.Tip, f.BaseWidth, f.TipWidth, 0.47, 0.4), Mark::Crease});
        art.Strokes.append({AcrossDigit(f.Base, f.Tip, f.BaseWidth, f.TipWidth, 0.71, 0.5), Mark::Crease});
        // Extensor tendons fan out from the middle of the wrist.
        const QPointF wrist(151 + (f.Base.x() - 151) * 0.12, 186);
        const QPointF middle = Lerp({151, 178}, f.Base, 0.5) + QPointF(0, 3);
        art.Strokes.append({Curve({wrist, middle, f.Base + d * 3}), Mark::Tendon});
    }
    art.Strokes.append({Nail(Thumb.Base, Thumb.Tip, Thumb.TipWidth), Mark::Nail});
    art.Strokes.append({AcrossDigit(Thumb.Base, Thumb.Tip, Thumb.BaseWidth, Thumb.TipWidth, 0.66, 0.45), Mark::Crease});
    // The tendons that border the snuffbox on the thumb side.
    art.Strokes.append({Curve({{128, 230}, {128, 196}, {124, 172}, {108, 140}, {97, 120}}), Mark::Tendon});
    art.Strokes.append({Curve({{112, 214}, {111, 192}, {109, 170}, {103, 148}}), Mark::Tendon});
    // Extensor of the little finger, on the far side of the point of TE4.
    art.Strokes.append({Curve({{172, 198}, {174, 180}, {180, 150}, {184, 118}}), Mark::Tendon});
    // The ulnar head and the fifth metacarpal along the ulnar edge.
    art.Strokes.append({Arc({182, 192}, 7, 6, 200, 250), Mark::Bone});
    art.Strokes.append({Curve({{191, 160}, {191, 140}, {188, 118}}), Mark::Bone});

    art.Spots = {
        {{182, 192}, 8, 7, -1.0},   // ulnar head
        {{117, 172}, 6, 9, 1.1},    // snuffbox
        {{195, 164}, 6, 7, 1.0},    // hollow at the base of the fifth metacarpal
        {{162, 180}, 6, 5, 0.6},    // beside the finger extensors
        {{151, 140}, 30, 26, -0.4}, // back of the hand
    };

    const double edge = EdgeX(art.Silhouette, 165, true);
    art.Points[QStringLiteral("SI4")] = {edge - 3, 165};
    art.Points[QStringLiteral("TE4")] = {163, 179};
    art.Points[QStringLiteral("LI5")] = {117, 175};
    art.LabelDirections[QStringLiteral("SI4")] = {1, 0.3};
    art.LabelDirections[QStringLiteral("TE4")] = {0.6, 1};
    art.LabelDirections[QStringLiteral("LI5")] = {-1, 0.45};
    return art;
}

// The foot from its inner side, toes to the right, sole on the ground line
// y = 234.
LimbArt InnerFootArt()
{
    LimbArt art;
    QPainterPath foot(QPointF(64, -4));
    foot.cubicTo(66, 40, 70, 92, 72, 124);
    foot.cubicTo(73, 150, 52, 160, 42, 182);
    foot.cubicTo(34, 200, 38, 226, 58, 233);
    foot.cubicTo(80, 238, 100, 236, 114, 232);
    foot.cubicTo(140, 222, 178, 220, 204, 229);
    foot.cubicTo(214, 234, 226, 236, 240, 235);
    foot.lineTo(246, 235);
    foot.lineTo(240, 202);
    foot.cubicTo(226, 199, 220, 196, 214, 193);
    foot.cubicTo(194, 182, 160, 166, 141, 150);
    foot.cubicTo(128, 138, 124, 100, 124, 60);
    foot.lineTo(124, -4);
    foot.closeSubpath();
    const QPointF toeBase(234, 219), toeTip(281, 221);
    art.Silhouette = foot.united(Digit(toeBase, toeTip, 32, 27, 16)).simplified();

    QPainterPath sole(QPointF(30, 224));
    sole.cubicTo(80, 232, 110, 228, 150, 216);
    sole.cubicTo(185, 214, 210, 226, 250, 229);
    sole.lineTo(290, 229);
    sole.lineTo(290, 250);
    sole.lineTo(30, 250);
    sole.closeSubpath();
    art.Underside = sole;
    art.Strokes.append({Curve({{56, 226}, {100, 228}, {150, 216}, {185, 216}, {210, 225}, {246, 230}}), Mark::Crease});

    art.Strokes.append({Nail(toeBase + QPointF(0, -4), toeTip + QPointF(0, -4), 22), Mark::Nail});
    art.Strokes.append({AcrossDigit(toeBase, toeTip, 32, 27, 0.45, 0.35), Mark::Crease});
    // Medial malleolus, Achilles tendon, tibialis anterior tendon.
    art.Strokes.append({Arc({105, 141}, 12, 11, 150, 250), Mark::Bone});
    art.Strokes.append({Curve({{82, 30}, {80, 100}, {76, 150}, {68, 188}}), Mark::Tendon});
    art.Strokes.append({Curve({{126, 104}, {134, 140}, {146, 168}, {160, 192}}), Mark::Tendon});
    // Navicular and the first metatarsal with its head.
    art.Strokes.append({Arc({152, 199}, 6, 5, 200, 220), Mark::Bone});
    art.Strokes.append({Curve({{162, 204}, {190, 210}, {214, 216}}), Mark::Bone});
    art.Strokes.append({Arc({223, 219}, 9, 9, 190, 240), Mark::Bone});
    // The great saphenous vein in front of the malleolus.
    art.Strokes.append({Curve({{116, 20}, {116, 90}, {118, 126}, {124, 160}, {148, 190}}), Mark::Vessel});

    art.Spots = {
        {{105, 141}, 12, 11, -1.2}, // medial malleolus
        {{86, 168}, 9, 12, 1.1},    // hollow behind and below it
        {{223, 219}, 10, 9, -0.8},  // head of the first metatarsal
        {{152, 199}, 7, 6, -0.6},   // navicular
        {{150, 224}, 40, 8, 0.5},   // arch
        {{56, 205}, 16, 20, -0.5},  // heel
    };

    art.Points[QStringLiteral("SP3")] = {207, 224};
    art.Points[QStringLiteral("KI4")] = {85, 168};
    art.LabelDirections[QStringLiteral("SP3")] = {-0.2, -1};
    art.LabelDirections[QStringLiteral("KI4")] = {-0.35, 1};
    return art;
}

// The foot from its outer side, toes to the right.
LimbArt OuterFootArt()
{
    LimbArt art;
    QPainterPath foot(QPointF(66, -4));
    foot.cubicTo(68, 40, 72, 92, 74, 124);
    foot.cubicTo(75, 150, 54, 160, 44, 182);
    foot.cubicTo(36, 200, 40, 226, 60, 233);
    foot.cubicTo(100, 237, 140, 236, 166, 233);
    foot.cubicTo(180, 232, 200, 235, 228, 235);
    foot.lineTo(232, 214);
    foot.cubicTo(222, 206, 212, 200, 206, 196);
    foot.cubicTo(186, 184, 164, 168, 146, 154);
    foot.cubicTo(132, 142, 126, 100, 126, 60);
    foot.lineTo(126, -4);
    foot.closeSubpath();

    // Seen from outside: the little toe in front, the longer toes behind it.
    const QPointF bigBase(222, 208), bigTip(274, 212);
    const QPointF fourthBase(226, 219), fourthTip(266, 222);
    const QPointF littleBase(222, 228), littleTip(257, 230);
    QPainterPath silhouette = foot.united(Digit(bigBase, bigTip, 20, 16, 14));
    silhouette = silhouette.united(Digit(fourthBase, fourthTip, 17, 14, 14));
    silhouette = silhouette.united(Digit(littleBase, littleTip, 15, 12, 14));
    art.Silhouette = silhouette.simplified();

    QPainterPath sole(QPointF(30, 226));
    sole.cubicTo(90, 232, 160, 229, 200, 230);
    sole.lineTo(290, 232);
    sole.lineTo(290, 250);
    sole.lineTo(30, 250);
    sole.closeSubpath();
    art.Underside = sole;
    art.Strokes.append({Curve({{58, 227}, {110, 230}, {166, 227}, {206, 229}, {230, 231}}), Mark::Crease});

    // Where the toes stand in front of one another.
    art.Strokes.append({Curve({{236, 219}, {250, 219}, {257, 223}}), Mark::Crease});
    art.Strokes.append({Curve({{240, 211}, {256, 212}, {264, 216}}), Mark::Crease});
    art.Strokes.append({Nail(littleBase + QPointF(0, -2), littleTip + QPointF(0, -2), 12), Mark::Nail});
    // Lateral malleolus, peroneal tendons behind it, Achilles tendon, toe extensors.
    art.Strokes.append({Arc({99, 150}, 12, 12, 90, 270), Mark::Bone});
    art.Strokes.append({Curve({{88, 40}, {86, 120}, {90, 160}, {106, 178}, {140, 200}, {166, 222}}), Mark::Tendon});
    art.Strokes.append({Curve({{76, 40}, {76, 110}, {72, 150}, {64, 186}}), Mark::Tendon});
    art.Strokes.append({Curve({{130, 120}, {146, 160}, {180, 184}, {214, 202}}), Mark::Tendon});
    // The fifth metatarsal from its tuberosity to its head.
    art.Strokes.append({Arc({166, 226}, 7, 6, 20, 160), Mark::Bone});
    art.Strokes.append({Curve({{174, 224}, {196, 224}, {214, 224}}), Mark::Bone});
    art.Strokes.append({Arc({219, 226}, 7, 7, 20, 160), Mark::Bone});

    art.Spots = {
        {{99, 150}, 12, 12, -1.2},  // lateral malleolus
        {{121, 171}, 10, 8, 1.1},   // hollow in front of and below it
        {{166, 226}, 8, 6, -0.7},   // tuberosity of the fifth metatarsal
        {{219, 226}, 8, 7, -0.7},   // head of the fifth metatarsal
        {{205, 225}, 6, 5, 0.7},    // hollow behind the head
        {{58, 205}, 16, 20, -0.5},  // heel
    };

    art.Points[QStringLiteral("BL65")] = {206, 226};
    art.Points[QStringLiteral("GB40")] = {121, 170};
    art.LabelDirections[QStringLiteral("BL65")] = {-0.1, -1};
    art.LabelDirections[QStringLiteral("GB40")] = {0.45, -1};
    return art;
}

// The left foot from above, toes down, big toe on the left; the leg comes in
// from the top with the inner ankle bone higher than the outer one.
LimbArt TopFootArt()
{
    LimbArt art;
    QPainterPath foot(QPointF(118, -4));
    foot.lineTo(182, -4);
    foot.cubicTo(182, 20, 182, 40, 186, 54);
    foot.cubicTo(196, 60, 198, 78, 192, 86);
    foot.cubicTo(202, 110, 210, 150, 210, 176);
    foot.cubicTo(210, 190, 206, 196, 198, 198);
    foot.lineTo(112, 204);
    foot.cubicTo(102, 200, 100, 190, 100, 178);
    foot.cubicTo(100, 140, 106, 100, 108, 74);
    foot.cubicTo(100, 66, 100, 46, 112, 40);
    foot.cubicTo(116, 26, 118, 10, 118, -4);
    foot.closeSubpath();

    const DigitDef toes[5] = {
        {{118, 194}, {114, 247}, 32, 27},
        {{144, 199}, {146, 247}, 19, 16},
        {{164, 199}, {167, 242}, 18, 15},
        {{182, 196}, {186, 236}, 17, 14},
        {{198, 190}, {204, 227}, 15, 12},
    };
    QPainterPath silhouette = foot;
    for (const DigitDef& t : toes)
        silhouette = silhouette.united(Digit(t.Base, t.Tip, t.BaseWidth, t.TipWidth, 14));
    art.Silhouette = silhouette.simplified();

    for (const DigitDef& t : toes) {
        art.Strokes.append({Nail(t.Base, t.Tip, t.TipWidth), Mark::Nail});
        art.Strokes.append({AcrossDigit(t.Base, t.Tip, t.BaseWidth, t.TipWidth, 0.42, 0.45), Mark::Crease});
    }
    // Ankle crease, the two ankle bones.
    art.Strokes.append({Curve({{118, 60}, {150, 68}, {184, 64}}), Mark::Crease});
    art.Strokes.append({Arc({112, 50}, 9, 12, 100, 160), Mark::Bone});
    art.Strokes.append({Arc({190, 70}, 9, 12, -80, 160), Mark::Bone});
    // Metatarsals.
    art.Strokes.append({Line({124, 110}, {116, 186}), Mark::Bone});
    art.Strokes.append({Line({138, 106}, {144, 190}), Mark::Bone});
    art.Strokes.append({Line({152, 110}, {164, 190}), Mark::Bone});
    art.Strokes.append({Line({166, 114}, {182, 188}), Mark::Bone});
    art.Strokes.append({Line({180, 120}, {198, 184}), Mark::Bone});
    // Extensor tendons of the big toe and of the other toes.
    art.Strokes.append({Curve({{140, 20}, {140, 60}, {132, 110}, {120, 194}}), Mark::Tendon});
    for (int i = 1; i < 5; ++i)
        art.Strokes.append({Curve({{150.0 + 4 * i, 62}, Lerp({162, 90}, toes[i].Base, 0.45), toes[i].Base}),
                            Mark::Tendon});
    // Above the ankle the toe extensors run as one bundle.
    art.Strokes.append({Line({158, -4}, {159, 58}), Mark::Tendon});
    // The dorsal artery of the foot, felt at ST42.
    art.Strokes.append({Curve({{149, 40}, {149, 70}, {146, 96}, {139, 122}, {133, 140}}), Mark::Vessel});

    art.Spots = {
        {{112, 50}, 9, 12, -1.2},   // medial malleolus
        {{190, 70}, 9, 12, -1.2},   // lateral malleolus
        {{131, 130}, 6, 9, 1.0},    // between the first two metatarsals
        {{147, 98}, 14, 10, -0.6},  // the height of the instep
        {{155, 150}, 38, 30, -0.3}, // dorsum
    };

    art.Points[QStringLiteral("LR3")] = {131, 132};
    art.Points[QStringLiteral("ST42")] = {147, 96};
    art.LabelDirections[QStringLiteral("LR3")] = {-1, 0.5};
    art.LabelDirections[QStringLiteral("ST42")] = {1, -0.2};
    return art;
}

View ViewOf(int meridian)
{
    switch (meridian) {
    case 1:
    case 2:
    case 3:
        return View::Palm;
    case 4:
    case 5:
    case 6:
        return View::BackOfHand;
    case 7:
    case 9:
        return View::FootInner;
    case 10:
    case 11:
        return View::FootOuter;
    default:
        return View::FootTop;
    }
}

const LimbArt& ArtOf(View view)
{
    static const LimbArt palm = PalmArt();
    static const LimbArt back = BackOfHandArt();
    static const LimbArt inner = InnerFootArt();
    static const LimbArt outer = OuterFootArt();
    static const LimbArt top = TopFootArt();
    switch (view) {
    case View::Palm:
        return palm;
    case View::BackOfHand:
        return back;
    case View::FootInner:
        return inner;
    case View::FootOuter:
        return outer;
    default:
        return top;
    }
}

// From the canonical frame into the picture; see the views above.
QTransform TransformOf(View view, Side side)
{
    const QTransform turn(-1, 0, 0, -1, W, H);
    const QTransform flipUpDown(1, 0, 0, -1, 0, H);
    const QTransform mirror(-1, 0, 0, 1, W, 0);
    const bool left = side == Side::Left;
    switch (view) {
    case View::Palm:
        return left ? turn : flipUpDown;
    case View::BackOfHand:
        return left ? flipUpDown : turn;
    case View::FootInner:
    case View::FootTop:
        return left ? QTransform() : mirror;
    case View::FootOuter:
        return left ? mirror : QTransform();
    }
    return {};
}

QString CaptionOf(View view, Side side)
{
    const QString where = side == Side::Left ? QStringLiteral("Left") : QStringLiteral("Right");
    switch (view) {
    case View::Palm:
        return where + QStringLiteral(" hand, palm side");
    case View::BackOfHand:
        return where + QStringLiteral(" hand, back");
    case View::FootInner:
        return where + QStringLiteral(" foot, inner side");
    case View::FootOuter:
        return where + QStringLiteral(" foot, outer side");
    case View::FootTop:
        return where + QStringLiteral(" foot, top");
    }
    return where;
}

const QColor Skin(242, 206, 180);
const QColor SkinLight(252, 230, 212);
const QColor SkinShadow(196, 146, 118);
const QColor SkinContour(150, 98, 74);
const QColor Ink(45, 42, 40);
const QColor MarkRed(214, 18, 24);

QFont PictureFont(double pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    font.setBold(bold);
    return font;
}

void DrawBackground(QPainter& p, PictureStyle style)
{
    if (style == PictureStyle::Outline) {
        p.fillRect(QRectF(0, 0, W, H), Qt::white);
        return;
    }
    QLinearGradient g(0, 0, 0, H);
    g.setColorAt(0, QColor(238, 243, 248));
    g.setColorAt(1, QColor(224, 232, 240));
    p.fillRect(QRectF(0, 0, W, H), g);
}

void DrawShading(QPainter& p, const LimbArt& art, const QTransform& t)
{
    // A soft shadow on the table below the limb.
    p.setTransform(t * QTransform::fromTranslate(3, 4));
    for (const double width : {9.0, 5.0, 2.0}) {
        p.setPen(QPen(QColor(60, 70, 90, 14), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(60, 70, 90, 14));
        p.drawPath(art.Silhouette);
    }

    p.setTransform(t);
    p.setPen(Qt::NoPen);
    p.setBrush(Skin);
    p.drawPath(art.Silhouette);

    p.save();
    p.setClipPath(art.Silhouette);
    if (!art.Underside.isEmpty()) {
        p.setBrush(QColor(236, 178, 160, 70));
        p.drawPath(art.Underside);
    }
    // Light from the upper left of the picture, whatever the limb's turn.
    p.setTransform(QTransform());
    QLinearGradient light(0, 0, W, H);
    light.setColorAt(0, QColor(255, 248, 240, 70));
    light.setColorAt(1, QColor(120, 70, 50, 45));
    p.fillRect(QRectF(0, 0, W, H), light);
    p.setTransform(t);

    for (const Spot& s : art.Spots) {
        QRadialGradient g(s.Centre, 1.0);
        const QColor c = s.Depth > 0 ? SkinShadow : SkinLight;
        const int alpha = static_cast<int>(std::min(255.0, 150 * std::abs(s.Depth)));
        g.setColorAt(0, QColor(c.red(), c.green(), c.blue(), alpha));
        g.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 0));
        p.save();
        p.translate(s.Centre);
        p.scale(s.Rx, s.Ry);
        p.translate(-s.Centre);
        p.setBrush(g);
        p.drawEllipse(s.Centre, 1.0, 1.0);
        p.restore();
    }
    // The rim turns away from the light: a darker band inside the outline.
    p.setBrush(Qt::NoBrush);
    for (const double width : {18.0, 10.0, 5.0})
        p.strokePath(art.Silhouette, QPen(QColor(170, 110, 85, 34), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.restore();
}

void DrawStrokes(QPainter& p, const LimbArt& art, const QTransform& t, bool shaded, bool lined)
{
    p.setTransform(t);
    p.setBrush(Qt::NoBrush);
    for (const Stroke& s : art.Strokes) {
        switch (s.Kind) {
        case Mark::Crease:
            if (shaded)
                p.strokePath(s.Path, QPen(QColor(150, 96, 72, lined ? 110 : 170), 1.1, Qt::SolidLine, Qt::RoundCap));
            if (lined)
                p.strokePath(s.Path, QPen(QColor(70, 66, 62), 1.0, Qt::SolidLine, Qt::RoundCap));
            break;
        case Mark::Tendon:
            if (shaded) {
                p.strokePath(s.Path, QPen(QColor(255, 236, 220, 150), 4.0, Qt::SolidLine, Qt::RoundCap));
                p.strokePath(s.Path.translated(1.8, 0),
                             QPen(QColor(170, 112, 88, 60), 1.2, Qt::SolidLine, Qt::RoundCap));
            }
            // Under the skin: the line drawing dashes them, shading alone shows them otherwise.
            if (lined && !shaded) {
                QPen pen(QColor(120, 116, 112), 1.0, Qt::CustomDashLine, Qt::RoundCap);
                pen.setDashPattern({4, 3});
                p.strokePath(s.Path, pen);
            }
            break;
        case Mark::Bone:
            if (shaded)
                p.strokePath(s.Path, QPen(QColor(170, 112, 88, 80), 1.2, Qt::SolidLine, Qt::RoundCap));
            if (lined)
                p.strokePath(s.Path, QPen(QColor(110, 106, 102), 1.0, Qt::SolidLine, Qt::RoundCap));
            break;
        case Mark::Vessel:
            if (shaded)
                p.strokePath(s.Path, QPen(QColor(120, 120, 200, 70), 2.0, Qt::SolidLine, Qt::RoundCap));
            if (lined && !shaded)
                p.strokePath(s.Path, QPen(QColor(150, 150, 200), 1.0, Qt::DotLine, Qt::RoundCap));
            break;
        case Mark::Nail:
            p.setPen(shaded ? QPen(QColor(200, 140, 120), 1.0) : Qt::NoPen);
            p.setBrush(shaded ? QBrush(QColor(250, 222, 214)) : Qt::NoBrush);
            p.drawPath(s.Path);
            if (lined)
                p.strokePath(s.Path, QPen(QColor(70, 66, 62), 1.0));
            p.setBrush(Qt::NoBrush);
            break;
        }
    }
}

void DrawContour(QPainter& p, const LimbArt& art, const QTransform& t, bool lined)
{
    p.setTransform(t);
    p.setBrush(Qt::NoBrush);
    if (lined)
        p.strokePath(art.Silhouette, QPen(Ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        p.strokePath(art.Silhouette, QPen(SkinContour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void DrawMark(QPainter& p, QPointF at)
{
    p.setTransform(QTransform());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), 4.5));
    p.drawEllipse(at, 10.5, 10.5);
    p.setPen(QPen(MarkRed, 2.2));
    p.drawEllipse(at, 10.5, 10.5);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(MarkRed);
    p.drawEllipse(at, 5.0, 5.0);
}

void DrawLabel(QPainter& p, QPointF at, QPointF direction, const QString& text)
{
    p.setTransform(QTransform());
    const double length = std::hypot(direction.x(), direction.y());
    const QPointF d = direction / length;
    const QFont font = PictureFont(13, true);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text) + 10, metrics.height() + 4);
    QPointF centre = at + d * 40;
    centre.setX(std::clamp(centre.x(), size.width() / 2 + 3, W - size.width() / 2 - 3));
    centre.setY(std::clamp(centre.y(), size.height() / 2 + 3, H - size.height() / 2 - 3));
    const QRectF box(centre - QPointF(size.width() / 2, size.height() / 2), size);

    // The leader runs from the ring to the nearest side of the box.
    const QPointF from = at + d * 12;
    const QPointF to(std::clamp(from.x(), box.left(), box.right()), std::clamp(from.y(), box.top(), box.bottom()));
    if (std::hypot(to.x() - from.x(), to.y() - from.y()) > 3) {
        p.setPen(QPen(MarkRed, 1.3));
        p.drawLine(from, to);
    }
    p.setPen(QPen(MarkRed, 1.0));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRoundedRect(box, 4, 4);
    p.setPen(QColor(150, 0, 6));
    p.drawText(box, Qt::AlignCenter, text);
}

void DrawCaption(QPainter& p, const QPainterPath& silhouette, const QString& text)
{
    p.setTransform(QTransform());
    const QFont font = PictureFont(11, false);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    const QRectF corners[] = {
        QRectF(QPointF(6, 4), size),
        QRectF(QPointF(W - 6 - size.width(), 4), size),
        QRectF(QPointF(6, H - 4 - size.height()), size),
        QRectF(QPointF(W - 6 - size.width(), H - 4 - size.height()), size),
    };
    QRectF place = corners[0];
    for (const QRectF& corner : corners) {
        if (!silhouette.intersects(corner.adjusted(-4, -4, 4, 4))) {
            place = corner;
            break;
        }
    }
    p.setPen(QColor(80, 86, 96));
    p.drawText(place, Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

QImage DrawPointPicture(int point, PictureStyle style)
{
    const int meridian = MeridianOf(point);
    const Side side = SideOf(point);
    const View view = ViewOf(meridian);
    const LimbArt& art = ArtOf(view);
    const QTransform t = TransformOf(view, side);
    const QString code = MeridianTable(meridian).SourcePoint.simplified().section(QLatin1Char(' '), -1);

    QImage image(PointPictureWidth, PointPictureHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const bool shaded = style != PictureStyle::Outline;
    const bool lined = style != PictureStyle::Shaded;
    DrawBackground(p, style);
    if (shaded) {
        DrawShading(p, art, t);
    } else {
        p.setTransform(t);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(art.Silhouette);
    }
    DrawStrokes(p, art, t, shaded, lined);
    DrawContour(p, art, t, lined);

    const QPointF at = t.map(art.Points.value(code));
    const QPointF direction = t.map(art.LabelDirections.value(code)) - t.map(QPointF(0, 0));
    DrawMark(p, at);
    DrawLabel(p, at, direction, code);
    DrawCaption(p, t.map(art.Silhouette), CaptionOf(view, side));
    return image;
}

} // namespace qern::pictures
