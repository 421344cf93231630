// qern-cli analyse: one measurement as JSON on stdin, its whole analysis as
// JSON on stdout. Bad input: one line on stderr, status 2, nothing on stdout.

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

// A problem with the input, named for the user.
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void bad(const QString& why) { throw BadInput(why.toStdString()); }

QJsonValue required(const QJsonObject& o, const char* key, const QString& where = {})
{
    if (!o.contains(QLatin1String(key)))
        bad(QStringLiteral("missing field \"%1\"%2").arg(QLatin1String(key), where));
    return o.value(QLatin1String(key));
}

double number(const QJsonValue& v, const QString& what)
{
    if (!v.isDouble())
        bad(QStringLiteral("\"%1\" must be a number").arg(what));
    return v.toDouble();
}

QList<double> numbers(const QJsonValue& v, const char* key, int count)
{
    if (!v.isArray() || v.toArray().size() != count)
        bad(QStringLiteral("\"%1\" must be an array of %2 numbers").arg(QLatin1String(key)).arg(count));
    QList<double> values;
    for (const QJsonValue& item : v.toArray())
        values.append(number(item, QString::fromLatin1(key)));
    return values;
}

QDate date(const QJsonValue& v, const char* key)
{
    const QDate d = QDate::fromString(v.toString(), QStringLiteral("yyyy-MM-dd"));
    if (!v.isString() || !d.isValid())
        bad(QStringLiteral("\"%1\" must be a date YYYY-MM-DD").arg(QLatin1String(key)));
    return d;
}

struct Input {
    AnalysedMeasurement Measurement;
    Coefficients UserCoefficients = Coefficients(1.0);
    int CompensationMode = 0;
    QDate Today;
    std::optional<QList<ProtocolRecord>> Protocols;
};

Input parse(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        bad(QStringLiteral("the input is not valid JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        bad(QStringLiteral("the input must be one JSON object"));
    const QJsonObject o = document.object();

    Input in;
    AnalysedMeasurement& m = in.Measurement;
    const QList<double> raw = numbers(required(o, "raw"), "raw", PointCount);
    for (int k = 1; k <= PointCount; ++k)
        m.RawValues[k] = raw[k - 1];
    if (o.contains(QLatin1String("quality"))) {
        const QList<double> quality = numbers(o.value(QLatin1String("quality")), "quality", PointCount);
        for (int k = 1; k <= PointCount; ++k)
            m.QualityValues[k] = quality[k - 1];
    }

    const QJsonValue sex = required(o, "sex");
    if (sex != QJsonValue(QStringLiteral("male")) && sex != QJsonValue(QStringLiteral("female")))
        bad(QStringLiteral("\"sex\" must be \"male\" or \"female\""));
    m.Male = sex.toString() == QLatin1String("male");

    const QJsonValue birth = required(o, "birth_date");
    m.BirthDate = birth.isNull() ? 0.0 : ToDayCount(QDateTime(date(birth, "birth_date"), QTime(0, 0)));

    const QJsonValue measured = required(o, "measured_at");
    const QDateTime at = QDateTime::fromString(measured.toString(), QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!measured.isString() || !at.isValid())
        bad(QStringLiteral("\"measured_at\" must be a date and time YYYY-MM-DDTHH:MM:SS"));
    m.DateTime = ToDayCount(at);

    if (o.contains(QLatin1String("compensation_mode"))) {
        const double mode = number(o.value(QLatin1String("compensation_mode")), QStringLiteral("compensation_mode"));
        if (mode != std::trunc(mode) || std::fabs(mode) > 1e9)
            bad(QStringLiteral("\"compensation_mode\" must be a whole number"));
        in.CompensationMode = int(mode);
    }
    if (o.contains(QLatin1String("user_coefficients"))) {
        const QList<double> user = numbers(o.value(QLatin1String("user_coefficients")), "user_coefficients",
                                           MeridianCount);
        for (int i = 1; i <= MeridianCount; ++i)
            in.UserCoefficients[i] = user[i - 1];
    }
    in.Today = o.contains(QLatin1String("today")) ? date(o.value(QLatin1String("today")), "today")
                                                  : QDate::currentDate();

    if (o.contains(QLatin1String("protocols"))) {
        const QJsonValue protocols = o.value(QLatin1String("protocols"));
        if (!protocols.isArray())
            bad(QStringLiteral("\"protocols\" must be an array"));
        QList<ProtocolRecord> list;
        for (const QJsonValue& p : protocols.toArray()) {
            if (!p.isObject())
                bad(QStringLiteral("every protocol must be an object"));
            const QJsonObject po = p.toObject();
            ProtocolRecord protocol;
            const QJsonValue name = required(po, "name", QStringLiteral(" in a protocol"));
            if (!name.isString())
                bad(QStringLiteral("a protocol's \"name\" must be a text"));
            protocol.Name = name.toString();
            const QJsonValue records = required(po, "records", QStringLiteral(" in a protocol"));
            if (!records.isArray())
                bad(QStringLiteral("a protocol's \"records\" must be an array"));
            for (const QJsonValue& r : records.toArray()) {
                if (!r.isObject())
                    bad(QStringLiteral("every condition record must be an object"));
                const QJsonObject ro = r.toObject();
                const QString where = QStringLiteral(" in a condition record");
                ConditionRecord record;
                for (const char* key : {"ProCond", "ProAnd"})
                    if (!required(ro, key, where).isString())
                        bad(QStringLiteral("\"%1\" must be a text").arg(QLatin1String(key)));
                record.ProCond = ro.value(QLatin1String("ProCond")).toString();
                record.ProAnd = ro.value(QLatin1String("ProAnd")).toString();
                const QJsonValue must = required(ro, "ProFlg", where);
                if (!must.isBool())
                    bad(QStringLiteral("\"ProFlg\" must be true or false"));
                record.ProFlg = must.toBool();
                record.ProEng = number(required(ro, "ProEng", where), QStringLiteral("ProEng"));
                record.ProAGL = number(required(ro, "ProAGL", where), QStringLiteral("ProAGL"));
                record.ProAGH = number(required(ro, "ProAGH", where), QStringLiteral("ProAGH"));
                protocol.Records.append(record);
            }
            list.append(protocol);
        }
        in.Protocols = list;
    }
    return in;
}

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
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return Usage(io, QStringLiteral("cannot read stdin"));

    Input in;
    try {
        in = parse(input.readAll());
    } catch (const BadInput& problem) {
        io.err << "qern-cli analyse: " << problem.what() << "\n";
        return ExitUsage;
    }

    const Coefficients coefficients = SelectCoefficients(in.CompensationMode, in.UserCoefficients);
    const AnalysisResult r = Analyse(in.Measurement, coefficients);
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
