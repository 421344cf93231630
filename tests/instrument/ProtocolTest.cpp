#include "InstrumentFixture.h"

#include "instrument/Protocol.h"
#include "instrument/Registers.h"
#include "shell/AppState.h"

using namespace qern;
using qern::test::InstrumentTest;

namespace {

class Protocol : public InstrumentTest {};

TEST_F(Protocol, SampleReplies)
{
    Attach();
    sim_->QueueReadings({4000, 0, 20, 4095});
    for (quint16 expected : {4000, 0, 20, 4095})
        EXPECT_EQ(ReadSample(), expected);
    EXPECT_EQ(sim_->Commands(), QStringList({"D0000", "D0000", "D0000", "D0000"}));

    sim_->Options().Silent = true;
    EXPECT_EQ(ReadSample(), 0) << "no reply reads as an untouched probe";
}

TEST_F(Protocol, ProbeFaultRaisesTheWarningUntilAGoodReply)
{
    Attach();
    AppState& state = appState();
    sim_->Options().ProbeFault = true;
    EXPECT_EQ(ReadSample(), 1) << "characters 3 to 5 of Z0001";
    ASSERT_TRUE(state.Tray.ShownBalloon());
    EXPECT_EQ(state.Tray.ShownBalloon()->Text, QStringLiteral("C.P.D.M. out of function\uFF01Please check.."));
    EXPECT_EQ(state.Tray.ShownBalloon()->Title, QStringLiteral("Q.E.R.N. Meridian Energy System Information"));
    EXPECT_EQ(state.Tray.ShownBalloon()->Icon, TrayIcon::BalloonIcon::Error);
    EXPECT_TRUE(state.SampleWarningShowing);

    ReadSample();
    EXPECT_TRUE(state.SampleWarningShowing);

    sim_->Options().ProbeFault = false;
    sim_->QueueReadings({250});
    EXPECT_EQ(ReadSample(), 250);
    EXPECT_FALSE(state.SampleWarningShowing);
    EXPECT_FALSE(state.Tray.ShownBalloon());
}

TEST_F(Protocol, SoundsSendEachToneAndWaitForItsReply)
{
    Attach();
    struct Case {
        int sound;
        QStringList commands;
    };
    const Case cases[] = {
        {0, {}},
        {1, {"S8863"}},
        {2, {"S885E", "S8862"}},
        {6, {"S6864", "S4F62"}},
        {13, {"SC040"}},
        {14, {}},
        {-1, {}},
    };
    for (const Case& c : cases) {
        sim_->ClearLog();
        PlaySound(c.sound);
        EXPECT_EQ(sim_->Commands(), c.commands) << c.sound;
    }

    // Each tone waits for its own reply: with the first reply refused once,
    // the first tone is written twice before the second is sent.
    sim_->ClearLog();
    sim_->RefuseNext(1);
    PlaySound(2);
    EXPECT_EQ(sim_->Commands(), QStringList({"S885E", "S885E", "S8862"}));
}

TEST(ProtocolFormat, CommandTexts)
{
    EXPECT_EQ(RegisterReadCommand(0x0B), QStringLiteral("R0B00"));
    EXPECT_EQ(RegisterWriteCommand(0x06, 0x01), QStringLiteral("W0601"));
    EXPECT_EQ(RegisterWriteCommand(0x08, 0xAB), QStringLiteral("W08AB"));
    EXPECT_EQ(RegisterWriteCommand(0x10, 0x123), QStringLiteral("W1012")) << "first two digits of a longer value";
    EXPECT_EQ(GainCommand(10), QStringLiteral("G000A"));
    EXPECT_EQ(GainCommand(0), QStringLiteral("G0000"));
    EXPECT_EQ(GainCommand(255), QStringLiteral("G00FF"));
    EXPECT_EQ(ParseHex(QStringLiteral(" FA0 ")), 4000u);
    EXPECT_EQ(ParseHex(QStringLiteral("0f")), 15u);
    EXPECT_FALSE(ParseHex(QStringLiteral("")));
    EXPECT_FALSE(ParseHex(QStringLiteral("0G")));
}

class Registers : public InstrumentTest {};

TEST_F(Registers, CounterReadsAndIncrements)
{
    Attach();
    sim_->SetRegister(0x06, 0x00);
    sim_->SetRegister(0x07, 0x0F);
    sim_->SetRegister(0x08, 0xFF);
    EXPECT_EQ(ReadMeasurementCounter(), 4095u);

    sim_->ClearLog();
    IncrementMeasurementCounter();
    EXPECT_EQ(sim_->Commands(), QStringList({"R0600", "R0700", "R0800", "W0600", "W0710", "W0800"}));
    EXPECT_EQ(ReadMeasurementCounter(), 4096u);

    sim_->SetRegister(0x06, 0x01);
    sim_->SetRegister(0x07, 0x23);
    sim_->SetRegister(0x08, 0xAA);
    IncrementMeasurementCounter();
    EXPECT_EQ(sim_->Register(0x06), 0x01);
    EXPECT_EQ(sim_->Register(0x07), 0x23);
    EXPECT_EQ(sim_->Register(0x08), 0xAB);
}

// A counter that could not be read is not overwritten with 1: that would
// lose the instrument's whole count.
TEST_F(Registers, UnreadableCounterIsLeftAlone)
{
    Attach();
    sim_->SetRegister(0x07, 0x42);
    sim_->Options().Silent = true;
    EXPECT_FALSE(ReadMeasurementCounter());
    sim_->ClearLog();
    IncrementMeasurementCounter();
    for (const QString& command : sim_->Commands())
        EXPECT_TRUE(command.startsWith(QLatin1Char('R'))) << command.toStdString();
    EXPECT_EQ(sim_->Register(0x07), 0x42);
}

TEST_F(Registers, IdentityAndDeviceFullScales)
{
    SimulationOptions calibrating = NoPatient();
    calibrating.DeviceCalibration = true;
    Attach(calibrating);
    sim_->SetRegister(0x0B, 0x0F);
    sim_->SetRegister(0x0C, 0xDC);
    sim_->SetRegister(0x09, 0x10);
    sim_->SetRegister(0x0A, 0x04);
    for (int reg = 0; reg <= 5; ++reg)
        sim_->SetRegister(reg, quint8(0xA0 + reg));
    sim_->ClearLog();
    ReadIdentityAndCalibration();
    const AppState& state = appState();
    EXPECT_TRUE(state.DeviceCalibration);
    EXPECT_EQ(state.InstrumentIdentity, QStringLiteral("A0A1A2A3A4A5"));
    EXPECT_EQ(state.DeviceFullScaleNormal, 4060);
    EXPECT_EQ(state.DeviceFullScaleHigh, 4100);
    EXPECT_EQ(sim_->Commands(), QStringList({"R0000", "R0100", "R0200", "R0300", "R0400", "R0500", "R0B00",
                                             "R0C00", "R0900", "R0A00"}));

    sim_->Options().Silent = true;
    ReadIdentityAndCalibration();
    EXPECT_EQ(state.DeviceFullScaleNormal, 4060);
    EXPECT_EQ(state.DeviceFullScaleHigh, 4060) << "the default when unanswered";
    EXPECT_TRUE(state.InstrumentIdentity.isEmpty()) << "the identity keeps whatever arrived";
}

TEST_F(Registers, WithoutDeviceCalibrationTheFullScaleRegistersAreNeverRead)
{
    Attach();
    sim_->SetRegister(0x0B, 0x0E);
    ReadIdentityAndCalibration();
    for (const QString& command : sim_->Commands()) {
        const int reg = command.mid(1, 2).toInt(nullptr, 16);
        EXPECT_FALSE(command.startsWith(QLatin1Char('R')) && reg >= 0x09 && reg <= 0x0C) << command.toStdString();
    }
    EXPECT_EQ(appState().DeviceFullScaleNormal, 4060);
    EXPECT_EQ(appState().DeviceFullScaleHigh, 4060);
}

TEST_F(Registers, RangeValuesReadAndRestored)
{
    Attach();
    EXPECT_EQ(ReadRangeValues(), (RangeValues{30, 29, 30, 29}));
    sim_->ClearLog();
    WriteRangeValues({0x2A, 0x05, 0xFF, 0x10});
    EXPECT_EQ(sim_->Commands(), QStringList({"W0D2A", "W0E05", "W0FFF", "W1010"}));
    EXPECT_EQ(ReadRangeValues(), (RangeValues{0x2A, 0x05, 0xFF, 0x10}));

    sim_->Options().Silent = true;
    EXPECT_EQ(ReadRangeValues(), (RangeValues{30, 29, 30, 29})) << "defaults when unanswered";
}

} // namespace
