#include "HidapiBackend.h"

#include "HidReportDescriptor.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <fcntl.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cwchar>
#include <thread>
#include <vector>

namespace qern {

namespace {

constexpr int ReadTimeoutMs = 100;
constexpr int PollIntervalMs = 1000;
constexpr int FallbackOutputReportLength = 65;
// The largest report the kernel hands out in one read.
constexpr size_t ReadBufferBytes = 16384;

// hid_init and hid_exit are process-wide; backends live on the main thread.
int hidapiUsers = 0;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The sysfs directory of the HID device behind a hidraw node, or empty.
QString hidSysfsDir(const QString& hidrawPath)
{
    const QString node = QFileInfo(hidrawPath).fileName();
    if (!node.startsWith(QLatin1String("hidraw")))
        return {};
    return QStringLiteral("/sys/class/hidraw/") + node + QStringLiteral("/device");
}

// The USB device a hidraw node belongs to: the nearest ancestor of its HID
// device that carries a device descriptor. Empty on other buses.
QString usbSysfsDir(const QString& hidrawPath)
{
    const QString hidDir = hidSysfsDir(hidrawPath);
    if (hidDir.isEmpty())
        return {};
    QString dir = QFileInfo(hidDir).canonicalFilePath();
    // The HID device sits below the USB interface, which sits below the USB device.
    for (int up = 0; up < 4 && dir.size() > 1; ++up) {
        if (QFileInfo::exists(dir + QStringLiteral("/descriptors")) && QFileInfo::exists(dir + QStringLiteral("/busnum")))
            return dir;
        dir = QFileInfo(dir).path();
    }
    return {};
}

// A string the kernel read from the device at enumeration, if `index` names one.
QString kernelReadString(const QString& usbDir, int index)
{
    QString attribute;
    switch (DeviceStringForIndex(readFile(usbDir + QStringLiteral("/descriptors")).left(18), index)) {
    case UsbDeviceString::Manufacturer:
        attribute = QStringLiteral("/manufacturer");
        break;
    case UsbDeviceString::Product:
        attribute = QStringLiteral("/product");
        break;
    case UsbDeviceString::SerialNumber:
        attribute = QStringLiteral("/serial");
        break;
    case UsbDeviceString::None:
        return {};
    }
    QByteArray text = readFile(usbDir + attribute);
    if (text.endsWith('\n'))
        text.chop(1);
    return QString::fromUtf8(text);
}

// Any string descriptor, asked of the device over usbfs. Needs write access to
// the USB device node, which the packaged udev rule grants.
QString usbfsString(const QString& usbDir, int index)
{
    bool busOk = false;
    bool deviceOk = false;
    const int bus = readFile(usbDir + QStringLiteral("/busnum")).trimmed().toInt(&busOk);
    const int device = readFile(usbDir + QStringLiteral("/devnum")).trimmed().toInt(&deviceOk);
    if (!busOk || !deviceOk)
        return {};
    const QByteArray node =
        QStringLiteral("/dev/bus/usb/%1/%2").arg(bus, 3, 10, QChar(u'0')).arg(device, 3, 10, QChar(u'0')).toLocal8Bit();
    const int fd = ::open(node.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return {};

    const auto getString = [fd](int stringIndex, int language) {
        QByteArray buffer(255, '\0');
        usbdevfs_ctrltransfer transfer{};
        transfer.bRequestType = 0x80; // device to host, standard, to the device
        transfer.bRequest = 0x06;     // GET_DESCRIPTOR
        transfer.wValue = quint16(0x0300 | stringIndex);
        transfer.wIndex = quint16(language);
        transfer.wLength = quint16(buffer.size());
        transfer.timeout = 1000;
        transfer.data = buffer.data();
        const int got = ::ioctl(fd, USBDEVFS_CONTROL, &transfer);
        return got > 0 ? buffer.left(got) : QByteArray();
    };
    // String 0 lists the languages; ask in the first, as the kernel does.
    const QByteArray languages = getString(0, 0);
    QString text;
    if (languages.size() >= 4 && quint8(languages[1]) == 0x03)
        text = DecodeUsbStringDescriptor(getString(index, quint8(languages[2]) | quint8(languages[3]) << 8));
    ::close(fd);
    return text;
}

QStringList enumeratedPaths()
{
    QStringList paths;
    hid_device_info* all = hid_enumerate(0, 0);
    for (const hid_device_info* info = all; info; info = info->next)
        if (info->path)
            paths.append(QString::fromLocal8Bit(info->path));
    hid_free_enumeration(all);
    paths.sort();
    paths.removeDuplicates();
    return paths;
}

QString openError(const QString& path)
{
    const wchar_t* reason = hid_error(nullptr);
    QString text = reason ? QString::fromWCharArray(reason) : QStringLiteral("Failed to open ") + path;
    const QByteArray native = path.toLocal8Bit();
    if (::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES)
        text += QStringLiteral(" (no read and write permission: install the udev rule)");
    return text;
}

} // namespace

class HidapiDevice final : public HidDevice {
public:
    // Reading and writing use handles of their own: hidapi keeps unguarded
    // per-handle error state, so one handle must never serve two threads.
    HidapiDevice(HidapiBackend* backend, quint64 serial, const QString& path, quint16 vendorId, quint16 productId,
                 hid_device* reader, hid_device* writer)
        : backend_(backend), serial_(serial), path_(path), vendorId_(vendorId), productId_(productId),
          reader_(reader), writer_(writer)
    {
        const QByteArray descriptor = readFile(hidSysfsDir(path) + QStringLiteral("/report_descriptor"));
        outputReportLength_ = OutputReportByteLength(descriptor, FallbackOutputReportLength);
        numbered_ = UsesReportIds(descriptor);
        thread_ = std::thread([this] { readLoop(); });
    }

