#include "support/TestSupport.h"

#include "records/Database.h"
#include "records/Records.h"
#include "records/StartupCheck.h"
#include "shell/AppState.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace qern;
using qern::test::ScriptedMessages;
using qern::test::TempDataFolder;

namespace {

class RecordingDisplay : public StartupDisplay {
public:
    QMap<int, Lamp> Lamps;
    QString FirstLabel;
    QString Status;
    int LastProgress = -1;
    void SetLamp(int lamp, Lamp state) override { Lamps[lamp] = state; }
    void SetProgress(int percent) override { LastProgress = percent; }
    void SetStatusText(const QString& text) override { Status = text; }
    void SetFirstLabel(const QString& text) override { FirstLabel = text; }
};

QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs statements on a database file of its own connection.
void execOn(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& s : statements)
            ASSERT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
}

qint64 count(DbRole role, const char* table)
{
    QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)), Database(role));
    return q.next() ? q.value(0).toLongLong() : -1;
}

QString backupName() { return QStringLiteral("qern_%1_BAK.mdb").arg(QDate::currentDate().toString("yyyyMMdd")); }

class StartupCheck : public testing::Test {
protected:
    void SetUp() override
    {
        appState().InstrumentOnline = true;
        ASSERT_TRUE(CreateDatabaseFile(File("ZeSpa_60.mdb"), Layout::Main).Ok);
        ASSERT_TRUE(CreateDatabaseFile(File("qernE.mdb"), Layout::Reference).Ok);
        ASSERT_TRUE(CreateDatabaseFile(File("qernZE.mdb"), Layout::Protocol).Ok);
    }
    void TearDown() override { CloseAllDatabases(); }

    QString File(const char* name) const { return folder_.File(QLatin1String(name)); }
    bool Exists(const char* name) const { return QFileInfo::exists(File(name)); }

    // An earlier installation's database: three patients (one without
    // measurements), four measurements, one protocol with two conditions.
    // `modern`: with the columns later versions added.
    void OldDatabase(const char* name, bool modern = true)
    {
        const QString path = File(name);
        if (modern) {
            ASSERT_TRUE(CreateDatabaseFile(path, Layout::Main).Ok);
        } else {
            QStringList ze;
            for (int k = 1; k <= 24; ++k)
                ze.append(QStringLiteral("Ze%1 REAL").arg(k));
            execOn(path, {
                QStringLiteral("CREATE TABLE ZeCust (MKEY INTEGER PRIMARY KEY, CustNo TEXT, Name TEXT, Sex INTEGER, "
                               "DBirth REAL, Addr TEXT, Tel TEXT, Tel2 TEXT, Tel3 TEXT, EMail TEXT, BType TEXT, "
                               "Height REAL, Weight REAL, Memo TEXT, CustCat TEXT, CustFG TEXT, PrtFG INTEGER, "
                               "PreMea REAL)"),
                QStringLiteral("CREATE TABLE ZeData (MKEY INTEGER PRIMARY KEY, CustNo TEXT, ZeDate REAL, ZeVota "
                               "INTEGER, Memo1 TEXT, Memo2 TEXT, AutoKey TEXT, %1, PrtFG INTEGER)")
                    .arg(ze.join(QStringLiteral(", "))),
                QStringLiteral("CREATE TABLE ZePro (MKEY INTEGER PRIMARY KEY, ProNo TEXT, ProName TEXT, ProData "
                               "TEXT, ProPict BLOB, ProScal INTEGER, PrtFG INTEGER)"),
                QStringLiteral("CREATE TABLE ZePrDt (MKEY INTEGER PRIMARY KEY, ProNo TEXT, ProSubN TEXT, ProNote "
                               "TEXT, ProAnd TEXT, ProCond TEXT, ProEng REAL, ProFlg INTEGER, PrtFG INTEGER)"),
            });
        }
        QStringList rows{
            QStringLiteral("INSERT INTO ZeCust (MKEY, CustNo, Name, Sex, DBirth, BType, Height) VALUES "
                           "(100, 'A-1', 'Ann', 0, 25000.75, 'O+', 1.62)"),
            QStringLiteral("INSERT INTO ZeCust (MKEY, CustNo, Name, Sex, DBirth) VALUES (101, 'B''2', 'Bo', 1, 0)"),
            QStringLiteral("INSERT INTO ZeCust (MKEY, CustNo, Name, Sex) VALUES (102, 'C-3', 'Cy', 1)"),
            QStringLiteral("INSERT INTO ZePro (MKEY, ProNo, ProName, ProData, ProScal) VALUES (7, 'P1', 'Sleep', "
                           "'Calm evenings', 1)"),
            QStringLiteral("INSERT INTO ZePrDt (MKEY, ProNo, ProSubN, ProCond, ProAnd, ProEng, ProFlg) VALUES "
                           "(8, 'P1', 'weak', '1', '', 0, 0)"),
            QStringLiteral("INSERT INTO ZePrDt (MKEY, ProNo, ProSubN, ProCond, ProAnd, ProEng, ProFlg) VALUES "
                           "(9, 'P1', 'must', '01', '', 12.5, 1)"),
        };
        for (const auto& [key, number, date] : {std::tuple{200, "A-1", 45000.5}, std::tuple{201, "A-1", 45100.25},
                                                 std::tuple{202, "B'2", 44000.0}, std::tuple{203, "a-1", 44500.0}}) {
            rows.append(QStringLiteral("INSERT INTO ZeData (MKEY, CustNo, ZeDate, ZeVota, Memo1, Ze1, Ze24%1) VALUES "
                                       "(%2, '%3', %4, 1, 'memo', 41.5, 52.5%5)")
                            .arg(modern ? QStringLiteral(", STD") : QString())
                            .arg(key)
                            .arg(QString::fromLatin1(number).replace(QLatin1String("'"), QLatin1String("''")))
                            .arg(date, 0, 'f', 2)
                            .arg(modern ? QStringLiteral(", '") + EncodeStd(PointValues(95.5)) + "'" : QString()));
        }
        if (modern)
            rows.append(QStringLiteral("UPDATE ZePrDt SET ProAGL = 18, ProAGH = 65"));
        execOn(path, rows);
    }

