#include "FindingTexts.h"

#include "analysis/Analysis.h"
#include "shell/TextCipher.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qern {

namespace {
constexpr int ReferenceKey = 1;
}

ReferenceLookup ReadReferenceTexts(QSqlDatabase db, int code)
{
    ReferenceLookup lookup;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT * FROM ZEMTDB WHERE MKEY = ?"));
    q.addBindValue(code);
    if (!q.exec()) {
        lookup.Error = DatabaseError(q.lastError());
        return lookup;
    }
    if (!q.next())
        return lookup;
    const auto text = [&q](const QString& column) { return Decipher(q.value(column).toString(), ReferenceKey); };
    ReferenceTexts texts;
    for (int i = 1; i <= 3; ++i)
        texts.MA[i] = text(QStringLiteral("DtMA%1").arg(i));
    for (int i = 1; i <= 5; ++i) {
        texts.MH[i] = text(QStringLiteral("DtMH%1").arg(i));
        texts.ML[i] = text(QStringLiteral("DtML%1").arg(i));
    }
    lookup.Texts = texts;
    return lookup;
}

FindingDetail ComposeFinding(FindingListKind list, int code, const AnalysisResult& result,
                             const std::optional<ReferenceTexts>& texts)
{
    FindingDetail detail;
    if (!texts) {
        detail.Primary = {NoReferenceText};
        return detail;
    }
    const ReferenceTexts& t = *texts;
    const QString blank;
    const bool meridian = code >= 1 && code <= MeridianCount;
    const bool high = meridian && BothHigh(result, code);
    const bool low = meridian && BothLow(result, code);
    switch (list) {
    case FindingListKind::Analysis:
        if (!meridian) {
            const int c = OverallClass(result, code);
            detail.Primary = {t.MA[1], blank};
            if (c == 0) {
                detail.Primary << t.MA[2];
            } else if (c > 0) {
                detail.Primary << t.MH[1];
            } else {
                detail.Primary << t.ML[1];
                if (code == FirstOverallCode && result.EnergyClass == -3)
                    detail.Primary << blank << LowEnergyWarning;
            }
        } else {
            detail.Primary = {FindingText(code), blank, t.MA[2], blank, t.MA[1], blank};
            if (high) {
                detail.Primary << t.MH[1];
                detail.Secondary << t.MH[5];
            } else if (low) {
                detail.Primary << t.ML[1];
                detail.Secondary << t.ML[5];
            }
        }
        break;
    case FindingListKind::Dietary:
        detail.Primary = {t.MA[3], blank};
        if (high)
            detail.Primary << t.MH[4];
        else if (low)
            detail.Primary << t.ML[4];
        break;
    case FindingListKind::ProtocolTab:
        if (high)
            detail.Primary = {t.MH[3], blank, t.MH[2]};
        else if (low)
            detail.Primary = {t.ML[3], blank, t.ML[2]};
        break;
    }
    return detail;
}

} // namespace qern
