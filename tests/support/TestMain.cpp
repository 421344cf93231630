// The main of every test program: a Qt application on the offscreen platform
// and a fresh process-wide state for each test.

#include "TestSupport.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

class FreshState : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { qern::test::ResetForTest(); }
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qern-tests"));

    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshState);
    return RUN_ALL_TESTS();
}
