#include "DeclarationFile.h"

#include "data/Armar_Sql.h"
#include "platform/Regional.h"
#include "platform/cipher/CipherError.h"
#include "platform/db/Recordset.h"
#include "platform/db/Value.h"

#include <QIODevice>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Widths of the record's fields, in the order they are laid end to end.
constexpr int cuitWidth = 11;
constexpr int cbuWidth = 22;
constexpr int currencyWidth = 2;
constexpr int amountDigitsWidth = 14;
constexpr int depositsWidth = 9;

const QByteArray lineEnd = QByteArrayLiteral("\r\n");

// A numeric field as a number: null gives the fallback, text must hold a plain number, a date never does.
std::optional<double> numberOf(const db::Value& value, double fallback)
{
    switch (value.type()) {
    case db::Value::Type::Null:
        return fallback;
    case db::Value::Type::Number:
        return value.toDouble();
    case db::Value::Type::Text: {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok ? std::optional<double>(number) : std::nullopt;
    }
    case db::Value::Type::Date:
        break;
    }
    return std::nullopt;
}

} // namespace

QString DeclarationFile::Formateo(const QString& texto, int ancho, QChar relleno, QStringView lado)
{
    if (texto.size() >= ancho)
        return texto;
    const QString fill(ancho - texto.size(), relleno);
    return lado == u"D" ? texto + fill : fill + texto;
}

std::optional<QString> DeclarationFile::signedAmount(const db::Value& amount)
{
    const std::optional<double> value = numberOf(amount, 0);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    const QChar sign = *value < 0 ? u'-' : u'+';
    QString text = sign + Formateo(Regional::format(std::fabs(*value), u"0.00"), amountDigitsWidth, u'0', u"I");
    // The agency reads a point before the decimals; the regional format writes a comma.
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0)
        text[comma] = u'.';
    return text;
}

std::optional<QString> DeclarationFile::record(const db::Recordset& line, const QString& posicion)
{
    try {
        const db::Value cuitField = line.field(u"N_CUIT");
        QString cuit;
        if (!cuitField.isNull()) {
            const std::optional<double> number = numberOf(cuitField, 0);
            if (!number || !std::isfinite(*number))
                return std::nullopt;
            cuit = Regional::format(*number, u"0");
        }
        const QString cbu = line.field(u"N_CBU").toString();
        const QString currency = Si_Nulo(line.field(u"C_TIPO_Moneda"), db::Value(u"00"_s)).toString();
        const std::optional<QString> base = signedAmount(line.field(u"I_Base_Imponible"));
        const std::optional<QString> withheld = signedAmount(line.field(u"I_Retenido"));
        const std::optional<double> deposits = numberOf(line.field(u"N_Depositos"), 0);
        if (!base || !withheld || !deposits || !std::isfinite(*deposits))
            return std::nullopt;

        const QString text = Formateo(cuit, cuitWidth, u' ', u"D") + Formateo(cbu, cbuWidth, u' ', u"D") +
                             posicion.mid(0, 4) + posicion.mid(4, 2) + Formateo(currency, currencyWidth, u' ', u"D") +
                             *base + *withheld + Formateo(db::Value::numberText(*deposits), depositsWidth, u'0', u"I");
        if (text.size() != recordLength)
            return std::nullopt;
        return text;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

DeclarationFile::Outcome DeclarationFile::write(db::Recordset& lines, const QString& posicion, QIODevice& out,
                                                const Progress& progress)
{
    const QString cipherKey = key.toString();
    while (!lines.eof()) {
        const std::optional<QString> text = record(lines, posicion);
        if (!text)
            return Outcome::BadData;
        QByteArray bytes;
        try {
            bytes = m_cipher.encrypt(*text, cipherKey).toLatin1();
        } catch (const std::exception&) {
            return Outcome::EncryptionFailed;
        }
        bytes += lineEnd;
        if (out.write(bytes) != bytes.size())
            return Outcome::WriteFailed;
        m_written.append(*text);
        if (progress)
            progress(m_written.size());
        try {
            lines.moveNext();
        } catch (const std::exception&) {
            return Outcome::BadData;
        }
    }
    return Outcome::Written;
}

bool DeclarationFile::matchesWritten(QIODevice& in, const Progress& progress) const
{
    const QString cipherKey = key.toString();
    Cipher cipher;
    qint64 checked = 0;
    for (const QString& expected : m_written) {
        const QByteArray line = in.readLine();
        if (!line.endsWith(lineEnd))
            return false;
        try {
            if (cipher.decrypt(QString::fromLatin1(line.chopped(lineEnd.size())), cipherKey) != expected)
                return false;
        } catch (const std::exception&) {
            return false;
        }
        if (progress)
            progress(++checked);
    }
    return in.atEnd();
}

bool DeclarationFile::decrypt(QIODevice& in, QIODevice& out)
{
    Cipher cipher;
    const QString cipherKey = key.toString();
    while (!in.atEnd()) {
        const QString line = QString::fromLatin1(in.readLine()).trimmed();
        QByteArray bytes;
        if (!line.isEmpty()) {
            try {
                bytes = cipher.decrypt(line, cipherKey).toLatin1();
            } catch (const std::exception&) {
                return false;
            }
        }
        bytes += lineEnd;
        if (out.write(bytes) != bytes.size())
            return false;
    }
    return true;
}
