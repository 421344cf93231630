#pragma once

#include <QString>

namespace qern {

// The hexadecimal text cipher shared by the settings file (key 5), the product
// texts (key 7) and the reference texts (key 1). Key numbers run 1..7.
//
// It works on the UTF-8 bytes of the text, so any text without a NUL character
// survives a round trip; a pure-ASCII text of n characters gives 2 + 2n hex
// digits. Each encipherment starts from a random lead value, so enciphering the
// same text twice usually gives two different cipher texts.
class TextCipher {
public:
    static constexpr int KeyCount = 7;

    static QString Encipher(const QString& text, int key);
    // Cipher text that is not an even number of hex digits deciphers to an
    // empty text: a damaged line then takes its default rather than garbage.
    static QString Decipher(const QString& hex, int key);
};

inline QString Encipher(const QString& text, int key) { return TextCipher::Encipher(text, key); }
inline QString Decipher(const QString& hex, int key) { return TextCipher::Decipher(hex, key); }

} // namespace qern
