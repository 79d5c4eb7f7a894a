#pragma once

/// The reprint of a generated declaration from the stamps its first printing left on the lines: every
/// stored sheet again, then the payments sheet of a long form. The payments listed on it are marked as
/// at the first printing; nothing else changes. False when any sheet could not be prepared or shown
/// (the payment marks are then left as they were).
[[nodiscard]] bool reprintAR04(double periodo, double secuencia, double comprobante);
