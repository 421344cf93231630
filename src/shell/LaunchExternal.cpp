#include "LaunchExternal.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace qern {

namespace {

LaunchPlatform systemPlatform()
{
    LaunchPlatform platform;
    platform.FileExists = [](const QString& path) { return QFileInfo::exists(path); };
    platform.StartProgram = [](const QString& program, const QString& parameter) {
        QProcess::startDetached(program, QProcess::splitCommand(parameter));
    };
    platform.OpenDocument = [](const QString& target) {
        const QFileInfo file(target);
        QDesktopServices::openUrl(file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath())
                                                : QUrl::fromUserInput(target));
    };
    return platform;
}

LaunchPlatform g_platform = systemPlatform();

} // namespace

LaunchPlatform& launchPlatform() { return g_platform; }
void resetLaunchPlatform() { g_platform = systemPlatform(); }

std::optional<QString> SearchDrives(const QString& text, const std::function<bool(const QString&)>& exists)
{
    qsizetype colon = -1;
    if (text.size() > 1 && text[1] == QLatin1Char(':'))
        colon = 1;
    else if (text.size() > 2 && text[2] == QLatin1Char(':'))
        colon = 2;
    if (colon < 0 || exists(text))
        return text;
    const qsizetype letter = colon - 1;
    QString candidate = text;
    for (const QChar drive : QStringLiteral("CDEFGHIJKLMNOPQ")) {
        candidate[letter] = drive;
        if (exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

void LaunchExternal(const QString& program, const QString& parameter)
{
    const LaunchPlatform& platform = launchPlatform();
    const std::optional<QString> found = SearchDrives(program, platform.FileExists);
    if (!found)
        return;
    const QString programText = found->trimmed();
    const QString parameterText = SearchDrives(parameter, platform.FileExists).value_or(parameter).trimmed();

    if (!programText.isEmpty())
        platform.StartProgram(programText, parameterText);
    else if (!parameterText.isEmpty())
        platform.OpenDocument(parameterText);
}

} // namespace qern
