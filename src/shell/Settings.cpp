#include "Settings.h"

#include "AppState.h"
#include "ProductTexts.h"
#include "TextCipher.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <cmath>
#include <optional>

namespace qern {

namespace {

constexpr int SettingsKey = 5;

QString today() { return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat); }

std::optional<int> parseInt(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Decimals are written with a point whatever the locale; a comma is accepted
// on reading so that a file written under a comma locale still reads back.
std::optional<double> parseDecimal(const QString& text)
{
    QString t = text.trimmed();
    if (!t.contains(QLatin1Char('.')))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatDecimal(double value) { return QString::number(value, 'g', 15); }

// Line builders. `get` is a generic lambda returning a reference to the field,
// usable on both const and mutable settings.
template <typename Get>
SettingsLine intLine(const QString& name, Get get, int fallback, int index = 0)
{
    return {name, index, [get, fallback](Settings& s, const QString& line) { get(s) = parseInt(line).value_or(fallback); },
            [get](const Settings& s) { return QString::number(get(s)); },
            [get](const Settings& s) { return QJsonValue(get(s)); }};
}

// Full-scale counts: a value below 2000 means a damaged calibration.
template <typename Get>
SettingsLine fullScaleLine(const QString& name, Get get)
{
    SettingsLine line = intLine(name, get, 4000);
    line.Read = [get](Settings& s, const QString& text) {
        const int value = parseInt(text).value_or(4000);
        get(s) = value < 2000 ? 4000 : value;
    };
    return line;
}

template <typename Get>
SettingsLine decimalLine(const QString& name, Get get, double fallback, int index = 0)
{
    return {name, index,
            [get, fallback](Settings& s, const QString& line) { get(s) = parseDecimal(line).value_or(fallback); },
            [get](const Settings& s) { return formatDecimal(get(s)); },
            [get](const Settings& s) { return QJsonValue(get(s)); }};
}

template <typename Get>
SettingsLine flagLine(const QString& name, Get get)
{
    return {name, 0, [get](Settings& s, const QString& line) { get(s) = line.trimmed() == QLatin1String("1"); },
            [get](const Settings& s) { return QString::fromLatin1(get(s) ? "1" : "0"); },
            [get](const Settings& s) { return QJsonValue(get(s)); }};
}

// Trimmed; an empty line takes `whenEmpty()`.
template <typename Get>
SettingsLine textLine(const QString& name, Get get, std::function<QString()> whenEmpty)
{
    return {name, 0,
            [get, whenEmpty](Settings& s, const QString& line) {
                const QString t = line.trimmed();
                get(s) = t.isEmpty() ? whenEmpty() : t;
            },
            [get](const Settings& s) { return get(s); }, [get](const Settings& s) { return QJsonValue(get(s)); }};
}

// Taken exactly as deciphered.
template <typename Get>
SettingsLine asReadLine(const QString& name, Get get, int index)
{
    return {name, index, [get](Settings& s, const QString& line) { get(s) = line; },
            [get](const Settings& s) { return get(s); }, [get](const Settings& s) { return QJsonValue(get(s)); }};
}

std::function<QString()> fixed(const QString& text)
{
    return [text] { return text; };
}

std::vector<SettingsLine> buildLines()
{
    const Settings d = DefaultSettings();
    std::vector<SettingsLine> lines;
    lines.reserve(SettingsLineCount);

#define FIELD(f) [](auto& s) -> auto& { return s.f; }
    lines.push_back(fullScaleLine("ProbeFullScaleNormal", FIELD(ProbeFullScaleNormal)));
    lines.push_back(fullScaleLine("ProbeFullScaleHigh", FIELD(ProbeFullScaleHigh)));
    lines.push_back(fullScaleLine("ElectrodeFullScaleNormal", FIELD(ElectrodeFullScaleNormal)));
    lines.push_back(fullScaleLine("ElectrodeFullScaleHigh", FIELD(ElectrodeFullScaleHigh)));
    lines.push_back(textLine("PrintOptions", FIELD(PrintOptions), fixed(DefaultPrintOptions)));
    lines.push_back(decimalLine("Sensitivity", FIELD(Sensitivity), 1.0));
    lines.push_back(textLine("CalibrationDate", FIELD(CalibrationDate), today));
    lines.push_back(textLine("UserCaption", FIELD(UserCaption), fixed(d.UserCaption)));
    lines.push_back(textLine("ReportTitle1", FIELD(ReportTitle1), fixed(d.ReportTitle1)));
    lines.push_back(textLine("ReportTitle2", FIELD(ReportTitle2), fixed(d.ReportTitle2)));
    lines.push_back(textLine("ReportTitle3", FIELD(ReportTitle3), fixed(d.ReportTitle3)));
    lines.push_back(textLine("Spare12", FIELD(Spare12), fixed(QStringLiteral("11000"))));
    lines.push_back(flagLine("Spare13", FIELD(Spare13)));
    lines.push_back(flagLine("Spare14", FIELD(Spare14)));
    lines.push_back(intLine("Spare15", FIELD(Spare15), 2));
    lines.push_back(decimalLine("Spare16", FIELD(Spare16), 0.0));
    lines.push_back(flagLine("Spare17", FIELD(Spare17)));
    lines.push_back(intLine("PictureStyle", FIELD(PictureStyle), 1));
    lines.push_back(intLine("SoundMode", FIELD(SoundMode), 1));
    lines.push_back(intLine("CalibrationSoundMode", FIELD(CalibrationSoundMode), 1));
    lines.push_back(intLine("Spare21", FIELD(Spare21), 1));
    lines.push_back(intLine("AutoAdvance", FIELD(AutoAdvance), 1));
    lines.push_back(intLine("InputChannel", FIELD(InputChannel), 0));
    lines.push_back(intLine("CustomTiming", FIELD(CustomTiming), 0));
    lines.push_back(intLine("SettleTime", FIELD(SettleTime), 2000));
    lines.push_back(intLine("AverageTime", FIELD(AverageTime), 500));
    // An empty flag line hides every button, unlike a fresh file's "111000".
    lines.push_back(textLine("LinkFlags", FIELD(LinkFlags), fixed(QStringLiteral("000000"))));
    for (int k = 1; k <= 6; ++k)
        lines.push_back(asReadLine("LinkCaption", [k](auto& s) -> auto& { return s.LinkCaption[k]; }, k));
    for (int k = 1; k <= 6; ++k)
        lines.push_back(asReadLine("LinkDescription", [k](auto& s) -> auto& { return s.LinkDescription[k]; }, k));
    for (int k = 1; k <= 6; ++k)
        lines.push_back(asReadLine("LinkProgram", [k](auto& s) -> auto& { return s.LinkProgram[k]; }, k));
    for (int k = 1; k <= 6; ++k)
        lines.push_back(asReadLine("LinkParameter", [k](auto& s) -> auto& { return s.LinkParameter[k]; }, k));
    lines.push_back(intLine("Spare52", FIELD(Spare52), 0));
    for (int k = 1; k <= MeridianCount; ++k)
        lines.push_back(intLine("MeridianOrder", [k](auto& s) -> auto& { return s.MeridianOrder[k]; }, k, k));
    lines.push_back(intLine("CompensationMode", FIELD(CompensationMode), 0));
    for (int k = 1; k <= MeridianCount; ++k)
        lines.push_back(
            decimalLine("UserCoefficients", [k](auto& s) -> auto& { return s.UserCoefficients[k]; }, 1.0, k));
    lines.push_back(intLine("IntegratedDisplay", FIELD(IntegratedDisplay), 1));
#undef FIELD

    return lines;
}

void selectCoefficientsInForce()
{
    AppState& state = appState();
    state.MeridianCoefficients =
        SelectCoefficients(state.Settings.CompensationMode, state.Settings.UserCoefficients);
}

} // namespace

Settings DefaultSettings()
{
    const ProductTexts& product = Product();
    Settings s;
    s.CalibrationDate = today();
    s.UserCaption = product.ProductShortName + QStringLiteral(" Meridian Energy Analysis System");
    s.ReportTitle1 = QStringLiteral("Q.E.R.N Analysis Data Report");
    s.ReportTitle2 = QStringLiteral("Meridian Energy Practice");
    s.ReportTitle3 = QStringLiteral("Practice address and telephone (System / User Setup)");
    s.LinkDescription = {product.ProductShortName + QStringLiteral(" Internet Web Site"),
                         QStringLiteral("Start Up MediaPlayer"), QStringLiteral("Word Processor"), {}, {}, {}};
    s.LinkProgram = {{}, QStringLiteral("wmplayer.exe"), QStringLiteral("winword.exe"), {}, {}, {}};
    s.LinkParameter = {product.WebAddress, {}, {}, {}, {}, {}};
    return s;
}

const std::vector<SettingsLine>& SettingsLines()
{
    static const std::vector<SettingsLine> lines = buildLines();
    return lines;
}

Settings SettingsFromLines(const QStringList& lines)
{
    Settings settings = DefaultSettings();
    const auto& rules = SettingsLines();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const qsizetype n = static_cast<qsizetype>(i);
        rules[i].Read(settings, n < lines.size() ? lines[n] : QString());
    }
    return settings;
}

QStringList SettingsToLines(const Settings& settings)
{
    QStringList lines;
    for (const SettingsLine& rule : SettingsLines())
        lines.append(rule.Write(settings));
    return lines;
}

FileResult ReadSettingsFile(const QString& path, Settings& settings)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        settings = DefaultSettings();
        return {false, file.errorString()};
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        settings = DefaultSettings();
        return {false, file.errorString()};
    }

    QStringList plain;
    for (const QByteArray& raw : data.split('\n')) {
        if (plain.size() == SettingsLineCount)
            break;
        plain.append(Decipher(QString::fromLatin1(raw).trimmed(), SettingsKey));
    }
    settings = SettingsFromLines(plain);
    return {};
}

FileResult WriteSettingsFile(const QString& path, const Settings& settings)
{
    QByteArray data;
    for (const QString& line : SettingsToLines(settings)) {
        data += Encipher(line, SettingsKey).toLatin1();
        data += "\r\n";
    }

    // Unbuffered, so that a short write (full disk) is seen here: a buffered
    // QSaveFile lets a partial flush pass and commits a truncated file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    if (file.write(data) != data.size()) {
        const QString error = file.error() == QFileDevice::NoError ? QStringLiteral("the disk is full")
                                                                    : file.errorString();
        file.cancelWriting();
        return {false, error};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {};
}

QString SettingsPath() { return appState().InstallFolder + SettingsFileName; }

FileResult ReadSettings()
{
    const FileResult result = ReadSettingsFile(SettingsPath(), appState().Settings);
    selectCoefficientsInForce();
    return result;
}

FileResult WriteSettings()
{
    const FileResult result = WriteSettingsFile(SettingsPath(), appState().Settings);
    selectCoefficientsInForce();
    return result;
}

FileResult LoadOrCreateSettings()
{
    if (QFileInfo::exists(SettingsPath()))
        return ReadSettings();
    appState().Settings = DefaultSettings();
    return WriteSettings();
}

} // namespace qern
