// qern-cli: the command-line companion, built from the program's own libraries.

#include "Cli.h"

#include "shell/ProductTexts.h"

#include <QCoreApplication>

#include <cstdio>

namespace qern::cli {

int Usage(Streams io, const QString& problem)
{
    if (!problem.isEmpty())
        io.err << "qern-cli: " << problem << "\n";
    io.err << "usage: qern-cli --version\n"
              "       qern-cli cipher encipher --key N TEXT\n"
              "       qern-cli cipher decipher --key N HEX\n"
              "       qern-cli settings [--data-dir DIR] [--json]\n"
              "       qern-cli instrument [--simulate[=OPTIONS]] [--data-dir DIR] [--json]\n"
              "       qern-cli analyse < measurement.json\n"
              "       qern-cli db check [--data-dir DIR]\n"
              "       qern-cli db stats [--data-dir DIR] [--json]\n";
    io.err.flush();
    return ExitUsage;
}

} // namespace qern::cli

int main(int argc, char* argv[])
{
    using namespace qern::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qern"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const Streams io{out, err};

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return Usage(io, QStringLiteral("no command given"));
    const QString command = args.takeFirst();

    int status = ExitUsage;
    if (command == QLatin1String("--version") && args.isEmpty()) {
        out << qern::Product().ProductShortName << " " << QERN_VERSION << "\n";
        status = ExitOk;
    } else if (command == QLatin1String("cipher")) {
        status = RunCipher(args, io);
    } else if (command == QLatin1String("settings")) {
        status = RunSettings(args, io);
    } else if (command == QLatin1String("instrument")) {
        status = RunInstrument(args, io);
    } else if (command == QLatin1String("analyse")) {
        status = RunAnalyse(args, io);
    } else if (command == QLatin1String("db")) {
        status = RunDb(args, io);
    } else {
        status = Usage(io, QStringLiteral("unknown command '%1'").arg(command));
    }
    out.flush();
    err.flush();
    return status;
}
