#include "GenerationTest.h"

#include "FailingDevice.h"
#include "gui/ui/Printers.h"
#include "screens/generation/DeclarationFile.h"

#include "platform/cipher/Cipher.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QBuffer>

using namespace Qt::StringLiterals;

namespace {

const QString period = u"200209"_s;

std::vector<QString> decryptedLines(const QByteArray& file)
{
    std::vector<QString> lines;
    Cipher cipher;
    const QList<QByteArray> parts = file.split('\n');
    for (const QByteArray& part : parts) {
        if (part.isEmpty())
            continue;
        EXPECT_TRUE(part.endsWith('\r')) << "each record ends with CR LF";
        lines.push_back(cipher.decrypt(QString::fromLatin1(part.chopped(1)), u"TOLBRANE"_s));
    }
    return lines;
}

} // namespace

TEST(Formateo, FillsOnTheSideAskedAndNeverCuts)
{
    EXPECT_EQ(DeclarationFile::Formateo(u"123"_s, 6, u' ', u"D"), u"123   "_s);
    EXPECT_EQ(DeclarationFile::Formateo(u"123"_s, 6, u'0', u"I"), u"000123"_s);
    EXPECT_EQ(DeclarationFile::Formateo(u"123"_s, 6, u'0', u"X"), u"000123"_s) << "any side but D fills before";
    EXPECT_EQ(DeclarationFile::Formateo(QString(), 3, u' ', u"D"), u"   "_s);
    EXPECT_EQ(DeclarationFile::Formateo(u"123456"_s, 6, u' ', u"D"), u"123456"_s);
    EXPECT_EQ(DeclarationFile::Formateo(u"1234567"_s, 6, u'0', u"I"), u"1234567"_s);
}

TEST(SignedAmount, SignThenFourteenCharactersWithAPoint)
{
    EXPECT_EQ(DeclarationFile::signedAmount(1234.5), u"+00000001234.50"_s);
    EXPECT_EQ(DeclarationFile::signedAmount(-12.3), u"-00000000012.30"_s);
    EXPECT_EQ(DeclarationFile::signedAmount(0), u"+00000000000.00"_s);
    EXPECT_EQ(DeclarationFile::signedAmount(db::Value()), u"+00000000000.00"_s);
    EXPECT_EQ(DeclarationFile::signedAmount(1234567.891), u"+00001234567.89"_s) << "no thousands separator";
    EXPECT_EQ(DeclarationFile::signedAmount(12345678901.25), u"+12345678901.25"_s) << "eleven digits: no fill";
    EXPECT_EQ(DeclarationFile::signedAmount(123456789012.0), u"+123456789012.00"_s) << "longer, never cut";
    EXPECT_EQ(DeclarationFile::signedAmount(u"15.5"_s), u"+00000000015.50"_s) << "a number stored as text";
}

TEST(SignedAmount, NothingThatIsNotANumber)
{
    EXPECT_FALSE(DeclarationFile::signedAmount(u"abc"_s));
    EXPECT_FALSE(DeclarationFile::signedAmount(QDate(2002, 9, 1)));
    EXPECT_FALSE(DeclarationFile::signedAmount(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(DeclarationFile::signedAmount(std::numeric_limits<double>::infinity()));
}

class DeclarationRecordTest : public GenerationTest
{
protected:
    /// The record of the only line of the declaration.
    std::optional<QString> onlyRecord(const QString& values)
    {
        execute(u"insert into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_CUIT, N_CBU, C_Tipo_Moneda, "
                u"I_Base_Imponible, I_Retenido, N_Depositos) values (1, 200209, "_s +
                values + u')');
        const auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
        EXPECT_TRUE(lines && !lines->eof());
        return DeclarationFile::record(*lines, period);
    }
};

TEST_F(DeclarationRecordTest, EightFieldsEndToEnd)
{
    const std::optional<QString> text = onlyRecord(u"20123456786, '2850590940090418135201', '03', 1234.5, -12.3, 7"_s);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, u"20123456786"
                     u"2850590940090418135201"
                     u"2002"
                     u"09"
                     u"03"
                     u"+00000001234.50"
                     u"-00000000012.30"
                     u"000000007"_s);
    EXPECT_EQ(text->size(), 80);
}

TEST_F(DeclarationRecordTest, NullsGiveBlanksZeroesAndCurrency00)
{
    const std::optional<QString> text = onlyRecord(u"null, null, null, null, null, null"_s);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, QString(11, u' ') + QString(22, u' ') +
                         u"200209"
                         u"00"
                         u"+00000000000.00"
                         u"+00000000000.00"
                         u"000000000"_s);
}