    StartupOutcome Run()
    {
        const StartupOutcome outcome = RunStartupCheck(folder_.Path(), display_);
        return outcome;
    }

    TempDataFolder folder_;
    RecordingDisplay display_;
};

TEST_F(StartupCheck, FreshFolderGetsTheMainDatabaseAndNoTransfer)
{
    const StartupOutcome outcome = Run();
    EXPECT_TRUE(outcome.Ok);
    EXPECT_FALSE(outcome.Transferred);
    EXPECT_TRUE(Exists("qern6.mdb"));
    EXPECT_EQ(bytes(File("qern6.mdb")), bytes(File("ZeSpa_60.mdb")));
    EXPECT_TRUE(DatabaseOpen(DbRole::Main));
    EXPECT_TRUE(DatabaseOpen(DbRole::Reference));
    EXPECT_TRUE(DatabaseOpen(DbRole::Protocol));
    for (int lamp = 1; lamp <= 7; ++lamp)
        EXPECT_EQ(display_.Lamps.value(lamp), StartupDisplay::Lamp::Green) << lamp;
    EXPECT_TRUE(display_.FirstLabel.isEmpty());
    EXPECT_TRUE(appState().InstrumentOnline);
}

TEST_F(StartupCheck, NewVersionOverAnOldOneTakesOverEveryRow)
{
    OldDatabase("qern6.mdb");
    ASSERT_TRUE(CreateDatabaseFile(File("qern_60.mdb"), Layout::Main).Ok);
    const StartupOutcome outcome = Run();

    ASSERT_TRUE(outcome.Ok);
    EXPECT_TRUE(outcome.Transferred);
    EXPECT_EQ(outcome.Counts.Patients, 3);
    EXPECT_EQ(outcome.Counts.Measurements, 4);
    EXPECT_EQ(outcome.Counts.Protocols, 1);
    EXPECT_EQ(outcome.Counts.Conditions, 2);
    EXPECT_FALSE(Exists("qern_60.mdb"));
    EXPECT_FALSE(Exists("qern.mdb"));
    EXPECT_EQ(outcome.BackupFile, backupName());
    EXPECT_TRUE(QFileInfo::exists(folder_.File(backupName())));
    EXPECT_EQ(display_.FirstLabel, QStringLiteral("DBT Prog:"));
    EXPECT_EQ(display_.Status, QStringLiteral("Q.E.R.N. database is being transferred. Please wait.."));
    EXPECT_EQ(display_.LastProgress, 100);

    QSqlDatabase db = Database(DbRole::Main);
    const Patient ann = *FindPatient(db, QStringLiteral("A-1"));
    EXPECT_EQ(ann.BirthDate, 25000.0) << "the birth date without its time";
    EXPECT_EQ(ann.LatestMeasurement, 45100.25) << "recomputed, the case-blind a-1 included";
    EXPECT_EQ(FindPatient(db, QStringLiteral("C-3"))->LatestMeasurement, 0.0) << "no measurements";
    EXPECT_EQ(FindPatient(db, QStringLiteral("B'2"))->LatestMeasurement, 44000.0);
    QSqlQuery carried(QStringLiteral("SELECT BType, Height, MKEY FROM ZeCust WHERE CustNo = 'A-1'"), db);
    ASSERT_TRUE(carried.next());
    EXPECT_EQ(carried.value(0).toString(), QStringLiteral("O+"));
    EXPECT_EQ(carried.value(1).toDouble(), 1.62);
    EXPECT_LT(carried.value(2).toLongLong(), 100) << "new keys";

    QSqlQuery rows = PatientMeasurements(db, QStringLiteral("A-1"));
    ASSERT_TRUE(rows.next());
    const Measurement m = MeasurementFromRecord(rows.record());
    EXPECT_EQ(m.Quality[1], 95.5);
    EXPECT_EQ(m.Raw[24], 52.5);
    EXPECT_TRUE(m.HighPotential);
    QSqlQuery condition(QStringLiteral("SELECT ProAGL, ProAGH, ProEng, ProFlg FROM ZePrDt WHERE ProSubN = 'must'"), db);
    ASSERT_TRUE(condition.next());
    EXPECT_EQ(condition.value(0).toInt(), 18);
    EXPECT_EQ(condition.value(2).toDouble(), 12.5);
    EXPECT_EQ(condition.value(3).toInt(), 1);
}

