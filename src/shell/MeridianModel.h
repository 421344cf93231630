#pragma once

#include "OneBased.h"

#include <QColor>
#include <QString>

namespace qern {

// The 12 meridians (m = 1..12; 1..6 hand, 7..12 foot) and the 24 points
// (point index 1..24: left hand, right hand, left foot, right foot, six each).
struct MeridianInfo {
    QString Name;
    QString Code;
    QString Channel;
    QString Element;
    QString SourcePoint;
    QString FullName;
    QString Hours;

    bool operator==(const MeridianInfo&) const = default;
};

constexpr int MeridianCount = 12;
constexpr int PointCount = 24;

// MeridianTable entry m (1..12). The texts are fixed, capitals and inner
// spaces included: reports and grids rely on their exact form.
const MeridianInfo& MeridianTable(int m);

enum class Side { Left, Right };

int PointOf(int m, Side side);
int MeridianOf(int point);
Side SideOf(int point);
bool IsFoot(int point);
// Limb group g of a point: 0 left hand, 1 right hand, 2 left foot, 3 right foot.
constexpr int LimbGroupOf(int point) { return (point - 1) / 6; }
// Point number 1..6 within its limb.
constexpr int PointNumberOf(int point) { return (point - 1) % 6 + 1; }
// "PLh1".."PRf6": the picture of a point.
QString PointPictureName(int point);

struct SlotPair {
    int Left = 0;
    int Right = 0;
    constexpr bool operator==(const SlotPair&) const = default;
};

// The order of grid columns and of measuring: each yin meridian beside its
// yang partner. Fixed, not a user setting.
inline constexpr OneBased<int, MeridianCount> DisplayOrder{1, 6, 2, 5, 3, 4, 7, 12, 8, 11, 9, 10};

struct DerivedTables {
    OneBased<int, PointCount> PositionToPoint;
    OneBased<int, PointCount> PositionToMeridian;
    OneBased<SlotPair, MeridianCount> SlotPoints;
};

// Builds the position and slot tables from a display order.
constexpr DerivedTables BuildDerivedTables(const OneBased<int, MeridianCount>& order)
{
    DerivedTables t;
    for (int i = 1; i <= MeridianCount; ++i) {
        const int m = order[i];
        const int x = m <= 6 ? m : m + 6;
        const int y = m <= 6 ? m + 6 : m + 12;
        const int leftPosition = i <= 6 ? i : i + 6;
        const int rightPosition = i <= 6 ? i + 6 : i + 12;
        t.PositionToPoint[leftPosition] = x;
        t.PositionToPoint[rightPosition] = y;
        t.PositionToMeridian[leftPosition] = m;
        t.PositionToMeridian[rightPosition] = m;
        t.SlotPoints[i] = {x, y};
    }
    return t;
}

// DisplayOrder never changes, so its tables are built once, at compile time,
// and exist before anything else runs.
inline constexpr DerivedTables MeridianLayout = BuildDerivedTables(DisplayOrder);

constexpr int PositionToPoint(int position) { return MeridianLayout.PositionToPoint[position]; }
constexpr int PositionToMeridian(int position) { return MeridianLayout.PositionToMeridian[position]; }
constexpr SlotPair SlotPoints(int slot) { return MeridianLayout.SlotPoints[slot]; }

// Measurement position (1..24) of a grid cell: display slot 1..12, row Left or Right.
constexpr int PositionOfSlot(int slot, Side row)
{
    if (slot <= 6)
        return row == Side::Left ? slot : slot + 6;
    return row == Side::Left ? slot + 6 : slot + 12;
}

using Coefficients = OneBased<double, MeridianCount>;

inline constexpr Coefficients BuiltInCoefficients{0.8541, 0.9318, 1.1081, 0.9318, 0.8039, 0.8039,
                                                  1.0,    1.2424, 1.0,    1.0789, 1.2424, 1.1388};

// CompensationMode 0: built-in factors; 1: no compensation; anything else: the
// user's own factors.
Coefficients SelectCoefficients(int compensationMode, const Coefficients& userCoefficients);

// Raw value of a point times the factor of its meridian among the coefficients
// in force (AppState::MeridianCoefficients).
double Compensate(int point, double raw);

inline const QColor ColorNormal{145, 255, 113};
inline const QColor ColorTolerable{254, 249, 141};
inline const QColor ColorPoor{255, 70, 70};
inline const QColor ColorHighest{62, 62, 255};
inline const QColor ColorLowest{255, 146, 64};

} // namespace qern
