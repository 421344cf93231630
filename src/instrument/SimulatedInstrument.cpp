#include "SimulatedInstrument.h"

#include "shell/Clock.h"
#include "shell/MeridianModel.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace qern {

namespace {

const QString NormalVersion = QStringLiteral("QERN6-20041115-A01");
const QString CalibratingVersion = QStringLiteral("QERN6-20051706-A02");

constexpr quint16 OtherVendorId = 0x046D;
constexpr quint16 OtherProductId = 0xC52B;

// The hardware's true counts for the 200 uA reference at each potential;
// a software calibration finds these.
constexpr double TrueFullScaleNormal = 3950;
constexpr double TrueFullScaleHigh = 3990;
// Device-calibrating instruments: each gain step moves a 200 uA reading by
// this many counts.
constexpr double CountsPerGainStep = 5;

constexpr quint32 TouchPauseMs = 800;
constexpr quint32 LiftAfterResultMs = 300;
constexpr quint32 LongestHoldMs = 8000;

QString hex2(int value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

// Whether the tick counter has reached `moment`, across a wrap.
bool reached(quint32 now, quint32 moment) { return elapsed(moment, now) < 0x80000000u; }

} // namespace

// ---------------------------------------------------------------------------
// Options

std::optional<SimulationOptions> SimulationOptions::Parse(const QString& text, QString* error)
{
    SimulationOptions options;
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    for (const QString& raw : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString item = raw.trimmed();
        const QString name = item.section(QLatin1Char('='), 0, 0);
        const bool hasValue = item.contains(QLatin1Char('='));
        bool ok = true;
        const int value = hasValue ? item.section(QLatin1Char('='), 1).toInt(&ok) : 0;
        if (!ok || (hasValue && value < 0))
            return fail(QStringLiteral("'%1' needs a whole number of zero or more").arg(name));

        if (name == QLatin1String("silent") && !hasValue)
            options.Silent = true;
        else if (name == QLatin1String("refuse"))
            options.Refusals = hasValue ? value : -1;
        else if (name == QLatin1String("probe-fault") && !hasValue)
            options.ProbeFault = true;
        else if (name == QLatin1String("no-version") && !hasValue)
            options.EmptyHardwareVersion = true;
        else if (name == QLatin1String("device-calibration") && !hasValue)
            options.DeviceCalibration = true;
        else if (name == QLatin1String("no-patient") && !hasValue)
            options.AutomaticPatient = false;
        else if (name == QLatin1String("unplugged") && !hasValue)
            options.Unplugged = true;
        else if (name == QLatin1String("fail-writes") && hasValue)
            options.FailedWrites = value;
        else if (name == QLatin1String("report-length") && hasValue && value >= 6)
            options.OutputReportLength = value;
        else if (name == QLatin1String("seed") && hasValue)
            options.Seed = quint32(value);
        else
            return fail(QStringLiteral("unknown simulation option '%1'").arg(item));
    }
    return options;
}

QString SimulationOptions::Help()
{
    return QStringLiteral(
        "Simulation options (comma-separated, after --simulate=):\n"
        "  no-patient          nobody touches the probe (the automatic patient is off)\n"
        "  silent              the instrument never replies\n"
        "  refuse[=N]          the first N commands (all without N) are answered Z0000\n"
        "  probe-fault         every sample is answered Z0001 (probe module out of function)\n"
        "  no-version          the instrument reports an empty hardware version\n"
        "  device-calibration  an instrument that keeps its own full-scale calibration\n"
        "  unplugged           the instrument starts unplugged\n"
        "  fail-writes=N       the first N reports cannot be written\n"
        "  report-length=N     output report length in bytes (default 65)\n"
        "  seed=N              the same automatic patient on every run\n");
}

// ---------------------------------------------------------------------------
// The device handle

class SimulatedInstrument::Device final : public HidDevice {
public:
    Device(SimulatedInstrument& owner, quint16 vendor, quint16 product)
        : owner_(owner), vendor_(vendor), product_(product), plugGeneration_(owner.plugGeneration_)
    {
    }

    bool IsInstrument() const { return vendor_ == InstrumentVendorId && product_ == InstrumentProductId; }

