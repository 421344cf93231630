#include "RecordingDisplay.h"

#include "instrument/InstrumentFixture.h"
#include "instrument/Protocol.h"
#include "shell/AppState.h"
#include "shell/MeridianModel.h"

#include <QRegularExpression>
#include <QTimer>

using namespace qern;
using qern::test::InstrumentTest;
using qern::test::RecordingDisplay;
using qern::test::ScriptedMessages;

namespace {

const QString Ready = QStringLiteral("status Begin measurement with the measurement point shown in the graph. "
                                     "Or choose your own starting point.");
const QString Measuring = QStringLiteral("status Keep the probe stable while taking measurements.");

class Run : public InstrumentTest {
protected:
    void SetUp() override
    {
        Attach();
        appState().Settings.Sensitivity = 1.0; // 20 counts at 4000 counts per 200 uA
    }

    // Stops the run when the point guide reaches `position`.
    void StopAt(int position)
    {
        display_.OnEvent = [this, position](const QString& e) {
            if (e == QStringLiteral("guide %1").arg(position))
                run_.RequestStop();
        };
    }

    // Commands from the first "K0001" (the run's own) on.
    QStringList RunCommands() const
    {
        const QStringList all = sim_->Commands();
        return all.mid(all.indexOf(QStringLiteral("K0001")));
    }

    RecordingDisplay display_;
    MeasuringRun run_{display_};
};

TEST(RingDeviationTest, PopulationFormAndColours)
{
    EXPECT_EQ(RingDeviation(OneBased<double, 20>(1234.0)), 0.0);
    OneBased<double, 20> alternating;
    for (int i = 1; i <= 20; ++i)
        alternating[i] = i % 2 ? 1000 - 20 : 1000 + 20;
    EXPECT_DOUBLE_EQ(RingDeviation(alternating), 20.0);

    EXPECT_EQ(QualityColourOf(0), QualityColour::Green);
    EXPECT_EQ(QualityColourOf(20), QualityColour::Green);
    EXPECT_EQ(QualityColourOf(20.01), QualityColour::Yellow);
    EXPECT_EQ(QualityColourOf(40), QualityColour::Yellow);
    EXPECT_EQ(QualityColourOf(40.5), QualityColour::Red);
}

TEST_F(Run, VisitsDisplayOrderAndStoresByPointIndex)
{
    sim_->ScriptPatient({1000, 2000});
    StopAt(3);
    run_.Start();

    const Measurement& m = appState().CurrentMeasurement;
    EXPECT_DOUBLE_EQ(m.Raw[1], 50.0) << "LU left, the first position";
    EXPECT_DOUBLE_EQ(m.Raw[6], 100.0) << "LI left, the second position";
    EXPECT_DOUBLE_EQ(m.Compensated[6], 100.0 * 0.8039);
    EXPECT_DOUBLE_EQ(m.Quality[1], 100.0) << "a perfectly steady signal";
    int stored = 0;
    for (double raw : m.Raw)
        stored += raw != 0;
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(appState().PointsMeasured, 2);
    EXPECT_NE(m.DateTime, 0.0);

    const QStringList commands = sim_->Commands();
    EXPECT_EQ(commands.mid(0, 4), QStringList({"X0000", "L0000", "I0000", "K0001"}));
    // The first point: ready lamp, measuring lamp, then green for a steady result.
    const QStringList run = RunCommands();
    const QStringList lamps = run.filter(QRegularExpression(QStringLiteral("^[CF]00")));
    EXPECT_EQ(lamps.mid(0, 6), QStringList({"F007F", "C0000", "C007F", "F0000", "F00FF", "C0000"}));
    EXPECT_EQ(commands.last(), QStringLiteral("X0000"));
    EXPECT_TRUE(display_.Events.contains(QStringLiteral("ended all=0 measured=1")));
    EXPECT_EQ(display_.Events.filter(QStringLiteral("guide ")),
              QStringList({"guide 1", "guide 2", "guide 3"}));
}

TEST_F(Run, ContactNeedsReadingsStrictlyAboveTheThreshold)
{
    double level = 20;
    sim_->SetProbe([&](quint32) { return level; });
    // Two seconds at exactly the threshold: no contact.
    const quint32 start = Now();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (elapsed(start, Now()) > 2000)
            run_.RequestStop();
    });
    watch.start(0);
    run_.Start();
    watch.stop();
    EXPECT_GT(display_.Readings, 500);
    EXPECT_EQ(display_.Count(Measuring), 0);
    for (double raw : appState().CurrentMeasurement.Raw)
        EXPECT_EQ(raw, 0.0);

    level = 21;
    ScriptedMessages messages; // the constant probe is never lifted: stop at the time-out
    messages.Answer(false);
    run_.Start();
    EXPECT_EQ(display_.Count(Measuring), 1);
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[1], 21 / 20.0);
}