    ~HidapiDevice() override
    {
        stop_ = true;
        thread_.join();
        hid_close(reader_);
        hid_close(writer_);
    }

    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    quint16 VendorId() const override { return vendorId_; }
    quint16 ProductId() const override { return productId_; }
    bool PluggedIn() const override { return !failed_ && QFileInfo::exists(path_); }
    int OutputReportLength() const override { return outputReportLength_; }

    QString StringDescriptor(int index) override
    {
        if (index <= 0 || index > 255)
            return {};
        constexpr size_t MaxChars = 256;
        wchar_t text[MaxChars] = {};
        if (hid_get_indexed_string(writer_, index, text, MaxChars - 1) == 0) {
            const QString found = QString::fromWCharArray(text, int(wcsnlen(text, MaxChars)));
            if (!found.isEmpty())
                return found;
        }
        // hidraw cannot ask the device for a string; the kernel's copies and
        // usbfs can.
        const QString usbDir = usbSysfsDir(path_);
        if (usbDir.isEmpty())
            return {};
        const QString known = kernelReadString(usbDir, index);
        return known.isEmpty() ? usbfsString(usbDir, index) : known;
    }

    bool WriteReport(const QByteArray& report) override
    {
        if (report.isEmpty())
            return false;
        const int written =
            hid_write(writer_, reinterpret_cast<const unsigned char*>(report.constData()), size_t(report.size()));
        return written == report.size();
    }

    void FlushInput() override { ++generation_; }

    const QString& Path() const { return path_; }
    quint64 Generation() const { return generation_; }

private:
    void readLoop()
    {
        std::vector<unsigned char> buffer(ReadBufferBytes);
        while (!stop_) {
            const int got = hid_read_timeout(reader_, buffer.data(), buffer.size(), ReadTimeoutMs);
            if (got < 0) {
                failed_ = true;
                return;
            }
            if (got == 0)
                continue;
            const auto* bytes = reinterpret_cast<const char*>(buffer.data());
            const quint8 reportId = numbered_ ? quint8(bytes[0]) : 0;
            const QByteArray data = numbered_ ? QByteArray(bytes + 1, got - 1) : QByteArray(bytes, got);
            // Only values cross to the main thread: by the time this runs, the
            // device may be checked in and gone.
            HidapiBackend* backend = backend_;
            const quint64 serial = serial_;
            const quint64 generation = generation_;
            QMetaObject::invokeMethod(
                backend, [backend, serial, generation, reportId, data] { backend->deliver(serial, generation, reportId, data); },
                Qt::QueuedConnection);
        }
    }

    HidapiBackend* const backend_;
    const quint64 serial_;
    const QString path_;
    const quint16 vendorId_;
    const quint16 productId_;
    hid_device* const reader_;
    hid_device* const writer_;
    int outputReportLength_ = FallbackOutputReportLength;
    bool numbered_ = false;

