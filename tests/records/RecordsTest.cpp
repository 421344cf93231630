#include "support/TestSupport.h"

#include "records/Database.h"
#include "records/Records.h"
#include "shell/DayCount.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace qern;
using qern::test::TempDataFolder;

namespace {

TEST(StdText, RoundTripsAndForgives)
{
    PointValues quality;
    for (int k = 1; k <= PointCount; ++k)
        quality[k] = 100.0 - k * 1.5;
    quality[3] = -12.25;
    quality[9] = 0;
    const QString text = EncodeStd(quality);
    EXPECT_EQ(text.size(), 120);
    EXPECT_EQ(text.left(10), QStringLiteral(" 98.5 97.0"));
    const PointValues back = DecodeStd(text);
    for (int k = 1; k <= PointCount; ++k)
        EXPECT_NEAR(back[k], quality[k], 0.05 + 1e-9) << k;

    EXPECT_EQ(DecodeStd(QString()), PointValues(0.0)) << "empty: 24 zeros";
    const PointValues partial = DecodeStd(QStringLiteral(" 98.5  abc 97,5"));
    EXPECT_EQ(partial[1], 98.5);
    EXPECT_EQ(partial[2], 0.0) << "not a number";
    EXPECT_EQ(partial[3], 97.5) << "a decimal comma";
    EXPECT_EQ(partial[4], 0.0) << "missing";
}

TEST(MemoText, LinesJoinWithCrLf)
{
    EXPECT_EQ(JoinMemo({"first", "", "third"}), QStringLiteral("first\r\n\r\nthird"));
    EXPECT_EQ(SplitMemo(QStringLiteral("first\r\n\r\nthird")), QStringList({"first", "", "third"}));
    EXPECT_EQ(SplitMemo(QStringLiteral("unix\nlines")), QStringList({"unix", "lines"}));
    EXPECT_TRUE(SplitMemo(QString()).isEmpty());
}

class MainDatabase : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateDatabaseFile(folder_.File("qern6.mdb"), Layout::Main).Ok);
        ASSERT_TRUE(OpenDatabase(DbRole::Main, folder_.File("qern6.mdb"), Layout::Main).Ok);
        db_ = Database(DbRole::Main);
    }
    void TearDown() override
    {
        db_ = QSqlDatabase();
        CloseAllDatabases();
    }

    Patient MakePatient(const QString& number, const QString& name)
    {
        Patient p;
        p.Number = number;
        p.Name = name;
        p.BirthDate = ToDayCount(QDateTime(QDate(1970, 3, 4), QTime(0, 0)));
        return p;
    }
    qint64 Measure(const QString& number, double date, double value)
    {
        Measurement m;
        m.Raw.fill(value);
        m.DateTime = date;
        m.Quality.fill(97.5);
        m.Memo = QStringList{"line one", "line two"};
        return InsertMeasurement(db_, number, m).value_or(-1);
    }

    TempDataFolder folder_;
    QSqlDatabase db_;
};

TEST_F(MainDatabase, PatientNumbersWithQuotesAndCaseSelectExactlyTheirRows)
{
    for (const char* number : {"O'Brien-1", "O'Brien-10", "AB-7"})
        ASSERT_TRUE(InsertPatient(db_, MakePatient(QString::fromLatin1(number), QStringLiteral("x"))).Ok);
    Measure(QStringLiteral("O'Brien-1"), 46000, 40);
    Measure(QStringLiteral("O'Brien-1"), 46010, 50);
    Measure(QStringLiteral("O'Brien-10"), 46005, 60);
    Measure(QStringLiteral("AB-7"), 46001, 70);

    QSqlQuery rows = PatientMeasurements(db_, QStringLiteral("O'Brien-1"));
    QList<double> dates;
    while (rows.next())
        dates.append(rows.value(QStringLiteral("ZeDate")).toDouble());
    EXPECT_EQ(dates, QList<double>({46010, 46000})) << "only its own rows, newest first";

    ASSERT_TRUE(FindPatient(db_, QStringLiteral("  ab-7 ")));
    EXPECT_EQ(FindPatient(db_, QStringLiteral("ab-7"))->Number, QStringLiteral("AB-7"));
    QSqlQuery lower = PatientMeasurements(db_, QStringLiteral("ab-7"));
    EXPECT_TRUE(lower.next()) << "case-insensitive, like the patient lookup";
    EXPECT_FALSE(FindPatient(db_, QStringLiteral("O'Brien")));
    EXPECT_FALSE(FindPatient(db_, QStringLiteral("' OR '1'='1")));
}

