#include "shell/TextCipher.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace qern;

namespace {

TEST(TextCipher, RoundTripsEveryKeyAndText)
{
    QString everyAscii;
    for (int c = 1; c < 128; ++c)
        everyAscii.append(QChar(c));
    const QStringList texts = {
        QStringLiteral("A"),
        QStringLiteral("4000"),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("A text much longer than any of the seven keys, so that the key position wraps."),
        QStringLiteral("\u7CFB\u7D71\u72C0\u614B\u8A2D\u5B9A"), // CJK survives through UTF-8
        QStringLiteral("C.P.D.M. out of function\uFF01Please check.."),
        QStringLiteral("\u00FF\u00FE\u00E9"),
        everyAscii,
    };
    for (int key = 1; key <= TextCipher::KeyCount; ++key)
        for (const QString& text : texts)
            EXPECT_EQ(Decipher(Encipher(text, key), key), text) << "key " << key << ": " << text.toStdString();
}

TEST(TextCipher, CipherTextForm)
{
    const QString one = Encipher(QStringLiteral("A"), 5);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{4}$")).match(one).hasMatch()) << one.toStdString();
    EXPECT_EQ(Encipher(QStringLiteral("ABCDEFGHIJ"), 3).size(), 22);
    EXPECT_TRUE(Encipher(QString(), 5).isEmpty());
    EXPECT_TRUE(Decipher(QString(), 5).isEmpty());

    // The lead value is random: repeated encipherings differ, all decipher alike.
    QSet<QString> seen;
    for (int i = 0; i < 40; ++i) {
        const QString c = Encipher(QStringLiteral("A"), 5);
        EXPECT_EQ(Decipher(c, 5), QStringLiteral("A"));
        seen.insert(c);
    }
    EXPECT_GT(seen.size(), 1);
}

// Stored settings files and the shipped reference texts depend on the key
// strings; these known answers change if a key or the arithmetic does.
TEST(TextCipher, KnownAnswersPinKeysAndArithmetic)
{
    struct Case {
        int key;
        const char* hex;
        const char* text;
    };
    const Case cases[] = {
        {5, "0016", "A"},        // ((0 + 65) mod 255) xor 'W'
        {5, "FF16", "A"},        // lead 255: (255 + 65) mod 255 = 65 again
        {1, "0000", "M"},        // a character equal to its key character enciphers to 0
        {7, "0030E0", "bR"},     // the second character uses the second key character
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decipher(QString::fromLatin1(c.hex), c.key), QString::fromLatin1(c.text)) << c.hex;
}

TEST(TextCipher, DamagedCipherTextDeciphersToNothing)
{
    for (const char* bad : {"0", "00161", "00G6", "0x16", "zz"})
        EXPECT_TRUE(Decipher(QString::fromLatin1(bad), 5).isEmpty()) << bad;
    // Lower-case hex is still hex.
    EXPECT_EQ(Decipher(QStringLiteral("ff16"), 5), QStringLiteral("A"));
}

} // namespace
