#include "platform/db/SqlTranslator.h"
#include "platform/db/DbError.h"
#include "platform/db/StatementPlans.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QString translated(const QString& sql)
{
    static const db::SqlTranslator translator({u"Fecha_Pago"_s, u"F_Auditoria"_s, u"FECHA_PRES"_s});
    return translator.translate(sql, QDate(2002, 9, 30));
}
} // namespace

// Words inside quoted texts are data and stay as they are.
TEST(SqlTranslator, TopBecomesLimitAndDateFunctionBecomesToday)
{
    EXPECT_EQ(translated(u"Select top 1 N_Comprobante From DDJJ_Detalle  where A = 1 "_s),
              u"Select  N_Comprobante From DDJJ_Detalle  where A = 1 LIMIT 1"_s);
    EXPECT_EQ(translated(u"select TOP 16 * from T Order by N_CBU, C_TIPO_CUENTA "_s),
              u"select  * from T Order by N_CBU, C_TIPO_CUENTA LIMIT 16"_s);
    EXPECT_EQ(translated(u"Select DISTINCT top 2 Hoja From T"_s), u"Select DISTINCT  Hoja From T LIMIT 2"_s);
    EXPECT_EQ(translated(u"Select * From T where x = 'top 5'"_s), u"Select * From T where x = 'top 5'"_s);
    EXPECT_EQ(translated(u"Update DDJJ Set  GENERADO = 'S', FECHA_PRES = DATE() Where x = 1"_s),
              u"Update DDJJ Set  GENERADO = 'S', FECHA_PRES = '2002-09-30' Where x = 1"_s);
    EXPECT_EQ(translated(u"Update T Set Hoja = 'DATE()'"_s), u"Update T Set Hoja = 'DATE()'"_s);
}

TEST(SqlTranslator, DateTextGoesToDateColumnsOnly)
{
    EXPECT_EQ(translated(u"Insert Into AR03 (Posicion_Fiscal, Fecha_Pago, Moneda)  values(1,'5/9/2002', "
                         u"'01/02/2002')"_s),
              u"Insert Into AR03 (Posicion_Fiscal, Fecha_Pago, Moneda)  values(1,'2002-09-05', '01/02/2002')"_s);
    EXPECT_EQ(translated(u"Select * From AR03 where Fecha_Pago >= '01/09/2002' and Moneda = '01/01/2001'"_s),
              u"Select * From AR03 where Fecha_Pago >= '2002-09-01' and Moneda = '01/01/2001'"_s);
    EXPECT_THROW((void)translated(u"Insert Into AR03 (Fecha_Pago) values('30/02/2002')"_s), db::DbError);
    EXPECT_THROW((void)translated(u"Insert Into AR03 (Fecha_Pago) values('')"_s), db::DbError);

    // Inserts of other shapes take the general way and come out the same.
    EXPECT_EQ(translated(u"Insert Into AR03 (Fecha_Pago, Moneda) values(Null, '0)1')"_s),
              u"Insert Into AR03 (Fecha_Pago, Moneda) values(Null, '0)1')"_s);
    EXPECT_EQ(translated(u"Insert Into AR03 (Moneda, F_Auditoria) values('a''b', DATE())"_s),
              u"Insert Into AR03 (Moneda, F_Auditoria) values('a''b', '2002-09-30')"_s);
    EXPECT_EQ(translated(u"insert into AR03 (Importe, F_AUDITORIA) values(-1.5, ' 1/10/2002 ')"_s),
              u"insert into AR03 (Importe, F_AUDITORIA) values(-1.5, '2002-10-01')"_s);
}