    quint16 VendorId() const override { return vendor_; }
    quint16 ProductId() const override { return product_; }
    bool PluggedIn() const override
    {
        if (!IsInstrument())
            return owner_.otherDevices_ > 0;
        return owner_.plugged_ && plugGeneration_ == owner_.plugGeneration_;
    }
    int OutputReportLength() const override { return owner_.options_.OutputReportLength; }
    QString StringDescriptor(int index) override
    {
        if (!PluggedIn() || index != 3 || !IsInstrument() || owner_.options_.EmptyHardwareVersion)
            return {};
        return owner_.options_.DeviceCalibration ? CalibratingVersion : NormalVersion;
    }
    bool WriteReport(const QByteArray& report) override { return PluggedIn() && owner_.write(*this, report); }
    void FlushInput() override { ++owner_.generation_; }

private:
    SimulatedInstrument& owner_;
    quint16 vendor_;
    quint16 product_;
    int plugGeneration_;
};

// ---------------------------------------------------------------------------

SimulatedInstrument::SimulatedInstrument(SimulationOptions options)
    : options_(std::move(options)),
      random_(options_.Seed ? options_.Seed : quint32(QDateTime::currentMSecsSinceEpoch())),
      plugged_(!options_.Unplugged)
{
    registers_ = {};
    for (int reg = 0x00; reg <= 0x05; ++reg)
        registers_[std::size_t(reg)] = quint8(random_.bounded(256));
    registers_[0x09] = 0x0F; // high potential full scale 4080
    registers_[0x0A] = 0xF0;
    registers_[0x0B] = 0x0F; // normal potential full scale 4060
    registers_[0x0C] = 0xDC;
    registers_[0x0D] = 30;
    registers_[0x0E] = 29;
    registers_[0x0F] = 30;
    registers_[0x10] = 29;
    loadBank();
}

SimulatedInstrument::~SimulatedInstrument()
{
    for (Device* device : checkedOut_)
        delete device;
}

void SimulatedInstrument::InstallDeviceChange()
{
    installed_ = true;
    Q_EMIT DeviceChange();
}

void SimulatedInstrument::notifyChange()
{
    // The desktop reports a change through the event loop, never in the middle
    // of what the program is doing.
    if (installed_)
        QMetaObject::invokeMethod(this, &SimulatedInstrument::DeviceChange, Qt::QueuedConnection);
}

HidDevice* SimulatedInstrument::CheckOut(quint16 vendorId, quint16 productId)
{
    return CheckOutBy([=](quint16 v, quint16 p) { return v == vendorId && p == productId; });
}

HidDevice* SimulatedInstrument::CheckOutBy(const Accept& accept)
{
    const auto claimed = [this](bool instrument) {
        return std::any_of(checkedOut_.begin(), checkedOut_.end(), [&](Device* d) {
            return d->IsInstrument() == instrument && d->PluggedIn();
        });
    };
    if (plugged_ && !claimed(true) && accept(InstrumentVendorId, InstrumentProductId))
        return *checkedOut_.insert(new Device(*this, InstrumentVendorId, InstrumentProductId)).first;
    if (otherDevices_ > 0 && !claimed(false) && accept(OtherVendorId, OtherProductId))
        return *checkedOut_.insert(new Device(*this, OtherVendorId, OtherProductId)).first;
    return nullptr;
}

void SimulatedInstrument::CheckIn(HidDevice* device)
{
    auto* d = static_cast<Device*>(device);
    if (checkedOut_.erase(d))
        delete d;
}

void SimulatedInstrument::Unplug()
{
    plugged_ = false;
    notifyChange();
}

void SimulatedInstrument::Plug()
{
    plugged_ = true;
    ++plugGeneration_;
    notifyChange();
}

void SimulatedInstrument::PlugOtherDevice()
{
    ++otherDevices_;
    notifyChange();
}

void SimulatedInstrument::UnplugOtherDevice()
{
    otherDevices_ = std::max(0, otherDevices_ - 1);
    notifyChange();
}

void SimulatedInstrument::RefuseNext(int n)
{
    options_.Refusals = n;
    commandsSeen_ = 0;
}

void SimulatedInstrument::FailNextWrites(int n)
{
    options_.FailedWrites = n;
    writesSeen_ = 0;
}

void SimulatedInstrument::SetProbe(ProbeSignal signal) { probe_ = std::move(signal); }

void SimulatedInstrument::ScriptPatient(const QList<int>& touches)
{
    options_.AutomaticPatient = true;
    scripted_ = true;
    scriptedTouches_.insert(scriptedTouches_.end(), touches.begin(), touches.end());
}

void SimulatedInstrument::QueueReadings(const QList<int>& readings)
{
    queued_.insert(queued_.end(), readings.begin(), readings.end());
}

QStringList SimulatedInstrument::Commands() const
{
    QStringList commands;
    for (const QByteArray& report : reports_)
        commands.append(QString::fromLatin1(report.mid(1, 5)));
    return commands;
}

void SimulatedInstrument::SetRegister(int reg, quint8 value)
{
    registers_[std::size_t(reg)] = value;
    saveBank();
}

bool SimulatedInstrument::write(Device& device, const QByteArray& report)
{
    if (writesSeen_++ < options_.FailedWrites)
        return false;
    if (report.size() != options_.OutputReportLength)
        return false;
    if (logging_)
        reports_.append(report);
    if (!device.IsInstrument())
        return true;
    const QString command = QString::fromLatin1(report.mid(1, 5));
    if (const std::optional<QString> text = reply(command))
        deliver(&device, *text);
    return true;
}

void SimulatedInstrument::deliver(Device* device, const QString& text)
{
    QByteArray data = text.toLatin1();
    data.append(QByteArray(64 - std::min<qsizetype>(64, data.size()), '\0'));
    const int generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, device, data, generation] {
            if (generation == generation_ && checkedOut_.count(device) && device->PluggedIn())
                Q_EMIT InputReport(device, 0, data);
        },
        Qt::QueuedConnection);
}

