// ReadSample round trips through the whole link (command report, reply
// delivered through the event queue, parsing) against a simulated instrument
// that answers at once: the link's own cost per sample.

#include "instrument/InstrumentLink.h"
#include "instrument/Protocol.h"
#include "instrument/SimulatedInstrument.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace qern;

static void ReadSampleRoundTrip(benchmark::State& state)
{
    SimulationOptions options;
    options.AutomaticPatient = false;
    options.Seed = 1;
    SimulatedInstrument instrument(options);
    instrument.SetProbe([](quint32) { return 1234.0; });
    InstrumentLink link(instrument);
    SetInstrumentLink(&link);
    link.InstallDeviceChangeHandler();
    if (!link.Instrument()) {
        state.SkipWithError("the simulated instrument was not found");
        return;
    }

    for (auto _ : state) {
        const quint16 raw = ReadSample();
        if (raw != 1234) {
            state.SkipWithError("wrong reading");
            break;
        }
        benchmark::DoNotOptimize(raw);
    }
    state.counters["round_trips_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    SetInstrumentLink(nullptr);
}
BENCHMARK(ReadSampleRoundTrip)->MinTime(2.0);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
