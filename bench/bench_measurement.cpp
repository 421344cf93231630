// Samples per second of the measuring loop, with the measurement window shown
// (offscreen) and a simulated instrument that answers at once: what the
// program itself costs per sample, display included.

#include "instrument/InstrumentLink.h"
#include "instrument/SimulatedInstrument.h"
#include "measurement/Zesen.h"
#include "shell/AppState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace qern;

static void MeasuringLoopWithWindow(benchmark::State& state)
{
    QTemporaryDir folder;
    appState().InstallFolder = folder.path() + QLatin1Char('/');

    SimulationOptions options;
    options.AutomaticPatient = false;
    options.Seed = 1;
    SimulatedInstrument instrument(options);
    bool touching = true;
    qint64 samples = 0;
    instrument.SetProbe([&](quint32) {
        ++samples;
        return touching ? 1000.0 : 0.0;
    });
    InstrumentLink link(instrument);
    SetInstrumentLink(&link);
    link.InstallDeviceChangeHandler();

    TZedec window;
    window.resize(1040, 720);
    window.show();
    auto* status = window.findChild<QLabel*>(QStringLiteral("StatusBar1"));
    auto* stop = window.findChild<QPushButton*>(QStringLiteral("StopButton"));

    // Watches the run from inside its event pump: counts the samples of the
    // 2.5 s measuring phase, then lifts the probe and stops the run.
    qint64 measuredSamples = 0;
    double measuredSeconds = 0;
    qint64 startSamples = 0;
    QElapsedTimer phase;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString text = status->text();
        if (text.startsWith(QLatin1String("Keep the probe")) && !phase.isValid()) {
            phase.start();
            startSamples = samples;
        } else if (text.startsWith(QLatin1String("Measurement complete")) && phase.isValid()) {
            measuredSeconds += phase.nsecsElapsed() / 1e9;
            measuredSamples += samples - startSamples;
            phase.invalidate();
            touching = false;
            stop->click();
        }
    });
    watch.start(0);

    for (auto _ : state) {
        touching = true;
        window.Run().Start();
    }
    watch.stop();
    if (measuredSeconds > 0)
        state.counters["samples_per_s"] = measuredSamples / measuredSeconds;
    SetInstrumentLink(nullptr);
}
BENCHMARK(MeasuringLoopWithWindow)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
