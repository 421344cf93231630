// The supplied protocol set as the build ships it (qernZE.mdb in the share
// folder of the build tree): every protocol is complete enough for the
// analysis window, an even measurement suggests nothing, and over a few
// hundred realistic measurements the set suggests something for most of them
// without one protocol answering nearly everything and without a protocol
// that never applies.

#include "analysis/Analysis.h"
#include "analysis/ProtocolMatching.h"
#include "records/Database.h"
#include "shell/DayCount.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace qern;

namespace {

struct SuppliedProtocol {
    ProtocolRecord Record;
    QString ProNo;
    QMap<QString, QString> Texts; // ProData, ProMed1, ... by column name
};

QString shippedProtocolFile()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/qern/qernZE.mdb"));
}

// The analysis of one measurement of a patient, as the window matches it.
struct Subject {
    AnalysisResult Result;
    bool Male = true;
    int Age = 0;
};

const QDate Today(2024, 6, 15);

Subject analyse(const OneBased<double, PointCount>& raw, bool male, int ageYears, int dayInYear)
{
    AnalysedMeasurement m;
    m.RawValues = raw;
    m.QualityValues.fill(97.0);
    m.DateTime = ToDayCount(QDateTime(Today, QTime(10, 0)));
    m.Male = male;
    m.BirthDate = ToDayCount(QDateTime(Today.addYears(-ageYears).addDays(-dayInYear), QTime(0, 0)));
    Coefficients even;
    even.fill(1.0);
    Subject s;
    s.Result = Analyse(m, even);
    s.Male = male;
    s.Age = MatchingAge(Today, m.BirthDate);
    return s;
}

// Seeded, realistic readings: a body energy of 20..80 uA; each meridian
// drifts as a whole and each point on its own by typically 10..35 %; now and
// then a whole limb or a whole side reads higher or lower.
class SimulatedMeasurements {
public:
    explicit SimulatedMeasurements(unsigned seed) : random_(seed) {}

    Subject Next()
    {
        const double energy = uniform(20, 80);
        const double spread = uniform(0.10, 0.35);
        OneBased<double, MeridianCount> meridianShift;
        for (int m = 1; m <= MeridianCount; ++m)
            meridianShift[m] = normal(0, spread * 0.75);
        double limbShift[4] = {0, 0, 0, 0};
        if (chance(0.3))
            limbShift[pick(4)] = sign() * uniform(0.15, 0.30);
        if (chance(0.15)) {
            const double side = sign() * uniform(0.10, 0.25);
            const int first = pick(2); // 0 left, 1 right
            limbShift[first] += side;
            limbShift[first + 2] += side;
        }
        if (chance(0.15)) {
            const double hands = sign() * uniform(0.10, 0.25);
            limbShift[0] += hands;
            limbShift[1] += hands;
        }
        OneBased<double, PointCount> raw;
        for (int k = 1; k <= PointCount; ++k) {
            const double factor = 1 + meridianShift[MeridianOf(k)] + limbShift[LimbGroupOf(k)] +
                                  normal(0, spread * 0.45);
            raw[k] = std::clamp(energy * factor, 2.0, 199.0);
        }
        const bool male = chance(0.5);
        const int age = 18 + pick(68);
        return analyse(raw, male, age, pick(365));
    }

private:
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }
    double normal(double mean, double sd) { return std::normal_distribution<double>(mean, sd)(random_); }
    bool chance(double p) { return uniform(0, 1) < p; }
    double sign() { return chance(0.5) ? 1 : -1; }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::mt19937 random_;
};

class SuppliedProtocols : public testing::Test {
protected:
    void SetUp() override
    {
        const QString path = shippedProtocolFile();
        ASSERT_TRUE(QFileInfo::exists(path)) << qPrintable(path);
        const DbResult opened = OpenDatabase(DbRole::Protocol, path, Layout::Protocol);
        ASSERT_TRUE(opened.Ok) << qPrintable(opened.Error);
        QSqlDatabase db = Database(DbRole::Protocol);

        const QStringList texts{"ProData", "ProMed1", "ProMed2", "ProMed3", "ProHel1",
                                "ProHel2", "ProHel3", "ProHel4", "ProHel5"};
        QSqlQuery pro(db);
        ASSERT_TRUE(pro.exec(QStringLiteral("SELECT * FROM ZePro ORDER BY ProNo, MKEY")));
        while (pro.next()) {
            SuppliedProtocol p;
            p.ProNo = pro.value(QStringLiteral("ProNo")).toString();
            p.Record.Name = pro.value(QStringLiteral("ProName")).toString();
            p.Record.Key = pro.value(QStringLiteral("MKEY")).toLongLong();
            for (const QString& column : texts)
                p.Texts.insert(column, pro.value(column).toString());
            protocols_.append(p);
        }
        for (SuppliedProtocol& p : protocols_) {
            QSqlQuery cond(db);
            cond.prepare(QStringLiteral("SELECT * FROM ZePrDt WHERE ProNo = ? ORDER BY MKEY"));
            cond.addBindValue(p.ProNo);
            ASSERT_TRUE(cond.exec());
            while (cond.next()) {
                ConditionRecord r;
                r.ProCond = cond.value(QStringLiteral("ProCond")).toString();
                r.ProAnd = cond.value(QStringLiteral("ProAnd")).toString();
                r.ProFlg = cond.value(QStringLiteral("ProFlg")).toInt() != 0;
                r.ProEng = cond.value(QStringLiteral("ProEng")).toDouble();
                r.ProAGL = cond.value(QStringLiteral("ProAGL")).toDouble();
                r.ProAGH = cond.value(QStringLiteral("ProAGH")).toDouble();
                p.Record.Records.append(r);
                subNames_.append(cond.value(QStringLiteral("ProSubN")).toString());
                notes_.append(cond.value(QStringLiteral("ProNote")).toString());
            }
        }
    }
    void TearDown() override { CloseAllDatabases(); }