TEST_F(StartupCheck, OlderLayoutTransfersWithTheNewColumnsEmpty)
{
    OldDatabase("qern4.mdb", false);
    const StartupOutcome outcome = Run();
    ASSERT_TRUE(outcome.Transferred);
    EXPECT_EQ(outcome.Counts.Total(), 10);
    QSqlDatabase db = Database(DbRole::Main);
    QSqlQuery rows = PatientMeasurements(db, QStringLiteral("B'2"));
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(MeasurementFromRecord(rows.record()).Quality, PointValues(0.0)) << "no STD: qualities 0";
    QSqlQuery condition(QStringLiteral("SELECT ProAGL, ProAGH, ProFlg FROM ZePrDt WHERE ProSubN = 'must'"), db);
    ASSERT_TRUE(condition.next());
    EXPECT_TRUE(condition.value(0).isNull());
    EXPECT_TRUE(condition.value(1).isNull());
    EXPECT_EQ(condition.value(2).toInt(), 1) << "the columns after the group still copied";
    QSqlQuery protocol(QStringLiteral("SELECT ProFN, ProName FROM ZePro"), db);
    ASSERT_TRUE(protocol.next());
    EXPECT_TRUE(protocol.value(0).isNull());
    EXPECT_EQ(protocol.value(1).toString(), QStringLiteral("Sleep"));
}

TEST_F(StartupCheck, BackupOfTheSameDayIsReplaced)
{
    QFile earlier(folder_.File(backupName()));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier backup of today");
    earlier.close();
    OldDatabase("qern.mdb");
    const QByteArray old = bytes(File("qern.mdb"));
    ASSERT_TRUE(Run().Transferred);
    EXPECT_EQ(bytes(folder_.File(backupName())), old);
    EXPECT_EQ(QDir(folder_.Path()).entryList({QStringLiteral("*.previous")}).size(), 0);
}

