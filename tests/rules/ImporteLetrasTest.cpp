#include "rules/Importe_Letras.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

void expectWords(const std::initializer_list<std::pair<double, const char16_t*>>& cases, const QString& prefix,
                 bool upper)
{
    // As standard strings, so that a failure message shows trailing blanks between quotes.
    for (const auto& [amount, words] : cases)
        EXPECT_EQ(Importe_Letras(amount, prefix, upper).toStdString(), QString::fromUtf16(words).toStdString())
            << "amount " << amount;
}

TEST(ImporteLetras, FormTableInCapitals)
{
    expectWords({{0, u"PESOS CERO."},
                 {1, u"PESOS UNO "},
                 {1.01, u"PESOS UNO CON UN CENTAVO"},
                 {21.21, u"PESOS VEINTIUNO CON VEINTIUN CENTAVOS"},
                 {100, u"PESOS CIEN "},
                 {1000, u"PESOS UN MIL "},
                 {21000, u"PESOS VEINTIUN MIL "},
                 {1000000, u"PESOS UN MILLON "},
                 {999999999.99, u"PESOS NOVECIENTOS NOVENTA Y NUEVE MILLONES NOVECIENTOS NOVENTA Y NUEVE MIL "
                                u"NOVECIENTOS NOVENTA Y NUEVE CON NOVENTA Y NUEVE CENTAVOS"}},
                u"Pesos"_s, true);
}

// Lower case raises only the first character of the prefix; an empty prefix leaves the leading blank.
TEST(ImporteLetras, TensUnitsAndHundredsInEveryGroupInLowerCase)
{
    expectWords({{10, u" diez "},
                 {11.11, u" once con once centavos"},
                 {29, u" veintinueve "},
                 {35, u" treinta y cinco "},
                 {777, u" setescientos setenta y siete "},
                 {1001, u" un mil uno "},
                 {16016, u" dieciseis mil dieciseis "},
                 {21000000, u" veintiun millones "},
                 {101000001, u" ciento un millones uno "},
                 {0.31, u" cero.con treinta y un centavos"}},
                QString(), false);
    expectWords({{0, u"Pesos cero."}, {21.21, u"Pesos veintiuno con veintiun centavos"}}, u"pesos"_s, false);
    EXPECT_EQ(Importe_Letras(1, u"DOLARES"_s, false), u"DOLARES uno "_s);
}

// Cents are rounded half away from zero, as the amount is shown in figures.
TEST(ImporteLetras, RoundsToCentsAndGoesBeyondTheFormRange)
{
    expectWords({{1234.5, u" un mil doscientos treinta y cuatro con cincuenta centavos"},
                 {0.125, u" cero.con trece centavos"},
                 {0.995, u" uno "}},
                QString(), false);
    expectWords({{1000000000, u"PESOS UN MIL MILLONES "},
                 {1e12, u"PESOS UN BILLON "},
                 {3000002000000, u"PESOS TRES BILLONES DOS MILLONES "},
                 {1e17, u"PESOS CIEN MIL BILLONES "},
                 {-100, u"PESOS MENOS CIEN "},
                 {-0.5, u"PESOS MENOS CERO.CON CINCUENTA CENTAVOS"},
                 {-0.001, u"PESOS CERO."},
                 {1e18, u"PESOS 1.000.000.000.000.000.000,00"},
                 {std::numeric_limits<double>::quiet_NaN(), u"PESOS "}},
                u"Pesos"_s, true);
}

} // namespace
