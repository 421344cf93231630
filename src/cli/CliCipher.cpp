// qern-cli cipher encipher|decipher --key N VALUE

#include "Cli.h"

#include "shell/TextCipher.h"

#include <QRegularExpression>

namespace qern::cli {

int RunCipher(const QStringList& args, Streams io)
{
    if (args.isEmpty())
        return Usage(io, QStringLiteral("cipher needs 'encipher' or 'decipher'"));
    const QString verb = args.first();
    if (verb != QLatin1String("encipher") && verb != QLatin1String("decipher"))
        return Usage(io, QStringLiteral("unknown cipher operation '%1'").arg(verb));

    int key = 0;
    QStringList values;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--key")) {
            if (i + 1 >= args.size())
                return Usage(io, QStringLiteral("--key needs a number"));
            bool ok = false;
            key = args[++i].toInt(&ok);
            if (!ok)
                key = 0;
        } else {
            values.append(args[i]);
        }
    }
    if (key < 1 || key > TextCipher::KeyCount)
        return Usage(io, QStringLiteral("--key must be a number from 1 to %1").arg(TextCipher::KeyCount));
    if (values.size() != 1)
        return Usage(io, QStringLiteral("cipher %1 takes exactly one text").arg(verb));

    const QString value = values.first();
    if (verb == QLatin1String("encipher")) {
        io.out << Encipher(value, key) << "\n";
        return ExitOk;
    }
    static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    if (!hex.match(value).hasMatch())
        return Usage(io, QStringLiteral("'%1' is not an even number of hexadecimal digits").arg(value));
    io.out << Decipher(value, key) << "\n";
    return ExitOk;
}

} // namespace qern::cli
