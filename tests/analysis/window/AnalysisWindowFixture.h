#pragma once

#include "support/TestSupport.h"

#include "analysis/window/AnalysisHooks.h"
#include "analysis/window/Zeana.h"
#include "measurement/MeasurementHooks.h"
#include "records/Database.h"
#include "records/Records.h"
#include "shell/AppState.h"
#include "shell/DayCount.h"
#include "shell/TextCipher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

namespace qern::test {

// Writes fixture rows into a database file through a connection of its own
// (the reference and protocol connections of the program are read only).
class SeedConnection {
public:
    explicit SeedConnection(const QString& path) : name_(QStringLiteral("seed-") + path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
    }
    ~SeedConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase Db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

inline qint64 Insert(QSqlDatabase db, const QString& table, const QStringList& columns, const QVariantList& values)
{
    QSqlQuery q(db);
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    for (const QVariant& v : values)
        q.addBindValue(v);
    EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
    return q.lastInsertId().toLongLong();
}

// A protocol row and its condition records.
struct SeedProtocol {
    QString No;
    QString Name;
    QString Data;
    QStringList Conditions; // ProCond of each record, nothing required
    QString Keys = QStringLiteral("0000");
    QStringList Programs = {QString(), QString(), QString(), QString()};
    QStringList Parameters = {QString(), QString(), QString(), QString()};
    QStringList Hints = {QString(), QString(), QString(), QString()};
    QByteArray Picture;
    bool NaturalSize = false;
    QStringList Med = {QString(), QString(), QString()};
    QStringList Hel = {QString(), QString(), QString(), QString(), QString()};
};

inline qint64 InsertProtocol(QSqlDatabase db, const SeedProtocol& p, bool extended)
{
    QStringList columns{QStringLiteral("ProNo"), QStringLiteral("ProName"), QStringLiteral("ProData"),
                        QStringLiteral("ProPict"), QStringLiteral("ProScal"), QStringLiteral("ProFN")};
    QVariantList values{p.No, p.Name, p.Data, p.Picture, p.NaturalSize ? 1 : 0, p.Keys};
    for (int k = 1; k <= 4; ++k) {
        columns << QStringLiteral("ProScrp%1").arg(k) << QStringLiteral("ProPrg%1").arg(k)
                << QStringLiteral("ProParm%1").arg(k);
        values << p.Hints[k - 1] << p.Programs[k - 1] << p.Parameters[k - 1];
    }
    if (extended) {
        for (int i = 1; i <= 3; ++i) {
            columns << QStringLiteral("ProMed%1").arg(i);
            values << p.Med[i - 1];
        }
        for (int i = 1; i <= 5; ++i) {
            columns << QStringLiteral("ProHel%1").arg(i);
            values << p.Hel[i - 1];
        }
    }
    const qint64 key = Insert(db, QStringLiteral("ZePro"), columns, values);
    for (const QString& condition : p.Conditions)
        Insert(db, QStringLiteral("ZePrDt"),
               {QStringLiteral("ProNo"), QStringLiteral("ProCond"), QStringLiteral("ProAnd"), QStringLiteral("ProFlg"),
                QStringLiteral("ProEng"), QStringLiteral("ProAGL"), QStringLiteral("ProAGH")},
               {p.No, condition, QString(24, QLatin1Char('0')), 0, 0, 0, 0});
    return key;
}

// A condition code string with `code` at item `item` (1-based) and 0 elsewhere.
inline QString Condition(int item, int code)
{
    QString text(24, QLatin1Char('0'));
    text[item - 1] = QChar(u'0' + code);
    return text;
}

// The reference text of a ZEMTDB column for a code, as the fixture stores it.
inline QString RefText(const QString& column, int code) { return column + QLatin1Char('-') + QString::number(code); }

class AnalysisWindowTest : public testing::Test {
protected:
    TempDataFolder folder_;
    ScriptedMessages messages_;
    std::unique_ptr<TZeany> window_;