std::optional<QString> SimulatedInstrument::reply(const QString& command)
{
    if (options_.Silent)
        return std::nullopt;
    const int index = commandsSeen_++;
    if (options_.Refusals < 0 || index < options_.Refusals)
        return QStringLiteral("Z0000");

    const QChar letter = command.isEmpty() ? QChar() : command[0];
    const auto argument = [&](int from, int count) { return command.mid(from, count).toUInt(nullptr, 16); };
    switch (letter.toLatin1()) {
    case 'X':
        calibrating_ = false;
        red_ = green_ = 0;
        lampsChanged();
        break;
    case 'L':
        high_ = false;
        break;
    case 'H':
        high_ = true;
        break;
    case 'N':
        calibrating_ = true;
        break;
    case 'K':
        touches_ = 0;
        bodyEnergy_ = 30.0 + random_.bounded(40.0);
        for (double& factor : pointFactor_)
            factor = 0.75 + random_.bounded(0.5); // centred on 1: the body energy stays as drawn
        break;
    case 'C':
        red_ = int(argument(1, 4));
        lampsChanged();
        break;
    case 'F':
        green_ = int(argument(1, 4));
        lampsChanged();
        break;
    case 'I':
    case 'A':
    case 'S':
        break;
    case 'G':
        (high_ ? gainHigh_ : gainNormal_) = int(argument(3, 2));
        saveBank();
        break;
    case 'D':
        if (options_.ProbeFault)
            return QStringLiteral("Z0001");
        return QStringLiteral("D0") + QStringLiteral("%1").arg(sample(), 3, 16, QLatin1Char('0')).toUpper();
    case 'R': {
        const int reg = int(argument(1, 2));
        const int value = reg < RegisterCount ? registers_[std::size_t(reg)] : 0;
        return QStringLiteral("R") + hex2(reg) + hex2(value);
    }
    case 'W': {
        const int reg = int(argument(1, 2));
        if (reg < RegisterCount)
            SetRegister(reg, quint8(argument(3, 2)));
        break;
    }
    default:
        return QStringLiteral("Z0000");
    }
    return command;
}

// A 200 uA reading at the selected potential, as a fraction of its target,
// moves with the gain on device-calibrating instruments.
double SimulatedInstrument::gainFactor() const
{
    if (!options_.DeviceCalibration)
        return 1.0;
    const int target = high_ ? (registers_[0x09] << 8 | registers_[0x0A]) : (registers_[0x0B] << 8 | registers_[0x0C]);
    const int offset = high_ ? gainHigh_ - IdealGainHigh : gainNormal_ - IdealGainNormal;
    return target > 0 ? (target + offset * CountsPerGainStep) / target : 1.0;
}

