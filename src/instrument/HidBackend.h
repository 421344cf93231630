#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace qern {

// The instrument's USB identity.
inline constexpr quint16 InstrumentVendorId = 0xC925;
inline constexpr quint16 InstrumentProductId = 0xA13F;

// One HID device checked out of a backend. The backend owns it until CheckIn.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    virtual quint16 VendorId() const = 0;
    virtual quint16 ProductId() const = 0;
    virtual bool PluggedIn() const = 0;
    // The OutputReportByteLength of the device's capabilities: the report id
    // byte and the longest output report.
    virtual int OutputReportLength() const = 0;
    // A USB string descriptor by index; empty when the device has none.
    virtual QString StringDescriptor(int index) = 0;
    // Writes one output report (byte 0 the report id). Synchronous.
    virtual bool WriteReport(const QByteArray& report) = 0;
    // Drops input reports received and not yet delivered.
    virtual void FlushInput() = 0;
};

// What the program needs of the platform's HID access: device-change
// notification, check-out and check-in, and input reports on the main thread.
class HidBackend : public QObject {
    Q_OBJECT
public:
    using Accept = std::function<bool(quint16 vendorId, quint16 productId)>;

    // From now on DeviceChange is emitted on every arrival or removal of any
    // HID device, and once right away, before this returns.
    virtual void InstallDeviceChange() = 0;
    // The first device with these ids that is not checked out; nullptr if none.
    virtual HidDevice* CheckOut(quint16 vendorId, quint16 productId) = 0;
    // The first device not checked out that `accept` takes; nullptr if none.
    virtual HidDevice* CheckOutBy(const Accept& accept) = 0;
    // Releases a checked-out device and destroys it.
    virtual void CheckIn(HidDevice* device) = 0;

Q_SIGNALS:
    void DeviceChange();
    // An input report of a checked-out device, delivered on the main thread
    // while it processes events: the data bytes without the report id.
    void InputReport(qern::HidDevice* device, quint8 reportId, const QByteArray& data);
};

} // namespace qern
