// qern-cli instrument [--simulate[=OPTIONS]] [--data-dir DIR] [--json]: the
// support check for "the program cannot find the device".

#include "Cli.h"

#include "instrument/HidapiBackend.h"
#include "instrument/InstrumentLink.h"
#include "instrument/Registers.h"
#include "instrument/SimulatedInstrument.h"
#include "shell/AppState.h"
#include "shell/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <optional>

namespace qern::cli {

int RunInstrument(const QStringList& args, Streams io)
{
    QStringList options = args;
    QString folder;
    if (!TakeDataDir(options, folder))
        return Usage(io, QStringLiteral("--data-dir needs a folder"));
    const bool json = TakeFlag(options, QStringLiteral("--json"));
    std::optional<QString> simulation;
    for (const QString& option : options) {
        if (option == QLatin1String("--simulate"))
            simulation = QString();
        else if (option.startsWith(QLatin1String("--simulate=")))
            simulation = option.section(QLatin1Char('='), 1);
        else
            return Usage(io, QStringLiteral("unknown instrument option '%1'").arg(option));
    }

    std::unique_ptr<HidBackend> backend;
    HidapiBackend* hardware = nullptr;
    if (simulation) {
        QString error;
        std::optional<SimulationOptions> options = SimulationOptions::Parse(*simulation, &error);
        if (!options)
            return Usage(io, error);
        // The simulated counter lives with the program's data; a check never
        // creates a data folder of its own accord.
        if (QFileInfo(folder).isDir())
            options->BankFile = folder + QStringLiteral("simulated-instrument.json");
        backend = std::make_unique<SimulatedInstrument>(*options);
    } else {
        auto real = std::make_unique<HidapiBackend>();
        hardware = real.get();
        backend = std::move(real);
    }

    InstrumentLink link(*backend);
    SetInstrumentLink(&link);
    link.InstallDeviceChangeHandler();

    const AppState& state = appState();
    const bool found = link.Instrument() != nullptr;
    const bool online = found && !state.HardwareVersion.isEmpty();
    QString problem;
    if (!found) {
        problem = QStringLiteral("No instrument found (USB vendor id C925, product id A13F).");
        if (hardware && !hardware->LastOpenError().isEmpty())
            problem += QStringLiteral(" One was found but could not be opened: ") + hardware->LastOpenError() +
                       QStringLiteral(" Install packaging/70-qern-instrument.rules (see the README).");
    } else if (!online) {
        problem = QStringLiteral("The instrument answers with an empty hardware version: USB connection error.");
    } else if (state.InstrumentIdentity.isEmpty()) {
        problem = QStringLiteral("The instrument is on line but does not answer commands.");
    }
    // -1: the counter did not answer.
    qint64 counter = -1;
    if (online)
        if (const std::optional<quint32> read = ReadMeasurementCounter())
            counter = qint64(*read);

    if (json) {
        QJsonObject o;
        o.insert(QStringLiteral("found"), found);
        o.insert(QStringLiteral("online"), online);
        if (found) {
            o.insert(QStringLiteral("HardwareVersion"), state.HardwareVersion);
            o.insert(QStringLiteral("DeviceCalibration"), state.DeviceCalibration);
            o.insert(QStringLiteral("InstrumentIdentity"), state.InstrumentIdentity);
            o.insert(QStringLiteral("DeviceFullScaleNormal"), state.DeviceFullScaleNormal);
            o.insert(QStringLiteral("DeviceFullScaleHigh"), state.DeviceFullScaleHigh);
            o.insert(QStringLiteral("MeasurementCounter"), counter >= 0 ? QJsonValue(counter) : QJsonValue());
        }
        if (!problem.isEmpty())
            o.insert(QStringLiteral("problem"), problem);
        io.out << QJsonDocument(o).toJson(QJsonDocument::Indented);
    } else {
        io.out << "Instrument: " << (online ? "on line" : found ? "present, not usable" : "not found") << "\n";
        if (found) {
            io.out << "HardwareVersion: " << state.HardwareVersion << "\n"
                   << "DeviceCalibration: " << (state.DeviceCalibration ? "yes" : "no") << "\n"
                   << "InstrumentIdentity: " << state.InstrumentIdentity << "\n"
                   << "DeviceFullScaleNormal: " << state.DeviceFullScaleNormal << "\n"
                   << "DeviceFullScaleHigh: " << state.DeviceFullScaleHigh << "\n"
                   << "MeasurementCounter: "
                   << (counter >= 0 ? QString::number(counter) : QStringLiteral("(no answer)")) << "\n";
        }
        if (!problem.isEmpty())
            io.err << problem << "\n";
    }
    SetInstrumentLink(nullptr);
    return online ? ExitOk : ExitFailure;
}

} // namespace qern::cli