TEST_F(Run, OneLowSampleIsForgivenTwoRestartThePoint)
{
    sim_->ScriptPatient({1000, 1000});
    bool dippedOnce = false;
    bool dippedTwice = false;
    display_.OnEvent = [&](const QString& e) {
        if (e == QLatin1String("progress 40") && !dippedOnce) {
            dippedOnce = true;
            sim_->QueueReadings({0, 1000});
        } else if (e == QLatin1String("progress 40") && display_.Count(QStringLiteral("result 1")) == 1 &&
                   !dippedTwice) {
            dippedTwice = true;
            sim_->QueueReadings({0, 0});
        } else if (e == QLatin1String("guide 3")) {
            run_.RequestStop();
        }
    };
    run_.Start();

    // Point 1: one dip, no restart. Point 2: two low samples restart it.
    const QStringList& ev = display_.Events;
    const qsizetype guide2 = ev.indexOf(QStringLiteral("guide 2"));
    const qsizetype guide3 = ev.indexOf(QStringLiteral("guide 3"));
    const QStringList point2 = ev.mid(guide2, guide3 - guide2);
    EXPECT_EQ(ev.mid(0, guide2).count(Ready), 1);
    EXPECT_EQ(point2.count(Ready), 2);
    EXPECT_EQ(point2.count(QStringLiteral("result 2")), 1);
    const qsizetype restart = ev.lastIndexOf(Ready, guide3);
    EXPECT_FALSE(ev.mid(guide2, restart - guide2).contains(QStringLiteral("result 2")))
        << "nothing stored before the restart";
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[6], 50.0);
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[1], 50.0);
}

TEST_F(Run, ValueIsTheMeanOfTheLastHalfSecond)
{
    quint32 measuringSince = 0;
    bool measuring = false;
    sim_->SetProbe([&](quint32 now) {
        if (!measuring)
            return 1000.0;
        return elapsed(measuringSince, now) >= 1990 ? 1200.0 : 1000.0;
    });
    display_.OnEvent = [&](const QString& e) {
        if (e == Measuring) {
            measuring = true;
            measuringSince = Now();
        } else if (e == QLatin1String("guide 2")) {
            run_.RequestStop();
        }
    };
    sim_->Options().AutomaticPatient = false;
    // The constant probe never lifts: end the removal wait by answering no.
    ScriptedMessages messages;
    messages.Answer(false);
    run_.Start();

    const Measurement& m = appState().CurrentMeasurement;
    EXPECT_DOUBLE_EQ(m.Raw[1], 60.0);
    EXPECT_DOUBLE_EQ(m.Quality[1], 100.0) << "the last 20 samples are all 1200";
    ASSERT_FALSE(display_.Trend.isEmpty());
    EXPECT_GE(display_.Trend.first().first, 300u) << "the trace starts at 300 ms";
    EXPECT_DOUBLE_EQ(display_.Trend.last().second, 200.0 / 20.0) << "1200 against a 1000 baseline";
    // Five countdown ticks in standard sound mode, and the point-finished sound.
    const QStringList run = RunCommands();
    EXPECT_EQ(run.count(QStringLiteral("SB660")), 5);
    EXPECT_EQ(run.count(QStringLiteral("S6862")), 1);
}

