#pragma once

#include <QString>

/// The notices that close a change made from a screen: a line or a payment saved, a declaration or a
/// payment deleted. Every screen words them the same way.
namespace operationTexts {

inline const QString done = QStringLiteral("Se ha realizado la operación correctamente.");
/// A save or deletion that failed.
inline const QString failed = QStringLiteral("No se ha podido realizar la operación.");
/// A deletion from the declaration lists that failed.
inline const QString deletionFailed = QStringLiteral("No se ha podido realizar la operación correctamente.");

} // namespace operationTexts
