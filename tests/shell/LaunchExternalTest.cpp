#include "support/TestSupport.h"

#include "shell/LaunchExternal.h"

#include <gtest/gtest.h>

using namespace qern;
using qern::test::RecordedLaunches;

namespace {

TEST(LaunchExternal, DriveLetterSearch)
{
    struct Case {
        const char* text;
        QStringList existing;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"D:\\Tools\\viewer.exe", {"F:\\Tools\\viewer.exe"}, QStringLiteral("F:\\Tools\\viewer.exe")},
        {"D:\\Tools\\viewer.exe", {"D:\\Tools\\viewer.exe", "C:\\Tools\\viewer.exe"},
         QStringLiteral("D:\\Tools\\viewer.exe")},
        {"D:\\Tools\\viewer.exe", {"C:\\Tools\\viewer.exe", "E:\\Tools\\viewer.exe"},
         QStringLiteral("C:\\Tools\\viewer.exe")},
        {"D:\\Tools\\viewer.exe", {"Q:\\Tools\\viewer.exe"}, QStringLiteral("Q:\\Tools\\viewer.exe")},
        {"D:\\Tools\\viewer.exe", {"R:\\Tools\\viewer.exe"}, std::nullopt},
        {"D:\\Tools\\viewer.exe", {}, std::nullopt},
        {" D:\\x.exe", {" G:\\x.exe"}, QStringLiteral(" G:\\x.exe")}, // colon at position 3
        {"/usr/bin/viewer", {}, QStringLiteral("/usr/bin/viewer")},   // no drive: as written
        {"viewer", {}, QStringLiteral("viewer")},
        {"", {}, QString()},
        {"https://example.org/", {}, QStringLiteral("https://example.org/")},
    };
    for (const Case& c : cases) {
        QStringList tried;
        const auto found = SearchDrives(QString::fromLatin1(c.text), [&](const QString& path) {
            tried.append(path);
            return c.existing.contains(path);
        });
        EXPECT_EQ(found, c.expected) << c.text;
        if (!c.expected) {
            EXPECT_EQ(tried.size(), 16) << "the name as written, then C..Q";
        }
    }
}

TEST(LaunchExternal, StartsProgramsAndOpensDocuments)
{
    struct Case {
        const char* name;
        QString program;
        QString parameter;
        QStringList existing;
        QList<RecordedLaunches::Launch> expected;
    };
    const QList<Case> cases = {
        {"program found on drive F, parameter as written",
         QStringLiteral("D:\\Tools\\viewer.exe "),
         QStringLiteral(" D:\\Notes\\a.txt "),
         {QStringLiteral("F:\\Tools\\viewer.exe ")},
         {{QStringLiteral("F:\\Tools\\viewer.exe"), QStringLiteral("D:\\Notes\\a.txt"), false}}},
        {"parameter found on another drive",
         QStringLiteral("/usr/bin/viewer"),
         QStringLiteral("C:\\Notes\\a.txt"),
         {QStringLiteral("E:\\Notes\\a.txt")},
         {{QStringLiteral("/usr/bin/viewer"), QStringLiteral("E:\\Notes\\a.txt"), false}}},
        {"program on no drive: nothing", QStringLiteral("D:\\gone.exe"), QStringLiteral("x"), {}, {}},
        {"empty program opens the parameter",
         QString(),
         QStringLiteral("  https://qern.example.org/ "),
         {},
         {{QString(), QStringLiteral("https://qern.example.org/"), true}}},
        {"blank program and parameter: nothing", QStringLiteral("  "), QStringLiteral(" "), {}, {}},
    };
    for (const Case& c : cases) {
        RecordedLaunches launches;
        launches.ExistingFiles = c.existing;
        LaunchExternal(c.program, c.parameter);
        ASSERT_EQ(launches.Launches.size(), c.expected.size()) << c.name;
        for (qsizetype i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(launches.Launches[i].Program, c.expected[i].Program) << c.name;
            EXPECT_EQ(launches.Launches[i].Parameter, c.expected[i].Parameter) << c.name;
            EXPECT_EQ(launches.Launches[i].Document, c.expected[i].Document) << c.name;
        }
    }
}

} // namespace