// Only exchanges slower than half a second can leave the last half second
// empty: four samples before 2 s, the fifth (ending the countdown) after 2.5 s.
TEST_F(Run, APointWithoutSamplesInItsLastHalfSecondIsMeasuredAgain)
{
    QList<quint32> delays;
    sim_->SetProbe([&](quint32) {
        if (!delays.isEmpty())
            time_.Clock().advance(delays.takeFirst());
        return 1000.0;
    });
    display_.OnEvent = [&](const QString& e) {
        if (e == Measuring && display_.Count(Measuring) == 1)
            delays = {0, 625, 625, 625, 700};
        else if (e == QLatin1String("guide 2"))
            run_.RequestStop();
    };
    ScriptedMessages messages;
    messages.Answer(false);
    run_.Start();
    EXPECT_EQ(display_.Count(Measuring), 2) << "measured again";
    EXPECT_EQ(display_.Count(QStringLiteral("result 1")), 1);
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[1], 50.0);
}

TEST_F(Run, ClickedCellBecomesCurrentAndTheLastPositionEndsTheRun)
{
    sim_->ScriptPatient({1500});
    bool clicked = false;
    display_.OnEvent = [&](const QString& e) {
        if (e == Ready && !clicked) {
            clicked = true;
            EXPECT_TRUE(run_.SelectPosition(PositionOfSlot(12, Side::Right))); // right BL: position 24
        }
    };
    run_.Start();
    EXPECT_EQ(display_.Events.filter(QStringLiteral("guide ")), QStringList({"guide 1", "guide 24"}));
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[PositionToPoint(24)], 75.0);
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[1], 0.0);
    EXPECT_FALSE(run_.Running());
    // The last position's finishing sound, and no time-out question after it.
    EXPECT_EQ(RunCommands().count(QStringLiteral("S6864")), 1);

    // The right-hand ST cell holds point index 24.
    sim_->ScriptPatient({800});
    clicked = false;
    display_.OnEvent = [&](const QString& e) {
        if (e == Ready && !clicked) {
            clicked = true;
            run_.SelectPosition(PositionOfSlot(8, Side::Right));
        } else if (e == QLatin1String("guide 21")) {
            run_.RequestStop();
        }
    };
    run_.Start();
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[24], 40.0);
    EXPECT_FALSE(run_.SelectPosition(3)) << "no clicks between runs";
}

TEST_F(Run, RemovalTimeOutAsksAndNoEndsTheRun)
{
    sim_->SetProbe([](quint32) { return 900.0; }); // never lifted
    ScriptedMessages messages;
    messages.Answer(false);
    run_.Start();
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 3);
    EXPECT_EQ(messages.asked()[0].Text, QStringLiteral("Time out! Do you wish to continue measurements?"));
    EXPECT_TRUE(display_.Events.contains(QStringLiteral("timed out")));
    EXPECT_TRUE(display_.Events.contains(QStringLiteral("grid 0")));
    const QStringList run = RunCommands();
    EXPECT_EQ(run.mid(run.indexOf(QStringLiteral("S5662")), 2), QStringList({"S5662", "S8960"}));
    EXPECT_EQ(display_.Events.filter(QStringLiteral("guide ")), QStringList({"guide 1"}));
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[1], 45.0);

    // Yes goes on with the next position.
    ScriptedMessages again;
    again.Answer(true).Answer(false);
    display_.Events.clear();
    run_.Start();
    EXPECT_EQ(display_.Events.filter(QStringLiteral("guide ")), QStringList({"guide 1", "guide 2"}));
    EXPECT_EQ(again.asked().size(), 2);
}

