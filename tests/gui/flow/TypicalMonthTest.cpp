// September 2002's declaration through the real screens from the main menu: a line typed in and two
// imported, the generation with the first printing, a correction that replicates the generated
// declaration, and the replica generated and regenerated. The screens' own tests check their messages
// and focus; this one checks what passes from screen to screen: rows, stamps, counters and files.

#include "delivery/DeliveredDatabase.h"
#include "support/ReportFiles.h"
#include "support/ScreenFixture.h"

#include "app/Main.h"
#include "platform/ui/ListGrid.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Records of 200209 as the declaration and interface files lay them out: CUIT, CBU, period, currency,
// signed base, signed amount withheld, deposits. A is typed in; C and D are imported.
const QString cbuA = u"0110012300000000000011"_s;
const QString recordA = u"20123456786"_s + cbuA + u"20020901+00000015000.50+00000000150.25000000003"_s;
const QString recordC = u"20172543597017000154000000123456720020901+00000001234.50+00000000012.30000000003"_s;
const QString recordD = u"24225609914017000154000000765432120020902+00000000500.00-00000000005.00000000001"_s;

} // namespace

/// The database file as it is delivered (counters, help document, the first declaration of 200208 to
/// 200210), a registered agent and a date early in October 2002.
class TypicalMonthTest : public ScreenFixture
{
protected:
    TypicalMonthTest() : ScreenFixture(QDate(2002, 10, 8))
    {
        DeliveredDatabase::addParameters(m_db.db(), u"ayuda.html"_s);
        DeliveredDatabase::addPeriods(m_db.db(), {200208, 200210, 15});
        setRegistration(4521, u"30-70707070-2"_s, u"Banco Ostrel S.A."_s);
        m_menu.reset(Main::showMenu());
    }

    /// From the main menu, picks sequence secuencia of 200209 in the declaration list (its row in period
    /// order), presses the button with the work queued for the screen it opens, and checks the screens
    /// opened and every answer used.
    void onDeclaration(int secuencia, const QString& button, const QStringList& screens,
                       const std::function<void(QDialog&)>& work)
    {
        const qsizetype seen = m_operator.shownScreens().size();
        m_operator.onNextModal([&](QDialog& list) {
            clickRow(*list.findChild<ui::ListGrid*>(u"lvList"_s), secuencia);
            m_operator.onNextModal(work);
            click(list, button);
            click(list, u"bVolver"_s);
        });
        click(*m_menu, u"bAR04"_s);
        EXPECT_EQ(m_operator.shownScreens().mid(seen), QStringList{u"DDJJ"_s} + screens);
        ASSERT_EQ(m_operator.pending(), 0U);
    }

    /// Generates ("bGenerar") or regenerates ("bImprimir") a sequence into a file; gives its decrypted
    /// records, sorted.
    QStringList generate(int secuencia, const QString& button, const QString& file)
    {
        onDeclaration(secuencia, button, {u"Generacion_DDJJ"_s}, [this, file](QDialog& generation) {
            type(generation, u"TxtPath"_s, QDir::toNativeSeparators(m_files.filePath(file)));
            click(generation, u"bAceptar"_s);
        });
        QStringList records = ReportFiles::declarationRecords(m_files.filePath(file));
        records.sort();
        return records;
    }

    /// The stamps of a sequence's lines, the voucher counter, and the last sheet's voucher and balance.
    QString stamps(int secuencia)
    {
        return m_db.scalar(u"select group_concat(distinct N_Comprobante || ' ' || Hoja || ' ' || F_Presentacion) "
                           u"from DDJJ_Detalle where Secuencia = %1"_s.arg(secuencia))
                   .toString() +
               u' ' + m_db.scalar(u"select Valor from PARAMETROS where ID = 5"_s).toString() + u' ' +
               m_engine.lastReport().parameter(u"Nro"_s) + u' ' + m_engine.lastReport().parameter(u"Saldo"_s);
    }

    QTemporaryDir m_files; // the operator's own folder
    std::unique_ptr<Main> m_menu;
};

TEST_F(TypicalMonthTest, SeptemberIsDeclaredCorrectedByReplicationAndReprinted)
{
    onDeclaration(1, u"bManual"_s, {u"Manual_DDJJ"_s}, [](QDialog& entry) {
        entry.findChild<QComboBox*>(u"cbTipoMoneda"_s)->setCurrentIndex(1);
        for (const auto& [box, text] :
             {std::pair{u"txCBU"_s, cbuA}, std::pair{u"txCant"_s, u"3"_s}, std::pair{u"txImporte"_s, u"15000.50"_s},
              std::pair{u"txTotal"_s, u"150.25"_s}, std::pair{u"TxCuit"_s, u"20123456786"_s}})
            type(entry, box, text);
        click(entry, u"bAceptar"_s);
    });
    const QString interfaceFile = ReportFiles::write(m_files.filePath(u"interfase.txt"_s),
                                                     (recordC + u"\r\n"_s + recordD + u"\r\n"_s).toLatin1());
    onDeclaration(1, u"bAutomatica"_s, {u"Importacion_DDJJ"_s}, [this, &interfaceFile](QDialog& import) {
        m_operator.setNextFileName(QDir::toNativeSeparators(interfaceFile));
        click(import, u"bBuscar"_s);
        click(import, u"bAceptar"_s);
    });

    // The file holds the three lines; the first printing takes voucher 1 from the counter and stamps them.
    QStringList expected{recordA, recordC, recordD};
    expected.sort();
    EXPECT_EQ(generate(1, u"bGenerar"_s, u"ddjj.txt"_s), expected);
    EXPECT_EQ(stamps(1), u"1 1 2002-10-08 2 0000000001 157,55"_s);

    // Line C was withheld 12,80, not 12,30: the correction replicates the generated declaration as
    // sequence 2, whose generation takes the next voucher and whose regeneration reprints it.
    onDeclaration(1, u"bVer"_s, {u"Detalle_DDJJ"_s, u"Manual_DDJJ"_s}, [this](QDialog& detail) {
        clickRow(*detail.findChild<ui::ListGrid*>(u"lvList"_s), 1);
        m_operator.answerNext(true);
        m_operator.onNextModal([](QDialog& entry) {
            type(entry, u"txTotal"_s, u"12.80"_s);
            click(entry, u"bAceptar"_s);
        });
        click(detail, u"bModificar"_s);
    });
    expected.replaceInStrings(u"+00000000012.30"_s, u"+00000000012.80"_s);
    EXPECT_EQ(generate(2, u"bGenerar"_s, u"ddjj2.txt"_s), expected);
    EXPECT_EQ(generate(2, u"bImprimir"_s, u"otra_vez.txt"_s), expected);
    EXPECT_EQ(stamps(2), u"2 1 2002-10-08 3 0000000002 158,05"_s) << "a reprint uses no voucher";
}
