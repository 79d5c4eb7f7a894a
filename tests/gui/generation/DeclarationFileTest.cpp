#include "GenerationTest.h"

#include "screens/generation/DeclarationFile.h"

#include "platform/db/Recordset.h"

#include <QFile>

using namespace Qt::StringLiterals;

class DeclarationRecordTest : public GenerationTest
{
protected:
    /// The record of a declaration holding only the line with these values.
    std::optional<QString> onlyRecord(const QString& values)
    {
        execute(u"delete from DDJJ_Detalle"_s);
        execute(u"insert into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CUIT, N_CBU, C_Tipo_Moneda, "
                u"I_Base_Imponible, I_Retenido, N_Depositos) values (1, 200209, "_s +
                values + u')');
        const auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
        EXPECT_TRUE(lines && !lines->eof());
        return DeclarationFile::record(*lines, u"200209"_s);
    }
};

TEST_F(DeclarationRecordTest, EightFieldsFilledOnTheirSide)
{
    EXPECT_EQ(onlyRecord(u"20123456786, '2850590940090418135201', '03', 1234.5, -12.3, 7"_s),
              u"20123456786 2850590940090418135201 200209 03 +00000001234.50 -00000000012.30 000000007"_s.remove(u' '));
    EXPECT_EQ(onlyRecord(u"null, null, null, null, null, null"_s),
              QString(33, u' ') + u"20020900+00000000000.00+00000000000.00000000000"_s);
    EXPECT_EQ(onlyRecord(u"123, '45', '1', 0.5, 0, 1234"_s),
              u"123        45                    2002091 +00000000000.50+00000000000.00000001234"_s);
}

TEST_F(DeclarationRecordTest, OverLongOrNonNumericFieldsAreRefusedInsteadOfShiftingTheRecord)
{
    for (const QString& values :
         {u"20123456786, '28505909400904181352012', '01', 1, 1, 1"_s, u"20123456786, '1', '01', 123456789012, 1, 1"_s,
          u"20123456786, '1', '01', 1, 1, 1234567890"_s, u"201234567861, '1', '01', 1, 1, 1"_s,
          u"20123456786, '1', '011', 1, 1, 1"_s, u"20123456786, '1', '01', 1, 'mil', 1"_s})
        EXPECT_FALSE(onlyRecord(values)) << values.toStdString();
}

TEST_F(DeclarationRecordTest, EveryRecordOfAWrittenFileDecryptsBack)
{
    addLines(25);
    execute(u"update DDJJ_Detalle set I_Retenido = -I_Retenido where N_Cuit % 2 = 0"_s);
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
    ASSERT_EQ(DeclarationFile().write(*lines, u"200209"_s, file), DeclarationFile::Outcome::Written);
    file.close();

    const QStringList records = decrypted(target());
    ASSERT_EQ(records.size(), 25);
    lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
    for (int i = 0; i < 25; ++i, lines->moveNext())
        EXPECT_EQ(records[i], DeclarationFile::record(*lines, u"200209"_s));
    EXPECT_EQ(records[1].mid(56, 15), u"-00000000001.00"_s);
}
