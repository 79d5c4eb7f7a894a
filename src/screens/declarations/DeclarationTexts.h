#pragma once

#include <QString>

/// The texts the declaration screens share: what the registration still lacks, and how a generation
/// and its printing ended.
namespace declarations::texts {

/// The agent number is missing, for generating or reprinting a declaration.
inline const QString generationAgent = QStringLiteral(
    "Para poder generar el diskette e imprimir el detalle deberá especificar el Nro de Agente en la opción de "
    "Registración.");
/// The agent number is missing, for entering detail lines by hand or from a file.
inline const QString manualEntryAgent = QStringLiteral(
    "Para poder ingresar manualmente el detalle de DDJJ deberá especificar el Nro de Agente en la opción de "
    "Registración.");
inline const QString missingCuit = QStringLiteral(
    "Para poder generar el diskette e imprimir el detalle deberá especificar el Nro de CUIT en la opción de "
    "Registración.");
inline const QString missingBusinessName = QStringLiteral(
    "Para poder generar el diskette e imprimir el detalle deberá especificar la Razón Social o Denominación en la "
    "opción de Registración.");

/// A generation or regeneration wrote its file; the AR04 sheets come next.
inline const QString fileWritten =
    QStringLiteral("Se ha generado el diskette correctamente. A continuación se emitirá el formulario AR04.");
inline const QString printingFailed = QStringLiteral("No se ha podido generar la impresión.");

/// Asked before a line is added to or corrected in a declaration already generated.
inline const QString replicateQuestion =
    QStringLiteral("La posición fiscal seleccionada ya fue generada. Desea replicar la DDJJ?");

} // namespace declarations::texts