    void SetUp() override
    {
        resetMeasurementHooks();
        resetAnalysisHooks();
        AppState& state = appState();
        state.MeridianCoefficients = Coefficients(1.0);
        ASSERT_TRUE(CreateDatabaseFile(folder_.File(QStringLiteral("qern6.mdb")), Layout::Main).Ok);
        ASSERT_TRUE(CreateDatabaseFile(folder_.File(QStringLiteral("qernE.mdb")), Layout::Reference).Ok);
        ASSERT_TRUE(CreateDatabaseFile(folder_.File(QStringLiteral("qernZE.mdb")), Layout::Protocol).Ok);
        ASSERT_TRUE(OpenDatabase(DbRole::Main, folder_.File(QStringLiteral("qern6.mdb")), Layout::Main).Ok);
        {
            SeedConnection seed(folder_.File(QStringLiteral("qernE.mdb")));
            for (int code = 1; code <= 17; ++code) {
                QStringList columns{QStringLiteral("MKEY")};
                QVariantList values{code};
                for (const char* prefix : {"DtMA", "DtMH", "DtML"})
                    for (int i = 1; i <= (prefix[3] == 'A' ? 3 : 5); ++i) {
                        const QString column = QLatin1String(prefix) + QString::number(i);
                        columns << column;
                        values << Encipher(RefText(column, code), 1);
                    }
                Insert(seed.Db(), QStringLiteral("ZEMTDB"), columns, values);
            }
        }
        state.CurrentPatient.Number = QStringLiteral("P-1");
        state.CurrentPatient.Name = QStringLiteral("Ann Example");
        state.CurrentPatient.Male = true;
        state.CurrentPatient.BirthDate = ToDayCount(QDateTime(QDate(1980, 5, 1), QTime(0, 0)));
    }

    void TearDown() override
    {
        window_.reset();
        CloseAllDatabases();
        resetAnalysisHooks();
        resetMeasurementHooks();
    }

    void SeedReferenceProtocol(const SeedProtocol& p)
    {
        SeedConnection seed(folder_.File(QStringLiteral("qernZE.mdb")));
        InsertProtocol(seed.Db(), p, true);
    }
    qint64 SeedUserProtocol(const SeedProtocol& p) { return InsertProtocol(Database(DbRole::Main), p, false); }

    static Measurement Uniform(double value, double date)
    {
        Measurement m;
        m.Raw.fill(value);
        m.Quality.fill(90);
        m.DateTime = date;
        return m;
    }
    static double Day(int year, int month, int day, int hour = 10)
    {
        return ToDayCount(QDateTime(QDate(year, month, day), QTime(hour, 0)));
    }
    qint64 Store(const Measurement& m, const QString& number = QStringLiteral("P-1"))
    {
        const std::optional<qint64> key = InsertMeasurement(Database(DbRole::Main), number, m);
        EXPECT_TRUE(key.has_value());
        return key.value_or(0);
    }
    QString StoredMemo(qint64 key)
    {
        QSqlQuery q(Database(DbRole::Main));
        q.prepare(QStringLiteral("SELECT Memo1 FROM ZeData WHERE MKEY = ?"));
        q.addBindValue(key);
        EXPECT_TRUE(q.exec() && q.next());
        return q.value(0).toString();
    }

    TZeany& Open()
    {
        if (!DatabaseOpen(DbRole::Reference)) {
            EXPECT_TRUE(
                OpenDatabase(DbRole::Reference, folder_.File(QStringLiteral("qernE.mdb")), Layout::Reference).Ok);
        }
        if (!DatabaseOpen(DbRole::Protocol)) {
            EXPECT_TRUE(
                OpenDatabase(DbRole::Protocol, folder_.File(QStringLiteral("qernZE.mdb")), Layout::Protocol).Ok);
        }
        window_ = std::make_unique<TZeany>();
        window_->show();
        QCoreApplication::processEvents();
        return *window_;
    }
    void Exit()
    {
        Click("ExitButton");
        QCoreApplication::processEvents();
        window_.reset();
    }

    template <typename T = QWidget>
    T* Find(const QString& name)
    {
        T* found = window_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    void Click(const QString& name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
};

} // namespace qern::test
