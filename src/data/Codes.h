#pragma once

#include <QString>

/// The names of the stored two-digit codes: currencies ("01" Pesos, "02" Lecop, "03" Dólares) and
/// account types ("01" Caja de Ahorro, "02" Cuenta Corriente, "03" Cuenta Custodia). Any other code
/// has no name ("").
namespace Codes {

/// The currency as the screens show it ("Dólares", with its accent).
[[nodiscard]] QString currencyName(const QString& code);
/// The currency as the printed forms show it ("Dolares", without accent).
[[nodiscard]] QString printedCurrencyName(const QString& code);
[[nodiscard]] QString accountTypeName(const QString& code);

} // namespace Codes
