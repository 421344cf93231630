#include "RecordsData.h"

#include "records/Records.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace qern::bench {

namespace {

constexpr double FirstDay = 38353; // 1 January 2005
constexpr double LastDay = 45657;  // 31 December 2024

class Random {
public:
    explicit Random(quint32 seed) : engine(seed) {}
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }
    double Real(double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine); }
    bool Chance(double p) { return Real(0, 1) < p; }
    template <typename T, std::size_t N> const T& Pick(const std::array<T, N>& items)
    {
        return items[std::size_t(Between(0, int(N) - 1))];
    }

private:
    std::mt19937 engine;
};

const std::array<const char*, 24> Syllables{"an", "ber", "cha", "do",  "el", "fin", "ga", "hei", "is",  "jo", "ka", "lin",
                                            "ma", "ner", "o",   "pet", "ra", "sch", "tu", "vo",  "wal", "xe", "yn", "zi"};
const std::array<const char*, 12> Streets{"Lind", "Berg", "Bach", "Garten", "Kirch", "Mühl",
                                          "Schul", "Wald", "Feld", "Rosen", "Hof", "Markt"};
const std::array<const char*, 5> BloodTypes{"A", "B", "AB", "0", ""};

QString word(Random& random, int syllables)
{
    QString text;
    for (int i = 0; i < syllables; ++i)
        text += QLatin1String(random.Pick(Syllables));
    text[0] = text[0].toUpper();
    return text;
}

QString digits(Random& random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(u'0' + random.Between(0, 9));
    return text;
}

// Mixed case, as years of typing leave them; unique through the digits.
QString patientNumber(Random& random, int index)
{
    QString number = QStringLiteral("%1%2").arg(QChar(random.Chance(0.7) ? u'P' : u'p')).arg(index + 1, 7, 10, QLatin1Char('0'));
    if (random.Chance(0.2))
        number += QChar(u'a' + random.Between(0, 25)).toUpper();
    else if (random.Chance(0.1))
        number += QChar(u'a' + random.Between(0, 25));
    return number;
}

DbResult failure(const QSqlQuery& query) { return DbResult::Failure(DatabaseError(query.lastError())); }

