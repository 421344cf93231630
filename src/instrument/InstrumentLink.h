#pragma once

#include "HidBackend.h"

#include <QObject>
#include <QString>

namespace qern {

// The instrument held on a HID backend and the one primitive every other
// instrument operation uses: send a command, wait briefly for its reply.
class InstrumentLink : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxWrites = 3;
    static constexpr quint32 ReplyWaitMs = 100;

    explicit InstrumentLink(HidBackend& backend);
    ~InstrumentLink() override;

    HidBackend& Backend() { return backend_; }
    HidDevice* Instrument() const { return instrument_; }

    // Releases any instrument held and installs the device-change handler.
    // The backend's first notification, during this call, finds an
    // instrument that is already attached.
    void InstallDeviceChangeHandler();

    // Sends one command and waits for its reply; afterwards LastReply() holds
    // the reply, or is empty if none came. Nothing is sent without an instrument.
    void SendCommand(const QString& command);
    const QString& LastReply() const { return lastReply_; }

    // The output report of a command: report id 0, the command's characters,
    // spaces to the end.
    static QByteArray OutputReport(const QString& command, int length);
    // The reply text of an input report: its bytes as 8-bit characters, with
    // blanks and control characters removed at both ends.
    static QString ReplyText(const QByteArray& data);

private:
    void DeviceChange();
    void InputData(HidDevice* device, quint8 reportId, const QByteArray& data);
    void Release();

    HidBackend& backend_;
    HidDevice* instrument_ = nullptr;
    QString lastReply_;
    bool replyReceived_ = false;
    bool installed_ = false;
};

// The process-wide link, made by the program start; none in a program that
// runs without the instrument layer.
InstrumentLink* instrumentLink();
void SetInstrumentLink(InstrumentLink* link);

// The ways every other part talks to the instrument. Without a link nothing is
// sent and the reply is empty.
void SendCommand(const QString& command);
QString LastReply();

} // namespace qern
