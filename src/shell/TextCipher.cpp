#include "TextCipher.h"

#include <QList>
#include <QRandomGenerator>

#include <array>
#include <cassert>

namespace qern {

namespace {

// Key strings: letters, digits and "*". Keys 1 and 6 are the same; the lengths
// (13, 25, 26, 21, 17, 13, 21) are part of the file formats.
constexpr std::array<const char*, TextCipher::KeyCount> kKeys = {
    "M4*rq7Vz2Kw9e",             // 1: reference texts
    "T8nb*3XkQ6ws1*Yd5Hf2Lp7Rc", // 2: unused
    "Zg4*Nm8Wq1Ej6*Bv3Ux9Ko2Cs5", // 3: unused
    "Pa7Jx*2Tr5Gn8*Ld4Yh6F",     // 4: unused
    "Wq3*Hs9Kd2Mv6*Xe4",         // 5: settings file
    "M4*rq7Vz2Kw9e",             // 6: unused, same as 1
    "Rb8*Yf3Nc6Tk1*Gw5Qj2D",     // 7: product texts
};

QByteArray keyBytes(int key)
{
    assert(key >= 1 && key <= TextCipher::KeyCount);
    return QByteArray(kKeys[static_cast<std::size_t>(key - 1)]);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void appendHex(QString& out, int value)
{
    static const char digits[] = "0123456789ABCDEF";
    out.append(QLatin1Char(digits[(value >> 4) & 0xF]));
    out.append(QLatin1Char(digits[value & 0xF]));
}

} // namespace

QString TextCipher::Encipher(const QString& text, int key)
{
    if (text.isEmpty())
        return {};
    const QByteArray k = keyBytes(key);
    const QByteArray bytes = text.toUtf8();

    int a = static_cast<int>(QRandomGenerator::global()->bounded(256));
    QString out;
    out.reserve(2 + 2 * bytes.size());
    appendHex(out, a);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int code = static_cast<unsigned char>(bytes[i]);
        const int keyCode = static_cast<unsigned char>(k[i % k.size()]);
        a = ((a + code) % 255) ^ keyCode;
        appendHex(out, a);
    }
    return out;
}

QString TextCipher::Decipher(const QString& hex, int key)
{
    if (hex.isEmpty() || hex.size() % 2 != 0)
        return {};
    const QByteArray k = keyBytes(key);

    QList<int> values;
    values.reserve(hex.size() / 2);
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        const char hi = hex[i].toLatin1();
        const char lo = hex[i + 1].toLatin1();
        if (hexValue(hi) < 0 || hexValue(lo) < 0)
            return {};
        values.append(hexValue(hi) * 16 + hexValue(lo));
    }

    QByteArray bytes;
    bytes.reserve(values.size() - 1);
    int p = values[0];
    for (qsizetype i = 1; i < values.size(); ++i) {
        const int q = values[i];
        const int keyCode = static_cast<unsigned char>(k[(i - 1) % k.size()]);
        const int s = keyCode ^ q;
        const int plain = p < s ? s - p : s + 255 - p;
        bytes.append(static_cast<char>(plain));
        p = q;
    }
    return QString::fromUtf8(bytes);
}

} // namespace qern
