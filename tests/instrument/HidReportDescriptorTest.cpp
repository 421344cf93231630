#include "instrument/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <random>
#include <vector>

using namespace qern;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A vendor-defined device without report ids: 64 bytes in, 64 bytes out.
const QByteArray unnumbered64 = bytes({
    0x06, 0x00, 0xFF, // Usage Page (vendor)
    0x09, 0x01,       // Usage
    0xA1, 0x01,       // Collection (Application)
    0x15, 0x00,       //   Logical Minimum 0
    0x26, 0xFF, 0x00, //   Logical Maximum 255
    0x75, 0x08,       //   Report Size 8
    0x95, 0x40,       //   Report Count 64
    0x09, 0x01,       //   Usage
    0x81, 0x02,       //   Input
    0x09, 0x01,       //   Usage
    0x91, 0x02,       //   Output
    0xC0,             // End Collection
});

// Numbered reports: id 1 outputs 8 bytes; id 2 outputs 16 + 16 bytes in two
// items and inputs 63; id 3 has only a large Input and Feature.
const QByteArray numbered = bytes({
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x75, 0x08,             // Report Size 8
    0x85, 0x01,             // Report ID 1
    0x95, 0x08, 0x91, 0x02, //   Output 8 x 8
    0x85, 0x02,             // Report ID 2
    0x95, 0x10, 0x91, 0x02, //   Output 16 x 8
    0x95, 0x3F, 0x81, 0x02, //   Input 63 x 8
    0x95, 0x10, 0x91, 0x02, //   Output 16 x 8
    0x85, 0x03,             // Report ID 3
    0x95, 0xC8, 0x81, 0x02, //   Input 200 x 8
    0xB1, 0x02,             //   Feature 200 x 8
    0xC0,
});

