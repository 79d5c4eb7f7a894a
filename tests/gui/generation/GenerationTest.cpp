#include "GenerationTest.h"

using namespace Qt::StringLiterals;

GenerationTest::GenerationTest()
{
    setRegistration(1234, u"30-50001091-2"_s, u"Banco de la Provincia S.A."_s);
    execute(u"insert into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado) values ('200209', 1, "
            u"'10/10/2002', 'N')"_s);
    execute(u"insert into PARAMETROS (ID, Descripcion, Valor) values (5, 'Nro AR04', '27')"_s);
}

void GenerationTest::addLines(int n, double secuenciaDeLineas)
{
    clsCodigo& codigo = clsCodigo::instance();
    const auto transaction = codigo.beginTransaction();
    for (int i = 1; i <= n; ++i) {
        ASSERT_TRUE(codigo.Insertar_Detalle_DDJJ(secuenciaDeLineas, periodo, 1234, cbu(i), u"01"_s, u"01"_s,
                                                 20000000000.0 + i, i, 1000 + i, i / 2.0));
    }
    transaction->commit();
}

void GenerationTest::addPayment(double importe, const QString& fechaPago, double numero)
{
    EXPECT_TRUE(clsCodigo::instance().Insertar_AR03(periodo, 1, fechaPago, importe, u"01"_s));
    EXPECT_TRUE(clsCodigo::instance().Modificar_AR03(m_db.scalar(u"select max(Id) from AR03"_s).toDouble(), numero));
}

QString GenerationTest::state()
{
    const QString sql =
        u"select (select count(*) from DDJJ_Detalle where Secuencia = 1 and N_Comprobante is null) "
        u"|| ' ' || ifnull((select Valor from PARAMETROS where ID = 5), '-') || ' ' || (select Generado "
        u"from DDJJ where Posicion_Fiscal = '200209' and Secuencia = 1) || ' ' || "
        u"(select count(*) from AR03 where Impresion = 'S')"_s;
    return m_db.scalar(sql).toString();
}
