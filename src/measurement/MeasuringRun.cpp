#include "MeasuringRun.h"

#include "instrument/InstrumentLink.h"
#include "instrument/Protocol.h"
#include "shell/AppState.h"
#include "shell/Clock.h"
#include "shell/DayCount.h"
#include "shell/MeridianModel.h"
#include "shell/ProductTexts.h"
#include "shell/ZeMsg.h"

#include <QDateTime>

#include <cmath>

namespace qern {

namespace {

const QString OffLineText = QStringLiteral(" is off-line! Please reconnect the device.");

void setLamps(const char* green, const char* red)
{
    SendCommand(QString::fromLatin1(green));
    SendCommand(QString::fromLatin1(red));
}

// Mean of two more samples, taken to confirm a reading.
double confirmingMean() { return (ReadSample() + ReadSample()) / 2.0; }

void resetAnalysisView()
{
    AppState& state = appState();
    state.AnalysisPage = 0;
    state.ChartGroup = 1;
    state.ChartView.fill(1);
}

} // namespace

double RingDeviation(const OneBased<double, 20>& ring)
{
    double sum = 0;
    double squares = 0;
    for (double x : ring) {
        sum += x;
        squares += x * x;
    }
    const double mean = sum / 20.0;
    return std::sqrt(std::max(0.0, squares / 20.0 - mean * mean));
}

double MeasuringRun::RunningAverage()
{
    const Measurement& m = appState().CurrentMeasurement;
    double sum = 0;
    int count = 0;
    for (double raw : m.Raw)
        if (raw != 0) {
            sum += raw;
            ++count;
        }
    return count ? sum / count : 0.0;
}

double MeasuringRun::ContactThreshold() const { return appState().Settings.Sensitivity * countsPerMicroamp_; }

double MeasuringRun::Compensated(double microamps) const
{
    return microamps * appState().MeridianCoefficients[PositionToMeridian(position_)];
}

bool MeasuringRun::SelectPosition(int position)
{
    if (!gridClicksAllowed_ || position < 1 || position > PointCount)
        return false;
    position_ = position;
    display_.ShowPointGuide(position_);
    return true;
}

void MeasuringRun::Start()
{
    AppState& state = appState();
    Settings& settings = state.Settings;
    if (!state.InstrumentOnline) {
        ShowMessageBox(6, Product().ProductShortName + OffLineText);
        return;
    }

    display_.ValuesView(false);
    settings.InputChannel = 0;
    settings.AutoAdvance = 1;
    settings.CustomTiming = 0;

    if (state.DeviceCalibration) {
        state.FullScaleNormal = state.DeviceFullScaleNormal;
        state.FullScaleHigh = state.DeviceFullScaleHigh;
    } else {
        state.FullScaleNormal = settings.ProbeFullScaleNormal;
        state.FullScaleHigh = settings.ProbeFullScaleHigh;
    }

    Measurement& m = state.CurrentMeasurement;
    if (m.StoredMeasurementKey > 0) {
        PlaySound(1);
        if (ShowMessageBox(1, QStringLiteral("Do you want to clear the values first?"))) {
            m.StoredMeasurementKey = 0;
            state.PointsMeasured = 0;
            m.Memo.clear();
            resetAnalysisView();
            m.Raw.fill(0);
            m.Compensated.fill(0);
            m.Quality.fill(0);
            m.DateTime = 0;
            measuredSomething_ = false;
            display_.ValuesCleared();
        }
    }

    if (m.HighPotential) {
        PlaySound(2);
        if (!ShowMessageBox(3, QStringLiteral("You have selected High Potential Measurement. Please confirm!"))) {
            // Nothing was started: the view toggle disabled above comes back.
            display_.ValuesView(true);
            return;
        }
    }

    running_ = true;
    stopRequested_ = false;
    position_ = 1;
    display_.RunStarted();

    SendCommand(QStringLiteral("X0000"));
    SendCommand(m.HighPotential ? QStringLiteral("H0000") : QStringLiteral("L0000"));
    countsPerMicroamp_ = (m.HighPotential ? state.FullScaleHigh : state.FullScaleNormal) / 200.0;
    SendCommand(QStringLiteral("I0000"));
    SendCommand(QStringLiteral("K0001"));

    while (!stopRequested_ && position_ <= PointCount) {
        display_.ShowPointGuide(position_);
        if (MeasurePoint() == PointResult::Stopped)
            break;
        ++position_;
    }
    EndRun();
}

MeasuringRun::PointResult MeasuringRun::MeasurePoint()
{
    for (;;) {
        // a. Ready for contact.
        display_.ShowAverage(RunningAverage());
        gridClicksAllowed_ = true;
        display_.ShowStatusText(QStringLiteral("Begin measurement with the measurement point shown in the graph. "
                                               "Or choose your own starting point."));
        display_.ResetLiveDisplays(TotalMs / 1000.0);
        setLamps("F007F", "C0000");
        display_.ShowStatusLamp(MeasuringDisplay::Lamp::Green, 200);

        // b. Wait for contact: two confirming samples, strictly above the threshold.
        double reading = 0;
        bool contact = false;
        for (;;) {
            pumpEvents();
            if (stopRequested_)
                break;
            display_.ShowReading(reading / countsPerMicroamp_, Compensated(reading / countsPerMicroamp_));
            reading = ReadSample();
            if (reading > ContactThreshold()) {
                reading = confirmingMean();
                if (reading > ContactThreshold()) {
                    contact = true;
                    break;
                }
            }
        }

        // c. Contact (or stop): the ring starts full of the contact value.
        OneBased<double, RingSize> ring(reading);
        double baseline = reading;
        setLamps("C007F", "F0000");
        display_.ClearTrend();
        display_.ShowQuality(0.0, QualityColour::Green);

        // d.
        if (stopRequested_ || !contact) {
            gridClicksAllowed_ = false;
            return PointResult::Stopped;
        }

        // e.
        const Settings& settings = appState().Settings;
        display_.ShowStatusLamp(MeasuringDisplay::Lamp::Red, 0);
        int countdown = int(TotalMs / CountdownStepMs);
        if (settings.SoundMode == 2)
            PlaySound(13);
        display_.ShowStatusText(QStringLiteral("Keep the probe stable while taking measurements."));
        const quint32 start = clock().ticks();

        // f. Measuring loop.
        double sum = 0;
        int count = 0;
        int slot = 0;
        double sigma = 0;
        bool lost = false;
        for (;;) {
            double s = ReadSample();
            if (s <= ContactThreshold()) {
                s = ReadSample();
                if (s <= ContactThreshold()) {
                    lost = true;
                    break;
                }
            }
            const quint32 t = elapsed(start, clock().ticks());
            if (countdown * CountdownStepMs + t >= TotalMs) {
                --countdown;
                if (appState().Settings.SoundMode == 1)
                    PlaySound(4);
                if (countdown < 0) {
                    display_.ShowProgress(100, 0.0);
                    break;
                }
            }
            if (t <= 200)
                baseline = s;
            else if (t < 300)
                baseline = (s + baseline) / 2;
            else
                display_.AddTrendPoint(t, (s - baseline) / countsPerMicroamp_);

            if (TotalMs - std::min(t, TotalMs) <= AverageMs) {
                sum += s;
                ++count;
                display_.ShowSampleCount(count);
            }

            slot = slot % RingSize + 1;
            ring[slot] = s;
            sigma = RingDeviation(ring);

            const double value = s / countsPerMicroamp_;
            display_.ShowProgress(int(std::min(t, TotalMs) / 25), (TotalMs - std::min(t, TotalMs)) / 1000.0);
            display_.ShowReading(value, Compensated(value));
            display_.ShowQuality(100.0 - sigma, QualityColourOf(sigma));
        }

        if (lost) {
            display_.ClearTrend();
            display_.ShowQuality(0.0, QualityColour::Green);
            continue;
        }
        // A point whose last half second got no sample (exchanges slower than
        // 500 ms) has no value: it is measured again rather than divided by 0.
        if (count == 0) {
            display_.ClearTrend();
            continue;
        }

        gridClicksAllowed_ = false;
        FinishPoint(sum / count / countsPerMicroamp_, sigma);
        return PointResult::Done;
    }
}

void MeasuringRun::FinishPoint(double value, double sigma)
{
    AppState& state = appState();
    const int soundMode = state.Settings.SoundMode;
    if (position_ == PointCount) {
        if (soundMode == 1) {
            PlaySound(6);
        } else if (soundMode == 2) {
            PlaySound(4);
            PlaySound(5);
        }
    } else if (soundMode == 1) {
        PlaySound(5);
    } else if (soundMode == 2) {
        PlaySound(4);
    }

    const int point = PositionToPoint(position_);
    Measurement& m = state.CurrentMeasurement;
    m.Raw[point] = value;
    m.Compensated[point] = value * state.MeridianCoefficients[MeridianOf(point)];
    m.Quality[point] = 100.0 - sigma;

    state.PointsMeasured += 1;
    measuredSomething_ = true;
    m.DateTime = ToDayCount(QDateTime::currentDateTime());
    display_.ShowPointResult(position_);
    display_.ShowStatusText(QStringLiteral("Measurement complete. Proceed to the next point."));

    switch (QualityColourOf(sigma)) {
    case QualityColour::Green:
        setLamps("F00FF", "C0000");
        break;
    case QualityColour::Yellow:
        setLamps("F00FF", "C00FF");
        break;
    case QualityColour::Red:
        setLamps("F0000", "C00FF");
        break;
    }
    display_.ShowStatusLamp(MeasuringDisplay::Lamp::Green, 0);
    resetAnalysisView();

    WaitForRemoval();
    display_.ShowCountdown(QString());
}

void MeasuringRun::WaitForRemoval()
{
    const quint32 start = clock().ticks();
    for (quint32 e = 0; e < RemovalTimeoutMs; e = elapsed(start, clock().ticks())) {
        display_.ShowCountdown(QString::asprintf("%1.1f", (RemovalTimeoutMs - e) / 1000.0) + QStringLiteral(" Sec"));
        pumpEvents();
        if (ReadSample() < ContactThreshold() && confirmingMean() < ContactThreshold())
            return;
    }
    if (position_ == PointCount)
        return;
    PlaySound(3);
    display_.ShowCountdown(QStringLiteral("0.0 Sec"));
    if (!ShowMessageBox(3, QStringLiteral("Time out! Do you wish to continue measurements?"))) {
        display_.SetGridEnabled(false);
        stopRequested_ = true;
    }
}

void MeasuringRun::EndRun()
{
    gridClicksAllowed_ = false;
    SendCommand(QStringLiteral("X0000"));
    running_ = false;
    bool all = true;
    for (double raw : appState().CurrentMeasurement.Raw)
        all = all && raw != 0;
    display_.RunEnded(all, measuredSomething_);
}

} // namespace qern
