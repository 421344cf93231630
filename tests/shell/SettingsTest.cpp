#include "support/TestSupport.h"

#include "shell/AppState.h"
#include "shell/Settings.h"
#include "shell/TextCipher.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace qern;
using qern::test::TempDataFolder;

namespace {

QString today() { return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat); }

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// A settings file holding `lines` (plain text, enciphered here), CR LF ended.
void writePlainLines(const QString& path, const QStringList& lines)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (const QString& line : lines)
        f.write(Encipher(line, 5).toLatin1() + "\r\n");
}

QStringList decipheredLines(const QString& path)
{
    QStringList plain;
    const QList<QByteArray> raw = readBytes(path).split('\n');
    for (const QByteArray& line : raw)
        if (!line.isEmpty())
            plain.append(Decipher(QString::fromLatin1(line).trimmed(), 5));
    return plain;
}

TEST(SettingsFile, FreshFileHas78EncipheredCrLfLines)
{
    TempDataFolder folder;
    ASSERT_TRUE(LoadOrCreateSettings().Ok);

    const QByteArray bytes = readBytes(SettingsPath());
    EXPECT_EQ(bytes.count("\r\n"), SettingsLineCount);
    EXPECT_EQ(bytes.count('\n'), SettingsLineCount);
    EXPECT_TRUE(bytes.endsWith("\r\n"));

    const QStringList plain = decipheredLines(SettingsPath());
    ASSERT_EQ(plain.size(), SettingsLineCount);
    EXPECT_EQ(plain, SettingsToLines(DefaultSettings()));
    EXPECT_EQ(plain[0], QStringLiteral("4000"));
    EXPECT_EQ(plain[6], today());
    EXPECT_EQ(plain[26], QStringLiteral("111000"));
    EXPECT_EQ(plain[45], QStringLiteral("https://qern.example.org/"));
    EXPECT_EQ(plain[77], QStringLiteral("1"));
    EXPECT_EQ(appState().Settings.CalibrationDate, today());
}

