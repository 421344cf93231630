#include "InstrumentFixture.h"

#include "instrument/Protocol.h"
#include "instrument/Registers.h"
#include "shell/AppState.h"

#include <QTemporaryDir>

using namespace qern;
using qern::test::InstrumentTest;

namespace {

TEST(SimulationOptionsText, ParsesEverySwitchAndRefusesTheRest)
{
    const auto options = SimulationOptions::Parse(
        QStringLiteral("silent, refuse=3,probe-fault,no-version,device-calibration,no-patient,unplugged,"
                       "fail-writes=2,report-length=33,seed=7"));
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->Silent);
    EXPECT_EQ(options->Refusals, 3);
    EXPECT_TRUE(options->ProbeFault);
    EXPECT_TRUE(options->EmptyHardwareVersion);
    EXPECT_TRUE(options->DeviceCalibration);
    EXPECT_FALSE(options->AutomaticPatient);
    EXPECT_TRUE(options->Unplugged);
    EXPECT_EQ(options->FailedWrites, 2);
    EXPECT_EQ(options->OutputReportLength, 33);
    EXPECT_EQ(options->Seed, 7u);

    EXPECT_EQ(SimulationOptions::Parse(QStringLiteral("refuse"))->Refusals, -1);
    const auto defaults = SimulationOptions::Parse(QString());
    ASSERT_TRUE(defaults);
    EXPECT_TRUE(defaults->AutomaticPatient);
    EXPECT_EQ(defaults->OutputReportLength, 65);

    for (const char* bad : {"loud", "refuse=x", "refuse=-2", "silent=1", "report-length=3", "seed"}) {
        QString error;
        EXPECT_FALSE(SimulationOptions::Parse(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

class Simulator : public InstrumentTest {
protected:
    // Samples until `done` or `ms` pass; returns the readings.
    QList<int> SampleFor(quint32 ms)
    {
        QList<int> readings;
        const quint32 start = Now();
        while (elapsed(start, Now()) < ms)
            readings.append(ReadSample());
        return readings;
    }
};

TEST_F(Simulator, AutomaticPatientTouchesWhenTheProgramWaitsAndLiftsAfterTheResult)
{
    SimulationOptions options = NoPatient();
    options.AutomaticPatient = true;
    Attach(options);
    SendCommand(QStringLiteral("X0000"));
    SendCommand(QStringLiteral("L0000"));
    SendCommand(QStringLiteral("I0000"));
    SendCommand(QStringLiteral("K0001"));

    const QList<int> idle = SampleFor(1000);
    for (int r : idle)
        EXPECT_LT(r, 20) << "nobody touches before the program waits for contact";

    SendCommand(QStringLiteral("F007F"));
    SendCommand(QStringLiteral("C0000"));
    const quint32 waitingSince = Now();
    int reading = 0;
    while (reading <= 20 && elapsed(waitingSince, Now()) < 3000)
        reading = ReadSample();
    const quint32 pause = elapsed(waitingSince, Now());
    EXPECT_GE(pause, 700u);
    EXPECT_LE(pause, 1000u);
    // 30..70 uA with point-to-point variation, at about 3950 counts per 200 uA.
    EXPECT_GT(reading, 400);
    EXPECT_LT(reading, 1850);

    SendCommand(QStringLiteral("C007F"));
    SendCommand(QStringLiteral("F0000"));
    const QList<int> held = SampleFor(2600);
    const auto [low, high] = std::minmax_element(held.begin(), held.end());
    EXPECT_GT(*low, 20) << "the contact holds through a whole point";
    EXPECT_LE(*high - *low, 10) << "small noise only";

    SendCommand(QStringLiteral("F00FF"));
    SendCommand(QStringLiteral("C0000"));
    const QList<int> after = SampleFor(600);
    EXPECT_LT(after.last(), 20) << "lifted after the result";
}

TEST_F(Simulator, RegisterBankSurvivesARestart)
{
    QTemporaryDir dir;
    SimulationOptions options = NoPatient();
    options.BankFile = dir.filePath(QStringLiteral("bank.json"));
    Attach(options);
    const QString identity = appState().InstrumentIdentity;
    IncrementMeasurementCounter();
    IncrementMeasurementCounter();

    link_.reset();
    resetAppState();
    Attach(options);
    EXPECT_EQ(appState().InstrumentIdentity, identity);
    EXPECT_EQ(ReadMeasurementCounter(), 2u);
}

TEST_F(Simulator, GainScalesTheReadingOfDeviceCalibratingInstruments)
{
    SimulationOptions options = NoPatient();
    options.DeviceCalibration = true;
    Attach(options);
    sim_->SetProbe([](quint32) { return 4060.0; }); // the 200 uA reference load
    SendCommand(QStringLiteral("L0000"));
    EXPECT_EQ(ReadSample(), 4060) << "factory gain meets the target";
    SendCommand(GainCommand(20));
    EXPECT_EQ(sim_->Gain(false), 20);
    EXPECT_EQ(ReadSample(), 3980);
    SendCommand(GainCommand(33));
    EXPECT_EQ(ReadSample(), 4045);

    SendCommand(QStringLiteral("H0000"));
    EXPECT_EQ(sim_->Gain(true), SimulatedInstrument::IdealGainHigh) << "each potential keeps its own gain";
    EXPECT_EQ(appState().HardwareVersion, QStringLiteral("QERN6-20051706-A02"));
    EXPECT_TRUE(appState().DeviceCalibration);
}

TEST_F(Simulator, OutputReportLengthIsTheDevicesOwn)
{
    SimulationOptions options = NoPatient();
    options.OutputReportLength = 9;
    Attach(options);
    SendCommand(QStringLiteral("X0000"));
    ASSERT_EQ(sim_->Reports().size(), 1);
    EXPECT_EQ(sim_->Reports()[0], QByteArray("\0X0000   ", 9));
}

} // namespace
