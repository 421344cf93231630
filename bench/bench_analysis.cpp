// Analyses per second: the whole arithmetic of one measurement, with its
// finding lists, on varied plausible measurements.

#include "analysis/Analysis.h"
#include "analysis/Findings.h"
#include "shell/DayCount.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <vector>

using namespace qern;

static void AnalyseOneMeasurement(benchmark::State& state)
{
    QRandomGenerator random(7);
    std::vector<AnalysedMeasurement> measurements(256);
    for (AnalysedMeasurement& m : measurements) {
        const double energy = 20 + random.bounded(60.0);
        for (int k = 1; k <= PointCount; ++k) {
            m.RawValues[k] = energy * (0.6 + random.bounded(0.8));
            m.QualityValues[k] = 90 + random.bounded(10.0);
        }
        m.DateTime = ToDayCount(QDateTime(QDate(2026, 3, 1), QTime(10, 0)));
        m.BirthDate = ToDayCount(QDateTime(QDate(1950 + int(random.bounded(50)), 5, 5), QTime(0, 0)));
        m.Male = random.bounded(2) == 0;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const AnalysisResult r = Analyse(measurements[i++ % measurements.size()], BuiltInCoefficients);
        const FindingLists lists = BuildFindingLists(r);
        benchmark::DoNotOptimize(r.IntegratedIndex);
        benchmark::DoNotOptimize(lists.Analysis.Codes.size());
    }
    state.counters["analyses_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(AnalyseOneMeasurement);

BENCHMARK_MAIN();