// Each row: a line number, the deciphered text found there, and what the
// setting reads as. Every other line is left empty.
TEST(SettingsFile, PerLineReadRules)
{
    struct Case {
        int line;
        QString text;
        std::function<QVariant(const Settings&)> field;
        QVariant expected;
    };
    const auto i = [](int v) { return QVariant(v); };
    const auto d = [](double v) { return QVariant(v); };
    const auto s = [](const char* v) { return QVariant(QString::fromUtf8(v)); };
    const Settings defaults = DefaultSettings();

    const std::vector<Case> cases = {
        {1, "1500", [](auto& x) { return QVariant(x.ProbeFullScaleNormal); }, i(4000)},
        {1, "1999", [](auto& x) { return QVariant(x.ProbeFullScaleNormal); }, i(4000)},
        {1, "2000", [](auto& x) { return QVariant(x.ProbeFullScaleNormal); }, i(2000)},
        {1, " 3950 ", [](auto& x) { return QVariant(x.ProbeFullScaleNormal); }, i(3950)},
        {2, "abc", [](auto& x) { return QVariant(x.ProbeFullScaleHigh); }, i(4000)},
        {3, "-5", [](auto& x) { return QVariant(x.ElectrodeFullScaleNormal); }, i(4000)},
        {4, "", [](auto& x) { return QVariant(x.ElectrodeFullScaleHigh); }, i(4000)},
        {5, "  0101  ", [](auto& x) { return QVariant(x.PrintOptions); }, s("0101")},
        {5, "", [](auto& x) { return QVariant(x.PrintOptions); }, QVariant(DefaultPrintOptions)},
        {6, "1.5", [](auto& x) { return QVariant(x.Sensitivity); }, d(1.5)},
        {6, "2,5", [](auto& x) { return QVariant(x.Sensitivity); }, d(2.5)},
        {6, "many", [](auto& x) { return QVariant(x.Sensitivity); }, d(1.0)},
        {6, "nan", [](auto& x) { return QVariant(x.Sensitivity); }, d(1.0)},
        {7, "", [](auto& x) { return QVariant(x.CalibrationDate); }, QVariant(today())},
        {7, " 3/4/2026 ", [](auto& x) { return QVariant(x.CalibrationDate); }, s("3/4/2026")},
        {8, "   ", [](auto& x) { return QVariant(x.UserCaption); }, QVariant(defaults.UserCaption)},
        {10, " Dr. Lin's Practice ", [](auto& x) { return QVariant(x.ReportTitle2); }, s("Dr. Lin's Practice")},
        {12, "", [](auto& x) { return QVariant(x.Spare12); }, s("11000")},
        {13, "1", [](auto& x) { return QVariant(x.Spare13); }, QVariant(true)},
        {13, "", [](auto& x) { return QVariant(x.Spare13); }, QVariant(false)},
        {14, "yes", [](auto& x) { return QVariant(x.Spare14); }, QVariant(false)},
        {15, "x", [](auto& x) { return QVariant(x.Spare15); }, i(2)},
        {18, "3", [](auto& x) { return QVariant(x.PictureStyle); }, i(3)},
        {19, "", [](auto& x) { return QVariant(x.SoundMode); }, i(1)},
        {25, "?", [](auto& x) { return QVariant(x.SettleTime); }, i(2000)},
        {26, "", [](auto& x) { return QVariant(x.AverageTime); }, i(500)},
        {27, "", [](auto& x) { return QVariant(x.LinkFlags); }, s("000000")},
        {27, " 101 ", [](auto& x) { return QVariant(x.LinkFlags); }, s("101")},
        {28, "  My link ", [](auto& x) { return QVariant(x.LinkCaption[1]); }, s("  My link ")},
        {35, "", [](auto& x) { return QVariant(x.LinkDescription[2]); }, s("")},
        {41, " D:\\Tools\\viewer.exe", [](auto& x) { return QVariant(x.LinkProgram[2]); },
         s(" D:\\Tools\\viewer.exe")},
        {53, "x", [](auto& x) { return QVariant(x.MeridianOrder[1]); }, i(1)},
        {60, "x", [](auto& x) { return QVariant(x.MeridianOrder[8]); }, i(8)},
        {60, "3", [](auto& x) { return QVariant(x.MeridianOrder[8]); }, i(3)},
        {65, "2", [](auto& x) { return QVariant(x.CompensationMode); }, i(2)},
        {65, "", [](auto& x) { return QVariant(x.CompensationMode); }, i(0)},
        {66, "0.75", [](auto& x) { return QVariant(x.UserCoefficients[1]); }, d(0.75)},
        {77, "bad", [](auto& x) { return QVariant(x.UserCoefficients[12]); }, d(1.0)},
        {78, "", [](auto& x) { return QVariant(x.IntegratedDisplay); }, i(1)},
        {78, "2", [](auto& x) { return QVariant(x.IntegratedDisplay); }, i(2)},
    };

    for (const Case& c : cases) {
        QStringList lines;
        for (int n = 1; n <= SettingsLineCount; ++n)
            lines.append(n == c.line ? c.text : QString());
        EXPECT_EQ(c.field(SettingsFromLines(lines)), c.expected)
            << "line " << c.line << " reading \"" << c.text.toStdString() << "\"";
    }
}

TEST(SettingsFile, ShortEmptyAndDamagedFilesHeal)
{
    TempDataFolder folder;
    const QString path = folder.File(SettingsFileName);

    QStringList lines = SettingsToLines(DefaultSettings());
    lines[0] = QStringLiteral("3900");
    lines[77 - 1] = QStringLiteral("0.5");
    lines[78 - 1] = QStringLiteral("0");
    lines.removeLast();
    writePlainLines(path, lines);
    Settings s;
    ASSERT_TRUE(ReadSettingsFile(path, s).Ok);
    EXPECT_EQ(s.ProbeFullScaleNormal, 3900);
    EXPECT_EQ(s.UserCoefficients[12], 0.5);
    EXPECT_EQ(s.IntegratedDisplay, 1) << "a 77-line file";

    writePlainLines(path, {});
    ASSERT_TRUE(ReadSettingsFile(path, s).Ok);
    EXPECT_EQ(s.LinkFlags, QStringLiteral("000000"));
    EXPECT_EQ(s.ProbeFullScaleNormal, 4000);
    EXPECT_EQ(s.CalibrationDate, today());

    // A line that is not cipher text reads as empty and takes its default;
    // the lines around it are unaffected, and LF-only line ends read too.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Encipher(QStringLiteral("2500"), 5).toLatin1() + "\n");
    f.write("not cipher text\n");
    f.write(Encipher(QStringLiteral("3100"), 5).toLatin1() + "\n");
    f.close();
    ASSERT_TRUE(ReadSettingsFile(path, s).Ok);
    EXPECT_EQ(s.ProbeFullScaleNormal, 2500);
    EXPECT_EQ(s.ProbeFullScaleHigh, 4000);
    EXPECT_EQ(s.ElectrodeFullScaleNormal, 3100);
}