    std::atomic<bool> stop_{false};
    std::atomic<bool> failed_{false};
    std::atomic<quint64> generation_{0};
    std::thread thread_;
};

HidapiBackend::HidapiBackend(QObject* parent)
{
    setParent(parent);
    if (hidapiUsers++ == 0)
        hid_init();
}

HidapiBackend::~HidapiBackend()
{
    devices_.clear();
    stopWatching();
    if (--hidapiUsers == 0)
        hid_exit();
}

void HidapiBackend::InstallDeviceChange()
{
    if (!monitor_ && !poll_)
        startWatching();
    Q_EMIT DeviceChange();
}

void HidapiBackend::startWatching()
{
    // Without a running udev daemon (containers) a monitor is created all the
    // same but never hears of anything: poll then.
    if (QFileInfo::exists(QStringLiteral("/run/udev/control"))) {
        udev_ = udev_new();
        if (udev_)
            monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_ && udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0 &&
            udev_monitor_enable_receiving(monitor_) >= 0) {
            notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, &HidapiBackend::receiveUdevEvent);
            return;
        }
        stopWatching();
    }
    polledPaths_ = enumeratedPaths();
    poll_ = new QTimer(this);
    poll_->setInterval(PollIntervalMs);
    connect(poll_, &QTimer::timeout, this, &HidapiBackend::pollDevices);
    poll_->start();
}

void HidapiBackend::stopWatching()
{
    delete notifier_; // before the monitor closes the descriptor it watches
    notifier_ = nullptr;
    if (monitor_)
        udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    if (udev_)
        udev_unref(udev_);
    udev_ = nullptr;
    delete poll_;
    poll_ = nullptr;
}

void HidapiBackend::receiveUdevEvent()
{
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (!device)
        return;
    udev_device_unref(device);
    Q_EMIT DeviceChange();
}

void HidapiBackend::pollDevices()
{
    QStringList paths = enumeratedPaths();
    if (paths == polledPaths_)
        return;
    polledPaths_ = std::move(paths);
    Q_EMIT DeviceChange();
}

HidDevice* HidapiBackend::CheckOut(quint16 vendorId, quint16 productId)
{
    // hid_enumerate takes 0 as "any"; these ids are meant literally.
    return checkOut(vendorId, productId, [vendorId, productId](quint16 vendor, quint16 product) {
        return vendor == vendorId && product == productId;
    });
}

HidDevice* HidapiBackend::CheckOutBy(const Accept& accept) { return accept ? checkOut(0, 0, accept) : nullptr; }

HidDevice* HidapiBackend::checkOut(quint16 vendorId, quint16 productId, const Accept& accept)
{
    lastOpenError_.clear();
    HidDevice* found = nullptr;
    hid_device_info* all = hid_enumerate(vendorId, productId);
    for (const hid_device_info* info = all; info && !found; info = info->next) {
        if (!info->path || !accept(info->vendor_id, info->product_id))
            continue;
        const QString path = QString::fromLocal8Bit(info->path);
        if (checkedOut(path))
            continue;

        hid_device* reader = hid_open_path(info->path);
        hid_device* writer = reader ? hid_open_path(info->path) : nullptr;
        if (!writer) {
            lastOpenError_ = openError(path);
            if (reader)
                hid_close(reader);
            continue;
        }
        const quint64 serial = nextSerial_++;
        auto device =
            std::make_unique<HidapiDevice>(this, serial, path, info->vendor_id, info->product_id, reader, writer);
        found = device.get();
        devices_.emplace(serial, std::move(device));
    }
    hid_free_enumeration(all);
    return found;
}

bool HidapiBackend::checkedOut(const QString& path) const
{
    for (const auto& [serial, device] : devices_)
        if (device->Path() == path)
            return true;
    return false;
}

void HidapiBackend::CheckIn(HidDevice* device)
{
    for (auto it = devices_.begin(); it != devices_.end(); ++it) {
        if (it->second.get() != device)
            continue;
        // Out of the table first, so nothing queued for it can find it while
        // its reader winds down.
        std::unique_ptr<HidapiDevice> owned = std::move(it->second);
        devices_.erase(it);
        return;
    }
}

void HidapiBackend::deliver(quint64 serial, quint64 generation, quint8 reportId, const QByteArray& data)
{
    const auto it = devices_.find(serial);
    if (it == devices_.end())
        return; // checked in since the reader posted this
    HidapiDevice* device = it->second.get();
    if (generation != device->Generation())
        return; // flushed
    Q_EMIT InputReport(device, reportId, data);
}

} // namespace qern
