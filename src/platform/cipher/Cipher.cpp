#include "Cipher.h"

#include "CipherError.h"

#include <QByteArray>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace {

constexpr int nonceSize = 12;
constexpr int tagSize = 16;
constexpr int iterations = 100000;

// A fixed salt: the key text is the same for every installation, so the salt only has to keep this
// derivation apart from any other use of the same text.
constexpr unsigned char salt[] = {'T', 'O', 'L', 'B', 'R', 'A', 'N', 'E', '/', 'D', 'D', 'J', 'J', '/', 'v', '1'};

struct ContextDeleter
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter>;

Context newContext()
{
    Context context(EVP_CIPHER_CTX_new());
    if (!context)
        throw CipherError("no se pudo crear el contexto de cifrado");
    return context;
}

const unsigned char* bytes(const QByteArray& data)
{
    return reinterpret_cast<const unsigned char*>(data.constData());
}

unsigned char* bytes(QByteArray& data)
{
    return reinterpret_cast<unsigned char*>(data.data());
}

} // namespace

Cipher::~Cipher()
{
    OPENSSL_cleanse(m_key.data(), m_key.size());
}

const std::array<unsigned char, Cipher::keySize>& Cipher::derivedKey(const QString& key)
{
    if (m_hasKey && m_keyText == key)
        return m_key;
    m_hasKey = false;
    const QByteArray password = key.toUtf8();
    if (PKCS5_PBKDF2_HMAC(password.constData(), static_cast<int>(password.size()), salt, sizeof salt, iterations,
                          EVP_sha256(), keySize, m_key.data()) != 1)
        throw CipherError("no se pudo derivar la clave");
    m_keyText = key;
    m_hasKey = true;
    return m_key;
}

QString Cipher::encrypt(const QString& text, const QString& key)
{
    const auto& aesKey = derivedKey(key);
    const QByteArray plain = text.toLatin1();

    QByteArray sealed(nonceSize + plain.size() + tagSize, Qt::Uninitialized);
    unsigned char* nonce = bytes(sealed);
    unsigned char* cipherText = nonce + nonceSize;
    if (RAND_bytes(nonce, nonceSize) != 1)
        throw CipherError("no se pudo generar el nonce");

    const Context context = newContext();
    int written = 0;
    int finalWritten = 0;
    if (EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, aesKey.data(), nonce) != 1 ||
        EVP_EncryptUpdate(context.get(), cipherText, &written, bytes(plain), static_cast<int>(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), cipherText + written, &finalWritten) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, tagSize, cipherText + plain.size()) != 1)
        throw CipherError("no se pudo cifrar el registro");
    return QString::fromLatin1(sealed.toBase64());
}

QString Cipher::decrypt(const QString& text, const QString& key)
{
    const QString line = text.trimmed();
    // Anything outside ASCII cannot be base64; checking here keeps toLatin1 from turning it into "?".
    for (const QChar c : line) {
        if (c.unicode() > 0x7F)
            throw CipherError("la línea no es base64");
    }
    const auto decoded = QByteArray::fromBase64Encoding(line.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw CipherError("la línea no es base64");
    const QByteArray& sealed = *decoded;
    if (sealed.size() < nonceSize + tagSize)
        throw CipherError("la línea es demasiado corta");

    const auto& aesKey = derivedKey(key);
    const qsizetype plainSize = sealed.size() - nonceSize - tagSize;
    const unsigned char* nonce = bytes(sealed);
    const unsigned char* cipherText = nonce + nonceSize;
    // The tag is handed over through a non-const pointer, though OpenSSL only reads it.
    QByteArray tag = sealed.right(tagSize);
    QByteArray plain(plainSize, Qt::Uninitialized);

    const Context context = newContext();
    int written = 0;
    int finalWritten = 0;
    if (EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, aesKey.data(), nonce) != 1 ||
        EVP_DecryptUpdate(context.get(), bytes(plain), &written, cipherText, static_cast<int>(plainSize)) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, tagSize, tag.data()) != 1 ||
        EVP_DecryptFinal_ex(context.get(), bytes(plain) + written, &finalWritten) != 1)
        throw CipherError("la línea está dañada o se cifró con otra clave");
    return QString::fromLatin1(plain);
}
