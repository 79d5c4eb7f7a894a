#include "platform/cipher/Cipher.h"
#include "platform/cipher/CipherError.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QString key = u"TOLBRANE"_s;

// Two 80-character declaration records; the second carries Latin-1 letters beyond ASCII.
const QString plainRecord = u"20123456786  0110012345678901234520020901+00000001234.50-00000000012.30000000015"_s;
const QString accentedRecord = u"27123456780ÑANDÚ CAÑÓN ÁÉÍÓÚ áéíóú ñ ü ç º ª ¿¡ ÿ2002090301+00000000000.00000007"_s;

TEST(Cipher, RoundTripsRecordsAsOnePrintableLine)
{
    Cipher cipher;
    for (const QString& record : {plainRecord, accentedRecord}) {
        const QString line = cipher.encrypt(record, key);
        EXPECT_TRUE(QRegularExpression(u"^[!-~]{144}$"_s).match(line).hasMatch()) << line.toStdString();
        EXPECT_EQ(cipher.decrypt(line, key), record);
        // A second object, as when the file is read back in another run, derives the same key.
        EXPECT_EQ(Cipher().decrypt(line + u"\r\n"_s, key), record) << "the line end read with the line";
        EXPECT_NE(cipher.encrypt(record, key), line) << "a fresh nonce every time";
    }
    for (const QString& text : {QString(), u"x"_s, u"  "_s})
        EXPECT_EQ(cipher.decrypt(cipher.encrypt(text, key), key), text);
    EXPECT_EQ(cipher.decrypt(cipher.encrypt(u"€ 5"_s, key), key), u"? 5"_s) << "outside Latin-1";

    // The key may change between calls, and each line opens only with its own.
    const QString other = cipher.encrypt(plainRecord, u"OTRA"_s);
    EXPECT_EQ(cipher.decrypt(other, u"OTRA"_s), plainRecord);
    EXPECT_THROW((void)cipher.decrypt(other, key), CipherError);
}

TEST(Cipher, RefusesDamagedOrForeignLines)
{
    Cipher cipher;
    const QString line = cipher.encrypt(plainRecord, key);
    const QByteArray sealed = QByteArray::fromBase64(line.toLatin1());
    const auto base64 = [](const QByteArray& bytes) {
        return QString::fromLatin1(bytes.toBase64());
    };

    // Every byte matters: the nonce, the ciphertext and the tag.
    for (const qsizetype position : {qsizetype(0), qsizetype(11), qsizetype(12), qsizetype(50), sealed.size() - 1}) {
        QByteArray tampered = sealed;
        tampered[position] = static_cast<char>(tampered[position] ^ 0x01);
        EXPECT_THROW((void)cipher.decrypt(base64(tampered), key), CipherError) << position;
    }

    for (const QString& bad :
         {base64(sealed.chopped(1)), base64(sealed.left(27)), base64(QByteArray(108, 'A')), line.left(100),
          line.left(143), QString(), u"   "_s, plainRecord, line.left(140) + u"!!!!"_s, line.left(143) + u"é"_s,
          line.left(72) + u"\n"_s + line.mid(72)})
        EXPECT_THROW((void)cipher.decrypt(bad, key), CipherError) << bad.toStdString();

    EXPECT_THROW((void)cipher.decrypt(line, u"TOLBRANe"_s), CipherError);
}

} // namespace
