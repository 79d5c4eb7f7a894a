#pragma once

#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"
#include "platform/reportengine/RecordedReport.h"

#include <QDir>
#include <QFileInfo>
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

    [[nodiscard]] static QString cbu(int i) { return QStringLiteral("%1").arg(i, 22, 10, QLatin1Char('0')); }
    /// The total withheld by addLines(n), as the forms show it.
    [[nodiscard]] static QString withheld(int n);
    [[nodiscard]] static QString fileName(const report::RecordedReport& r) { return QFileInfo(r.path).fileName(); }
    /// The records of a declaration file, decrypted.
    [[nodiscard]] static QStringList decrypted(const QString& path);
    [[nodiscard]] QString target() const { return QDir(m_db.dir()).filePath(QStringLiteral("ddjj.txt")); }

    int pendingLines()
    {
        return m_db.count(QStringLiteral("DDJJ_Detalle"), QStringLiteral("where N_Comprobante is null"));
    }
    int paymentsMarked() { return m_db.count(QStringLiteral("AR03"), QStringLiteral("where Impresion = 'S'")); }
    QString counter() { return m_db.scalar(QStringLiteral("select Valor from PARAMETROS where ID = 5")).toString(); }
    QString generado()
    {
        return m_db.scalar(QStringLiteral("select Generado from DDJJ where Secuencia = 1")).toString();
    }

    const QDate m_today{2002, 10, 15};
};
