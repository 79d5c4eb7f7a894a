// The check of a backup copy on crafted files: the input's pages (1 KiB each) encrypted here as SQLCipher 3 does with
// the program's key, so that every page reaches SQLite; bytes past the last whole page name an encrypted byte to
// change. The check may refuse the file but never crashes, and a file it accepts answers what the restore asks.

#include "data/Schema.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace {

constexpr int pageSize = 1024;
constexpr int ivAt = pageSize - 48; // each page ends with its IV, its HMAC-SHA1 and padding
const QByteArray salt(16, '\x11');
const auto bytes = [](const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
};

QByteArray encrypted(QByteArray clear)
{
    // SQLCipher 3's keys: the page key from the password, the HMAC key from the page key and the salt ^ 0x3a.
    static unsigned char key[32], macKey[32];
    [[maybe_unused]] static const bool derived =
        PKCS5_PBKDF2_HMAC_SHA1("ferlon", 6, bytes(salt), 16, 64000, 32, key) &&
        PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char*>(key), 32, bytes(QByteArray(16, '\x11' ^ 0x3a)), 16, 2, 32,
                               macKey);
    QByteArray file(clear.size(), '\0');
    for (qsizetype page = 0; page < clear.size() / pageSize; ++page) {
        const int start = page == 0 ? int(salt.size()) : 0; // the salt stands in the clear before the first page
        auto* out = reinterpret_cast<unsigned char*>(file.data()) + page * pageSize;
        std::fill(out + ivAt, out + ivAt + 16, static_cast<unsigned char>(page));
        EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
        int written = 0;
        EVP_EncryptInit_ex(context, EVP_aes_256_cbc(), nullptr, key, out + ivAt);
        EVP_EncryptUpdate(context, out + start, &written, bytes(clear) + page * pageSize + start, ivAt - start);
        EVP_CIPHER_CTX_free(context);
        // The HMAC seals the encrypted page, its IV and its number, put for a moment where the HMAC goes.
        const quint32 number = qToLittleEndian(quint32(page + 1));
        std::memcpy(out + ivAt + 16, &number, sizeof number);
        HMAC(EVP_sha1(), macKey, 32, out + start, size_t(ivAt + 20 - start), out + ivAt + 16, nullptr);
    }
    return file.replace(0, salt.size(), salt);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const auto home = db::Database::create(dir.filePath(QStringLiteral("ferlon.mdb")), QStringLiteral("ferlon"));
    const qsizetype pages = qsizetype(size) / pageSize;
    QByteArray file = encrypted(QByteArray(reinterpret_cast<const char*>(data), pages * pageSize));
    if (size - size_t(pages * pageSize) >= 2 && pages > 0)
        file[(data[size - 2] << 8 | data[size - 1]) % file.size()] ^= 0x01;
    QFile out(dir.filePath(QStringLiteral("copia.mdb")));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
        std::abort();
    out.close();
    try {
        const auto copy = home->openCopy(out.fileName(), Schema::tableNames());
        (void)copy->openRecordset(QStringLiteral("Select Min(Posicion_Fiscal), Count(*) From DDJJ"));
        (void)copy->openRecordset(QStringLiteral("Select Count(*) From AR03"));
    } catch (const db::DbError&) {
    }
    return 0;
}
