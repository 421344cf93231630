#pragma once

#include "instrument/HidBackend.h"

#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QSocketNotifier;
class QTimer;
struct udev;
struct udev_monitor;

namespace qern {

class HidapiDevice;

// The real devices, through hidapi's hidraw backend. Lives on the main thread;
// each checked-out device reads on a thread of its own and its input reports
// are delivered here, queued.
class HidapiBackend : public HidBackend {
    Q_OBJECT
public:
    explicit HidapiBackend(QObject* parent = nullptr);
    ~HidapiBackend() override;

    void InstallDeviceChange() override;
    HidDevice* CheckOut(quint16 vendorId, quint16 productId) override;
    HidDevice* CheckOutBy(const Accept& accept) override;
    void CheckIn(HidDevice* device) override;

    // Why the last check-out skipped a device it would have taken (typically
    // no permission on the hidraw node); empty when it skipped none. Tells
    // "found but not usable" from "not found".
    QString LastOpenError() const { return lastOpenError_; }
    // Whether device changes come from udev rather than from polling.
    bool WatchesUdev() const { return monitor_ != nullptr; }

private:
    HidDevice* checkOut(quint16 vendorId, quint16 productId, const Accept& accept);
    bool checkedOut(const QString& path) const;
    void deliver(quint64 serial, quint64 generation, quint8 reportId, const QByteArray& data);
    void startWatching();
    void receiveUdevEvent();
    void pollDevices();
    void stopWatching();

    std::map<quint64, std::unique_ptr<HidapiDevice>> devices_; // by serial
    quint64 nextSerial_ = 1;
    QString lastOpenError_;

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* poll_ = nullptr;
    QStringList polledPaths_;

    friend class HidapiDevice;
};

} // namespace qern
