#pragma once

#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"

#include <QDir>
#include <QString>
#include <QStringList>

/// A screen test with the open declaration of 200209 (sequence 1), a registered agent and the AR04
/// voucher counter at 27.
class GenerationTest : public ScreenFixture
{
protected:
    static constexpr double periodo = 200209;
    static constexpr double secuencia = 1;

    GenerationTest();

    /// Adds n lines; line i (from 1) has CBU i in 22 digits (so they sort as added), CUIT 20000000000 + i,
    /// base 1000 + i, withheld i / 2 and i deposits, in pesos.
    void addLines(int n, double secuenciaDeLineas = secuencia);
    /// Adds a payment of the period with its AR03 number.
    void addPayment(double importe, const QString& fechaPago, double numero);
    /// The declaration's pending lines, the AR04 counter, its generated mark and the payments marked as
    /// printed, as "3 27 N 0".
    [[nodiscard]] QString state();

    [[nodiscard]] static QString cbu(int i) { return QStringLiteral("%1").arg(i, 22, 10, QLatin1Char('0')); }
    [[nodiscard]] QString target() const { return QDir(m_db.dir()).filePath(QStringLiteral("ddjj.txt")); }
};