int SimulatedInstrument::sample()
{
    double reading = 0;
    if (!queued_.empty()) {
        reading = queued_.front();
        queued_.pop_front();
        return std::clamp(int(reading), 0, MaxReading);
    }
    if (probe_)
        reading = probe_(clock().ticks());
    else if (options_.AutomaticPatient)
        reading = patientReading();
    if (reading > 0)
        reading *= gainFactor();
    return std::clamp(int(std::lround(reading)), 0, MaxReading);
}

// ---------------------------------------------------------------------------
// The automatic patient: touches when the lamp shows the program waiting for
// contact (dim green), holds, and lifts shortly after a result lamp.

void SimulatedInstrument::lampsChanged()
{
    if (!options_.AutomaticPatient || probe_)
        return;
    const quint32 now = clock().ticks();
    const bool waiting = green_ == 0x7F && red_ == 0x00;
    const bool result = (green_ == 0xFF && (red_ == 0x00 || red_ == 0xFF)) || (green_ == 0x00 && red_ == 0xFF);
    if (waiting && contact_ == Contact::Away) {
        contact_ = Contact::Approaching;
        touchAt_ = now + TouchPauseMs;
    } else if (result && contact_ == Contact::Touching && !resultAt_) {
        resultAt_ = now;
    } else if (red_ == 0 && green_ == 0 && contact_ == Contact::Approaching) {
        contact_ = Contact::Away; // the run was stopped before the touch
    }
}

void SimulatedInstrument::updatePatient()
{
    const quint32 now = clock().ticks();
    if (contact_ == Contact::Approaching && reached(now, touchAt_)) {
        contact_ = Contact::Touching;
        resultAt_.reset();
        holdUntil_ = now + LongestHoldMs;
        ++touches_;
        const int point = PositionToPoint((touches_ - 1) % PointCount + 1);
        touchValue_ = calibrating_ ? 200.0 : bodyEnergy_ * pointFactor_[std::size_t(point)];
        scriptedTouch_.reset();
        if (!scriptedTouches_.empty()) {
            scriptedTouch_ = scriptedTouches_.front();
            scriptedTouches_.pop_front();
        }
    } else if (contact_ == Contact::Touching) {
        const bool lifted = resultAt_ && elapsed(*resultAt_, now) >= LiftAfterResultMs;
        if (lifted || reached(now, holdUntil_))
            contact_ = Contact::Away;
    }
}

double SimulatedInstrument::patientReading()
{
    updatePatient();
    if (contact_ != Contact::Touching)
        return scripted_ ? 0 : random_.bounded(3); // an untouched probe reads almost nothing
    if (scriptedTouch_)
        return *scriptedTouch_;
    const double fullScale = high_ ? TrueFullScaleHigh : TrueFullScaleNormal;
    const double counts = touchValue_ * fullScale / 200.0;
    const double noise = random_.bounded(4.0) + random_.bounded(4.0) - 4.0;
    return counts + noise;
}

// ---------------------------------------------------------------------------
// The register bank survives restarts, like the instrument's own memory.

void SimulatedInstrument::loadBank()
{
    if (options_.BankFile.isEmpty())
        return;
    QFile file(options_.BankFile);
    if (!file.open(QIODevice::ReadOnly)) {
        saveBank();
        return;
    }
    const QJsonObject bank = QJsonDocument::fromJson(file.readAll()).object();
    const QByteArray bytes = QByteArray::fromHex(bank.value(QStringLiteral("registers")).toString().toLatin1());
    if (bytes.size() == RegisterCount)
        for (int reg = 0; reg < RegisterCount; ++reg)
            registers_[std::size_t(reg)] = quint8(bytes[reg]);
    gainNormal_ = bank.value(QStringLiteral("gainNormal")).toInt(IdealGainNormal);
    gainHigh_ = bank.value(QStringLiteral("gainHigh")).toInt(IdealGainHigh);
}

void SimulatedInstrument::saveBank() const
{
    if (options_.BankFile.isEmpty())
        return;
    QJsonObject bank;
    bank.insert(QStringLiteral("registers"),
                QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(registers_.data()), RegisterCount)
                                        .toHex()
                                        .toUpper()));
    bank.insert(QStringLiteral("gainNormal"), gainNormal_);
    bank.insert(QStringLiteral("gainHigh"), gainHigh_);
    QSaveFile file(options_.BankFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QByteArray data = QJsonDocument(bank).toJson();
        if (file.write(data) == data.size())
            file.commit();
        else
            file.cancelWriting();
    }
}

} // namespace qern
