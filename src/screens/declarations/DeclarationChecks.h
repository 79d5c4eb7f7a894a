#pragma once

#include <QString>

/// Checks and conversions that the declaration screens share.
namespace declarations {

/// Shows an information box titled "Atención".
void inform(const QString& text);

/// True for a text made of digits only (at least one).
[[nodiscard]] bool isDigits(const QString& text);

/// A number handed over between screens as text ("200209", "2"); 0 when the text is not a number.
[[nodiscard]] double numberOf(const QString& text);

/// The fiscal period handed to an entry screen must be six digits (AAAAMM). Says why not and
/// returns false otherwise.
[[nodiscard]] bool checkPeriod(const QString& posicion);

/// The registered agent's number, CUIT and business name must all be present before detail lines
/// are entered or a declaration is generated. The first message names the action that needs the
/// agent number. Says what is missing and returns false otherwise.
[[nodiscard]] bool checkRegistration(const QString& agentMessage);

/// The agent-number message of the screens that enter detail lines.
[[nodiscard]] QString manualEntryAgentMessage();

} // namespace declarations