TEST_F(MainDatabase, RowsMapToPatientsAndMeasurements)
{
    Patient p = MakePatient(QStringLiteral("  P-1  "), QStringLiteral(" Mei Lin "));
    p.Male = false;
    p.EMail = QStringLiteral("mei@example.org");
    ASSERT_TRUE(InsertPatient(db_, p).Ok);
    const qint64 key = Measure(QStringLiteral("P-1"), 46000.5, 45.25);
    EXPECT_GT(key, 0);

    const Patient back = *FindPatient(db_, QStringLiteral("P-1"));
    EXPECT_EQ(back.Number, QStringLiteral("P-1")) << "stored trimmed";
    EXPECT_EQ(back.Name, QStringLiteral("Mei Lin"));
    EXPECT_FALSE(back.Male);
    EXPECT_EQ(back.BirthDate, p.BirthDate);
    EXPECT_EQ(back.EMail, p.EMail);

    QSqlQuery rows = PatientMeasurements(db_, QStringLiteral("P-1"));
    ASSERT_TRUE(rows.next());
    const Measurement m = MeasurementFromRecord(rows.record());
    EXPECT_EQ(m.StoredMeasurementKey, key);
    EXPECT_EQ(m.DateTime, 46000.5);
    EXPECT_EQ(m.Raw[24], 45.25);
    EXPECT_EQ(m.Quality[7], 97.5);
    EXPECT_EQ(m.Memo, QStringList({"line one", "line two"}));
    EXPECT_EQ(MeasurementPatient(rows.record()), QStringLiteral("P-1"));

    Patient old = MakePatient(QStringLiteral("P-2"), QStringLiteral("Old"));
    old.BirthDate = 3900; // on or before 13 December 1910: not entered
    ASSERT_TRUE(InsertPatient(db_, old).Ok);
    EXPECT_EQ(FindPatient(db_, QStringLiteral("P-2"))->BirthDate, 0.0);
}

TEST_F(MainDatabase, LatestMeasurementDate)
{
    ASSERT_TRUE(InsertPatient(db_, MakePatient(QStringLiteral("A"), QStringLiteral("a"))).Ok);
    ASSERT_TRUE(InsertPatient(db_, MakePatient(QStringLiteral("B"), QStringLiteral("b"))).Ok);
    Measure(QStringLiteral("A"), 46000, 40);
    ASSERT_TRUE(RaiseLatestMeasurement(db_, QStringLiteral("a"), 46000).Ok);
    EXPECT_EQ(FindPatient(db_, QStringLiteral("A"))->LatestMeasurement, 46000);
    ASSERT_TRUE(RaiseLatestMeasurement(db_, QStringLiteral("A"), 45000).Ok);
    EXPECT_EQ(FindPatient(db_, QStringLiteral("A"))->LatestMeasurement, 46000) << "an earlier date does not lower it";

    const qint64 newest = Measure(QStringLiteral("A"), 46100, 40);
    QSqlQuery(QStringLiteral("UPDATE ZeCust SET PreMea = 1"), db_);
    ASSERT_TRUE(RecomputeAllLatestMeasurements(db_).Ok);
    EXPECT_EQ(FindPatient(db_, QStringLiteral("A"))->LatestMeasurement, 46100);
    EXPECT_EQ(FindPatient(db_, QStringLiteral("B"))->LatestMeasurement, 0.0) << "no measurement";

    QSqlQuery remove(db_);
    remove.prepare(QStringLiteral("DELETE FROM ZeData WHERE MKEY = ?"));
    remove.addBindValue(newest);
    ASSERT_TRUE(remove.exec());
    ASSERT_TRUE(RecomputeLatestMeasurement(db_, QStringLiteral("A")).Ok);
    EXPECT_EQ(FindPatient(db_, QStringLiteral("A"))->LatestMeasurement, 46000);
}

TEST(DatabaseFiles, OpeningNeverCreatesAndRefusesForeignFiles)
{
    TempDataFolder folder;
    EXPECT_FALSE(OpenDatabase(DbRole::Reference, folder.File("qernE.mdb"), Layout::Reference).Ok);
    EXPECT_FALSE(QFileInfo::exists(folder.File("qernE.mdb")));
    EXPECT_FALSE(OpenDatabase(DbRole::Main, folder.File("qern6.mdb"), Layout::Main).Ok);
    EXPECT_FALSE(QFileInfo::exists(folder.File("qern6.mdb")));

    QFile access(folder.File("qern6.mdb"));
    ASSERT_TRUE(access.open(QIODevice::WriteOnly));
    access.write(QByteArray("\0\1\0\0Standard Jet DB", 19));
    access.close();
    const DbResult refused = OpenDatabase(DbRole::Main, folder.File("qern6.mdb"), Layout::Main);
    EXPECT_FALSE(refused.Ok);
    EXPECT_TRUE(refused.Error.contains(QStringLiteral("qern6.mdb")));

    // A reference database with the wrong tables.
    ASSERT_TRUE(CreateDatabaseFile(folder.File("qernE.mdb"), Layout::Protocol).Ok);
    EXPECT_FALSE(OpenDatabase(DbRole::Reference, folder.File("qernE.mdb"), Layout::Reference).Ok);
    EXPECT_FALSE(DatabaseOpen(DbRole::Reference));
}

} // namespace
