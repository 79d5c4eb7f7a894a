#pragma once

#include <QString>
#include <QStringList>

/// The names of the stored two-digit codes: currencies ("01" Pesos, "02" Lecop, "03" Dólares) and
/// account types ("01" Caja de Ahorro, "02" Cuenta Corriente, "03" Cuenta Custodia). Any other code
/// has no name ("").
namespace Codes {

/// The currency as the screens show it ("Dólares", with its accent).
[[nodiscard]] QString currencyName(const QString& code);
/// The currency as the printed forms show it ("Dolares", without accent).
[[nodiscard]] QString printedCurrencyName(const QString& code);
/// The currencies as the screens show them, in code order ("Pesos", "Lecop", "Dólares"): the k-th name
/// has code k.
[[nodiscard]] QStringList currencyNames();
[[nodiscard]] QString accountTypeName(const QString& code);
/// The account types in code order ("Caja de Ahorro", "Cuenta Corriente", "Cuenta Custodia").
[[nodiscard]] QStringList accountTypeNames();

} // namespace Codes