// A transfer that fails part way (the old protocol table lacks a column the
// copy needs) keeps nothing, leaves qern.mdb where it was, and a later start
// takes it over exactly once.
TEST_F(StartupCheck, FailedTransferKeepsNothingAndCanBeRepeated)
{
    OldDatabase("qern.mdb");
    execOn(File("qern.mdb"), {QStringLiteral("ALTER TABLE ZePro RENAME COLUMN ProName TO Title")});
    const QByteArray old = bytes(File("qern.mdb"));
    ScriptedMessages messages;
    const StartupOutcome failed = Run();
    EXPECT_TRUE(failed.Ok) << "the main database is fine: the program goes on";
    EXPECT_FALSE(failed.Transferred);
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 6);
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("ProName")));
    EXPECT_EQ(count(DbRole::Main, "ZeCust"), 0) << "the patients copied before the failure are gone";
    EXPECT_EQ(count(DbRole::Main, "ZeData"), 0);
    EXPECT_EQ(bytes(File("qern.mdb")), old);
    EXPECT_FALSE(QFileInfo::exists(folder_.File(backupName())));

    CloseAllDatabases();
    execOn(File("qern.mdb"), {QStringLiteral("ALTER TABLE ZePro RENAME COLUMN Title TO ProName")});
    ASSERT_TRUE(Run().Transferred);
    EXPECT_EQ(count(DbRole::Main, "ZeCust"), 3);
    EXPECT_EQ(count(DbRole::Main, "ZeData"), 4);
}

TEST_F(StartupCheck, MissingTemplateEndsTheProgram)
{
    QFile::remove(File("ZeSpa_60.mdb"));
    OldDatabase("qern.mdb");
    ScriptedMessages messages;
    const StartupOutcome outcome = Run();
    EXPECT_FALSE(outcome.Ok);
    EXPECT_FALSE(appState().InstrumentOnline);
    ASSERT_FALSE(messages.asked().isEmpty());
    EXPECT_EQ(messages.asked()[0].Kind, 6);
    EXPECT_EQ(messages.asked()[0].Text, NotInstalledText);
    EXPECT_TRUE(Exists("qern.mdb")) << "no transfer";
    EXPECT_FALSE(outcome.Transferred);
}

TEST_F(StartupCheck, UnreadableMainDatabaseIsReportedAndNeverOverwritten)
{
    QFile main(File("qern6.mdb"));
    ASSERT_TRUE(main.open(QIODevice::WriteOnly));
    main.write(QByteArray(4096, '\x5a'));
    main.close();
    const QByteArray before = bytes(File("qern6.mdb"));
    ScriptedMessages messages;
    const StartupOutcome outcome = Run();
    EXPECT_FALSE(outcome.Ok);
    EXPECT_FALSE(appState().InstrumentOnline);
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_TRUE(messages.asked()[0].Text.startsWith(StartupErrorText));
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("qern6.mdb")));
    EXPECT_EQ(bytes(File("qern6.mdb")), before);
}

TEST_F(StartupCheck, OldFileOfAnotherFormatIsLeftUntouched)
{
    QFile access(File("qern.mdb"));
    ASSERT_TRUE(access.open(QIODevice::WriteOnly));
    access.write(QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2000, '\1'));
    access.close();
    const QByteArray before = bytes(File("qern.mdb"));
    ScriptedMessages messages;
    const StartupOutcome outcome = Run();
    EXPECT_TRUE(outcome.Ok);
    EXPECT_FALSE(outcome.Transferred);
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("left as it is")));
    EXPECT_EQ(bytes(File("qern.mdb")), before);
}

TEST_F(StartupCheck, MovesNeverReplaceAFile)
{
    OldDatabase("qern6.mdb");
    ASSERT_TRUE(CreateDatabaseFile(File("qern_60.mdb"), Layout::Main).Ok);
    QFile waiting(File("qern.mdb"));
    ASSERT_TRUE(waiting.open(QIODevice::WriteOnly));
    waiting.write("SQLite format 3"); // a broken file already waiting
    waiting.close();
    const QByteArray main = bytes(File("qern6.mdb"));
    ScriptedMessages messages;
    Run();
    EXPECT_EQ(bytes(File("qern6.mdb")), main) << "qern.mdb exists: qern6.mdb stays";
    EXPECT_TRUE(Exists("qern_60.mdb")) << "qern6.mdb exists: qern_60.mdb stays";
}

} // namespace