GeneratedRecords fill(QSqlDatabase db, const RecordsDataSize& size)
{
    GeneratedRecords out;
    Random random(size.Seed);

    // Which patient each measurement belongs to: most patients a few, a
    // small group of regulars very many.
    const int regulars = std::max(1, size.Patients / 100);
    std::vector<int> owner(std::size_t(size.Measurements));
    std::vector<int> perPatient(std::size_t(size.Patients), 0);
    std::vector<double> latest(std::size_t(size.Patients), 0.0);
    std::vector<double> dates(std::size_t(size.Measurements));
    for (int j = 0; j < size.Measurements; ++j) {
        const int p = random.Chance(0.15) ? random.Between(0, regulars - 1) : random.Between(0, size.Patients - 1);
        owner[std::size_t(j)] = p;
        ++perPatient[std::size_t(p)];
        // Rows come in the order they were measured, in office hours.
        const double day = std::floor(FirstDay + (LastDay - FirstDay) * j / std::max(1, size.Measurements));
        dates[std::size_t(j)] = day + random.Real(0.33, 0.8);
        latest[std::size_t(p)] = std::max(latest[std::size_t(p)], dates[std::size_t(j)]);
    }
    const auto busiest = std::max_element(perPatient.begin(), perPatient.end());

    QSqlQuery patient(db);
    if (!patient.prepare(QStringLiteral(
            "INSERT INTO ZeCust (CustNo, Name, Sex, DBirth, Addr, Tel, Tel2, Tel3, EMail, BType, Height, Weight, "
            "Memo, CustCat, CustFG, PrtFG, PreMea) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
        out.Result = failure(patient);
        return out;
    }
    for (int i = 0; i < size.Patients; ++i) {
        const QString number = patientNumber(random, i);
        out.Numbers.append(number);
        const QString first = word(random, random.Between(2, 3));
        const QString last = word(random, random.Between(2, 4));
        const QString empty;
        int k = 0;
        patient.bindValue(k++, number);
        patient.bindValue(k++, QStringLiteral("%1, %2").arg(last, first));
        patient.bindValue(k++, random.Between(0, 1));
        patient.bindValue(k++, random.Chance(0.1) ? 0.0 : double(random.Between(10958, 40179))); // 1930..2010
        patient.bindValue(k++, random.Chance(0.05) ? empty
                                                   : QStringLiteral("%1straße %2, %3 %4")
                                                         .arg(QString::fromUtf8(random.Pick(Streets)))
                                                         .arg(random.Between(1, 120))
                                                         .arg(digits(random, 5), word(random, 3)));
        patient.bindValue(k++, random.Chance(0.1) ? empty : QStringLiteral("0") + digits(random, random.Between(8, 10)));
        patient.bindValue(k++, random.Chance(0.4) ? empty : QStringLiteral("01") + digits(random, 9));
        patient.bindValue(k++, random.Chance(0.9) ? empty : QStringLiteral("0") + digits(random, 9));
        patient.bindValue(k++, random.Chance(0.3) ? empty
                                                  : QStringLiteral("%1.%2@example.org").arg(first, last).toLower());
        patient.bindValue(k++, QLatin1String(random.Pick(BloodTypes)));
        patient.bindValue(k++, double(random.Between(150, 200)));
        patient.bindValue(k++, double(random.Between(45, 120)));
        patient.bindValue(k++, random.Chance(0.8) ? empty : QStringLiteral("Allergies: ") + word(random, 3));
        patient.bindValue(k++, empty);
        patient.bindValue(k++, empty);
        patient.bindValue(k++, 0);
        patient.bindValue(k++, latest[std::size_t(i)]);
        if (!patient.exec()) {
            out.Result = failure(patient);
            return out;
        }
    }

    QStringList columns{QStringLiteral("CustNo"), QStringLiteral("ZeDate"), QStringLiteral("ZeVota"),
                        QStringLiteral("Memo1"),  QStringLiteral("Memo2"),  QStringLiteral("PrtFG"),
                        QStringLiteral("STD")};
    for (int k = 1; k <= PointCount; ++k)
        columns.append(QStringLiteral("Ze%1").arg(k));
    QSqlQuery measurement(db);
    if (!measurement.prepare(
            QStringLiteral("INSERT INTO ZeData (%1) VALUES (%2)")
                .arg(columns.join(QStringLiteral(", ")),
                     QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))))) {
        out.Result = failure(measurement);
        return out;
    }
    PointValues quality;
    for (int j = 0; j < size.Measurements; ++j) {
        for (double& q : quality)
            q = std::round(random.Real(85, 100) * 10) / 10;
        int k = 0;
        measurement.bindValue(k++, out.Numbers[owner[std::size_t(j)]]);
        measurement.bindValue(k++, dates[std::size_t(j)]);
        measurement.bindValue(k++, random.Chance(0.1) ? 1 : 0);
        measurement.bindValue(k++, random.Chance(0.8) ? QString() : QStringLiteral("Follow-up ") + word(random, 3));
        measurement.bindValue(k++, QString());
        measurement.bindValue(k++, 0);
        measurement.bindValue(k++, EncodeStd(quality));
        for (int p = 1; p <= PointCount; ++p)
            measurement.bindValue(k++, std::round(random.Real(20, 80) * 10) / 10);
        if (!measurement.exec()) {
            out.Result = failure(measurement);
            return out;
        }
    }
    out.BusiestNumber = out.Numbers[int(busiest - perPatient.begin())];
    out.BusiestCount = *busiest;
    return out;
}

} // namespace

QString SwappedCase(const QString& text)
{
    QString swapped = text;
    for (QChar& c : swapped)
        c = c.isUpper() ? c.toLower() : c.toUpper();
    return swapped;
}

GeneratedRecords GenerateMainDatabase(const QString& path, const RecordsDataSize& size)
{
    QElapsedTimer timer;
    timer.start();
    GeneratedRecords out;
    out.Result = CreateDatabaseFile(path, Layout::Main);
    if (!out.Result.Ok)
        return out;

    const QString name = QStringLiteral("bench-generate");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            out.Result = DbResult::Failure(DatabaseError(db.lastError()));
        } else {
            // Nothing here needs to survive a crash; a large cache keeps the
            // index inserts in memory.
            QSqlQuery pragmas(db);
            pragmas.exec(QStringLiteral("PRAGMA synchronous = OFF"));
            pragmas.exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
            pragmas.exec(QStringLiteral("PRAGMA cache_size = -262144"));
            if (!db.transaction()) {
                out.Result = DbResult::Failure(DatabaseError(db.lastError()));
            } else {
                out = fill(db, size);
                if (!out.Result.Ok)
                    db.rollback();
                else if (!db.commit())
                    out.Result = DbResult::Failure(DatabaseError(db.lastError()));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    out.Seconds = timer.nsecsElapsed() / 1e9;
    return out;
}

} // namespace qern::bench
