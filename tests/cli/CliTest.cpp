#include "shell/Settings.h"
#include "shell/TextCipher.h"

#include <QDir>
#include <QImage>
#include <QFile>
#include <QJsonArray>
#include <QJsonValue>
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

CliRun cli(const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    process.start(QStringLiteral(QERN_CLI), args);
    process.write(input);
    process.closeWriteChannel();
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

// One measurement of the analysis contract, as JSON.
QJsonObject measurement(double value = 50)
{
    QJsonArray raw;
    for (int i = 0; i < 24; ++i)
        raw.append(value);
    return QJsonObject{{"raw", raw},
                       {"sex", "male"},
                       {"birth_date", "1980-06-15"},
                       {"measured_at", "2025-06-01T10:00:00"},
                       {"compensation_mode", 1}};
}

CliRun analyse(const QJsonObject& input) { return cli({"analyse"}, QJsonDocument(input).toJson()); }

TEST(CliAnalyse, WorkedExampleAndEveryKey)
{
    const CliRun r = analyse(measurement());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QStringList keys = {
        "BodyEnergy", "QualityAverage", "EnergyLow", "GroupAverage", "YinAverage", "YangAverage", "UpAverage",
        "DownAverage", "LeftAverage", "RightAverage", "HighGroup", "LowGroup", "BandFactor", "UpperLimit1",
        "UpperLimit2", "LowerLimit1", "LowerLimit2", "DiffLimit1", "DiffLimit2", "Values", "Deviation",
        "PointClass", "MeridianClass", "SideClass", "CoupleAverage", "CoupleClass", "CoupleDiffClass",
        "ElementAverage", "ElementClass", "EnergyClass", "UpDownClass", "LeftRightClass", "YinYangClass",
        "NervousClass", "IntegratedIndex", "PointScore", "MeridiansIndex", "EnergyStatement", "MentalStatement",
        "SkeletalStatement", "MetabolismStatement", "NervousStatement", "AnalysisList", "DietaryList",
        "ProtocolTabList"};
    EXPECT_EQ(o.keys().size(), keys.size()) << "no SuggestedProtocols without protocols";
    for (const QString& key : keys)
        EXPECT_TRUE(o.contains(key)) << key.toStdString();
    // The keys come in the contract's order.
    qsizetype last = -1;
    for (const QString& key : keys) {
        const qsizetype at = r.out.indexOf(QLatin1Char('"') + key + QLatin1String("\":"));
        EXPECT_GT(at, last) << key.toStdString();
        last = at;
    }
    EXPECT_EQ(o.value("BodyEnergy").toDouble(), 50);
    EXPECT_NEAR(o.value("IntegratedIndex").toDouble(), 88.30, 0.005);
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"IntegratedIndex\": 88.301886792452")));
    EXPECT_EQ(o.value("GroupAverage").toArray().size(), 8);
    EXPECT_EQ(o.value("ElementClass").toArray().size(), 7);
    EXPECT_EQ(o.value("PointScore").toArray().at(23).toDouble(), 10.0);
    EXPECT_EQ(o.value("AnalysisList").toArray(), QJsonArray({13, 14, 15, 16, 17}));
    EXPECT_TRUE(o.value("EnergyLow").isBool());
    EXPECT_TRUE(o.value("PointClass").toArray().at(0).isDouble());
}

