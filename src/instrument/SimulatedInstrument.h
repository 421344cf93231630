#pragma once

#include "HidBackend.h"

#include <QList>
#include <QRandomGenerator>
#include <QStringList>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace qern {

// How the simulated instrument behaves; `qern --simulate=OPTIONS` and the
// tests choose these.
struct SimulationOptions {
    bool AutomaticPatient = true;      // touches each point when the program waits for contact
    bool Silent = false;               // never replies
    int Refusals = 0;                  // the first n commands answered "Z0000"; -1: every one
    bool ProbeFault = false;           // "Z0001" to every sample
    bool EmptyHardwareVersion = false; // string descriptor 3 empty
    bool DeviceCalibration = false;    // keeps its own full-scale counts and takes gain commands
    int FailedWrites = 0;              // the first n writes fail
    int OutputReportLength = 65;
    bool Unplugged = false;            // starts unplugged
    quint32 Seed = 0;                  // 0: a different patient every run
    QString BankFile;                  // where the register bank persists; empty: memory only

    // Comma-separated: silent, refuse[=N], probe-fault, no-version,
    // device-calibration, no-patient, unplugged, fail-writes=N,
    // report-length=N, seed=N. An empty text gives the defaults.
    static std::optional<SimulationOptions> Parse(const QString& text, QString* error = nullptr);
    static QString Help();
};

// The instrument's device side, standing in for the USB hardware: every
// command, the register bank, the probe, and unplugging. It is also the HID
// backend that holds it, so the whole link above runs unchanged on it.
class SimulatedInstrument : public HidBackend {
    Q_OBJECT
public:
    static constexpr int RegisterCount = 0x11;
    static constexpr int MaxReading = 4095;

    explicit SimulatedInstrument(SimulationOptions options = {});
    ~SimulatedInstrument() override;

    // HidBackend
    void InstallDeviceChange() override;
    HidDevice* CheckOut(quint16 vendorId, quint16 productId) override;
    HidDevice* CheckOutBy(const Accept& accept) override;
    void CheckIn(HidDevice* device) override;

    SimulationOptions& Options() { return options_; }
    // From now on: the next n commands are refused (-1: all of them), the
    // next n writes fail.
    void RefuseNext(int n);
    void FailNextWrites(int n);

    // Unplugging and plugging in, of the instrument and of some other HID
    // device; each raises the device-change notification as the desktop would.
    void Unplug();
    void Plug();
    void PlugOtherDevice();
    void UnplugOtherDevice();

    // The probe. A signal gives the reading, in raw counts, at a clock time
    // (0 = not touching); it replaces the automatic patient. Queued readings
    // are used first, one per sample, exactly as given.
    using ProbeSignal = std::function<double(quint32 ms)>;
    void SetProbe(ProbeSignal signal);
    void QueueReadings(const QList<int>& readings);
    // The automatic patient's next touches, each held at exactly this many raw
    // counts (no noise), before it goes back to its own values.
    void ScriptPatient(const QList<int>& touches);

    // What the instrument received while logging is on (it is off by default:
    // a long session would pile up every sample): every report written, and
    // the commands.
    void KeepLog(bool on) { logging_ = on; }
    const QList<QByteArray>& Reports() const { return reports_; }
    QStringList Commands() const;
    void ClearLog() { reports_.clear(); }

    quint8 Register(int reg) const { return registers_[std::size_t(reg)]; }
    void SetRegister(int reg, quint8 value);
    int Gain(bool high) const { return high ? gainHigh_ : gainNormal_; }
    bool HighPotential() const { return high_; }

    // The firmware's own full-scale targets and the gains that meet them.
    static constexpr int IdealGainNormal = 36;
    static constexpr int IdealGainHigh = 30;

private:
    class Device;
    friend class Device;

    bool write(Device& device, const QByteArray& report);
    std::optional<QString> reply(const QString& command);
    void deliver(Device* device, const QString& text);
    void notifyChange();
    int sample();
    double gainFactor() const;
    void lampsChanged();
    void updatePatient();
    double patientReading();
    void loadBank();
    void saveBank() const;

    SimulationOptions options_;
    QRandomGenerator random_;
    std::set<Device*> checkedOut_;
    bool installed_ = false;
    bool plugged_ = true;
    int plugGeneration_ = 0;
    int otherDevices_ = 0;
    int generation_ = 0;
    int commandsSeen_ = 0;
    int writesSeen_ = 0;
    bool logging_ = false;
    QList<QByteArray> reports_;

    std::array<quint8, RegisterCount> registers_{};
    int gainNormal_ = IdealGainNormal;
    int gainHigh_ = IdealGainHigh;
    bool high_ = false;
    bool calibrating_ = false;
    int red_ = 0;
    int green_ = 0;

    ProbeSignal probe_;
    std::deque<int> queued_;

    // The automatic patient.
    enum class Contact { Away, Approaching, Touching };
    Contact contact_ = Contact::Away;
    quint32 touchAt_ = 0;
    quint32 holdUntil_ = 0;
    std::optional<quint32> resultAt_;
    int touches_ = 0;
    double bodyEnergy_ = 50.0;              // uA
    std::array<double, 25> pointFactor_{};  // by point index
    double touchValue_ = 0;                 // uA
    std::deque<int> scriptedTouches_;
    std::optional<int> scriptedTouch_;      // raw counts of the touch held now
    bool scripted_ = false;                 // exact readings: an untouched probe reads 0
};

} // namespace qern
