#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace qern {

// What the program needs of a HID report descriptor, read without the help
// of a HID stack. Any byte sequence is accepted: a truncated or damaged
// descriptor yields what its intact front describes.

// Report id -> total bits of that report's Output items. Id 0 stands for the
// items before any Report ID item, which is every item of an unnumbered device.
std::map<int, int> OutputReportBits(const QByteArray& descriptor);

// The byte length of an output report as written: the report id byte and the
// longest output report. `fallback` when there is no output report at all or
// the longest is beyond what a HID driver accepts.
int OutputReportByteLength(const QByteArray& descriptor, int fallback = 65);

// Whether the descriptor numbers its reports, so every input report read from
// the device starts with its report id.
bool UsesReportIds(const QByteArray& descriptor);

// Which of a USB device's own strings (those the kernel reads at enumeration)
// a string descriptor index names, by the 18-byte device descriptor. An index
// named twice resolves to the first.
enum class UsbDeviceString { None, Manufacturer, Product, SerialNumber };
UsbDeviceString DeviceStringForIndex(const QByteArray& deviceDescriptor, int index);

// The text of a USB string descriptor as read from the device: bLength, type 3,
// UTF-16LE. Empty when it is not a string descriptor.
QString DecodeUsbStringDescriptor(const QByteArray& descriptor);

} // namespace qern
