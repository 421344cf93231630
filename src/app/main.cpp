// The desktop program: prepares the data folder, then runs the main window.

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

using namespace qern;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qern"));
    QApplication::setApplicationVersion(QStringLiteral(QERN_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QCommandLineParser parser;
    parser.setApplicationDescription(Product().ProductTitle +
                                     QStringLiteral(": skin conductance at the 24 meridian source points."));
    parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Keep settings and records in DIR instead of %1.")
                                         .arg(DefaultDataFolder()),
                                     QStringLiteral("DIR"));
    parser.addOption(version);
    parser.addOption(dataDir);
    parser.process(app);
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(Product().ProductShortName), QERN_VERSION);
        return 0;
    }

    const QString folder = parser.isSet(dataDir) ? FolderPath(parser.value(dataDir)) : DefaultDataFolder();
    appState().InstallFolder = folder;
    const ProvisionResult provisioned = ProvisionDataFolder(ShareFolder(), folder);
    if (!provisioned.Error.isEmpty())
        ShowMessageBox(6, provisioned.Error);

    TZeForm form;
    // Without a window manager "maximised" means nothing; fill the screen anyway.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return QApplication::exec();
}
