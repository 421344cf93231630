#include "analysis/Analysis.h"
#include "analysis/ProtocolMatching.h"
#include "shell/DayCount.h"

#include <gtest/gtest.h>

using namespace qern;

namespace {

ConditionRecord record(const char* cond, const char* required = "", bool must = false)
{
    ConditionRecord r;
    r.ProCond = QString::fromLatin1(cond);
    r.ProAnd = QString::fromLatin1(required);
    r.ProFlg = must;
    return r;
}

// A code at item i (1-based), zeros elsewhere.
QString item(int i, char code)
{
    QString text(24, QLatin1Char('0'));
    text[i - 1] = QLatin1Char(code);
    return text;
}

class Matching : public testing::Test {
protected:
    bool Holds(const ConditionRecord& r) { return ConditionHolds(r, MatchSubject{result_, male_, age_}); }
    bool Holds(const QString& cond, const QString& required = QString())
    {
        ConditionRecord r;
        r.ProCond = cond;
        r.ProAnd = required;
        r.ProAGL = agl_;
        r.ProAGH = agh_;
        r.ProEng = eng_;
        return Holds(r);
    }

    AnalysisResult result_;
    bool male_ = true;
    int age_ = 40;
    double agl_ = 0;
    double agh_ = 0;
    double eng_ = 0;
};

TEST_F(Matching, DecodingIsForgiving)
{
    struct Case {
        const char* cond;
        int code1, code3, code24;
    };
    const Case cases[] = {{"", 0, 0, 0}, {"   ", 0, 0, 0}, {" 123", 1, 3, 0}, {"1x3", 1, 3, 0},
                          {"900000000000000000000002", 9, 0, 2}, {"1234567890123456789012345", 1, 3, 4}};
    for (const Case& c : cases) {
        const DecodedCondition d = DecodeCondition(record(c.cond, " 1 1 ")); // trimmed: "1 1"
        EXPECT_EQ(d.Code[1], c.code1) << c.cond;
        EXPECT_EQ(d.Code[3], c.code3) << c.cond;
        EXPECT_EQ(d.Code[24], c.code24) << c.cond;
        EXPECT_TRUE(d.Required[1]);
        EXPECT_FALSE(d.Required[2]);
        EXPECT_TRUE(d.Required[3]);
        EXPECT_FALSE(d.Required[4]);
    }
}

TEST_F(Matching, ItemsOfTheOverallClasses)
{
    struct Case {
        const char* name;
        std::function<void(AnalysisResult&)> set;
        QString cond;
        QString required;
        bool holds;
    };
    const QString none;
    const QList<Case> cases = {
        {"weak energy, class -1", [](AnalysisResult& r) { r.EnergyClass = -1; }, item(1, '1'), none, true},
        {"weak energy, class 0", [](AnalysisResult&) {}, item(1, '1'), none, false},
        {"normal energy, required", [](AnalysisResult&) {}, item(1, '0'), item(1, '1'), true},
        {"normal energy asked, class 2", [](AnalysisResult& r) { r.EnergyClass = 2; }, item(1, '0'), item(1, '1'),
         false},
        {"all zeros, nothing required", [](AnalysisResult&) {}, item(1, '0'), none, false},
        {"energy either way", [](AnalysisResult& r) { r.EnergyClass = 3; }, item(1, '3'), none, true},
        {"energy code 7", [](AnalysisResult& r) { r.EnergyClass = 3; }, item(1, '7'), none, false},
        {"bone and muscle code 3", [](AnalysisResult& r) { r.LeftRightClass = -2; }, item(3, '3'), none, true},
        {"bone and muscle code 2", [](AnalysisResult& r) { r.LeftRightClass = 1; }, item(3, '2'), none, true},
        {"metabolism low is yin excess", [](AnalysisResult& r) { r.YinYangClass = 1; }, item(4, '1'), none, true},
        {"metabolism high is yang excess", [](AnalysisResult& r) { r.YinYangClass = 1; }, item(4, '2'), none,
         false},
        {"mental fragile", [](AnalysisResult& r) { r.UpDownClass = -2; }, item(2, '1'), none, true},
        {"nervous atypical", [](AnalysisResult& r) { r.NervousClass = 2; }, item(5, '1'), none, true},
        {"required item fails the record", [](AnalysisResult& r) { r.EnergyClass = -1; },
         QStringLiteral("120000000000000000000000"), item(2, '1'), false},
    };
    for (const Case& c : cases) {
        result_ = AnalysisResult{};
        c.set(result_);
        EXPECT_EQ(Holds(c.cond, c.required), c.holds) << c.name;
    }
}

TEST_F(Matching, BodyEnergyRange)
{
    result_.BodyEnergy = 29.9;
    eng_ = 29;
    EXPECT_TRUE(Holds(item(1, '4'))) << "trunc 29 = 29";
    EXPECT_FALSE(Holds(item(1, '5')));
    EXPECT_FALSE(Holds(item(1, '6')));
    eng_ = 30;
    EXPECT_TRUE(Holds(item(1, '6')));
}

TEST_F(Matching, MeridianAndElementItems)
{
    // Stomach (item 13: points 18, 24): one point above the band only.
    result_.PointClass[18] = 2;
    EXPECT_FALSE(Holds(item(13, '2')));
    EXPECT_TRUE(Holds(item(13, '3'))) << "either point off";
    result_.PointClass[24] = 1;
    EXPECT_TRUE(Holds(item(13, '2')));
    EXPECT_FALSE(Holds(item(13, '1')));
    // Large intestine is item 7 (points 6, 12): display order, not meridian order.
    result_.PointClass[6] = -1;
    result_.PointClass[12] = -3;
    EXPECT_TRUE(Holds(item(7, '1')));
    EXPECT_FALSE(Holds(item(6, '1')));
    // Item 19 reads the fire of both groups together.
    result_.ElementClass[Fire] = -1;
    EXPECT_TRUE(Holds(item(19, '1')));
    result_.ElementClass[Fire] = 0;
    result_.ElementClass[HeartFire] = -2;
    EXPECT_FALSE(Holds(item(19, '1')));
    // A required meridian in its normal state.
    EXPECT_TRUE(Holds(item(14, '0'), item(14, '1')));
    EXPECT_FALSE(Holds(item(13, '0'), item(13, '1')));
}

TEST_F(Matching, GenderAndAgeBindWheneverCoded)
{
    result_.EnergyClass = -1;
    QString cond = item(1, '1');
    cond[23] = QLatin1Char('1'); // male
    male_ = false;
    EXPECT_FALSE(Holds(cond)) << "a woman fails a record for men";
    male_ = true;
    EXPECT_TRUE(Holds(cond));
    EXPECT_TRUE(Holds(item(24, '1'))) << "the gender item alone can hold";
    EXPECT_FALSE(Holds(item(24, '5')));

    // No birth date: the age counts from 1899 and fails an upper limit of 60.
    age_ = MatchingAge(QDate(2026, 12, 11), 0);
    EXPECT_EQ(age_, 127);
    agh_ = 60;
    EXPECT_FALSE(Holds(item(23, '2')));
    agl_ = 100;
    EXPECT_TRUE(Holds(item(23, '1')));
    agl_ = 20;
    agh_ = 130;
    EXPECT_TRUE(Holds(item(23, '3')));
    // An age of 0 (born this year) leaves the age item out altogether.
    age_ = MatchingAge(QDate(2026, 12, 11), ToDayCount(QDateTime(QDate(2026, 1, 5), QTime(0, 0))));
    EXPECT_EQ(age_, 0);
    agl_ = 18;
    cond = item(1, '1');
    cond[22] = QLatin1Char('1');
    EXPECT_TRUE(Holds(cond));
}

TEST_F(Matching, MustRecordsAndSuggestion)
{
    result_.EnergyClass = -1; // item 1 code 1 holds, item 2 code 1 does not
    const ConditionRecord holding = record("100000000000000000000000");
    const ConditionRecord failingMust = record("010000000000000000000000", "", true);
    const ConditionRecord failing = record("010000000000000000000000");
    const MatchSubject subject{result_, true, 40};

    EXPECT_TRUE(ProtocolSuggested({QStringLiteral("a"), 1, {failing, holding}}, subject));
    EXPECT_FALSE(ProtocolSuggested({QStringLiteral("b"), 2, {holding, failingMust}}, subject));
    EXPECT_FALSE(ProtocolSuggested({QStringLiteral("c"), 3, {failingMust, holding}}, subject));
    EXPECT_FALSE(ProtocolSuggested({QStringLiteral("d"), 4, {}}, subject)) << "no records, never suggested";
    EXPECT_TRUE(ProtocolSuggested({QStringLiteral("e"), 5, {record("100000000000000000000000", "", true)}}, subject));

    const QList<ProtocolRecord> set = {{QStringLiteral("first"), 1, {holding}},
                                       {QStringLiteral("second"), 2, {failing}},
                                       {QStringLiteral("third"), 3, {failing, holding}}};
    QStringList names;
    for (const ProtocolRecord& p : MatchProtocols(set, subject))
        names.append(p.Name);
    EXPECT_EQ(names, QStringList({"first", "third"}));
}

} // namespace
