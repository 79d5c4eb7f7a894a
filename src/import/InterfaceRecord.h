#pragma once

#include <QByteArrayView>
#include <QString>

/// One line of an interface file cut into its fields by byte position and checked.
/// The record is the declaration file's 80-character one, in single-byte text:
///
///     1-11 CUIT   12-33 CBU   34-37 year   38-39 month   40-41 currency
///     42 sign, 43-56 taxable base   57 sign, 58-71 amount withheld   72-80 deposits
///
/// Positions count bytes, so an accented letter (one byte in Windows-1252) never moves a field.
/// A short line leaves its missing fields empty; bytes after position 80 are ignored.
class InterfaceRecord
{
public:
    /// Cuts and checks a line. All ten field checks run whatever the earlier ones gave;
    /// the CUIT check digit and the duplicate test are up to the caller, on good records only.
    [[nodiscard]] static InterfaceRecord read(QByteArrayView line);

    /// True when every field passed its check.
    [[nodiscard]] bool good() const { return failures.isEmpty(); }

    /// The failed checks' texts, in check order, each beginning with a blank; empty for a good record.
    QString failures;

    // The values of a good record.
    double cuit = 0;
    QString cbu;    ///< trimmed
    QString moneda; ///< "01", "02" or "03"
    double baseImponible = 0;
    double retenido = 0;
    double depositos = 0;
};