TEST(CliAnalyse, CompensationAndProtocols)
{
    QJsonObject input = measurement();
    input.remove("compensation_mode"); // built-in factors
    QJsonArray records{QJsonObject{{"ProCond", "000000000000000000000000"},
                                   {"ProAnd", "100000000000000000000000"},
                                   {"ProFlg", false},
                                   {"ProEng", 0},
                                   {"ProAGL", 0},
                                   {"ProAGH", 0}}};
    QJsonArray wood{QJsonObject{{"ProCond", "000000000000000002000000"},
                                {"ProAnd", ""},
                                {"ProFlg", true},
                                {"ProEng", 0},
                                {"ProAGL", 0},
                                {"ProAGH", 0}}};
    input.insert("protocols", QJsonArray{QJsonObject{{"name", "Normal energy"}, {"records", records}},
                                         QJsonObject{{"name", "Wood excess"}, {"records", wood}},
                                         QJsonObject{{"name", "Nothing"}, {"records", QJsonArray()}}});
    const CliRun r = analyse(input);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_DOUBLE_EQ(o.value("Values").toArray().at(13).toDouble(), 50 * 1.2424);
    EXPECT_EQ(o.value("PointClass").toArray().at(13).toInt(), 1);
    EXPECT_EQ(o.value("ElementClass").toArray().at(0).toInt(), 1) << "Wood: LR and GB at 62.12";
    EXPECT_EQ(o.value("SuggestedProtocols").toArray(), QJsonArray({"Normal energy", "Wood excess"}));
    EXPECT_EQ(o.value("AnalysisList").toArray(), QJsonArray({13, 14, 15, 16, 17, 8, 11}));
    EXPECT_EQ(o.value("ProtocolTabList").toArray(), QJsonArray({8, 11}));

    input.insert("user_coefficients", QJsonArray{2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    input.insert("compensation_mode", 2);
    input.remove("protocols");
    const QJsonObject user = QJsonDocument::fromJson(analyse(input).out.toUtf8()).object();
    EXPECT_EQ(user.value("Values").toArray().at(0).toDouble(), 100) << "left LU doubled";
    EXPECT_FALSE(user.contains("SuggestedProtocols"));
}

TEST(CliAnalyse, BadInputNamesTheProblem)
{
    QJsonObject shortRaw = measurement();
    QJsonArray raw = shortRaw.value("raw").toArray();
    raw.removeLast();
    shortRaw.insert("raw", raw);
    QJsonObject textInRaw = measurement();
    raw = textInRaw.value("raw").toArray();
    raw[3] = "fifty";
    textInRaw.insert("raw", raw);
    QJsonObject noSex = measurement();
    noSex.remove("sex");
    QJsonObject badSex = measurement();
    badSex.insert("sex", "x");
    QJsonObject badDate = measurement();
    badDate.insert("birth_date", "15.06.1980");
    QJsonObject noMeasuredAt = measurement();
    noMeasuredAt.remove("measured_at");
    QJsonObject badQuality = measurement();
    badQuality.insert("quality", QJsonArray{1, 2});
    QJsonObject badCoefficients = measurement();
    badCoefficients.insert("user_coefficients", QJsonArray{1, 2, 3});
    QJsonObject badRecord = measurement();
    badRecord.insert("protocols", QJsonArray{QJsonObject{{"name", "p"}, {"records", QJsonArray{QJsonObject{}}}}});

    const QList<std::pair<const char*, QByteArray>> cases = {
        {"not JSON", "{\"raw\": [1, 2"},
        {"not an object", "[1, 2, 3]"},
        {"23 values", QJsonDocument(shortRaw).toJson()},
        {"a text value", QJsonDocument(textInRaw).toJson()},
        {"no sex", QJsonDocument(noSex).toJson()},
        {"sex x", QJsonDocument(badSex).toJson()},
        {"a date in another form", QJsonDocument(badDate).toJson()},
        {"no measured_at", QJsonDocument(noMeasuredAt).toJson()},
        {"two qualities", QJsonDocument(badQuality).toJson()},
        {"three coefficients", QJsonDocument(badCoefficients).toJson()},
        {"an empty condition record", QJsonDocument(badRecord).toJson()},
    };
    for (const auto& [name, input] : cases) {
        const CliRun r = cli({"analyse"}, input);
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.out.isEmpty()) << name;
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << name << ": " << r.err.toStdString();
    }
}

TEST(CliDiagram, EveryKindDrawsScreenAndPaper)
{
    QTemporaryDir dir;
    const QByteArray input = QJsonDocument(measurement(47)).toJson();
    for (const char* kind : {"balance", "bars", "slopes", "yinyang", "qiblood", "eci", "nervous", "ryodoraku",
                             "elements"}) {
        const QString screen = dir.filePath(QStringLiteral("%1.png").arg(QLatin1String(kind)));
        const CliRun r = cli({"diagram", kind, "--out", screen}, input);
        ASSERT_EQ(r.status, 0) << kind << ": " << r.err.toStdString();
        const QImage image(screen);
        EXPECT_EQ(image.size(), QSize(965, 554)) << kind;
        // Something was drawn: not a blank page.
        int inked = 0;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                inked += image.pixelColor(x, y) != QColor(Qt::white);
        EXPECT_GT(inked, 200) << kind;

        const QString paper = dir.filePath(QStringLiteral("%1-paper.pdf").arg(QLatin1String(kind)));
        EXPECT_EQ(cli({"diagram", kind, "--paper", "--monochrome", "--out", paper}, input).status, 0) << kind;
        QFile pdf(paper);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << kind;
        EXPECT_TRUE(pdf.read(5) == "%PDF-") << kind;
    }
    const QString sized = dir.filePath(QStringLiteral("small.png"));
    ASSERT_EQ(cli({"diagram", "bars", "--size", "480x300", "--out", sized}, input).status, 0);
    EXPECT_EQ(QImage(sized).size(), QSize(480, 300));

    for (const QStringList& bad : QList<QStringList>{{"diagram"},
                                                     {"diagram", "pie", "--out", "x.png"},
                                                     {"diagram", "eci"},
                                                     {"diagram", "eci", "--out", "x.gif"},
                                                     {"diagram", "eci", "--size", "big", "--out", "x.png"}}) {
        const CliRun r = cli(bad, input);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("usage:"))) << bad.join(' ').toStdString();
    }
}

TEST(CliReference, ShowsEveryColumnOfARow)
{
    QTemporaryDir empty; // no data folder yet: the shipped copy is read
    const CliRun r = cli({"reference", "show", "8", "--data-dir", empty.path()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (const char* column : {"[DtEA1]", "[DtPot1]", "[DtMA1]", "[DtMH5]", "[DtML5]", "[DtGpM]"})
        EXPECT_TRUE(r.out.contains(QLatin1String(column))) << column;
    EXPECT_TRUE(r.out.contains(QStringLiteral("Liver Meridian"))) << "deciphered";
    EXPECT_EQ(cli({"reference", "show", "18"}).status, 2);
    EXPECT_EQ(cli({"reference", "list"}).status, 2);
}

} // namespace
