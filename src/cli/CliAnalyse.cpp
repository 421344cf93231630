// qern-cli analyse: one measurement as JSON on stdin, its whole analysis as
// JSON on stdout. Bad input: one line on stderr, status 2, nothing on stdout.

#include "AnalysisInput.h"
#include "Cli.h"
#include "JsonOut.h"

#include "analysis/Analysis.h"
#include "analysis/Findings.h"
#include "analysis/ProtocolMatching.h"
#include "shell/DayCount.h"

#include <QFile>
#include <QJsonObject>

#include <optional>
#include <stdexcept>

namespace qern::cli {

namespace {

// Writes "key": value pairs in order.
class Writer {
public:
    void add(const char* key, const QString& jsonValue)
    {
        parts_.append(QStringLiteral("  \"%1\": %2").arg(QLatin1String(key), jsonValue));
    }
    void number(const char* key, double v) { add(key, JsonNumber(v)); }
    void integer(const char* key, int v) { add(key, QString::number(v)); }
    void flag(const char* key, bool v) { add(key, v ? QStringLiteral("true") : QStringLiteral("false")); }
    void text(const char* key, const QString& v) { add(key, JsonText(v)); }
    template <int N>
    void numbers(const char* key, const OneBased<double, N>& values)
    {
        QStringList items;
        for (double v : values)
            items.append(JsonNumber(v));
        add(key, QStringLiteral("[") + items.join(QStringLiteral(", ")) + QStringLiteral("]"));
    }
    template <int N>
    void integers(const char* key, const OneBased<int, N>& values)
    {
        QList<int> list(values.begin(), values.end());
        integers(key, list);
    }
    void integers(const char* key, const QList<int>& values)
    {
        QStringList items;
        for (int v : values)
            items.append(QString::number(v));
        add(key, QStringLiteral("[") + items.join(QStringLiteral(", ")) + QStringLiteral("]"));
    }
    void texts(const char* key, const QStringList& values)
    {
        QStringList items;
        for (const QString& v : values)
            items.append(JsonText(v));
        add(key, QStringLiteral("[") + items.join(QStringLiteral(", ")) + QStringLiteral("]"));
    }
    QString result() const { return QStringLiteral("{\n") + parts_.join(QStringLiteral(",\n")) + QStringLiteral("\n}\n"); }

private:
    QStringList parts_;
};

} // namespace

int RunAnalyse(const QStringList& args, Streams io)
{
    if (!args.isEmpty())
        return Usage(io, QStringLiteral("analyse takes no arguments; it reads JSON on stdin"));
    AnalysisInput in;
    if (!ReadAnalysisInput(QStringLiteral("analyse"), io.err, in))
        return ExitUsage;

    const AnalysisResult r = Analyse(in.Measurement, in.CoefficientsInForce());
    const FindingLists lists = BuildFindingLists(r);
    const FindingList protocolTab = BuildProtocolTabList(r);

    Writer w;
    w.number("BodyEnergy", r.BodyEnergy);
    w.number("QualityAverage", r.QualityAverage);
    w.flag("EnergyLow", r.EnergyLow);
    w.numbers("GroupAverage", r.GroupAverage);
    w.number("YinAverage", r.YinAverage);
    w.number("YangAverage", r.YangAverage);
    w.number("UpAverage", r.UpAverage);
    w.number("DownAverage", r.DownAverage);
    w.number("LeftAverage", r.LeftAverage);
    w.number("RightAverage", r.RightAverage);
    w.number("HighGroup", r.HighGroup);
    w.number("LowGroup", r.LowGroup);
    w.number("BandFactor", r.BandFactor);
    w.number("UpperLimit1", r.UpperLimit1);
    w.number("UpperLimit2", r.UpperLimit2);
    w.number("LowerLimit1", r.LowerLimit1);
    w.number("LowerLimit2", r.LowerLimit2);
    w.number("DiffLimit1", r.DiffLimit1);
    w.number("DiffLimit2", r.DiffLimit2);
    w.numbers("Values", r.Values);
    w.numbers("Deviation", r.Deviation);
    w.integers("PointClass", r.PointClass);
    w.integers("MeridianClass", r.MeridianClass);
    w.integers("SideClass", r.SideClass);
    w.numbers("CoupleAverage", r.CoupleAverage);
    w.integers("CoupleClass", r.CoupleClass);
    w.integers("CoupleDiffClass", r.CoupleDiffClass);
    w.numbers("ElementAverage", r.ElementAverage);
    w.integers("ElementClass", r.ElementClass);
    w.integer("EnergyClass", r.EnergyClass);
    w.integer("UpDownClass", r.UpDownClass);
    w.integer("LeftRightClass", r.LeftRightClass);
    w.integer("YinYangClass", r.YinYangClass);
    w.integer("NervousClass", r.NervousClass);
    w.number("IntegratedIndex", r.IntegratedIndex);
    w.numbers("PointScore", r.PointScore);
    w.number("MeridiansIndex", r.MeridiansIndex);
    w.text("EnergyStatement", r.EnergyStatement);
    w.text("MentalStatement", r.MentalStatement);
    w.text("SkeletalStatement", r.SkeletalStatement);
    w.text("MetabolismStatement", r.MetabolismStatement);
    w.text("NervousStatement", r.NervousStatement);
    w.integers("AnalysisList", lists.Analysis.Codes);
    w.integers("DietaryList", lists.Dietary.Codes);
    w.integers("ProtocolTabList", protocolTab.Codes);
    if (in.Protocols) {
        const MatchSubject subject{r, in.Measurement.Male, MatchingAge(in.Today, in.Measurement.BirthDate)};
        QStringList names;
        for (const ProtocolRecord& p : MatchProtocols(*in.Protocols, subject))
            names.append(p.Name);
        w.texts("SuggestedProtocols", names);
    }
    io.out << w.result();
    return ExitOk;
}

} // namespace qern::cli
