// The desktop program: prepares the data folder, finds the instrument (real or
// simulated), then runs the main window.

#include "analysis/window/AnalysisHooks.h"
#include "instrument/HidapiBackend.h"
#include "instrument/InstrumentHooks.h"
#include "instrument/InstrumentLink.h"
#include "instrument/SimulatedInstrument.h"
#include "measurement/MeasurementHooks.h"
#include "records/RecordWindows.h"
#include "records/RecordsHooks.h"
#include "shell/AppState.h"
#include "shell/DataFolder.h"
#include "shell/ProductTexts.h"
#include "shell/Ze2main.h"
#include "shell/ZeMsg.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QStyleFactory>

#include <cstdio>
#include <memory>
#include <optional>

using namespace qern;

namespace {

// "--simulate" takes an optional value, which the command-line parser cannot
// express: take "--simulate=OPTIONS" out first and leave the bare flag.
std::optional<QString> takeSimulateOption(QStringList& args)
{
    std::optional<QString> options;
    for (QString& arg : args) {
        if (arg == QLatin1String("--simulate")) {
            options = QString();
        } else if (arg.startsWith(QLatin1String("--simulate="))) {
            options = arg.mid(int(qstrlen("--simulate=")));
            arg = QStringLiteral("--simulate");
        }
    }
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qern"));
    QApplication::setApplicationVersion(QStringLiteral(QERN_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QStringList args = QApplication::arguments();
    const std::optional<QString> simulation = takeSimulateOption(args);

    QCommandLineParser parser;
    parser.setApplicationDescription(Product().ProductTitle +
                                     QStringLiteral(": skin conductance at the 24 meridian source points.\n\n") +
                                     SimulationOptions::Help());
    parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Keep settings and records in DIR instead of %1.")
                                         .arg(DefaultDataFolder()),
                                     QStringLiteral("DIR"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Run on the simulated instrument instead of the USB device; --simulate=OPTIONS chooses "
                       "its behaviour (below)."));
    parser.addOption(version);
    parser.addOption(dataDir);
    parser.addOption(simulate);
    parser.process(args);
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(Product().ProductShortName), QERN_VERSION);
        return 0;
    }

    std::optional<SimulationOptions> simulationOptions;
    if (simulation) {
        QString error;
        simulationOptions = SimulationOptions::Parse(*simulation, &error);
        if (!simulationOptions) {
            std::fprintf(stderr, "qern: %s\n\n%s", qPrintable(error), qPrintable(SimulationOptions::Help()));
            return 2;
        }
    }

    const QString folder = parser.isSet(dataDir) ? FolderPath(parser.value(dataDir)) : DefaultDataFolder();
    appState().InstallFolder = folder;
    const ProvisionResult provisioned = ProvisionDataFolder(ShareFolder(), folder);
    if (!provisioned.Error.isEmpty())
        ShowMessageBox(6, provisioned.Error);

    std::unique_ptr<HidBackend> backend;
    if (simulationOptions) {
        simulationOptions->BankFile = folder + QStringLiteral("simulated-instrument.json");
        backend = std::make_unique<SimulatedInstrument>(*simulationOptions);
    } else {
        backend = std::make_unique<HidapiBackend>();
    }
    InstrumentLink link(*backend);
    InstallInstrumentHooks(link);
    InstallMeasurementWindow();
    InstallRecordsHooks();
    InstallRecordWindows();
    InstallAnalysisWindow();

    TZeForm form;
    // Without a window manager "maximised" means nothing; fill the screen anyway.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return QApplication::exec();
}
