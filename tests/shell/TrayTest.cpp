#include "shell/AppState.h"
#include "shell/Tray.h"

#include <gtest/gtest.h>

using namespace qern;

namespace {

TEST(Tray, HintAndBalloonsFollowTheInstrument)
{
    TrayIcon tray;
    tray.Attach(); // no tray on the offscreen desktop: the state is kept all the same
    EXPECT_EQ(tray.Hint(), QStringLiteral("Q.E.R.N. Developers\r\nQ.E.R.N. is off-line !!"));

    tray.SetOnline(true);
    EXPECT_TRUE(tray.Online());
    EXPECT_EQ(tray.Hint(), QStringLiteral("Q.E.R.N. Developers\r\nQ.E.R.N. is on-line."));

    tray.ShowBalloon(QStringLiteral("Q.E.R.N. Meridian Energy System is on-line."), TrayIcon::BalloonIcon::Information);
    ASSERT_TRUE(tray.ShownBalloon().has_value());
    EXPECT_EQ(tray.ShownBalloon()->Title, QStringLiteral("Q.E.R.N. Meridian Energy System Information"));
    EXPECT_EQ(tray.ShownBalloon()->Icon, TrayIcon::BalloonIcon::Information);
    tray.HideBalloon();
    EXPECT_FALSE(tray.ShownBalloon().has_value());
}

} // namespace