TEST_F(DeclarationRecordTest, ShortValuesAreFilledOnTheirSide)
{
    const std::optional<QString> text = onlyRecord(u"123, '45', '1', 0.5, 0, 1234"_s);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->mid(0, 11), u"123        "_s);
    EXPECT_EQ(text->mid(11, 22), u"45                    "_s);
    EXPECT_EQ(text->mid(39, 2), u"1 "_s);
    EXPECT_EQ(text->mid(41, 15), u"+00000000000.50"_s);
    EXPECT_EQ(text->mid(71, 9), u"000001234"_s);
}

TEST_F(DeclarationRecordTest, OverLongFieldsAreRefusedInsteadOfShiftingTheRecord)
{
    EXPECT_FALSE(onlyRecord(u"20123456786, '28505909400904181352012', '01', 1, 1, 1"_s)) << "CBU of 23";
    execute(u"delete from DDJJ_Detalle"_s);
    EXPECT_FALSE(onlyRecord(u"20123456786, '1', '01', 123456789012, 1, 1"_s)) << "amount of 12 digits";
    execute(u"delete from DDJJ_Detalle"_s);
    EXPECT_FALSE(onlyRecord(u"20123456786, '1', '01', 1, 1, 1234567890"_s)) << "ten-digit deposits";
    execute(u"delete from DDJJ_Detalle"_s);
    EXPECT_FALSE(onlyRecord(u"201234567861, '1', '01', 1, 1, 1"_s)) << "twelve-digit CUIT";
    execute(u"delete from DDJJ_Detalle"_s);
    EXPECT_FALSE(onlyRecord(u"20123456786, '1', '011', 1, 1, 1"_s)) << "three-character currency";
}

TEST_F(DeclarationRecordTest, AnAmountThatIsNotANumberIsRefused)
{
    EXPECT_FALSE(onlyRecord(u"20123456786, '1', '01', 1, 'mil', 1"_s));
}

TEST_F(DeclarationRecordTest, EveryRecordOfAWrittenFileDecryptsBack)
{
    addLines(25);
    execute(u"update DDJJ_Detalle set I_Retenido = -I_Retenido where N_Cuit % 2 = 0"_s);
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
    DeclarationFile declaration;
    ASSERT_EQ(declaration.write(*lines, period, file), DeclarationFile::Outcome::Written);

    const std::vector<QString> records = decryptedLines(file.data());
    ASSERT_EQ(records.size(), 25u);
    EXPECT_EQ(file.data().count('\n'), 25) << "nothing but the records and their line ends";
    auto again = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
    for (const QString& plain : records) {
        ASSERT_FALSE(again->eof());
        EXPECT_EQ(plain, DeclarationFile::record(*again, period));
        again->moveNext();
    }
    EXPECT_EQ(records[1].mid(56, 15), u"-00000000001.00"_s);
    EXPECT_EQ(records[2].mid(56, 15), u"+00000000001.50"_s);
}

TEST_F(DeclarationRecordTest, AWriteThatFailsHalfWayReportsIt)
{
    addLines(5);
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    FailingDevice failing(file, 300);
    auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
    DeclarationFile declaration;
    EXPECT_EQ(declaration.write(*lines, period, failing), DeclarationFile::Outcome::WriteFailed);
}

TEST_F(DeclarationRecordTest, ABadLineStopsTheWrite)
{
    addLines(3);
    execute(u"update DDJJ_Detalle set N_CBU = '12345678901234567890123' where N_Cuit = 20000000002"_s);
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    auto lines = clsCodigo::instance().Get_Detalle_DDJJs_Disk_1(periodo, secuencia);
    DeclarationFile declaration;
    EXPECT_EQ(declaration.write(*lines, period, file), DeclarationFile::Outcome::BadData);
}

TEST(DeclarationFileDecrypt, GivesThePlainRecordsBack)
{
    Cipher cipher;
    const QString first(80, u'1');
    const QString second(80, u'2');
    QBuffer in;
    in.setData(cipher.encrypt(first, u"TOLBRANE"_s).toLatin1() + "\r\n" +
               cipher.encrypt(second, u"TOLBRANE"_s).toLatin1() + "\r\n");
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(DeclarationFile::decrypt(in, out));
    EXPECT_EQ(out.data(), (first + u"\r\n"_s + second + u"\r\n"_s).toLatin1());
}

TEST(DeclarationFileDecrypt, StopsAtALineThatIsNotOurs)
{
    Cipher cipher;
    QBuffer in;
    in.setData(cipher.encrypt(QString(80, u'1'), u"TOLBRANE"_s).toLatin1() + "\r\nbasura\r\n");
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_FALSE(DeclarationFile::decrypt(in, out));
    EXPECT_EQ(out.data(), QString(80, u'1').toLatin1() + "\r\n");
}
