#include "data/Armar_Sql.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
QString armar(const QString& sqlTemplate, std::vector<db::Value> values)
{
    return Armar_Sql(sqlTemplate, values);
}
} // namespace

// A "?" inside an inserted value is not taken for the next placeholder.
TEST(Armar_Sql, FillsPlaceholdersInOrderAndNeutralisesQuotes)
{
    EXPECT_EQ(armar(u"Update PARAMETROS Set Valor = '?'  Where ID = ?"_s, {u"O'Brien"_s, 2}),
              u"Update PARAMETROS Set Valor = 'O`Brien'  Where ID = 2"_s);
    EXPECT_EQ(armar(u"values('?', ?)"_s, {u"'ABC'"_s, 1.5}), u"values('`ABC`', 1.5)"_s);
    EXPECT_EQ(armar(u"values(?, '?')"_s, {20123456786.0, u"a''b"_s}), u"values(20123456786, 'a``b')"_s);
    EXPECT_EQ(armar(u"a = '?' and b = ?"_s, {u"¿Qué?"_s, 7}), u"a = '¿Qué?' and b = 7"_s);
}

TEST(Armar_Sql, CallersElementsAreRewrittenExceptAQuotedDate)
{
    std::vector<db::Value> values{u"'01/02/2002'"_s, u"'x'"_s, u"'y'"_s};
    EXPECT_EQ(Armar_Sql(u"a = ? and b = '?'"_s, values), u"a = '01/02/2002' and b = '`x`'"_s);
    EXPECT_EQ(values[0].toString(), u"'01/02/2002'"_s) << "the date element is not rewritten";
    EXPECT_EQ(values[1].toString(), u"`x`"_s) << "the caller's elements are rewritten";
    EXPECT_EQ(values[2].toString(), u"'y'"_s) << "a surplus element once no \"?\" is left";

    // While an inserted value still holds a "?", surplus elements are rewritten all the same.
    std::vector<db::Value> afterQuestionMark{u"¿?"_s, u"'z'"_s};
    EXPECT_EQ(Armar_Sql(u"a = '?'"_s, afterQuestionMark), u"a = '¿?'"_s);
    EXPECT_EQ(afterQuestionMark[1].toString(), u"`z`"_s);
}

TEST(Armar_Sql, SurplusValuesAndPlaceholders)
{
    EXPECT_EQ(armar(u"Select * From T where a = ?"_s, {}), u"Select * From T where a = ?"_s);
    EXPECT_EQ(armar(u"a = ? and b = ?"_s, {1}), u"a = 1 and b = ?"_s);
    EXPECT_EQ(armar(u"a = ?"_s, {1, 2, 3}), u"a = 1"_s);
    EXPECT_EQ(armar(u"a = ?"_s, {QDate(2002, 9, 5)}), u"a = 05/09/2002"_s);
    EXPECT_EQ(armar(u"a = '?'"_s, {db::Value()}), u"a = ''"_s);
}

TEST(Si_Nulo, GivesTheFallbackOnlyForNull)
{
    EXPECT_EQ(Si_Nulo(db::Value(), u"__-________-_"_s).toString(), u"__-________-_"_s);
    EXPECT_EQ(Si_Nulo(db::Value(u""_s), u"x"_s), db::Value(u""_s)) << "an empty text is not null";
}
