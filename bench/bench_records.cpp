// The records layer at practice scale: 100,000 patients with 1,000,000
// measurements. Measures the start-up transfer of an old database, every
// order of the patient list (executing the statement and reading the first
// screenful, which is what a lazily fetching list costs), a patient's
// measurements newest first, and the patient number lookup.
//
// The database is generated once per run into a temporary folder that is
// removed at the end. Options (before the benchmark ones):
//   --records_patients=N --records_measurements=M   a different size
//   --records_keep=PATH   generate into PATH, or reuse it when it exists; kept

#include "RecordsData.h"

#include "records/Records.h"
#include "records/StartupCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

using namespace qern;
using namespace qern::bench;

namespace {

// What a list window shows before the user scrolls.
constexpr int FirstScreenful = 256;

struct Data {
    QString Path;
    QString Folder;
    QStringList Numbers;
    QString BusiestNumber;
    int BusiestCount = 0;
};
Data data;

class SilentDisplay : public StartupDisplay {
public:
    void SetLamp(int, Lamp) override {}
    void SetProgress(int) override {}
    void SetStatusText(const QString&) override {}
    void SetFirstLabel(const QString&) override {}
};

bool openData(benchmark::State& state)
{
    if (DatabaseOpen(DbRole::Main) && Database(DbRole::Main).databaseName() == data.Path)
        return true;
    CloseAllDatabases();
    const DbResult opened = OpenDatabase(DbRole::Main, data.Path, Layout::Main);
    if (!opened.Ok)
        state.SkipWithError(opened.Error.toStdString().c_str());
    return opened.Ok;
}

void fail(benchmark::State& state, const QSqlError& error)
{
    state.SkipWithError(DatabaseError(error).toStdString().c_str());
}

// Reads every column, as the list's cells are painted.
void readRow(const QSqlQuery& query, int columns)
{
    for (int c = 0; c < columns; ++c) {
        const QVariant value = query.value(c);
        benchmark::DoNotOptimize(value);
    }
}

void Transfer(benchmark::State& state)
{
    SilentDisplay display;
    const QString target = data.Folder + QStringLiteral("/transfer-target.mdb");
    TransferCounts counts;
    double transferSeconds = 0;
    double commitSeconds = 0;
    double transferCpuSeconds = 0;
    for (auto _ : state) {
        CloseAllDatabases();
        QFile::remove(target);
        DbResult ready = CreateDatabaseFile(target, Layout::Main);
        if (ready.Ok)
            ready = OpenDatabase(DbRole::Old, data.Path, Layout::Main);
        if (ready.Ok)
            ready = OpenDatabase(DbRole::Main, target, Layout::Main);
        if (!ready.Ok) {
            state.SkipWithError(ready.Error.toStdString().c_str());
            break;
        }
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        const DbResult copied = TransferOldDatabase(display, counts);
        transferSeconds = timer.nsecsElapsed() / 1e9;
        transferCpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        if (!copied.Ok) {
            state.SkipWithError(copied.Error.toStdString().c_str());
            break;
        }
        timer.restart();
        if (QSqlDatabase db = Database(DbRole::Main); !db.commit()) {
            fail(state, db.lastError());
            break;
        }
        commitSeconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(transferSeconds + commitSeconds);
        CloseAllDatabases();
        QFile::remove(target);
    }
    CloseAllDatabases();
    QFile::remove(target);
    if (transferSeconds > 0) {
        const double rows = counts.Total();
        state.counters["rows"] = rows;
        state.counters["transfer_s"] = transferSeconds;
        state.counters["commit_s"] = commitSeconds;
        state.counters["rows_per_s"] = rows / transferSeconds;
        state.counters["rows_per_s_with_commit"] = rows / (transferSeconds + commitSeconds);
        // On a shared machine the wall clock also counts other programs' turns.
        state.counters["rows_per_cpu_s"] = rows / transferCpuSeconds;
    }
}
BENCHMARK(Transfer)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

QString listStatement(const QString& column, bool descending)
{
    return QStringLiteral("SELECT * FROM ZeCust ORDER BY ") + column +
           (descending ? QStringLiteral(" DESC") : QString());
}

// Forward-only query: execute, then the first screenful.
void PatientList(benchmark::State& state, const QString& column, bool descending)
{
    if (!openData(state))
        return;
    QSqlDatabase db = Database(DbRole::Main);
    const QString statement = listStatement(column, descending);
    for (auto _ : state) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(statement)) {
            fail(state, query.lastError());
            break;
        }
        const int columns = query.record().count();
        int rows = 0;
        while (rows < FirstScreenful && query.next()) {
            readRow(query, columns);
            ++rows;
        }
        if (rows < std::min<qsizetype>(FirstScreenful, data.Numbers.size())) {
            state.SkipWithError("the list came back short");
            break;
        }
    }
}

