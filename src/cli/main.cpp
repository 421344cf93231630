// qern-cli: the command-line companion, built from the program's own libraries.

#include "Cli.h"

#include "shell/DataFolder.h"
#include "shell/ProductTexts.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

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
              "       qern-cli db stats [--data-dir DIR] [--json]\n"
              "       qern-cli diagram KIND --out FILE.png|FILE.pdf [--paper] [--monochrome] [--size WxH] "
              "< measurement.json\n"
              "         KIND: balance bars slopes yinyang qiblood eci nervous ryodoraku elements\n"
              "       qern-cli reference show ROW [--data-dir DIR]\n";
    io.err.flush();
    return ExitUsage;
}

bool TakeFlag(QStringList& args, const QString& flag) { return args.removeAll(flag) > 0; }

bool TakeDataDir(QStringList& args, QString& folder)
{
    folder.clear();
    const qsizetype at = args.indexOf(QStringLiteral("--data-dir"));
    if (at >= 0) {
        if (at + 1 >= args.size())
            return false;
        folder = args[at + 1];
        args.remove(at, 2);
    }
    folder = folder.isEmpty() ? DefaultDataFolder() : FolderPath(folder);
    return true;
}

} // namespace qern::cli

int main(int argc, char* argv[])
{
    using namespace qern::cli;
    // Drawing needs fonts, so a graphical application; offscreen, since the
    // companion never opens a window.
    const bool draws = argc > 1 && qstrcmp(argv[1], "diagram") == 0;
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (draws && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            // The offscreen platform's note about a missing runtime folder means nothing here.
            if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
                std::fprintf(stderr, "%s\n", qPrintable(message));
            if (type == QtFatalMsg)
                std::abort();
        });
    std::unique_ptr<QCoreApplication> app =
        draws ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
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
    } else if (command == QLatin1String("diagram")) {
        status = RunDiagram(args, io);
    } else if (command == QLatin1String("reference")) {
        status = RunReference(args, io);
    } else {
        status = Usage(io, QStringLiteral("unknown command '%1'").arg(command));
    }
    out.flush();
    err.flush();
    return status;
}
