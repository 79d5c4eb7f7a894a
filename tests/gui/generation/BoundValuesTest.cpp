#include "GenerationTest.h"

#include "platform/db/Database.h"
#include "reports/Reimpresion_AR04.h"

using namespace Qt::StringLiterals;

// Every operation of the data class and of the AR04 printing, run once with the values bound and once
// with the statements run as the text Armar_Sql writes: the same results and the same rows, of the same types.
class BoundValuesTest : public GenerationTest
{
protected:
    QStringList m_log;

    void note(double result) { m_log << QString::number(result, 'g', 17); }
    void note(clsCodigo::RecordsetPtr rows)
    {
        if (!rows) {
            m_log << u"-"_s;
            return;
        }
        for (; !rows->eof(); rows->moveNext()) {
            for (int i = 0; i < rows->fieldCount(); ++i)
                m_log << rows->fieldName(i) + u'=' + rows->field(i).toString() + u'/' +
                             QString::number(static_cast<int>(rows->field(i).type()));
        }
    }
    void noteTable(const QString& table)
    {
        QStringList columns;
        for (auto info = m_db.db().openRecordset(u"PRAGMA table_info("_s + table + u')'); !info->eof();
             info->moveNext())
            columns << u"quote(%1) || typeof(%1)"_s.arg(info->field(u"name").toString());
        note(m_db.db().openRecordset(u"select "_s + columns.join(u" || '|' || "_s) + u" from "_s + table +
                                     u" order by rowid"_s));
    }

    QStringList month()
    {
        m_log.clear();
        clsCodigo& c = clsCodigo::instance();
        note(c.Insertar_Parametro(70, u"O'Brien ¿?"_s, u"a`b' -- ?"_s));
        note(c.Modificar_Parametro(70, u"/* '01/02/2002' */"_s));
        note(c.Get_Parametro(70));
        note(c.Insertar_Parametro(71, QString(), u"-1e5"_s));
        note(c.Get_DDJJs(QString()));
        note(c.Insertar_DDJJ(2, periodo, u"31/02/2002"_s));
        note(c.Insertar_DDJJ(2, periodo, u" 5/9/2002 "_s));
        note(c.Insertar_AR03(periodo, 3, u"'01/02/2002'"_s, -1234.56, u"u$s'"_s));
        note(c.Insertar_AR03(periodo, -1, u"27/09/2002"_s, 1e17, u"?"_s));
        note(c.Existen_AR03s_77(u"200209"_s));
        note(c.Get_AR03s(u"Importe desc, Id"_s));
        const double id = m_db.scalar(u"select max(Id) from AR03"_s).toDouble();
        note(c.Modificar_AR03(id, 9007199254740993.0));
        const QString cbus[] = {u"0'1?"_s, u"`2`"_s, u"-3"_s, u"4 -- x"_s, u"'05/09/2002'"_s};
        for (int i = 0; i < 20; ++i)
            note(c.Insertar_Detalle_DDJJ(secuencia, periodo, -27, cbus[i % 5] + QString::number(i), u"C'A"_s, u"?"_s,
                                         20123456789.0 + i, -0.5 * i, 1e15 + 0.25, 0.1 * i));
        note(c.Existe_Detalle_DDJJ(secuencia, periodo, u" 0'1?0 "_s, 20123456789.0));
        note(c.Get_Detalle_DDJJ(secuencia, periodo, 20123456790.0, u"`2`1"_s));
        note(c.Modificar_Detalle_DDJJ(secuencia, periodo, u"-32"_s, 20123456791.0, u"9'?"_s, u"X"_s, u"Y"_s, -1, -2.5,
                                      1e300, -0.0));
        note(c.Get_secuencia(periodo));
        note(c.Reporte_AR04(periodo, secuencia));
        note(c.Get_Comprobante(periodo, secuencia));
        note(c.Get_Comprobantes(periodo, secuencia));
        note(reprintAR04(periodo, secuencia, c.Get_Comprobante(periodo, secuencia)));
        for (int r = 0; r < m_engine.reportCount(); ++r)
            m_log << m_engine.report(r).content.html();
        m_engine.clear();
        note(c.Get_Detalle_DDJJs(QString(), periodo, secuencia));
        note(c.Eliminar_Detalle_DDJJ(secuencia, periodo, u"`2`1"_s, 20123456790.0));
        note(c.Eliminar_AR03(id));
        for (const QString& table : {u"PARAMETROS"_s, u"DDJJ"_s, u"AR03"_s, u"DDJJ_Detalle"_s})
            noteTable(table);
        note(c.Eliminar_DDJJ(secuencia, periodo));
        noteTable(u"DDJJ_Detalle"_s);
        return m_log;
    }
};

TEST_F(BoundValuesTest, BoundValuesStoreAndFindWhatTheWrittenTextDoes)
{
    QStringList bound;
    {
        const auto undone = clsCodigo::instance().beginTransaction();
        bound = month();
    }
    m_db.db().setValuesBound(false);
    const QStringList written = month();
    m_db.db().setValuesBound(true);
    ASSERT_EQ(bound.size(), written.size());
    for (qsizetype i = 0; i < bound.size(); ++i)
        EXPECT_EQ(bound[i], written[i]) << i;
    EXPECT_TRUE(written.join(u' ').contains(u"'2002-09-05'text"_s)) << "the due date stored as a date";
}
