// The cipher on any bytes, one a character: as a line, decrypting fails only with CipherError; as a record,
// it comes back from the line that sealed it.

#include "platform/cipher/Cipher.h"
#include "platform/cipher/CipherError.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Cipher cipher;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        (void)cipher.decrypt(text, QStringLiteral("clave"));
    } catch (const CipherError&) {
    }
    if (cipher.decrypt(cipher.encrypt(text, QStringLiteral("clave")), QStringLiteral("clave")) != text)
        std::abort();
    return 0;
}