// Each input, its translation; translating that again changes nothing.
TEST(SqlTranslator, EveryPlaceOfADateAndNothingInComments)
{
    const std::pair<QString, QString> cases[] = {
        {u"Insert Into T ([F_Auditoria], \"Fecha_Pago\", `FECHA_PRES`, x) values('1/2/2002', '2/2/2002', "
         u"'3/2/2002', '4/2/2002')"_s,
         u"Insert Into T ([F_Auditoria], \"Fecha_Pago\", `FECHA_PRES`, x) values('2002-02-01', '2002-02-02', "
         u"'2002-02-03', '4/2/2002')"_s},
        {u"Insert Into T (x, Fecha_Pago) values(1, '1/2/2002'), ('a', '2/2/2002'),(-2,'3/2/2002')"_s,
         u"Insert Into T (x, Fecha_Pago) values(1, '2002-02-01'), ('a', '2002-02-02'),(-2,'2002-02-03')"_s},
        // A text with more next to it is not a date value.
        {u"Insert Into T (Fecha_Pago, x) values('1/2/2002'||'', -'5')"_s,
         u"Insert Into T (Fecha_Pago, x) values('1/2/2002'||'', -'5')"_s},
        {u"Select * From T where a.Fecha_Pago not between '1/2/2002' and '3/2/2002' and [F_Auditoria] in "
         u"('4/2/2002', '5/2/2002') and '6/2/2002' <= FECHA_PRES"_s,
         u"Select * From T where a.Fecha_Pago not between '2002-02-01' and '2002-02-03' and [F_Auditoria] in "
         u"('2002-02-04', '2002-02-05') and '2002-02-06' <= FECHA_PRES"_s},
        {u"Select top 3 x From T -- Fecha_Pago = 'no' DATE()\nwhere Fecha_Pago = DATE() /* top 2 'x' */"_s,
         u"Select  x From T -- Fecha_Pago = 'no' DATE()\nwhere Fecha_Pago = '2002-09-30' LIMIT 3 /* top 2 'x' */"_s},
    };
    for (const auto& [sql, expected] : cases) {
        EXPECT_EQ(translated(sql), expected);
        EXPECT_EQ(translated(expected), expected);
    }
}

// Where each value of a template lands: bound (?N, as a text, a date or a number), written into the text (a
// column after ORDER BY, a piece of SQL, a result column), or the whole statement run as its text ("-").
TEST(StatementPlans, EachValueIsBoundWhereItMeansWhatItsTextWould)
{
    const auto planned = [](const QString& sqlTemplate, const std::vector<db::Value>& values) {
        static db::StatementPlans plans(db::SqlTranslator({u"Fecha_Pago"_s}));
        const db::StatementPlan* plan = plans.planFor(sqlTemplate, values, [] { return QDate(2002, 9, 30); });
        if (!plan)
            return u"-"_s;
        QString kinds;
        for (const db::StatementPlan::Binding& binding : plan->bindings)
            kinds += QString::number(binding.value) + u"tdn"_s[static_cast<int>(binding.bind)];
        return QString::fromUtf8(plan->text) + u" | "_s + kinds;
    };
    const std::tuple<QString, std::vector<db::Value>, QString> cases[] = {
        {u"Insert Into T (a, Fecha_Pago, b) values(?, '?', '?')"_s,
         {-5, u"1/2/2002"_s, u"x?"_s},
         u"Insert Into T (a, Fecha_Pago, b) values(?1, ?2, ?3) | 0n1d2t"_s},
        {u"Select top 2 ? as x, a From T Where b = ? and c = -? Order by ?, a"_s,
         {1, u"12.50"_s, 3, u"b desc"_s},
         u"Select  1 as x, a From T Where b = ?1 and c = -?2 Order by b desc, a LIMIT 2 | 1n2n"_s},
        {u"Update T Set Fecha_Pago = DATE(), a = ? Where b = ? and c = '?'"_s,
         {u"Null"_s, QDate(2002, 1, 2), u"'"_s},
         u"-"_s},
        {u"Update T Set Fecha_Pago = DATE(), a = ? Where b = '%?%' -- ?"_s,
         {u"Null"_s, u"z"_s, 4},
         u"Update T Set Fecha_Pago = '2002-09-30', a = Null Where b = '%z%' -- 4 | "_s},
        {u"Delete From T Where a = ? and b = ?"_s, {1}, u"-"_s},
        {u"Delete From T Where a = 1 -?"_s, {u"-0.0"_s}, u"-"_s},
        {u"PRAGMA table_info(?)"_s, {u"T"_s}, u"-"_s},
        {u"Select * From T Where a = ?; Drop Table T"_s, {1}, u"-"_s},
    };
    for (const auto& [sqlTemplate, values, expected] : cases)
        EXPECT_EQ(planned(sqlTemplate, values), expected) << sqlTemplate.toStdString();
}
