#pragma once

#include "measurement/MeasuringRun.h"

#include <QStringList>

#include <functional>

namespace qern::test {

// Records what the measuring run shows: the events as short texts, the fast
// read-outs as they were last set. `OnEvent` lets a test act at a moment of
// the run (press Stop, click a cell, disturb the probe).
class RecordingDisplay : public MeasuringDisplay {
public:
    QStringList Events;
    std::function<void(const QString& event)> OnEvent;
    QList<std::pair<quint32, double>> Trend;
    std::pair<double, QualityColour> LastQuality{0.0, QualityColour::Green};
    int LastProgress = 0;
    int Readings = 0;

    int Count(const QString& event) const { return int(Events.count(event)); }

    void ValuesView(bool toggleEnabled) override { Note(QStringLiteral("values view %1").arg(toggleEnabled)); }
    void ValuesCleared() override { Note(QStringLiteral("cleared")); }
    void RunStarted() override { Note(QStringLiteral("started")); }
    void RunEnded(bool all, bool measured) override { Note(QStringLiteral("ended all=%1 measured=%2").arg(all).arg(measured)); }
    void ShowPointGuide(int position) override { Note(QStringLiteral("guide %1").arg(position)); }
    void ShowAverage(double) override {}
    void ShowStatusText(const QString& text) override { Note(QStringLiteral("status ") + text); }
    void ShowStatusLamp(Lamp, int) override {}
    void ResetLiveDisplays(double) override { Note(QStringLiteral("ready")); }
    void ShowReading(double, double) override { ++Readings; }
    void ShowProgress(int percent, double) override
    {
        LastProgress = percent;
        Fire(QStringLiteral("progress %1").arg(percent));
    }
    void ShowSampleCount(int) override {}
    void ShowQuality(double quality, QualityColour colour) override { LastQuality = {quality, colour}; }
    void ClearTrend() override
    {
        Trend.clear();
        Note(QStringLiteral("trend cleared"));
    }
    void AddTrendPoint(quint32 ms, double deviation) override { Trend.append({ms, deviation}); }
    void ShowPointResult(int position) override { Note(QStringLiteral("result %1").arg(position)); }
    void ShowCountdown(const QString& text) override
    {
        if (text == QLatin1String("0.0 Sec"))
            Note(QStringLiteral("timed out"));
    }
    void SetGridEnabled(bool enabled) override { Note(QStringLiteral("grid %1").arg(enabled)); }

private:
    void Note(const QString& event)
    {
        Events.append(event);
        Fire(event);
    }
    void Fire(const QString& event)
    {
        if (OnEvent)
            OnEvent(event);
    }
};

} // namespace qern::test
