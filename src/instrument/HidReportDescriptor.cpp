#include "HidReportDescriptor.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace qern {

namespace {

// Item prefixes with the size bits masked off.
constexpr quint8 OutputItem = 0x90;
constexpr quint8 ReportSizeItem = 0x74;
constexpr quint8 ReportIdItem = 0x84;
constexpr quint8 ReportCountItem = 0x94;
constexpr quint8 PushItem = 0xA4;
constexpr quint8 PopItem = 0xB4;
constexpr quint8 LongItemPrefix = 0xFE;

// Linux refuses reports longer than this; a longer one means a damaged descriptor.
constexpr qint64 MaxReportBytes = 16384;

struct Summary {
    std::map<int, int> OutputBits;
    bool Numbered = false;
};

Summary summarize(const QByteArray& descriptor)
{
    struct Globals {
        quint32 ReportSize = 0;
        quint32 ReportCount = 0;
        int ReportId = 0;
    };
    Globals globals;
    std::vector<Globals> pushed;
    Summary summary;

    const auto* bytes = reinterpret_cast<const quint8*>(descriptor.constData());
    const qsizetype end = descriptor.size();
    qsizetype at = 0;
    while (at < end) {
        const quint8 prefix = bytes[at];
        if (prefix == LongItemPrefix) {
            // bDataSize and bLongItemTag follow; no long item is defined, so skip it.
            if (end - at < 3)
                break;
            at += 3 + bytes[at + 1];
            continue;
        }
        static constexpr int dataSizes[4] = {0, 1, 2, 4};
        const int size = dataSizes[prefix & 0x03];
        if (end - at - 1 < size)
            break;
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value |= quint32(bytes[at + 1 + i]) << (8 * i);
        at += 1 + size;

        switch (prefix & 0xFC) {
        case ReportSizeItem:
            globals.ReportSize = value;
            break;
        case ReportCountItem:
            globals.ReportCount = value;
            break;
        case ReportIdItem:
            globals.ReportId = int(std::min<quint32>(value, INT_MAX));
            summary.Numbered = true;
            break;
        case PushItem:
            pushed.push_back(globals);
            break;
        case PopItem:
            if (!pushed.empty()) {
                globals = pushed.back();
                pushed.pop_back();
            }
            break;
        case OutputItem: {
            // Saturate: damaged sizes must not overflow, and are refused later anyway.
            int& total = summary.OutputBits[globals.ReportId];
            const quint64 bits = quint64(globals.ReportSize) * globals.ReportCount;
            total = bits >= quint64(INT_MAX - total) ? INT_MAX : total + int(bits);
            break;
        }
        default:
            break;
        }
    }
    return summary;
}

} // namespace

std::map<int, int> OutputReportBits(const QByteArray& descriptor) { return summarize(descriptor).OutputBits; }

int OutputReportByteLength(const QByteArray& descriptor, int fallback)
{
    int longest = 0;
    for (const auto& [id, bits] : OutputReportBits(descriptor))
        longest = std::max(longest, bits);
    const qint64 bytes = (qint64(longest) + 7) / 8;
    if (bytes == 0 || bytes > MaxReportBytes)
        return fallback;
    return 1 + int(bytes);
}

bool UsesReportIds(const QByteArray& descriptor) { return summarize(descriptor).Numbered; }

UsbDeviceString DeviceStringForIndex(const QByteArray& deviceDescriptor, int index)
{
    constexpr int DeviceDescriptorType = 1;
    constexpr int ManufacturerAt = 14, ProductAt = 15, SerialNumberAt = 16;
    if (deviceDescriptor.size() < 18 || quint8(deviceDescriptor[1]) != DeviceDescriptorType)
        return UsbDeviceString::None;
    // Index 0 is how a device says it has no such string.
    if (index <= 0)
        return UsbDeviceString::None;
    if (quint8(deviceDescriptor[ManufacturerAt]) == index)
        return UsbDeviceString::Manufacturer;
    if (quint8(deviceDescriptor[ProductAt]) == index)
        return UsbDeviceString::Product;
    if (quint8(deviceDescriptor[SerialNumberAt]) == index)
        return UsbDeviceString::SerialNumber;
    return UsbDeviceString::None;
}

QString DecodeUsbStringDescriptor(const QByteArray& descriptor)
{
    constexpr int StringDescriptorType = 3;
    if (descriptor.size() < 2 || quint8(descriptor[1]) != StringDescriptorType)
        return {};
    const qsizetype length = std::min<qsizetype>(quint8(descriptor[0]), descriptor.size());
    QString text;
    for (qsizetype at = 2; at + 1 < length; at += 2)
        text.append(QChar(char16_t(quint8(descriptor[at]) | quint8(descriptor[at + 1]) << 8)));
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

} // namespace qern