    QList<ProtocolRecord> Records() const
    {
        QList<ProtocolRecord> records;
        for (const SuppliedProtocol& p : protocols_)
            records.append(p.Record);
        return records;
    }

    QList<SuppliedProtocol> protocols_;
    QStringList subNames_;
    QStringList notes_;
};

TEST_F(SuppliedProtocols, EveryProtocolIsComplete)
{
    ASSERT_GE(protocols_.size(), 20);
    QStringList numbers;
    for (const SuppliedProtocol& p : protocols_) {
        SCOPED_TRACE(qPrintable(p.ProNo));
        EXPECT_FALSE(p.ProNo.trimmed().isEmpty());
        EXPECT_LE(p.ProNo.size(), 12);
        EXPECT_FALSE(numbers.contains(p.ProNo, Qt::CaseInsensitive)) << "numbers are unique";
        numbers.append(p.ProNo);
        EXPECT_FALSE(p.Record.Name.trimmed().isEmpty());
        EXPECT_LE(p.Record.Name.size(), 24) << qPrintable(p.Record.Name);
        // The texts the window shows: description, points, herbs, diet, massage.
        for (const char* column : {"ProData", "ProMed1", "ProMed2", "ProHel1", "ProHel5"})
            EXPECT_FALSE(p.Texts.value(QLatin1String(column)).trimmed().isEmpty()) << column;
        ASSERT_FALSE(p.Record.Records.isEmpty()) << "a protocol without conditions is never suggested";
        for (const ConditionRecord& r : p.Record.Records) {
            EXPECT_EQ(r.ProCond.size(), 24) << qPrintable(r.ProCond);
            EXPECT_EQ(r.ProAnd.size(), 24) << qPrintable(r.ProAnd);
            for (int i = 0; i < 24; ++i) {
                EXPECT_TRUE(r.ProCond[i].isDigit()) << qPrintable(r.ProCond);
                EXPECT_TRUE(r.ProAnd[i] == QLatin1Char('0') || r.ProAnd[i] == QLatin1Char('1'))
                    << qPrintable(r.ProAnd);
            }
            EXPECT_EQ(r.ProAnd.mid(22), QStringLiteral("00")) << "age and sex have no required flag";
        }
    }
    for (const QString& name : subNames_)
        EXPECT_LE(name.size(), 24) << qPrintable(name);
    for (const QString& note : notes_)
        EXPECT_LE(note.size(), 50) << qPrintable(note);
    // The reference list finds a protocol by its name: names are distinct.
    QStringList names;
    for (const SuppliedProtocol& p : protocols_) {
        EXPECT_FALSE(names.contains(p.Record.Name.trimmed())) << qPrintable(p.Record.Name);
        names.append(p.Record.Name.trimmed());
    }
}

TEST_F(SuppliedProtocols, AnEvenMeasurementSuggestsNone)
{
    ASSERT_FALSE(protocols_.isEmpty());
    OneBased<double, PointCount> raw;
    raw.fill(50.0);
    for (const bool male : {true, false}) {
        for (const int age : {20, 45, 70}) {
            const Subject s = analyse(raw, male, age, 100);
            ASSERT_EQ(s.Result.EnergyClass, 0);
            const QList<ProtocolRecord> suggested = MatchProtocols(Records(), MatchSubject{s.Result, s.Male, s.Age});
            QStringList names;
            for (const ProtocolRecord& p : suggested)
                names.append(p.Name);
            EXPECT_TRUE(suggested.isEmpty()) << (male ? "man " : "woman ") << age << ": "
                                             << qPrintable(names.join(QStringLiteral(", ")));
        }
    }
}

TEST_F(SuppliedProtocols, RealisticMeasurementsSpreadOverTheSet)
{
    ASSERT_FALSE(protocols_.isEmpty());
    const QList<ProtocolRecord> records = Records();
    constexpr int Count = 400;
    SimulatedMeasurements simulated(20240615u);
    QMap<qint64, int> hits;
    int withSuggestion = 0;
    int suggestionsTotal = 0;
    for (int n = 0; n < Count; ++n) {
        const Subject s = simulated.Next();
        const QList<ProtocolRecord> suggested = MatchProtocols(records, MatchSubject{s.Result, s.Male, s.Age});
        if (!suggested.isEmpty())
            ++withSuggestion;
        suggestionsTotal += static_cast<int>(suggested.size());
        for (const ProtocolRecord& p : suggested)
            ++hits[p.Key];
    }

    std::printf("[ figures  ] %d of %d measurements (%.1f %%) suggest at least one protocol; %.2f per measurement\n",
                withSuggestion, Count, 100.0 * withSuggestion / Count, double(suggestionsTotal) / Count);
    int most = 0;
    for (const SuppliedProtocol& p : protocols_) {
        const int h = hits.value(p.Record.Key);
        most = std::max(most, h);
        std::printf("[ figures  ] %-4s %-24s %5.1f %%\n", qPrintable(p.ProNo), qPrintable(p.Record.Name),
                    100.0 * h / Count);
    }
    std::fflush(stdout);

    EXPECT_GE(withSuggestion, Count * 70 / 100) << "most realistic measurements suggest a protocol";
    EXPECT_LE(most, Count * 60 / 100) << "no protocol answers nearly every measurement";
    for (const SuppliedProtocol& p : protocols_)
        EXPECT_GT(hits.value(p.Record.Key), 0) << qPrintable(p.ProNo) << " " << qPrintable(p.Record.Name)
                                                << " is never suggested";
}

} // namespace
