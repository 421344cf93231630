#include "MeridianModel.h"

#include "AppState.h"

#include <cassert>

namespace qern {

namespace {

const OneBased<MeridianInfo, MeridianCount>& table()
{
    static const OneBased<MeridianInfo, MeridianCount> entries{
        {"Lung Meridian", "LU", "Hand-TaiYin", "Metal", "TaiYuan  LU9", "Lung Meridian(LU)", "3am-5am"},
        {"Pericardium Meridian", "PC", "Hand-JueYin", "Mi.Fire", "DaLing   PC7", "Pericardium Meridian(PC)",
         "7pm-9pm"},
        {"Heart Meridian", "HT", "Hand-Shaoyin", "Mo.Fire", "ShenMen  HT7", "Heart Meridian(HT)", "11am-1pm"},
        {"Small Intestine Meridian", "SI", "Hand-TaiYang", "Mo.Fire", "WanGu    SI4",
         "Small Intestine Meridian(SI)", "1pm-3pm"},
        {"Triple Energizer Meridian", "TE", "Hand-Shaoyang", "Mi.Fire", "YangChi  TE4",
         "Triple Energizer Meridian(TE)", "9pm-11pm"},
        {"Large Intestine Meridian", "LI", "Hand-YangMin", "Metal", "YangXi   LI5",
         "Large Intestine Meridian(LI)", "5am-7am"},
        {"Spleen Meridian", "SP", "Foot-TaiYin", "Earth", "TaiBai   SP3", "Spleen Meridian(SP)", "9am-11am"},
        {"Liver Meridian", "LR", "Foot-JueYin", "Wood", "TaiChong LR3", "Liver Meridian(LR)", "1am-3am"},
        {"Kidney Meridian", "KI", "Foot-ShaoYin", "Water", "DaZhong  KI4", "Kidney Meridian(KI)", "5pm-7pm"},
        {"Bladder Meridian", "BL", "Foot-TaiYang", "Water", "ShuGu    BL65", "Bladder Meridian(BL)", "3pm-5pm"},
        {"Gallbladder Meridian", "GB", "Foot-ShaoYang", "Wood", "QiuXu    GB40", "Gallbladder Meridian(GB)",
         "11pm-1am"},
        {"Stomach Meridian", "ST", "Foot-YangMing", "Earth", "ChongYang ST42", "Stomach Meridian(ST)", "7am-9am"},
    };
    return entries;
}

} // namespace

const MeridianInfo& MeridianTable(int m) { return table()[m]; }

int PointOf(int m, Side side)
{
    assert(m >= 1 && m <= MeridianCount);
    if (m <= 6)
        return side == Side::Left ? m : m + 6;
    return side == Side::Left ? m + 6 : m + 12;
}

int MeridianOf(int point)
{
    assert(point >= 1 && point <= PointCount);
    const int n = PointNumberOf(point);
    return IsFoot(point) ? n + 6 : n;
}

Side SideOf(int point)
{
    assert(point >= 1 && point <= PointCount);
    return LimbGroupOf(point) % 2 == 0 ? Side::Left : Side::Right;
}

bool IsFoot(int point)
{
    assert(point >= 1 && point <= PointCount);
    return point >= 13;
}

QString PointPictureName(int point)
{
    static const char* const limbs[] = {"PLh", "PRh", "PLf", "PRf"};
    return QString::fromLatin1(limbs[LimbGroupOf(point)]) + QString::number(PointNumberOf(point));
}

Coefficients SelectCoefficients(int compensationMode, const Coefficients& userCoefficients)
{
    switch (compensationMode) {
    case 0:
        return BuiltInCoefficients;
    case 1:
        return Coefficients(1.0);
    default:
        return userCoefficients;
    }
}

double Compensate(int point, double raw) { return raw * appState().MeridianCoefficients[MeridianOf(point)]; }

} // namespace qern