// The list window's own path: a query model fetches its first batch when the
// query is set, and the view asks for the cells of the first screenful.
void PatientListModel(benchmark::State& state, const QString& column, bool descending)
{
    if (!openData(state))
        return;
    QSqlDatabase db = Database(DbRole::Main);
    const QString statement = listStatement(column, descending);
    for (auto _ : state) {
        QSqlQueryModel model;
        model.setQuery(QSqlQuery(statement, db));
        if (model.lastError().isValid()) {
            fail(state, model.lastError());
            break;
        }
        while (model.rowCount() < FirstScreenful && model.canFetchMore())
            model.fetchMore();
        const int rows = std::min(model.rowCount(), FirstScreenful);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < model.columnCount(); ++c) {
                const QVariant value = model.data(model.index(r, c));
                benchmark::DoNotOptimize(value);
            }
        if (rows < std::min<qsizetype>(FirstScreenful, data.Numbers.size())) {
            state.SkipWithError("the list came back short");
            break;
        }
    }
}

void readMeasurements(benchmark::State& state, const QString& number, qint64& rows)
{
    QSqlQuery query = PatientMeasurements(Database(DbRole::Main), number);
    if (!query.isActive()) {
        fail(state, query.lastError());
        return;
    }
    const int columns = query.record().count();
    while (query.next()) {
        readRow(query, columns);
        ++rows;
    }
}