TEST(HidReportDescriptor, OutputBitsPerReport)
{
    struct Case {
        const char* name;
        QByteArray descriptor;
        std::map<int, int> bits;
    };
    const Case cases[] = {
        {"unnumbered 64-byte report", unnumbered64, {{0, 512}}},
        {"numbered: items of one id add up, Input and Feature do not count", numbered, {{1, 64}, {2, 256}}},
        {"Push saves and Pop restores size, count and id",
         bytes({0x75, 0x08, 0x95, 0x04, 0x85, 0x01, // 4 x 8 bits, id 1
                0xA4,                               // Push
                0x85, 0x02, 0x95, 0x10, 0x75, 0x04, // id 2, 16 x 4 bits
                0x91, 0x02,                         // Output -> id 2
                0xB4,                               // Pop
                0x91, 0x02}),                       // Output -> id 1
         {{1, 32}, {2, 64}}},
        {"nested Push/Pop",
         bytes({0x75, 0x01, 0x95, 0x01, 0xA4, 0x75, 0x02, 0xA4, 0x75, 0x04, 0x91, 0x02, 0xB4, 0x91, 0x02, 0xB4,
                0x91, 0x02}),
         {{0, 4 + 2 + 1}}},
        {"Pop without Push changes nothing",
         bytes({0x75, 0x08, 0x95, 0x02, 0xB4, 0x91, 0x02}), {{0, 16}}},
        {"2-byte Report Count, 4-byte Report Size",
         bytes({0x96, 0x00, 0x01,                   // Report Count 256
                0x77, 0x08, 0x00, 0x00, 0x00,       // Report Size 8
                0x92, 0x02, 0x01}),                 // Output with 2 data bytes
         {{0, 2048}}},
        {"data bytes that look like items are not items",
         bytes({0x75, 0x08, 0x95, 0x02,
                0x26, 0x91, 0x02,                   // Logical Maximum, 2 bytes
                0x27, 0x91, 0x02, 0x91, 0x02,       // Logical Maximum, 4 bytes (size code 3)
                0x91, 0x02}),
         {{0, 16}}},
        {"a long item is skipped whole",
         bytes({0x75, 0x08, 0x95, 0x01,
                0xFE, 0x04, 0x10, 0x91, 0x02, 0x95, 0x90, // long item, 4 data bytes
                0x91, 0x02}),
         {{0, 8}}},
        {"Output with no data byte", bytes({0x75, 0x08, 0x95, 0x03, 0x90}), {{0, 24}}},
        {"Output before any size or count is empty", bytes({0x91, 0x02}), {{0, 0}}},
        {"no Output item", bytes({0x75, 0x08, 0x95, 0x40, 0x81, 0x02, 0xB1, 0x02}), {}},
        {"empty", QByteArray(), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OutputReportBits(c.descriptor), c.bits) << c.name;
}

TEST(HidReportDescriptor, ByteLengthIsReportIdByteAndLongestOutputReport)
{
    struct Case {
        const char* name;
        QByteArray descriptor;
        int fallback;
        int length;
    };
    const Case cases[] = {
        {"unnumbered 64 bytes", unnumbered64, 65, 65},
        {"numbered, longest is 32 bytes", numbered, 65, 33},
        {"bits round up to bytes", bytes({0x75, 0x01, 0x95, 0x09, 0x91, 0x02}), 65, 3},
        {"a single bit", bytes({0x75, 0x01, 0x95, 0x01, 0x91, 0x02}), 65, 2},
        {"empty", QByteArray(), 65, 65},
        {"empty, other fallback", QByteArray(), 9, 9},
        {"input only", bytes({0x75, 0x08, 0x95, 0x40, 0x81, 0x02}), 65, 65},
        {"zero-bit output", bytes({0x75, 0x08, 0x95, 0x00, 0x91, 0x02}), 65, 65},
        {"the longest report the kernel takes",
         bytes({0x75, 0x08, 0x96, 0x00, 0x40, 0x91, 0x02}), 65, 16385},
        {"longer than the kernel takes", bytes({0x75, 0x08, 0x96, 0x01, 0x40, 0x91, 0x02}), 65, 65},
        {"sizes that overflow any integer",
         bytes({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x91, 0x02, 0x91, 0x02}), 65, 65},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OutputReportByteLength(c.descriptor, c.fallback), c.length) << c.name;
}

TEST(HidReportDescriptor, SaturatesInsteadOfOverflowing)
{
    const QByteArray huge =
        bytes({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x91, 0x02, 0x91, 0x02, 0x91, 0x02});
    EXPECT_EQ(OutputReportBits(huge), (std::map<int, int>{{0, INT_MAX}}));
    // Just short of the limit, then past it.
    const QByteArray near = bytes({0x75, 0x01, 0x97, 0xFE, 0xFF, 0xFF, 0x7F, 0x91, 0x02, 0x95, 0x02, 0x91, 0x02});
    EXPECT_EQ(OutputReportBits(near), (std::map<int, int>{{0, INT_MAX}}));
}

TEST(HidReportDescriptor, UsesReportIds)
{
    EXPECT_FALSE(UsesReportIds(unnumbered64));
    EXPECT_TRUE(UsesReportIds(numbered));
    EXPECT_FALSE(UsesReportIds(QByteArray()));
    // A Report ID byte inside another item's data is not a Report ID item.
    EXPECT_FALSE(UsesReportIds(bytes({0x26, 0x85, 0x01, 0x91, 0x02})));
    // Only an intact item counts.
    EXPECT_FALSE(UsesReportIds(bytes({0x75, 0x08, 0x85})));
}

// Every byte lives in its own exactly sized heap block, so AddressSanitizer
// catches a read even one byte past the end.
class ExactBytes {
public:
    explicit ExactBytes(const QByteArray& source) : storage_(source.begin(), source.end()) {}
    QByteArray View() const { return QByteArray::fromRawData(storage_.data(), qsizetype(storage_.size())); }

private:
    std::vector<char> storage_;
};

TEST(HidReportDescriptor, TruncatedDescriptorYieldsItsIntactFront)
{
    struct Case {
        const char* name;
        QByteArray descriptor;
        std::map<int, int> bits;
    };
    const Case cases[] = {
        {"cut inside Output's data byte", bytes({0x75, 0x08, 0x95, 0x40, 0x91}), {}},
        {"cut inside a 4-byte Report Count", bytes({0x75, 0x08, 0x95, 0x02, 0x91, 0x02, 0x97, 0x40, 0x00}), {{0, 16}}},
        {"cut inside a long item's header", bytes({0x75, 0x08, 0x95, 0x02, 0x91, 0x02, 0xFE, 0x10}), {{0, 16}}},
        {"long item claims more data than there is",
         bytes({0x75, 0x08, 0x95, 0x02, 0x91, 0x02, 0xFE, 0xFF, 0x00, 0x91, 0x02}), {{0, 16}}},
        {"numbered, cut inside id 2's second Output", numbered.left(28), {{1, 64}, {2, 128}}},
    };
    for (const Case& c : cases) {
        const ExactBytes exact(c.descriptor);
        EXPECT_EQ(OutputReportBits(exact.View()), c.bits) << c.name;
    }

    // Every cut of a real descriptor: no output report grows past its full size.
    const std::map<int, int> full = OutputReportBits(numbered);
    for (qsizetype cut = 0; cut <= numbered.size(); ++cut) {
        const ExactBytes exact(numbered.left(cut));
        for (const auto& [id, bits] : OutputReportBits(exact.View())) {
            ASSERT_TRUE(full.count(id)) << "cut " << cut << " id " << id;
            EXPECT_LE(bits, full.at(id)) << "cut " << cut << " id " << id;
        }
    }
}

TEST(HidReportDescriptor, GarbageNeverReadsPastTheEnd)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 64);
    for (int round = 0; round < 5000; ++round) {
        QByteArray garbage;
        for (int n = length(random); n > 0; --n)
            garbage.append(char(byte(random)));
        const ExactBytes exact(garbage);
        const int bytesOut = OutputReportByteLength(exact.View(), 65);
        EXPECT_TRUE(bytesOut == 65 || (bytesOut >= 2 && bytesOut <= 16385)) << bytesOut;
        UsesReportIds(exact.View());
    }
}

