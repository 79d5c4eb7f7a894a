#pragma once

#include "support/ScreenFixture.h"

#include "data/clsCodigo.h"

#include <QDir>
#include <QString>

/// A screen test with the open declaration of 200209 (sequence 1), a registered agent and the AR04
/// voucher counter at 27.
class GenerationTest : public ScreenFixture
{
protected:
    static constexpr double periodo = 200209;
    static constexpr double secuencia = 1;

    GenerationTest()
    {
        setRegistration(1234, QStringLiteral("30-50001091-2"), QStringLiteral("Banco de la Provincia S.A."));
        execute(QStringLiteral("insert into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) values "
                               "('200209', 1, '10/10/2002', 'N')"));
        execute(QStringLiteral("insert into PARAMETROS (ID, Descripcion, Valor) values (5, 'Nro AR04', '27')"));
    }

    /// Adds n lines; line i (from 1) has CBU i in 22 digits (so they sort as added), CUIT 20000000000 + i,
    /// base 1000 + i, withheld i / 2 and i deposits, in pesos.
    void addLines(int n)
    {
        clsCodigo& codigo = clsCodigo::instance();
        const auto transaction = codigo.beginTransaction();
        for (int i = 1; i <= n; ++i) {
            ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(secuencia, periodo, 1234, cbu(i), QStringLiteral("01"),
                                                     QStringLiteral("01"), 20000000000.0 + i, i, 1000 + i, i / 2.0));
        }
        transaction->commit();
    }
    /// Adds a payment of the period with its AR03 number.
    void addPayment(double importe, const QString& fechaPago, double numero)
    {
        clsCodigo& codigo = clsCodigo::instance();
        EXPECT_TRUE(codigo.Insertar_AR03(periodo, 1, fechaPago, importe, QStringLiteral("01")));
        EXPECT_TRUE(codigo.Modificar_AR03(m_db.scalar(QStringLiteral("select max(Id) from AR03")).toDouble(), numero));
    }
    /// The declaration's pending lines, the AR04 counter, its generated mark and the payments marked as
    /// printed, as "3 27 N 0".
    [[nodiscard]] QString state()
    {
        return m_db
            .scalar(QStringLiteral(
                "select (select count(*) from DDJJ_Detalle where Secuencia = 1 and N_Comprobante is null) || ' ' || "
                "ifnull((select Valor from PARAMETROS where ID = 5), '-') || ' ' || (select Generado from DDJJ where "
                "Posicion_Fiscal = '200209' and Secuencia = 1) || ' ' || (select count(*) from AR03 where Impresion "
                "= 'S')"))
            .toString();
    }

    [[nodiscard]] static QString cbu(int i) { return QStringLiteral("%1").arg(i, 22, 10, QLatin1Char('0')); }
    [[nodiscard]] QString target() const { return QDir(m_db.dir()).filePath(QStringLiteral("ddjj.txt")); }
};
