#include "instrument/InstrumentFixture.h"

#include "instrument/Zestate.h"
#include "records/Database.h"
#include "records/RecordsHooks.h"
#include "shell/AppState.h"
#include "shell/Led.h"

#include <QLabel>

using namespace qern;
using qern::test::InstrumentTest;
using qern::test::TempDataFolder;

namespace {

class StatusWindowDatabase : public InstrumentTest {
protected:
    void SetUp() override
    {
        for (const auto& [file, layout] : {std::pair{"ZeSpa_60.mdb", Layout::Main},
                                           std::pair{"qernE.mdb", Layout::Reference},
                                           std::pair{"qernZE.mdb", Layout::Protocol}})
            ASSERT_TRUE(CreateDatabaseFile(folder_.File(QLatin1String(file)), layout).Ok);
        InstallRecordsHooks();
        Attach();
    }
    void TearDown() override { CloseAllDatabases(); }

    TempDataFolder folder_;
};

TEST_F(StatusWindowDatabase, FreshFolderEndsWithSevenGreenLamps)
{
    TZeStatu window;
    window.show();
    QCoreApplication::processEvents();
    for (int i = 1; i <= 7; ++i) {
        const TLed* lamp = window.findChild<TLed*>(QStringLiteral("hhALed%1").arg(i));
        EXPECT_TRUE(lamp->On()) << i;
        EXPECT_EQ(lamp->Colour(), TLed::Green) << i;
    }
    EXPECT_TRUE(QFileInfo::exists(folder_.File(QStringLiteral("qern6.mdb"))));
    EXPECT_TRUE(DatabaseOpen(DbRole::Main));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(appState().InstrumentOnline);
}

TEST_F(StatusWindowDatabase, ADatabaseFailureEndsTheProgramAfterTheCheck)
{
    QFile::remove(folder_.File(QStringLiteral("qernZE.mdb")));
    qern::test::ScriptedMessages messages;
    TZeStatu window;
    window.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.asked().size(), 1);
    EXPECT_TRUE(messages.asked()[0].Text.contains(QStringLiteral("qernZE.mdb does not exist")));
    EXPECT_FALSE(appState().InstrumentOnline);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