// An 18-byte USB device descriptor naming iManufacturer 1, iProduct 2 and
// iSerialNumber 3.
const QByteArray deviceDescriptor = bytes({
    0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, // bLength .. bMaxPacketSize0
    0x25, 0xC9, 0x3F, 0xA1, 0x00, 0x01,             // idVendor, idProduct, bcdDevice
    0x01, 0x02, 0x03,                               // iManufacturer, iProduct, iSerialNumber
    0x01,                                           // bNumConfigurations
});

TEST(UsbDescriptors, DeviceStringForIndex)
{
    QByteArray noSerial = deviceDescriptor;
    noSerial[16] = 0;
    QByteArray reordered = deviceDescriptor;
    reordered[14] = 3;
    reordered[16] = 1;
    QByteArray notADevice = deviceDescriptor;
    notADevice[1] = 2;

    struct Case {
        const char* name;
        QByteArray descriptor;
        int index;
        UsbDeviceString expected;
    };
    const Case cases[] = {
        {"manufacturer", deviceDescriptor, 1, UsbDeviceString::Manufacturer},
        {"product", deviceDescriptor, 2, UsbDeviceString::Product},
        {"serial number", deviceDescriptor, 3, UsbDeviceString::SerialNumber},
        {"unnamed index", deviceDescriptor, 4, UsbDeviceString::None},
        {"index 0 is never a string", noSerial, 0, UsbDeviceString::None},
        {"a device without a serial number", noSerial, 3, UsbDeviceString::None},
        {"indices follow the descriptor", reordered, 3, UsbDeviceString::Manufacturer},
        {"indices follow the descriptor", reordered, 1, UsbDeviceString::SerialNumber},
        {"the configuration descriptors after it are ignored", deviceDescriptor + bytes({0x09, 0x02, 0x03}), 3,
         UsbDeviceString::SerialNumber},
        {"too short", deviceDescriptor.left(16), 1, UsbDeviceString::None},
        {"not a device descriptor", notADevice, 1, UsbDeviceString::None},
        {"empty", QByteArray(), 1, UsbDeviceString::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DeviceStringForIndex(c.descriptor, c.index), c.expected) << c.name << ", index " << c.index;
}

TEST(UsbDescriptors, DecodeStringDescriptor)
{
    struct Case {
        const char* name;
        QByteArray descriptor;
        QString text;
    };
    const Case cases[] = {
        {"ASCII", bytes({0x0A, 0x03, 'V', 0, '1', 0, '.', 0, '2', 0}), QStringLiteral("V1.2")},
        {"UTF-16 little-endian", bytes({0x06, 0x03, 0xE9, 0x00, 0x1F, 0x6C}), QStringLiteral(u"\u00E9\u6C1F")},
        {"bLength cuts the data", bytes({0x06, 0x03, 'A', 0, 'B', 0, 'C', 0}), QStringLiteral("AB")},
        {"bLength beyond the data", bytes({0x20, 0x03, 'A', 0, 'B', 0}), QStringLiteral("AB")},
        {"odd bLength drops the half character", bytes({0x05, 0x03, 'A', 0, 'B', 0}), QStringLiteral("A")},
        {"trailing NULs trimmed", bytes({0x0A, 0x03, 'H', 0, 'W', 0, 0, 0, 0, 0}), QStringLiteral("HW")},
        {"header only", bytes({0x02, 0x03}), QString()},
        {"not a string descriptor", bytes({0x06, 0x01, 'A', 0, 'B', 0}), QString()},
        {"too short", bytes({0x06}), QString()},
    };
    for (const Case& c : cases) {
        const ExactBytes exact(c.descriptor);
        EXPECT_EQ(DecodeUsbStringDescriptor(exact.View()), c.text) << c.name;
    }
}

} // namespace
