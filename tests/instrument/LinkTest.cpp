#include "InstrumentFixture.h"

#include "shell/AppState.h"

using namespace qern;
using qern::test::InstrumentTest;

namespace {

class Link : public InstrumentTest {};

TEST_F(Link, OutputReportLayout)
{
    Attach();
    SendCommand(QStringLiteral("C007F"));
    ASSERT_EQ(sim_->Reports().size(), 1);
    const QByteArray report = sim_->Reports()[0];
    ASSERT_EQ(report.size(), 65);
    EXPECT_EQ(report[0], '\0');
    EXPECT_EQ(report.mid(1, 5), QByteArray("C007F"));
    EXPECT_EQ(report.mid(6), QByteArray(59, ' '));

    EXPECT_EQ(InstrumentLink::OutputReport(QStringLiteral("X0000"), 9), QByteArray("\0X0000   ", 9));
    EXPECT_EQ(InstrumentLink::OutputReport(QStringLiteral("X0000"), 4), QByteArray("\0X00", 4));
}

TEST_F(Link, ReplyTextIsTrimmedOfBlanksAndControlCharacters)
{
    struct Case {
        QByteArray data;
        const char* text;
    };
    const Case cases[] = {
        {QByteArray("  D0FA0  "), "D0FA0"},
        {QByteArray("\r\nR0B0F\0\0\0\0", 11), "R0B0F"},
        {QByteArray("\x01\x1F" "A B\x7F\x02"), "A B\x7F"},
        {QByteArray(64, '\0'), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InstrumentLink::ReplyText(c.data), QString::fromLatin1(c.text));

    Attach();
    SendCommand(QStringLiteral("D0000"));
    EXPECT_EQ(LastReply().size(), 5) << "the simulator pads its replies with NUL bytes";
}

TEST_F(Link, RefusalsAreRetriedAtMostThreeWrites)
{
    struct Case {
        int refusals;
        int writes;
        const char* reply;
    };
    const Case cases[] = {{0, 1, "X0000"}, {1, 2, "X0000"}, {2, 3, "X0000"}, {-1, 3, ""}};
    for (const Case& c : cases) {
        Attach();
        sim_->RefuseNext(c.refusals);
        SendCommand(QStringLiteral("X0000"));
        EXPECT_EQ(sim_->Reports().size(), c.writes) << c.refusals;
        EXPECT_EQ(LastReply(), QLatin1String(c.reply)) << c.refusals;
    }
}

TEST_F(Link, SilenceAndFailedWritesCostHundredMillisecondsEach)
{
    Attach();
    sim_->Options().Silent = true;
    // Just before the tick counter wraps: the waits must neither end at once
    // nor hang.
    time_.Clock().advance(0xFFFFFFFFu - 150 - Now());
    const quint32 start = Now();
    SendCommand(QStringLiteral("X0000"));
    EXPECT_EQ(sim_->Reports().size(), 3);
    EXPECT_TRUE(LastReply().isEmpty());
    EXPECT_LT(Now(), start) << "the counter wrapped during the command";
    EXPECT_GE(elapsed(start, Now()), 300u);
    EXPECT_LE(elapsed(start, Now()), 310u);

    sim_->Options().Silent = false;
    sim_->ClearLog();
    sim_->FailNextWrites(2);
    const quint32 retried = Now();
    SendCommand(QStringLiteral("X0000"));
    EXPECT_EQ(sim_->Reports().size(), 1) << "two writes failed, the third went through";
    EXPECT_EQ(LastReply(), QStringLiteral("X0000"));
    EXPECT_GE(elapsed(retried, Now()), 200u) << "a pause after each failed write";
}

TEST_F(Link, NothingIsSentWithoutAnInstrument)
{
    SimulationOptions options = NoPatient();
    options.Unplugged = true;
    Attach(options);
    EXPECT_FALSE(appState().InstrumentOnline);
    SendCommand(QStringLiteral("X0000"));
    EXPECT_TRUE(sim_->Reports().isEmpty());
    EXPECT_TRUE(LastReply().isEmpty());
}

TEST_F(Link, UnplugAndReplugWithoutRestart)
{
    Attach();
    AppState& state = appState();
    state.FirstActivation = false;
    ASSERT_TRUE(state.InstrumentOnline);
    ASSERT_TRUE(state.Tray.Online());
    const QString identity = state.InstrumentIdentity;
    EXPECT_EQ(identity.size(), 12);

    sim_->Unplug();
    Settle();
    EXPECT_FALSE(state.InstrumentOnline);
    EXPECT_FALSE(state.Tray.Online());
    EXPECT_EQ(link_->Instrument(), nullptr);
    ASSERT_TRUE(state.Tray.ShownBalloon());
    EXPECT_EQ(state.Tray.ShownBalloon()->Text, QStringLiteral("Q.E.R.N. Meridian Energy System is off-line."));
    EXPECT_EQ(state.Tray.ShownBalloon()->Icon, TrayIcon::BalloonIcon::Error);

    sim_->Plug();
    Settle();
    EXPECT_TRUE(state.InstrumentOnline);
    EXPECT_TRUE(state.Tray.Online());
    EXPECT_EQ(state.Tray.ShownBalloon()->Text, QStringLiteral("Q.E.R.N. Meridian Energy System is on-line."));
    EXPECT_EQ(state.InstrumentIdentity, identity) << "registers read again at the arrival";
    SendCommand(QStringLiteral("X0000"));
    EXPECT_EQ(LastReply(), QStringLiteral("X0000"));
}

TEST_F(Link, ArrivalAtStartUpShowsNoBalloon)
{
    Attach();
    EXPECT_TRUE(appState().InstrumentOnline);
    EXPECT_FALSE(appState().Tray.ShownBalloon()) << "the first activation has not happened yet";
    EXPECT_EQ(appState().HardwareVersion, QStringLiteral("QERN6-20041115-A01"));
    EXPECT_FALSE(appState().DeviceCalibration);
}

TEST_F(Link, OtherDevicesComingAndGoingChangeNothing)
{
    Attach();
    HidDevice* held = link_->Instrument();
    sim_->PlugOtherDevice();
    Settle();
    sim_->UnplugOtherDevice();
    Settle();
    EXPECT_EQ(link_->Instrument(), held);
    EXPECT_TRUE(appState().InstrumentOnline);
    EXPECT_FALSE(appState().Tray.ShownBalloon());
    EXPECT_TRUE(sim_->Reports().isEmpty()) << "no registers read again";
}

} // namespace