TEST_F(Run, StartOnASavedMeasurementAsksToClearFirst)
{
    Measurement& m = appState().CurrentMeasurement;
    for (int point = 1; point <= PointCount; ++point)
        m.Raw[point] = 30;
    m.StoredMeasurementKey = 5;
    m.Memo = QStringList{"note"};

    sim_->ScriptPatient({1000});
    StopAt(2);
    ScriptedMessages no;
    no.Answer(false);
    run_.Start();
    ASSERT_EQ(no.asked().size(), 1);
    EXPECT_EQ(no.asked()[0].Kind, 1);
    EXPECT_EQ(no.asked()[0].Text, QStringLiteral("Do you want to clear the values first?"));
    EXPECT_EQ(sim_->Commands().first(), QStringLiteral("S8863"));
    EXPECT_EQ(m.StoredMeasurementKey, 5);
    EXPECT_DOUBLE_EQ(m.Raw[1], 50.0) << "re-measured";
    EXPECT_DOUBLE_EQ(m.Raw[6], 30.0) << "kept";
    EXPECT_TRUE(display_.Events.contains(QStringLiteral("ended all=1 measured=1")));

    sim_->ScriptPatient({1400});
    appState().CurrentPatient.Number = QStringLiteral("P-7");
    ScriptedMessages yes;
    yes.Answer(true);
    run_.Start();
    EXPECT_EQ(m.StoredMeasurementKey, 0);
    EXPECT_TRUE(m.Memo.isEmpty());
    EXPECT_DOUBLE_EQ(m.Raw[1], 70.0);
    EXPECT_DOUBLE_EQ(m.Raw[6], 0.0);
    EXPECT_EQ(appState().CurrentPatient.Number, QStringLiteral("P-7")) << "the patient stays";
    EXPECT_TRUE(display_.Events.contains(QStringLiteral("cleared")));
}

TEST_F(Run, HighPotentialIsConfirmedAndUsesItsFullScale)
{
    appState().CurrentMeasurement.HighPotential = true;
    appState().Settings.ProbeFullScaleHigh = 3000;
    ScriptedMessages no;
    no.Answer(false);
    run_.Start();
    ASSERT_EQ(no.asked().size(), 1);
    EXPECT_EQ(no.asked()[0].Text, QStringLiteral("You have selected High Potential Measurement. Please confirm!"));
    EXPECT_EQ(sim_->Commands(), QStringList({"S885E", "S8862"})) << "abandoned silently";
    EXPECT_TRUE(display_.Events.contains(QStringLiteral("values view 1"))) << "the view toggle comes back";

    sim_->ScriptPatient({1500});
    StopAt(2);
    ScriptedMessages yes;
    yes.Answer(true);
    run_.Start();
    EXPECT_TRUE(sim_->Commands().contains(QStringLiteral("H0000")));
    EXPECT_DOUBLE_EQ(run_.CountsPerMicroamp(), 15.0);
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[1], 100.0);
}

TEST_F(Run, DeviceCalibratedInstrumentsUseTheirOwnFullScale)
{
    SimulationOptions options = NoPatient();
    options.DeviceCalibration = true;
    Attach(options);
    sim_->ScriptPatient({2030});
    StopAt(2);
    run_.Start();
    EXPECT_EQ(appState().FullScaleNormal, 4060);
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Raw[1], 100.0);
}

TEST_F(Run, SoundModes)
{
    struct Case {
        int mode;
        int ticks;  // SB660
        int start;  // SC040
        int finish; // S6862
    };
    const Case cases[] = {{1, 5, 0, 1}, {2, 1, 1, 0}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        Attach();
        appState().Settings.SoundMode = c.mode;
        sim_->ScriptPatient({1000});
        StopAt(2);
        run_.Start();
        const QStringList run = RunCommands();
        EXPECT_EQ(run.count(QStringLiteral("SB660")), c.ticks) << c.mode;
        EXPECT_EQ(run.count(QStringLiteral("SC040")), c.start) << c.mode;
        EXPECT_EQ(run.count(QStringLiteral("S6862")), c.finish) << c.mode;
    }
}

TEST_F(Run, OffLineStartOnlySaysSo)
{
    sim_->Unplug();
    Settle();
    ScriptedMessages messages;
    run_.Start();
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_EQ(messages.asked()[0].Kind, 6);
    EXPECT_EQ(messages.asked()[0].Text, QStringLiteral("Q.E.R.N. is off-line! Please reconnect the device."));
    EXPECT_TRUE(display_.Events.isEmpty());
}

} // namespace
