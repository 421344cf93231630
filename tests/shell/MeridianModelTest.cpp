#include "shell/AppState.h"
#include "shell/MeridianModel.h"
#include "shell/Settings.h"

#include <gtest/gtest.h>

using namespace qern;

namespace {

TEST(MeridianModel, TableTextsKeepTheirExactForm)
{
    EXPECT_EQ(MeridianTable(1).SourcePoint, QStringLiteral("TaiYuan  LU9"));
    EXPECT_EQ(MeridianTable(8).SourcePoint, QStringLiteral("TaiChong LR3"));
    EXPECT_EQ(MeridianTable(10).SourcePoint, QStringLiteral("ShuGu    BL65"));
    EXPECT_EQ(MeridianTable(12).SourcePoint, QStringLiteral("ChongYang ST42"));
    EXPECT_EQ(MeridianTable(3).Channel, QStringLiteral("Hand-Shaoyin"));
    EXPECT_EQ(MeridianTable(6).Channel, QStringLiteral("Hand-YangMin"));
    EXPECT_EQ(MeridianTable(2).Element, QStringLiteral("Mi.Fire"));
    EXPECT_EQ(MeridianTable(4).Element, QStringLiteral("Mo.Fire"));
    EXPECT_EQ(MeridianTable(11).Hours, QStringLiteral("11pm-1am"));

    const QStringList codes = {"LU", "PC", "HT", "SI", "TE", "LI", "SP", "LR", "KI", "BL", "GB", "ST"};
    for (int m = 1; m <= MeridianCount; ++m) {
        const MeridianInfo& info = MeridianTable(m);
        SCOPED_TRACE(m);
        EXPECT_EQ(info.Code, codes[m - 1]);
        EXPECT_EQ(info.FullName, info.Name + QStringLiteral("(") + info.Code + QStringLiteral(")"));
        EXPECT_EQ(info.Channel.startsWith(QStringLiteral("Hand-")), m <= 6);
        // The point code starts at the tenth character, except after "ChongYang".
        const int codeAt = m == 12 ? 10 : 9;
        EXPECT_EQ(info.SourcePoint.mid(codeAt, 2), info.Code);
        EXPECT_FALSE(info.SourcePoint.left(codeAt).trimmed().contains(QLatin1Char(' ')));
    }
}

TEST(MeridianModel, PointIndexRules)
{
    EXPECT_EQ(MeridianOf(18), 12);
    EXPECT_EQ(SideOf(18), Side::Left);
    EXPECT_EQ(MeridianOf(24), 12);
    EXPECT_EQ(SideOf(24), Side::Right);
    EXPECT_EQ(MeridianOf(13), 7);
    EXPECT_EQ(MeridianOf(19), 7);
    EXPECT_EQ(PointOf(1, Side::Right), 7);
    EXPECT_EQ(PointOf(7, Side::Left), 13);
    EXPECT_EQ(PointOf(12, Side::Right), 24);

    for (int point = 1; point <= PointCount; ++point) {
        SCOPED_TRACE(point);
        EXPECT_EQ(PointOf(MeridianOf(point), SideOf(point)), point);
        EXPECT_EQ(IsFoot(point), point >= 13);
        EXPECT_EQ(IsFoot(point), MeridianOf(point) >= 7);
    }
    EXPECT_EQ(PointPictureName(1), QStringLiteral("PLh1"));
    EXPECT_EQ(PointPictureName(12), QStringLiteral("PRh6"));
    EXPECT_EQ(PointPictureName(13), QStringLiteral("PLf1"));
    EXPECT_EQ(PointPictureName(24), QStringLiteral("PRf6"));
}

TEST(MeridianModel, DerivedTablesFromDisplayOrder)
{
    const int toPoint[] = {1, 6, 2, 5, 3, 4, 7, 12, 8, 11, 9, 10, 13, 18, 14, 17, 15, 16, 19, 24, 20, 23, 21, 22};
    const int toMeridian[] = {1, 6, 2, 5, 3, 4, 1, 6, 2, 5, 3, 4, 7, 12, 8, 11, 9, 10, 7, 12, 8, 11, 9, 10};
    for (int p = 1; p <= PointCount; ++p) {
        EXPECT_EQ(PositionToPoint(p), toPoint[p - 1]) << "position " << p;
        EXPECT_EQ(PositionToMeridian(p), toMeridian[p - 1]) << "position " << p;
        EXPECT_EQ(MeridianOf(PositionToPoint(p)), PositionToMeridian(p)) << "position " << p;
    }

    const SlotPair slots[] = {{1, 7},   {6, 12},  {2, 8},   {5, 11},  {3, 9},   {4, 10},
                              {13, 19}, {18, 24}, {14, 20}, {17, 23}, {15, 21}, {16, 22}};
    for (int s = 1; s <= MeridianCount; ++s) {
        EXPECT_EQ(SlotPoints(s), slots[s - 1]) << "slot " << s;
        EXPECT_EQ(PositionToPoint(PositionOfSlot(s, Side::Left)), SlotPoints(s).Left) << "slot " << s;
        EXPECT_EQ(PositionToPoint(PositionOfSlot(s, Side::Right)), SlotPoints(s).Right) << "slot " << s;
    }
}

TEST(MeridianModel, CoefficientsByCompensationMode)
{
    Coefficients user(1.0);
    user[8] = 0.5;

    struct Case {
        int mode;
        Coefficients user;
        double lr, gb, sp, ki;
    };
    const Case cases[] = {
        {0, user, 1.2424, 1.2424, 1.0, 1.0},
        {1, user, 1.0, 1.0, 1.0, 1.0},
        {2, Coefficients(1.0), 1.0, 1.0, 1.0, 1.0},
        {2, user, 0.5, 1.0, 1.0, 1.0},
        {-3, user, 0.5, 1.0, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        Settings& s = appState().Settings;
        s.CompensationMode = c.mode;
        s.UserCoefficients = c.user;
        appState().MeridianCoefficients = SelectCoefficients(s.CompensationMode, s.UserCoefficients);
        SCOPED_TRACE(c.mode);
        EXPECT_DOUBLE_EQ(Compensate(14, 10.0), 10.0 * c.lr); // left LR
        EXPECT_DOUBLE_EQ(Compensate(23, 10.0), 10.0 * c.gb); // right GB
        EXPECT_DOUBLE_EQ(Compensate(13, 10.0), 10.0 * c.sp);
        EXPECT_DOUBLE_EQ(Compensate(21, 10.0), 10.0 * c.ki);
        EXPECT_EQ(Compensate(18, 0.0), 0.0);
    }
}

} // namespace
