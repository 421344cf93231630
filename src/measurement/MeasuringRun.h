#pragma once

#include "shell/OneBased.h"

#include <QString>

namespace qern {

enum class QualityColour { Green, Yellow, Red };

// Quality colour of a ring's standard deviation (raw counts).
constexpr QualityColour QualityColourOf(double sigma)
{
    return sigma <= 20 ? QualityColour::Green : sigma <= 40 ? QualityColour::Yellow : QualityColour::Red;
}

// Population standard deviation of the 20-sample ring: sqrt(mean of squares -
// square of mean), never negative through rounding.
double RingDeviation(const OneBased<double, 20>& ring);

// What the measuring run shows. The measurement window implements it; tests
// record it.
class MeasuringDisplay {
public:
    enum class Lamp { Off, Green, Red };

    virtual ~MeasuringDisplay() = default;

    // The grid goes to the values view; its toggle is enabled or not.
    virtual void ValuesView(bool toggleEnabled) = 0;
    // The measurement was cleared at the start of a run (patient kept).
    virtual void ValuesCleared() = 0;
    // Every control but Stop disabled, grid enabled with the focus, empty trend.
    virtual void RunStarted() = 0;
    // The controls and displays of an idle window again.
    virtual void RunEnded(bool allPointsMeasured, bool measuredSomething) = 0;

    virtual void ShowPointGuide(int position) = 0;
    virtual void ShowAverage(double average) = 0; // 0: none
    virtual void ShowStatusText(const QString& text) = 0;
    virtual void ShowStatusLamp(Lamp lamp, int blinkMs) = 0;
    // Progress 0, sampling counter 0, remaining time, countdown hidden.
    virtual void ResetLiveDisplays(double totalSeconds) = 0;
    virtual void ShowReading(double microamps, double compensated) = 0;
    virtual void ShowProgress(int percent, double remainingSeconds) = 0;
    virtual void ShowSampleCount(int count) = 0;
    // Quality 100 - sigma; `colour` from sigma.
    virtual void ShowQuality(double quality, QualityColour colour) = 0;
    virtual void ClearTrend() = 0;
    virtual void AddTrendPoint(quint32 elapsedMs, double deviationMicroamps) = 0;
    // A point finished: its cell, the measured-at date, time and age.
    virtual void ShowPointResult(int position) = 0;
    virtual void ShowCountdown(const QString& text) = 0; // empty hides it
    virtual void SetGridEnabled(bool enabled) = 0;
};

// The measuring run over the 24 positions in display order: contact, 2.5 s of
// sampling, the value of the last half second and the stability of the last
// 20 samples, lamps and sounds, removal. It runs as one loop that lets the
// interface work through the event pump; Stop and grid clicks arrive that way.
class MeasuringRun {
public:
    static constexpr quint32 SettleMs = 2000;
    static constexpr quint32 AverageMs = 500;
    static constexpr quint32 TotalMs = SettleMs + AverageMs;
    static constexpr quint32 CountdownStepMs = 625;
    static constexpr quint32 RemovalTimeoutMs = 5000;
    static constexpr int RingSize = 20;

    explicit MeasuringRun(MeasuringDisplay& display) : display_(display) {}

    // Runs from the Start button until the last position or a stop.
    void Start();
    // The Stop button.
    void RequestStop() { stopRequested_ = true; }
    bool Running() const { return running_; }

    // A grid click: while a point waits for contact or is measured, the
    // clicked position becomes the current one. Returns whether it did.
    bool SelectPosition(int position);
    int CurrentPosition() const { return position_; }
    bool GridClicksAllowed() const { return gridClicksAllowed_; }

    // Counts per uA at the potential of the run, and the contact threshold
    // from the sensitivity in force now.
    double CountsPerMicroamp() const { return countsPerMicroamp_; }
    double ContactThreshold() const;

    // The window's "measured something" mark: set by a finished point,
    // cleared by the window's Clear and by clearing at the start.
    bool MeasuredSomething() const { return measuredSomething_; }
    void SetMeasuredSomething(bool value) { measuredSomething_ = value; }

    // Mean of the non-zero raw values of the current measurement; 0 if none.
    static double RunningAverage();

private:
    enum class PointResult { Done, Stopped };
    PointResult MeasurePoint();
    void FinishPoint(double value, double sigma);
    void WaitForRemoval();
    void EndRun();
    double Compensated(double microamps) const;

    MeasuringDisplay& display_;
    bool running_ = false;
    bool stopRequested_ = false;
    bool gridClicksAllowed_ = false;
    bool measuredSomething_ = false;
    int position_ = 1;
    double countsPerMicroamp_ = 20.0;
};

} // namespace qern
