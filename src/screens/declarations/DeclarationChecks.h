#pragma once

#include <QString>
#include <QStringView>

namespace db {
class Value;
}

/// Checks and conversions that the declaration screens share.
namespace declarations {

/// True for a text made of digits only (at least one).
[[nodiscard]] bool isDigits(const QString& text);

/// A number handed over between screens as text ("200209", "2"); 0 when the text is not a number.
[[nodiscard]] double numberOf(const QString& text);

/// A stored number formatted with one of the regional patterns ("0", "0.00"); "" for a null.
[[nodiscard]] QString formatted(const db::Value& value, QStringView pattern);

/// The fiscal period handed to an entry screen must be six digits (AAAAMM). Says why not and
/// returns false otherwise.
[[nodiscard]] bool checkPeriod(const QString& posicion);

/// The registered agent's number, CUIT and business name must all be present before detail lines
/// are entered or a declaration is generated. The first message names the action that needs the
/// agent number (one of declarations::texts). Says what is missing and returns false otherwise.
[[nodiscard]] bool checkRegistration(const QString& agentMessage);

} // namespace declarations
