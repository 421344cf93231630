#include "Findings.h"

#include "Analysis.h"

namespace qern {

namespace {

// Texts of classes -3..3 (NervousStatementOf: 0..3).
QString pick(const char* const (&texts)[7], int cls)
{
    return cls >= -3 && cls <= 3 ? QString::fromLatin1(texts[cls + 3]) : QString();
}

} // namespace

QString EnergyStatementOf(int cls)
{
    static const char* const texts[7] = {
        "Low body energy. Primordial Qi is deficient.",
        "Body energy and primordial energy are slightly weak.",
        "Body energy and primordial Qi are marginally deficient, but still normal.",
        "Body energy and primordial Qi are normal.",
        "Body energy and primordial Qi are marginally heightened, but still normal.",
        "Body energy is slightly excessive.",
        "Body energy is excessive, and full of vigor.",
    };
    return pick(texts, cls);
}

QString MentalStatementOf(int cls)
{
    static const char* const texts[7] = {
        "Qi-Blood is excessive in lower-jiao and psychasthenia is obvious.",
        "Qi-Blood is deficient in upper-jiao; There is a moderate tendency for psychasthenia.",
        "Qi-blood is slightly deficient in upper-jiao and spiritual activity is slightly low.",
        "Qi-Blood is balanced in upper-jiao and lower-jiao, and the spiritual activity is normal.",
        "Qi-Blood is slightly excessive in upper-jiao; There is a slight mental stress.",
        "The upper-jiao is excessive while the lower-jiao is deficient, which shows a moderate mental stress.",
        "Qi-Blood is excessive in upper-jiao and mental stress is obvious.",
    };
    return pick(texts, cls);
}

QString SkeletalStatementOf(int cls)
{
    static const char* const texts[7] = {
        "Qi-Blood is deficient on the left side and complications of the musculoskeletal system are obvious.",
        "Qi-Blood is excessive on the right side and musculoskeletal system complications are likely.",
        "Qi-Blood is slightly excessive on the right side and musculoskeletal system is slightly imbalanced.",
        "Qi-Blood is balanced and the musculoskeletal system is functioning normally.",
        "There are slight imbalance and complications in the msculoskeletal system.",
        "Left side is excessive while right side is deficient and musculoskeletal system is not functioning "
        "properly.",
        "Qi-Blood on the right side is deficient and the musculoskeletal system has obvious complications.",
    };
    return pick(texts, cls);
}

QString MetabolismStatementOf(int cls)
{
    static const char* const texts[7] = {
        "Yang-Fu(Organs) are greater than Yin-Zang(Viscera); Metabolic function exhibits anomalous increase.",
        "Yang is greater than Yin and there is an increase in metabolic function.",
        "Yang is greater than Yin and body metabolism is moderately fast.",
        "Yin and Yang are balanced and body metabolism is normal.",
        "Yin is greater than Yang and body metabolism is slightly slow.",
        "Yin is greater than Yang and metabolic fuction decreases.",
        "Yin-Zang(Viscera) are greater than Yang-Fu(Organs) and metabolism is markedly deficient.",
    };
    return pick(texts, cls);
}

QString NervousStatementOf(int cls)
{
    static const char* const texts[4] = {
        "Autonomic nervous system is normal.",
        "Autonomic nervous system is slightly imbalanced.",
        "Autonomic nervous system is moderately imbalanced.",
        "Autonomic nervous system is obviously imbalanced.",
    };
    return cls >= 0 && cls <= 3 ? QString::fromLatin1(texts[cls]) : QString();
}

QString FindingText(int code)
{
    static const char* const texts[17] = {
        "[Lung Meridian Atypical]",
        "[Pericardium Meridian Atypical]",
        "[Heart Meridian Atypical]",
        "[Small Intestine Meridian Atypical]",
        "[Triple Energizer Meridian Atypical]",
        "[Large Intestine Meridian Atypical]",
        "[Spleen Meridian Atypical]",
        "[Liver Meridian Atypical]",
        "[Kidney Meridian Atypical]",
        "[Bladder Meridian Atypical]",
        "[Gallbladder Meridian Atypical]",
        "[Stomach Meridian Atypical]",
        "State of body energy",
        "State of mental stress",
        "Musculoskeletal system",
        "Metabolism of the body",
        "Function of autonomic nerve",
    };
    return code >= 1 && code <= 17 ? QString::fromLatin1(texts[code - 1]) : QString();
}

int OverallClass(const AnalysisResult& result, int code)
{
    switch (code) {
    case 13:
        return result.EnergyClass;
    case 14:
        return result.UpDownClass;
    case 15:
        return result.LeftRightClass;
    case 16:
        return result.YinYangClass;
    case 17:
        return result.NervousClass;
    default:
        return 0;
    }
}

namespace {
std::pair<int, int> classes(const AnalysisResult& result, int m)
{
    return {result.PointClass[PointOf(m, Side::Left)], result.PointClass[PointOf(m, Side::Right)]};
}
} // namespace

bool Atypical(const AnalysisResult& result, int m)
{
    const auto [l, r] = classes(result, m);
    return l != 0 && r != 0;
}

bool BothHigh(const AnalysisResult& result, int m)
{
    const auto [l, r] = classes(result, m);
    return l > 0 && r > 0;
}

bool BothLow(const AnalysisResult& result, int m)
{
    const auto [l, r] = classes(result, m);
    return l < 0 && r < 0;
}

bool AtypicalOneWay(const AnalysisResult& result, int m) { return BothHigh(result, m) || BothLow(result, m); }

FindingLists BuildFindingLists(const AnalysisResult& result)
{
    FindingLists lists;
    for (int code = FirstOverallCode; code <= LastOverallCode; ++code) {
        lists.Analysis.Texts.append(FindingText(code));
        lists.Analysis.Codes.append(code);
    }
    for (int m = 1; m <= MeridianCount; ++m)
        if (Atypical(result, m))
            for (FindingList* list : {&lists.Analysis, &lists.Dietary}) {
                list->Texts.append(FindingText(m));
                list->Codes.append(m);
            }
    return lists;
}

FindingList BuildProtocolTabList(const AnalysisResult& result)
{
    FindingList list;
    for (int m = 1; m <= MeridianCount; ++m)
        if (AtypicalOneWay(result, m)) {
            list.Texts.append(FindingText(m));
            list.Codes.append(m);
        }
    return list;
}

ListsInStep KeepListsInStep(FindingListKind touched, int position, int analysisSize, int dietarySize,
                            int protocolTabSize)
{
    // Everything is measured from the meridian entries: dietary and
    // protocol-tab positions, analysis positions less the five overall ones.
    int meridianEntry = -1;
    switch (touched) {
    case FindingListKind::Analysis:
        meridianEntry = position - OverallCount;
        break;
    case FindingListKind::Dietary:
    case FindingListKind::ProtocolTab:
        meridianEntry = position;
        break;
    }
    ListsInStep step;
    if (position < 0 || meridianEntry < 0)
        return step;
    const auto within = [](int p, int size) { return p < size ? std::optional<int>(p) : std::nullopt; };
    if (touched != FindingListKind::Analysis)
        step.Analysis = within(meridianEntry + OverallCount, analysisSize);
    if (touched != FindingListKind::Dietary)
        step.Dietary = within(meridianEntry, dietarySize);
    if (touched != FindingListKind::ProtocolTab)
        step.ProtocolTab = within(meridianEntry, protocolTabSize);
    return step;
}

} // namespace qern
