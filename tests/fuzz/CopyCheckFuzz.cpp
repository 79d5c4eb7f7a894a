// The check of a backup copy on crafted files. The input is a database's pages in the clear (1 KiB each), encrypted
// here as SQLCipher 3 encrypts them with the program's key, so that every page reaches SQLite as the file's own;
// bytes past the last whole page name one byte of the encrypted file to change. The check may refuse the file but
// never crashes, and a file it accepts answers what the restore asks of it.

#include "data/Schema.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace {

constexpr int pageSize = 1024;
constexpr int ivOffset = pageSize - 48; // each page ends with its IV, its HMAC-SHA1 and padding
constexpr int saltSize = 16;

struct Keys
{
    unsigned char salt[saltSize];
    unsigned char cipher[32];
    unsigned char mac[32];
};

const Keys& keys()
{
    static const Keys made = [] {
        Keys k{};
        std::fill(std::begin(k.salt), std::end(k.salt), 0x11);
        PKCS5_PBKDF2_HMAC_SHA1("ferlon", 6, k.salt, saltSize, 64000, 32, k.cipher);
        unsigned char macSalt[saltSize];
        for (int i = 0; i < saltSize; ++i)
            macSalt[i] = k.salt[i] ^ 0x3a;
        PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char*>(k.cipher), 32, macSalt, saltSize, 2, 32, k.mac);
        return k;
    }();
    return made;
}

QByteArray encrypted(QByteArray clear)
{
    clear.resize((clear.size() + pageSize - 1) / pageSize * pageSize, '\0');
    QByteArray file(clear.size(), '\0');
    for (qsizetype page = 0; page < clear.size() / pageSize; ++page) {
        const int start = page == 0 ? saltSize : 0; // the first page starts with the salt, unencrypted
        const auto* in = reinterpret_cast<const unsigned char*>(clear.constData()) + page * pageSize;
        auto* out = reinterpret_cast<unsigned char*>(file.data()) + page * pageSize;
        std::fill(out + ivOffset, out + ivOffset + 16, static_cast<unsigned char>(page));
        EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
        int written = 0;
        EVP_EncryptInit_ex(context, EVP_aes_256_cbc(), nullptr, keys().cipher, out + ivOffset);
        EVP_CIPHER_CTX_set_padding(context, 0);
        EVP_EncryptUpdate(context, out + start, &written, in + start, ivOffset - start);
        EVP_CIPHER_CTX_free(context);
        QByteArray signedPart(reinterpret_cast<const char*>(out + start), ivOffset + 16 - start);
        const quint32 number = quint32(page + 1);
        for (int shift = 0; shift < 32; shift += 8)
            signedPart.append(char(number >> shift));
        HMAC(EVP_sha1(), keys().mac, 32, reinterpret_cast<const unsigned char*>(signedPart.constData()),
             size_t(signedPart.size()), out + ivOffset + 16, nullptr);
        if (page == 0)
            std::copy(std::begin(keys().salt), std::end(keys().salt), out);
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const auto home = [] {
        auto database =
            db::Database::create(QDir(dir.path()).filePath(QStringLiteral("ferlon.mdb")), QStringLiteral("ferlon"));
        Schema::create(*database);
        return database;
    }();
    const size_t pages = size / pageSize;
    QByteArray file = encrypted(QByteArray(reinterpret_cast<const char*>(data), qsizetype(pages * pageSize)));
    if (size - pages * pageSize >= 2 && !file.isEmpty())
        file[(data[size - 2] << 8 | data[size - 1]) % file.size()] ^= 0x01;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("copia.mdb"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
        std::abort();
    out.close();
    try {
        const auto copy = home->openCopy(path, Schema::tableNames());
        (void)copy->openRecordset(
            QStringLiteral("Select Min(Posicion_Fiscal), Max(Posicion_Fiscal), Count(*) From DDJJ"));
        (void)copy->openRecordset(QStringLiteral("Select Count(*) From AR03"));
    } catch (const db::DbError&) {
    }
    return 0;
}
