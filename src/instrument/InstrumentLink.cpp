#include "InstrumentLink.h"

#include "Registers.h"

#include "shell/AppState.h"
#include "shell/Clock.h"
#include "shell/ProductTexts.h"

namespace qern {

namespace {

const QString DeviceCalibrationVersion = QStringLiteral("QERN6-20051706-A02");

InstrumentLink* g_link = nullptr;

} // namespace

InstrumentLink::InstrumentLink(HidBackend& backend) : backend_(backend)
{
    connect(&backend_, &HidBackend::InputReport, this, &InstrumentLink::InputData);
}

InstrumentLink::~InstrumentLink()
{
    Release();
    if (g_link == this)
        g_link = nullptr;
}

void InstrumentLink::Release()
{
    if (!instrument_)
        return;
    HidDevice* device = instrument_;
    instrument_ = nullptr;
    backend_.CheckIn(device);
}

void InstrumentLink::InstallDeviceChangeHandler()
{
    Release();
    if (!installed_) {
        installed_ = true;
        connect(&backend_, &HidBackend::DeviceChange, this, &InstrumentLink::DeviceChange);
    }
    backend_.InstallDeviceChange();
}

void InstrumentLink::DeviceChange()
{
    AppState& state = appState();
    if (!instrument_) {
        HidDevice* device = backend_.CheckOut(InstrumentVendorId, InstrumentProductId);
        if (!device)
            device = backend_.CheckOutBy([](quint16 vendor, quint16 product) {
                return vendor == InstrumentVendorId && product == InstrumentProductId;
            });
        if (!device)
            return;
        instrument_ = device;
        state.InstrumentOnline = true;
        state.Tray.SetOnline(true);
        if (!state.FirstActivation)
            state.Tray.ShowBalloon(Product().ProductTitle + QStringLiteral(" is on-line."),
                                   TrayIcon::BalloonIcon::Information);
        state.HardwareVersion = device->StringDescriptor(3);
        state.DeviceCalibration = state.HardwareVersion.trimmed() == DeviceCalibrationVersion;
        ReadIdentityAndCalibration();
    } else if (!instrument_->PluggedIn()) {
        instrument_->FlushInput();
        Release();
        state.Tray.SetOnline(false);
        state.Tray.ShowBalloon(Product().ProductTitle + QStringLiteral(" is off-line."),
                               TrayIcon::BalloonIcon::Error);
        state.InstrumentOnline = false;
    }
}

void InstrumentLink::InputData(HidDevice* device, quint8, const QByteArray& data)
{
    if (device != instrument_)
        return;
    lastReply_ = ReplyText(data);
    replyReceived_ = true;
}

QByteArray InstrumentLink::OutputReport(const QString& command, int length)
{
    QByteArray report(qMax(length, 1), ' ');
    report[0] = 0;
    const QByteArray text = command.toLatin1();
    for (qsizetype i = 0; i < text.size() && i + 1 < report.size(); ++i)
        report[i + 1] = text[i];
    return report;
}

QString InstrumentLink::ReplyText(const QByteArray& data)
{
    qsizetype begin = 0;
    qsizetype end = data.size();
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (begin < end && blank(data[begin]))
        ++begin;
    while (end > begin && blank(data[end - 1]))
        --end;
    return QString::fromLatin1(data.mid(begin, end - begin));
}

void InstrumentLink::SendCommand(const QString& command)
{
    if (!instrument_)
        return;
    replyReceived_ = false;
    lastReply_.clear();

    // The instrument may go away while a wait processes events, so it is
    // looked up afresh on every attempt.
    for (int attempt = 0; attempt < MaxWrites && instrument_; ++attempt) {
        if (!instrument_->WriteReport(OutputReport(command, instrument_->OutputReportLength()))) {
            instrument_->FlushInput();
            waitMs(ReplyWaitMs);
            continue;
        }
        if (!waitUntil(ReplyWaitMs, [this] { return replyReceived_; }))
            continue;
        if (lastReply_ != QLatin1String("Z0000"))
            return;
        lastReply_.clear();
        replyReceived_ = false;
    }
}

InstrumentLink* instrumentLink() { return g_link; }
void SetInstrumentLink(InstrumentLink* link) { g_link = link; }

void SendCommand(const QString& command)
{
    if (g_link)
        g_link->SendCommand(command);
}

QString LastReply() { return g_link ? g_link->LastReply() : QString(); }

} // namespace qern