TEST(SettingsFile, EveryValueSurvivesWriteAndRead)
{
    TempDataFolder folder;
    Settings s = DefaultSettings();
    s.ProbeFullScaleNormal = 3987;
    s.ElectrodeFullScaleHigh = 2001;
    s.PrintOptions = QStringLiteral("111111111111111111111111111111111111111111");
    s.Sensitivity = 0.35;
    s.CalibrationDate = QStringLiteral("2026-01-31");
    s.UserCaption = QStringLiteral("Praxis M\u00FCller \u7CFB\u7D71");
    s.Spare13 = false;
    s.Spare16 = 12.25;
    s.SoundMode = 2;
    s.LinkFlags = QStringLiteral("010101");
    s.LinkCaption[6] = QStringLiteral(" spaced ");
    s.LinkProgram[4] = QStringLiteral("/usr/bin/xdg-open");
    s.LinkParameter[4] = QStringLiteral("--flag \"a b\"");
    s.MeridianOrder[12] = 1;
    s.CompensationMode = 2;
    s.UserCoefficients[5] = 1.0789;
    s.IntegratedDisplay = 0;

    const QString path = folder.File(SettingsFileName);
    ASSERT_TRUE(WriteSettingsFile(path, s).Ok);
    Settings back;
    ASSERT_TRUE(ReadSettingsFile(path, back).Ok);
    EXPECT_TRUE(back == s);
    EXPECT_EQ(back.UserCaption, s.UserCaption);
    EXPECT_EQ(back.UserCoefficients[5], 1.0789);
}

TEST(SettingsFile, StartUpReadsAnExistingFileWithoutRewritingIt)
{
    TempDataFolder folder;
    QStringList lines = SettingsToLines(DefaultSettings());
    lines[64] = QStringLiteral("1");
    writePlainLines(SettingsPath(), lines);
    const QByteArray before = readBytes(SettingsPath());

    ASSERT_TRUE(LoadOrCreateSettings().Ok);
    EXPECT_EQ(readBytes(SettingsPath()), before);
    EXPECT_EQ(appState().Settings.CompensationMode, 1);
    EXPECT_EQ(appState().MeridianCoefficients, Coefficients(1.0));
}

TEST(SettingsFile, UnreadableFileLeavesDefaultsAndCoefficientsInForce)
{
    TempDataFolder folder;
    ASSERT_TRUE(QDir().mkpath(SettingsPath())); // a folder where the file should be
    appState().Settings.SoundMode = 0;
    appState().MeridianCoefficients = Coefficients(7.0);

    const FileResult result = LoadOrCreateSettings();
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_TRUE(appState().Settings == DefaultSettings());
    EXPECT_EQ(appState().MeridianCoefficients, BuiltInCoefficients);

    EXPECT_FALSE(WriteSettings().Ok);
    EXPECT_EQ(appState().MeridianCoefficients, BuiltInCoefficients);
}

// A write that fails part way (here: the file size limit stands in for a full
// disk) must leave the previous file whole.
TEST(SettingsFile, FailedWriteLeavesThePreviousFile)
{
    TempDataFolder folder;
    ASSERT_TRUE(LoadOrCreateSettings().Ok);
    const QByteArray before = readBytes(SettingsPath());
    ASSERT_EQ(before.size() > 512, true);

    appState().Settings.UserCaption = QString(2000, QLatin1Char('x'));
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult result = WriteSettings();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result.Ok);
    EXPECT_EQ(readBytes(SettingsPath()), before);
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList{SettingsFileName}) << "no temporary file left";
}

} // namespace
