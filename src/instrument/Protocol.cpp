#include "Protocol.h"

#include "InstrumentLink.h"

#include "shell/AppState.h"

namespace qern {

namespace {

QString hex2(int value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

} // namespace

std::optional<quint32> ParseHex(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const quint32 value = t.toUInt(&ok, 16);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

quint16 ReadSample()
{
    SendCommand(QStringLiteral("D0000"));
    const QString reply = LastReply();

    AppState& state = appState();
    if (reply == QLatin1String("Z0001")) {
        state.Tray.ShowBalloon(ProbeFaultText, TrayIcon::BalloonIcon::Error);
        state.SampleWarningShowing = true;
    } else if (state.SampleWarningShowing) {
        state.Tray.HideBalloon();
        state.SampleWarningShowing = false;
    }
    return static_cast<quint16>(ParseHex(reply.mid(2, 3)).value_or(0));
}

QStringList SoundCommands(int sound)
{
    static const QStringList table[] = {
        {},
        {"S8863"},
        {"S885E", "S8862"},
        {"S5662", "S8960"},
        {"SB660"},
        {"S6862"},
        {"S6864", "S4F62"},
        {"SD05D"},
        {"SA060"},
        {"SD05D"},
        {"SAB5D"},
        {"S905D"},
        {"S685D"},
        {"SC040"},
    };
    if (sound < 0 || sound >= int(std::size(table)))
        return {};
    return table[sound];
}

void PlaySound(int sound)
{
    for (const QString& command : SoundCommands(sound))
        SendCommand(command);
}

QString RegisterReadCommand(int reg) { return QStringLiteral("R") + hex2(reg) + QStringLiteral("00"); }

QString RegisterWriteCommand(int reg, int value)
{
    const QString digits = QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    return QStringLiteral("W") + hex2(reg) + digits.left(2);
}

QString GainCommand(int gain) { return QStringLiteral("G00") + hex2(gain); }

QString ReadRegisterText(int reg)
{
    SendCommand(RegisterReadCommand(reg));
    return LastReply().mid(3, 2);
}

} // namespace qern