// Random patients, the number typed in the other case.
void MeasurementsOfPatient(benchmark::State& state)
{
    if (!openData(state))
        return;
    std::mt19937 engine(7);
    std::uniform_int_distribution<qsizetype> pick(0, data.Numbers.size() - 1);
    qint64 rows = 0;
    for (auto _ : state)
        readMeasurements(state, SwappedCase(data.Numbers[pick(engine)]), rows);
    state.counters["rows_per_op"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(MeasurementsOfPatient)->Unit(benchmark::kMillisecond);

void MeasurementsOfBusiestPatient(benchmark::State& state)
{
    if (!openData(state))
        return;
    qint64 rows = 0;
    for (auto _ : state)
        readMeasurements(state, SwappedCase(data.BusiestNumber), rows);
    state.counters["rows_per_op"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(MeasurementsOfBusiestPatient)->Unit(benchmark::kMillisecond);

void FindPatientOtherCase(benchmark::State& state)
{
    if (!openData(state))
        return;
    std::mt19937 engine(11);
    std::uniform_int_distribution<qsizetype> pick(0, data.Numbers.size() - 1);
    for (auto _ : state) {
        const QString& stored = data.Numbers[pick(engine)];
        const std::optional<Patient> found = FindPatient(Database(DbRole::Main), SwappedCase(stored));
        if (!found || found->Number != stored) {
            state.SkipWithError("a stored patient was not found");
            break;
        }
    }
}
BENCHMARK(FindPatientOtherCase)->Unit(benchmark::kMillisecond);

void FindPatientUnknown(benchmark::State& state)
{
    if (!openData(state))
        return;
    for (auto _ : state) {
        const std::optional<Patient> found = FindPatient(Database(DbRole::Main), QStringLiteral("X9999999"));
        if (found) {
            state.SkipWithError("an unknown number was found");
            break;
        }
    }
}
BENCHMARK(FindPatientUnknown)->Unit(benchmark::kMillisecond);

void registerLists()
{
    for (const char* column : {"CustNo", "Name", "Sex", "DBirth", "PreMea", "Tel", "Addr", "EMail", "Tel2", "Tel3"})
        for (const bool descending : {false, true}) {
            const std::string suffix = std::string("/") + column + (descending ? "/DESC" : "/ASC");
            const QString name = QLatin1String(column);
            benchmark::RegisterBenchmark(("PatientList" + suffix).c_str(), PatientList, name, descending)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("PatientListModel" + suffix).c_str(), PatientListModel, name, descending)
                ->Unit(benchmark::kMillisecond);
        }
}

// Takes this program's own options out of argv.
QString takeOption(int& argc, char** argv, const char* name)
{
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            const QString value = QString::fromLocal8Bit(argv[i] + prefix.size());
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return value;
        }
    return {};
}

// A kept database from an earlier run: its numbers come from the file.
bool loadExisting()
{
    const QString name = QStringLiteral("bench-existing");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(data.Path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery numbers(QStringLiteral("SELECT CustNo FROM ZeCust ORDER BY MKEY"), db);
            while (numbers.next())
                data.Numbers.append(numbers.value(0).toString());
            QSqlQuery busiest(
                QStringLiteral("SELECT CustNo, COUNT(*) FROM ZeData GROUP BY CustNo ORDER BY 2 DESC LIMIT 1"), db);
            ok = busiest.next() && !data.Numbers.isEmpty();
            if (ok) {
                data.BusiestNumber = busiest.value(0).toString();
                data.BusiestCount = busiest.value(1).toInt();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RecordsDataSize size;
    if (const QString n = takeOption(argc, argv, "records_patients"); !n.isEmpty())
        size.Patients = n.toInt();
    if (const QString n = takeOption(argc, argv, "records_measurements"); !n.isEmpty())
        size.Measurements = n.toInt();
    const QString keep = takeOption(argc, argv, "records_keep");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (size.Patients < 1 || size.Measurements < 0) {
        std::fprintf(stderr, "bench_records: the sizes must be positive\n");
        return 1;
    }

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "bench_records: no temporary folder\n");
        return 1;
    }
    data.Folder = folder.path();
    data.Path = keep.isEmpty() ? folder.filePath(QStringLiteral("records.mdb")) : QFileInfo(keep).absoluteFilePath();

    if (!keep.isEmpty() && QFileInfo::exists(data.Path)) {
        if (!loadExisting()) {
            std::fprintf(stderr, "bench_records: %s cannot be read\n", qPrintable(data.Path));
            return 1;
        }
        std::fprintf(stderr, "bench_records: reusing %s (%lld patients)\n", qPrintable(data.Path),
                     qlonglong(data.Numbers.size()));
    } else {
        const GeneratedRecords generated = GenerateMainDatabase(data.Path, size);
        if (!generated.Result.Ok) {
            std::fprintf(stderr, "bench_records: generating failed: %s\n", qPrintable(generated.Result.Error));
            return 1;
        }
        data.Numbers = generated.Numbers;
        data.BusiestNumber = generated.BusiestNumber;
        data.BusiestCount = generated.BusiestCount;
        const double rows = double(size.Patients) + size.Measurements;
        std::fprintf(stderr,
                     "bench_records: generated %d patients and %d measurements in %.2f s (%.0f rows/s), %.0f MB, "
                     "at %s\n",
                     size.Patients, size.Measurements, generated.Seconds, rows / generated.Seconds,
                     QFileInfo(data.Path).size() / 1e6, qPrintable(data.Path));
        benchmark::AddCustomContext("records_generation_s", std::to_string(generated.Seconds));
    }
    benchmark::AddCustomContext("records_database", data.Path.toStdString());
    benchmark::AddCustomContext("records_patients", std::to_string(data.Numbers.size()));
    benchmark::AddCustomContext("records_busiest_patient_measurements", std::to_string(data.BusiestCount));

    registerLists();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseAllDatabases();
    return 0;
}
