#pragma once

#include "platform/cipher/Cipher.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

class QIODevice;

namespace db {
class Recordset;
class Value;
} // namespace db

/// The declaration file handed to the tax agency: one encrypted 80-character record per detail line,
/// each followed by CR LF, written as single bytes. One object writes one file, so that the cipher
/// derives its key once for the whole file.
class DeclarationFile
{
public:
    /// How a write ended.
    enum class Outcome {
        Written,          ///< every line became a record
        BadData,          ///< a line could not be read or did not give a well-formed record
        EncryptionFailed, ///< the encryption component refused a record
        WriteFailed,      ///< the device refused the bytes
    };

    /// The key the agency's files are encrypted with.
    static constexpr QStringView key = u"TOLBRANE";
    /// Length of a record before encryption.
    static constexpr int recordLength = 80;

    /// Told how many records have been written, or read back, so far; called after each one.
    using Progress = std::function<void(qint64 records)>;

    /// Fills a field: a text already as long as the width comes back unchanged; a shorter one gets the
    /// fill after it when the side is "D" (left-aligned), before it for any other side.
    [[nodiscard]] static QString Formateo(const QString& texto, int ancho, QChar relleno, QStringView lado);

    /// A signed amount of 15 characters ("+00000001234.50"); null counts as 0. No value when the field
    /// holds something that is not a number.
    [[nodiscard]] static std::optional<QString> signedAmount(const db::Value& amount);

    /// The record of the detail line the recordset stands on, for the fiscal period "AAAAMM". No value when
    /// a field cannot be read or formatted, or when the fields do not add up to exactly 80 characters
    /// (an over-long CBU or amount would shift every field after it).
    [[nodiscard]] static std::optional<QString> record(const db::Recordset& line, const QString& posicion);

    /// Writes one record per line of the recordset, from its current row to its end, and stops at the
    /// first failure. What the device received before a failure is left to the caller to discard.
    [[nodiscard]] Outcome write(db::Recordset& lines, const QString& posicion, QIODevice& out,
                                const Progress& progress = {});

    /// True when the device holds exactly the records this object wrote, each decrypting to the same text,
    /// and nothing else: the file is read back from the medium before it is called good.
    [[nodiscard]] bool matchesWritten(QIODevice& in, const Progress& progress = {}) const;
    /// How many records this object has written.
    [[nodiscard]] qint64 recordsWritten() const { return m_written.size(); }

    /// Decrypts a declaration file line by line into plain text lines (CR LF). Stops at the first line
    /// that cannot be decrypted or written; false then.
    [[nodiscard]] static bool decrypt(QIODevice& in, QIODevice& out);

private:
    Cipher m_cipher;
    QStringList m_written;
};
