#pragma once

#include "support/TestSupport.h"

#include "measurement/MeasurementHooks.h"
#include "records/Database.h"
#include "records/RecordOps.h"
#include "records/RecordWindows.h"
#include "records/Records.h"
#include "shell/AppState.h"
#include "shell/DayCount.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace qern::test {

// An empty main database as the main connection, and helpers that fill it.
class RecordTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateDatabaseFile(folder_.File("qern6.mdb"), Layout::Main).Ok);
        ASSERT_TRUE(OpenDatabase(DbRole::Main, folder_.File("qern6.mdb"), Layout::Main).Ok);
        db_ = Database(DbRole::Main);
        ResetRecordWindowState();
        resetRecordHooks();
        resetMeasurementHooks();
    }
    void TearDown() override
    {
        db_ = QSqlDatabase();
        CloseAllDatabases();
    }

    static double Day(int year, int month, int day, int hour = 0, int minute = 0)
    {
        return ToDayCount(QDateTime(QDate(year, month, day), QTime(hour, minute)));
    }

    qint64 AddPatient(const QString& number, const QString& name, bool male = true, double birth = 0,
                      double latest = 0, const QString& memo = {})
    {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("INSERT INTO ZeCust (CustNo, Name, Sex, DBirth, PreMea, Memo, Tel) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant& v : {QVariant(number), QVariant(name), QVariant(male ? 1 : 0), QVariant(birth),
                                  QVariant(latest), QVariant(memo), QVariant(QStringLiteral("tel ") + name)})
            q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
        return q.lastInsertId().toLongLong();
    }

    // A stored measurement; `std` false leaves STD empty, as manual entry does.
    qint64 AddMeasurement(const QString& number, double date, double value, bool std = true)
    {
        Measurement m;
        m.DateTime = date;
        for (int k = 1; k <= PointCount; ++k) {
            m.Raw[k] = value + k;
            m.Quality[k] = 90 + k * 0.3;
        }
        m.Memo = QStringList{QStringLiteral("memo of %1").arg(value)};
        const qint64 key = InsertMeasurement(db_, number, m).value_or(0);
        if (!std) {
            QSqlQuery q(db_);
            q.prepare(QStringLiteral("UPDATE ZeData SET STD = NULL WHERE MKEY = ?"));
            q.addBindValue(key);
            EXPECT_TRUE(q.exec());
        }
        return key;
    }

    int Count(const QString& table, const QString& where = {}, const QVariantList& values = {})
    {
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM ") + table + (where.isEmpty() ? QString() : " WHERE " + where));
        for (const QVariant& v : values)
            q.addBindValue(v);
        EXPECT_TRUE(q.exec() && q.next());
        return q.value(0).toInt();
    }

    Patient StoredPatient(qint64 key) { return PatientByKey(db_, key).value_or(Patient{}); }

    // Runs `action` once on the next modal dialog of type T that opens (the
    // window under test opens it with exec()).
    template <typename T>
    void WhenModal(std::function<void(T&)> action)
    {
        auto timer = std::make_shared<QTimer>();
        timer->setInterval(0);
        QObject::connect(timer.get(), &QTimer::timeout, [timer = timer.get(), action] {
            if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                timer->stop();
                action(*dialog);
            }
        });
        timer->start();
        pending_.push_back(timer);
    }

    TempDataFolder folder_;
    QSqlDatabase db_;
    std::vector<std::shared_ptr<QTimer>> pending_;
};

} // namespace qern::test
