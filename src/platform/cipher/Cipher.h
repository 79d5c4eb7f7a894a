#pragma once

#include <QString>

#include <array>

/// The encryption component for the declaration file: each record becomes one line of printable ASCII.
///
/// Records are single-byte text (Latin-1); each is sealed with AES-256-GCM under a key derived from the
/// key text with PBKDF2-HMAC-SHA256, with a fresh random nonce per record. A line is the base64 of
/// nonce (12 bytes), ciphertext and authentication tag (16 bytes): 144 characters for an 80-byte record.
/// The derived key is kept for as long as the key text stays the same, because the derivation is slow
/// on purpose and a file has one call per record.
class Cipher
{
public:
    Cipher() = default;
    ~Cipher();
    Cipher(const Cipher&) = delete;
    Cipher& operator=(const Cipher&) = delete;

    /// Encrypts one record. Characters outside Latin-1 are written as "?".
    /// Throws CipherError only if the cryptographic library itself fails.
    [[nodiscard]] QString encrypt(const QString& text, const QString& key);

    /// Gives back the record that encrypt sealed with the same key. Blanks around the line are ignored.
    /// Throws CipherError for a line that is not valid base64, too short, altered or sealed with another key.
    [[nodiscard]] QString decrypt(const QString& text, const QString& key);

private:
    static constexpr int keySize = 32;

    const std::array<unsigned char, keySize>& derivedKey(const QString& key);

    bool m_hasKey = false;
    QString m_keyText;
    std::array<unsigned char, keySize> m_key{};
};
