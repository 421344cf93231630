#include "shell/Settings.h"
#include "shell/TextCipher.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qern;

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(QERN_CLI), args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void writePlainLines(const QString& path, const QStringList& lines)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (const QString& line : lines)
        f.write(Encipher(line, 5).toLatin1() + "\r\n");
}

TEST(Cli, VersionNamesTheProduct)
{
    const CliRun r = cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Q.E.R.N. "))) << r.out.toStdString();
}

TEST(Cli, CipherRoundTrip)
{
    const CliRun first = cli({"cipher", "encipher", "--key", "5", "A"});
    ASSERT_EQ(first.status, 0);
    const QString hex = first.out.trimmed();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{4}$")).match(hex).hasMatch()) << hex.toStdString();

    const CliRun back = cli({"cipher", "decipher", "--key", "5", hex});
    EXPECT_EQ(back.status, 0);
    EXPECT_EQ(back.out, QStringLiteral("A\n"));

    const CliRun text = cli({"cipher", "encipher", "--key", "1", "Lung Meridian(LU)"});
    EXPECT_EQ(Decipher(text.out.trimmed(), 1), QStringLiteral("Lung Meridian(LU)"));
}

TEST(Cli, BadArgumentsGiveUsageAndStatusTwo)
{
    const QList<QStringList> bad = {
        {},
        {"frobnicate"},
        {"cipher"},
        {"cipher", "rot13", "--key", "5", "A"},
        {"cipher", "encipher", "A"},
        {"cipher", "encipher", "--key", "8", "A"},
        {"cipher", "encipher", "--key", "five", "A"},
        {"cipher", "encipher", "--key", "5"},
        {"cipher", "encipher", "--key", "5", "A", "B"},
        {"cipher", "decipher", "--key", "5", "XYZ"},
        {"settings", "--data-dir"},
        {"settings", "--yaml"},
    };
    for (const QStringList& args : bad) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("usage:"))) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
    }
}

TEST(Cli, SettingsAfterTheReadRulesWithoutWriting)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsFileName);
    QStringList lines = SettingsToLines(DefaultSettings());
    lines[0] = QStringLiteral("1500");
    lines[26] = QString();
    lines[54] = QStringLiteral("9");
    lines[65] = QStringLiteral("0.8541");
    lines.removeLast();
    writePlainLines(path, lines);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    const CliRun json = cli({"settings", "--data-dir", dir.path(), "--json"});
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(o.value("ProbeFullScaleNormal").toInt(), 4000);
    EXPECT_EQ(o.value("LinkFlags").toString(), QStringLiteral("000000"));
    EXPECT_EQ(o.value("IntegratedDisplay").toInt(), 1);
    EXPECT_EQ(o.value("Spare13").toBool(), true);
    EXPECT_EQ(o.value("Spare52").toInt(), 0);
    EXPECT_EQ(o.value("LinkProgram2").toString(), QStringLiteral("wmplayer.exe"));
    const QJsonArray order = o.value("MeridianOrder").toArray();
    ASSERT_EQ(order.size(), 12);
    EXPECT_EQ(order[2].toInt(), 9);
    const QJsonArray coefficients = o.value("UserCoefficients").toArray();
    ASSERT_EQ(coefficients.size(), 12);
    EXPECT_DOUBLE_EQ(coefficients[0].toDouble(), 0.8541);
    EXPECT_EQ(o.size(), 56) << "78 lines, each twelve-value list counted once";

    const CliRun text = cli({"settings", "--data-dir", dir.path()});
    ASSERT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("\nProbeFullScaleNormal: 4000\n")) ||
                text.out.startsWith(QStringLiteral("ProbeFullScaleNormal: 4000\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("\nMeridianOrder: 1 2 9 4 5 6 7 8 9 10 11 12\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("\nSpare12: 11000\n")));

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before) << "nothing is written";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(Cli, SettingsOfAFolderWithoutAFileShowDefaultsAndCreateNothing)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("not-yet"));
    const CliRun r = cli({"settings", "--data-dir", folder, "--json"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).object().value("LinkFlags").toString(),
              QStringLiteral("111000"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("no settings file")));
    EXPECT_FALSE(QFileInfo::exists(folder));
}

} // namespace
