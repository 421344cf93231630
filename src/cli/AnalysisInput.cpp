#include "AnalysisInput.h"

#include "shell/DayCount.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace qern::cli {

namespace {

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

} // namespace

AnalysisInput ParseAnalysisInput(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        bad(QStringLiteral("the input is not valid JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        bad(QStringLiteral("the input must be one JSON object"));
    const QJsonObject o = document.object();

    AnalysisInput in;
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

bool ReadAnalysisInput(const QString& command, QTextStream& err, AnalysisInput& in)
{
    QFile input;
    try {
        if (!input.open(stdin, QIODevice::ReadOnly))
            bad(QStringLiteral("cannot read stdin"));
        in = ParseAnalysisInput(input.readAll());
        return true;
    } catch (const BadInput& problem) {
        err << "qern-cli " << command << ": " << problem.what() << "\n";
        return false;
    }
}

} // namespace qern::cli
