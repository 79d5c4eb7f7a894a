#include "DeclarationsTest.h"

#include "platform/db/Value.h"
#include "rules/Cuit_Invalido.h"
#include "screens/declarations/Manual_DDJJ.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using ui::ScriptedUi;

namespace {

const QString failed = u"No se ha podido realizar la operación."_s;
const QString done = u"Se ha realizado la operación correctamente."_s;
const QString duplicateKey = u"Ya existe un Detalle para el CUIT y CBU especificado."_s;

QString digitsOf(double cuit)
{
    return db::Value::numberText(cuit);
}

class Manual_DDJJTest : public DeclarationsTest
{
protected:
    Manual_DDJJ& openEntry(int accion, const QString& posicion, const QString& secuencia, double cuitId = 0,
                           const QString& cbuId = {})
    {
        m_entry = std::make_unique<Manual_DDJJ>();
        m_entry->Accion = accion;
        m_entry->Posicion = posicion;
        m_entry->Secuencia = secuencia;
        m_entry->CuitId = cuitId;
        m_entry->CBUId = cbuId;
        m_entry->FecVto = u"10/10/2002"_s;
        m_entry->Form_Load();
        activate(*m_entry);
        return *m_entry;
    }

    QLineEdit* box(const QString& name) { return m_entry->findChild<QLineEdit*>(name); }
    QComboBox* list(const QString& name) { return m_entry->findChild<QComboBox*>(name); }

    // Empties a box the way the operator does (select all, Backspace) and types the text.
    void retype(const QString& name, const QString& text)
    {
        QLineEdit* edit = box(name);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    void fill(const QString& cbu, int tipoCuenta, int moneda, const QString& cant, const QString& importe,
              const QString& total, double cuit)
    {
        retype(u"txCBU"_s, cbu);
        list(u"cbTipoCuenta"_s)->setCurrentIndex(tipoCuenta);
        list(u"cbTipoMoneda"_s)->setCurrentIndex(moneda);
        retype(u"txCant"_s, cant);
        retype(u"txImporte"_s, importe);
        retype(u"txTotal"_s, total);
        retype(u"TxCuit"_s, digitsOf(cuit));
    }

    void save() { click(*m_entry, u"bAceptar"_s); }

    // The refusal the last save gave: its message and where the focus went.
    QString refusal()
    {
        const QStringList texts = m_ui.messageTexts();
        return (texts.isEmpty() ? QString() : texts.last()) + u" @"_s + focusName();
    }

    std::unique_ptr<Manual_DDJJ> m_entry;
};

TEST_F(Manual_DDJJTest, ChecksRunInOrderEachWithItsMessageAndFocus)
{
    addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
    openEntry(Manual_DDJJ::NewLine, u"200210"_s, u"1"_s);
    const double cuit = validCuit(2012345678);
    QString wrongCheckDigit = digitsOf(cuit);
    wrongCheckDigit.back() = QChar(u'0' + (wrongCheckDigit.back().digitValue() + 1) % 10);
    ASSERT_TRUE(Cuit_Invalido(wrongCheckDigit.toDouble()));

    const std::vector<std::pair<std::function<void()>, QString>> steps{
        {[] {}, u"Debe ingresar la CBU. @txCBU"_s},
        {[this] { box(u"txCBU"_s)->setText(u"01A0"_s); }, u"La CBU especificado es incorrecta. @txCBU"_s},
        {[this] { retype(u"txCBU"_s, u"0110"_s); }, u"Debe ingresar el Tipo de Moneda. @cbTipoMoneda"_s},
        {[this] { list(u"cbTipoMoneda"_s)->setCurrentIndex(2); }, u"Debe ingresar la cantidad de depósitos. @txCant"_s},
        {[this] { retype(u"txCant"_s, u"0"_s); }, u"La cantidad de depósitos debe ser mayor que 0. @txCant"_s},
        {[this] { retype(u"txCant"_s, u"3"_s); }, u"Debe ingresar el Importe depositado. @txImporte"_s},
        {[this] { retype(u"txImporte"_s, u"0.00"_s); },
         u"El Importe total depositado debe ser distinto de 0. @txImporte"_s},
        {[this] { retype(u"txImporte"_s, u"-150.25"_s); }, u"Debe ingresar el Total retenido. @txTotal"_s},
        {[this] { retype(u"txTotal"_s, u"0"_s); }, u"El total retenido debe ser distinto de 0. @txTotal"_s},
        {[this] { retype(u"txTotal"_s, u"12.5"_s); }, u"Debe ingresar el CUIT del retenido. @TxCuit"_s},
        {[this] { retype(u"TxCuit"_s, u"20123456"_s); }, u"El CUIT especificado es incorrecto. @TxCuit"_s},
        {[&] { retype(u"TxCuit"_s, wrongCheckDigit); }, u"El CUIT especificado es incorrecto. @TxCuit"_s},
    };
    for (const auto& [change, expected] : steps) {
        change();
        save();
        EXPECT_EQ(refusal(), expected);
        EXPECT_EQ(m_ui.messages().last().icon, ui::Ui::Icon::Information);
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s), 0);
        ASSERT_TRUE(m_entry->isVisible());
    }
    EXPECT_EQ(m_ui.messages().size(), static_cast<qsizetype>(steps.size()));

    retype(u"TxCuit"_s, digitsOf(cuit));
    save();
    EXPECT_EQ(m_ui.messageTexts().last(), done);
    EXPECT_FALSE(m_entry->isVisible());
    EXPECT_EQ(m_entry->result(), QDialog::Accepted);
    // The typed point became the regional decimal mark.
    EXPECT_EQ(box(u"txImporte"_s)->text(), u"-150,25"_s);

    ASSERT_EQ(lineCount(u"200210"_s, 1), 1);
    const auto value = [&](const QString& column) {
        return lineValue(u"200210"_s, 1, u"0110"_s, cuit, column);
    };
    EXPECT_EQ(value(u"C_Tipo_Cuenta"_s).toString(), u"00"_s);
    EXPECT_EQ(value(u"C_Tipo_Moneda"_s).toString(), u"02"_s);
    EXPECT_EQ(value(u"N_Depositos"_s).toDouble(), 3);
    EXPECT_EQ(value(u"I_Base_Imponible"_s).toDouble(), -150.25);
    EXPECT_EQ(value(u"I_Retenido"_s).toDouble(), 12.5);
    EXPECT_EQ(value(u"N_Agente"_s).toDouble(), 1234);
    EXPECT_EQ(value(u"F_Auditoria"_s).toString(), u"15/10/2002"_s);
    EXPECT_TRUE(value(u"N_Comprobante"_s).isNull());
}

TEST_F(Manual_DDJJTest, KeyFiltersDropRefusedKeysAndAllowOnePointPerAmount)
{
    openEntry(Manual_DDJJ::NewLine, u"200210"_s, u"1"_s);

    QTest::keyClicks(box(u"txCBU"_s), u"01a2-3.4"_s);
    EXPECT_EQ(box(u"txCBU"_s)->text(), u"01234"_s);
    EXPECT_EQ(focusName(), u"txCBU"_s);
    QTest::keyClicks(box(u"txCant"_s), u"1x2."_s);
    EXPECT_EQ(box(u"txCant"_s)->text(), u"12"_s);
    QTest::keyClicks(box(u"TxCuit"_s), u"2a0"_s);
    EXPECT_EQ(box(u"TxCuit"_s)->displayText(), u"20-________-_"_s);

    // A second point is refused until Backspace clears the box's flag.
    QTest::keyClicks(box(u"txImporte"_s), u"-12.3.4x"_s);
    EXPECT_EQ(box(u"txImporte"_s)->text(), u"-12.34"_s);
    QTest::keyClick(box(u"txImporte"_s), Qt::Key_Backspace);
    QTest::keyClicks(box(u"txImporte"_s), u"."_s);
    EXPECT_EQ(box(u"txImporte"_s)->text(), u"-12.3."_s);

    // Releasing Delete clears it too.
    QTest::keyClicks(box(u"txTotal"_s), u"1.5."_s);
    EXPECT_EQ(box(u"txTotal"_s)->text(), u"1.5"_s);
    QTest::keyClick(box(u"txTotal"_s), Qt::Key_Delete);
    QTest::keyClicks(box(u"txTotal"_s), u"."_s);
    EXPECT_EQ(box(u"txTotal"_s)->text(), u"1.5."_s);
}

TEST_F(Manual_DDJJTest, EnterWalksTheFieldsAndStopsOnTheSaveButtonWithoutSaving)
{
    openEntry(Manual_DDJJ::NewLine, u"200210"_s, u"1"_s);
    box(u"txCBU"_s)->setFocus();
    QStringList visited{focusName()};
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        visited.append(focusName());
    }
    EXPECT_EQ(visited, (QStringList{u"txCBU"_s, u"cbTipoCuenta"_s, u"cbTipoMoneda"_s, u"txCant"_s, u"txImporte"_s,
                                    u"txTotal"_s, u"TxCuit"_s, u"bAceptar"_s}));
    EXPECT_TRUE(m_ui.messages().isEmpty());
    EXPECT_TRUE(m_entry->isVisible());

    // Tab follows the same way.
    box(u"txCBU"_s)->setFocus();
    QStringList tabbed{focusName()};
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tabbed.append(focusName());
    }
    EXPECT_EQ(tabbed, visited);
}

TEST_F(Manual_DDJJTest, AmountsThatAreNotNumbersAreRefusedWithoutWriting)
{
    addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
    openEntry(Manual_DDJJ::NewLine, u"200210"_s, u"1"_s);
    fill(u"0110"_s, 1, 1, u"3"_s, u"100"_s, u"10"_s, validCuit(2012345678));

    box(u"txCant"_s)->setText(u"1,2,3"_s);
    save();
    EXPECT_EQ(refusal(), u"La cantidad de depósitos es incorrecta. @txCant"_s);

    retype(u"txCant"_s, u"3"_s);
    for (const QString& amount : {u"-"_s, u"1-2"_s, u"--5"_s}) {
        retype(u"txImporte"_s, amount);
        save();
        EXPECT_EQ(refusal(), u"El Importe depositado es incorrecto. @txImporte"_s) << amount.toStdString();
    }

    retype(u"txImporte"_s, u"100"_s);
    retype(u"txTotal"_s, u"5."_s);
    QTest::keyClick(box(u"txTotal"_s), Qt::Key_Delete);
    QTest::keyClicks(box(u"txTotal"_s), u"."_s);
    save();
    EXPECT_EQ(refusal(), u"El Total retenido es incorrecto. @txTotal"_s);

    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s), 0);
    EXPECT_TRUE(m_entry->isVisible());
}

TEST_F(Manual_DDJJTest, ANewLineWithTheKeyOfAnotherIsRefused)
{
    addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
    const double cuit = validCuit(2012345678);
    addLine(u"200210"_s, 1, u"0110"_s, cuit, 1, 100, 1, u"01"_s, u"01"_s);
    openEntry(Manual_DDJJ::NewLine, u"200210"_s, u"1"_s);
    fill(u"0110"_s, 2, 3, u"4"_s, u"400"_s, u"4"_s, cuit);
    save();
    EXPECT_EQ(refusal(), duplicateKey + u" @txCBU"_s);
    EXPECT_EQ(lineCount(u"200210"_s, 1), 1);
}

TEST_F(Manual_DDJJTest, ACorrectionLoadsTheLineAndUpdatesItWhenPending)
{
    addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
    const double cuit = validCuit(2022222222);
    const double other = validCuit(2033333333);
    addLine(u"200210"_s, 1, u"0220"_s, cuit, 2, 1234.5, 12.3, u"02"_s, u"03"_s);
    addLine(u"200210"_s, 1, u"0220"_s, other, 1, 10, 1);
    openEntry(Manual_DDJJ::ModifyLine, u"200210"_s, u"1"_s, cuit, u"0220"_s);

    EXPECT_EQ(box(u"txCBU"_s)->text(), u"0220"_s);
    EXPECT_EQ(list(u"cbTipoCuenta"_s)->currentText(), u"Cuenta Corriente"_s);
    EXPECT_EQ(list(u"cbTipoMoneda"_s)->currentText(), u"Dólares"_s);
    EXPECT_EQ(box(u"txCant"_s)->text(), u"2"_s);
    EXPECT_EQ(box(u"txImporte"_s)->text(), u"1234.50"_s);
    EXPECT_EQ(box(u"txTotal"_s)->text(), u"12.30"_s);
    EXPECT_EQ(box(u"TxCuit"_s)->displayText(), u"20-22222222-"_s + digitsOf(cuit).back());

    // The CUIT of another line of the same account is refused.
    retype(u"TxCuit"_s, digitsOf(other));
    save();
    EXPECT_EQ(refusal(), duplicateKey + u" @txCBU"_s);

    // The same key needs no check.
    retype(u"TxCuit"_s, digitsOf(cuit));
    retype(u"txCant"_s, u"7"_s);
    save();
    EXPECT_EQ(m_ui.messageTexts().last(), done);
    EXPECT_EQ(lineValue(u"200210"_s, 1, u"0220"_s, cuit, u"N_Depositos"_s).toDouble(), 7);
    EXPECT_EQ(lineValue(u"200210"_s, 1, u"0220"_s, cuit, u"I_Base_Imponible"_s).toDouble(), 1234.5);
    EXPECT_EQ(lineCount(u"200210"_s, 1), 2);
}

TEST_F(Manual_DDJJTest, AGeneratedLineIsNotCorrectedInPlace)
{
    addGeneratedExample();
    openEntry(Manual_DDJJ::ModifyLine, u"200209"_s, u"2"_s, exampleCuit(1), exampleCbu(1));
    retype(u"txCant"_s, u"9"_s);
    save();
    EXPECT_EQ(m_ui.messageTexts().last(), failed);
    EXPECT_TRUE(m_entry->isVisible());
    EXPECT_EQ(lineValue(u"200209"_s, 2, exampleCbu(1), exampleCuit(1), u"N_Depositos"_s).toDouble(), 2);
}

// Replication: period 200209, sequence 1 superseded, sequence 2 generated with five stamped lines
// written for agent 77; the agent registered now is 1234.
class ReplicationTest : public Manual_DDJJTest
{
protected:
    ReplicationTest() { addGeneratedExample(); }

    void expectSequenceTwoUntouched()
    {
        EXPECT_EQ(lineCount(u"200209"_s, 2), 5);
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 2 and N_Comprobante = 27 and Hoja = '1'"_s), 5);
        EXPECT_EQ(lineValue(u"200209"_s, 2, exampleCbu(1), exampleCuit(1), u"I_Base_Imponible"_s).toDouble(), 2000.5);
    }

    // The replica is an open declaration with the due date handed over, its lines pending and written for the
    // agent registered now.
    void expectOpenReplica(int lines)
    {
        EXPECT_EQ(m_db.count(u"DDJJ"_s), 3);
        EXPECT_EQ(m_db.scalar(u"select Generado from DDJJ where Secuencia = 3"_s).toString(), u"N"_s);
        EXPECT_EQ(m_db.scalar(u"select Fecha_Vto from DDJJ where Secuencia = 3"_s).toString(), u"10/10/2002"_s);
        EXPECT_TRUE(m_db.scalar(u"select Fecha_Pres from DDJJ where Secuencia = 3"_s).isNull());
        EXPECT_EQ(lineCount(u"200209"_s, 3), lines);
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 3 and N_Agente = 1234 and N_Comprobante is null "
                                                u"and F_Presentacion is null and Hoja is null "
                                                u"and F_Auditoria = '2002-10-15'"_s),
                  lines);
    }
};

TEST_F(ReplicationTest, ANewLineCreatesTheNextSequenceWithEveryGeneratedLine)
{
    const double cuit = validCuit(2044444444);
    openEntry(Manual_DDJJ::NewReplicating, u"200209"_s, u"2"_s);
    fill(u"0440"_s, 3, 1, u"1"_s, u"10"_s, u"1"_s, cuit);
    save();

    EXPECT_EQ(m_ui.messageTexts(), QStringList{done});
    EXPECT_FALSE(m_entry->isVisible());
    expectOpenReplica(6);
    EXPECT_EQ(lineValue(u"200209"_s, 3, u"0440"_s, cuit, u"C_Tipo_Cuenta"_s).toString(), u"03"_s);
    EXPECT_EQ(lineValue(u"200209"_s, 3, exampleCbu(4), exampleCuit(4), u"C_Tipo_Cuenta"_s).toString(), u"02"_s);
    EXPECT_EQ(lineValue(u"200209"_s, 3, exampleCbu(3), exampleCuit(3), u"I_Retenido"_s).toDouble(), 41);
    expectSequenceTwoUntouched();
}

TEST_F(ReplicationTest, ANewLineWithTheKeyOfAGeneratedOneReplacesIt)
{
    openEntry(Manual_DDJJ::NewReplicating, u"200209"_s, u"2"_s);
    fill(exampleCbu(2), 0, 2, u"8"_s, u"88.8"_s, u"8"_s, exampleCuit(2));
    save();

    expectOpenReplica(5);
    EXPECT_EQ(lineValue(u"200209"_s, 3, exampleCbu(2), exampleCuit(2), u"I_Base_Imponible"_s).toDouble(), 88.8);
    EXPECT_EQ(lineValue(u"200209"_s, 3, exampleCbu(2), exampleCuit(2), u"C_Tipo_Moneda"_s).toString(), u"02"_s);
    expectSequenceTwoUntouched();
}

TEST_F(ReplicationTest, TheNewSequenceFollowsTheHighestOfThePeriod)
{
    openEntry(Manual_DDJJ::NewReplicating, u"200209"_s, u"1"_s);
    fill(u"0440"_s, 1, 1, u"1"_s, u"10"_s, u"1"_s, validCuit(2044444444));
    save();
    // Sequence 1 has no lines of its own: the replica holds the entered line alone.
    expectOpenReplica(1);
}

TEST_F(ReplicationTest, ACorrectionCreatesTheNextSequenceWithTheCorrectedLineAndTheOtherFour)
{
    openEntry(Manual_DDJJ::ModifyReplicating, u"200209"_s, u"2"_s, exampleCuit(1), exampleCbu(1));
    EXPECT_EQ(box(u"txImporte"_s)->text(), u"2000.50"_s);
    retype(u"txImporte"_s, u"5555.5"_s);
    save();

    EXPECT_EQ(m_ui.messageTexts(), QStringList{done});
    expectOpenReplica(5);
    EXPECT_EQ(lineValue(u"200209"_s, 3, exampleCbu(1), exampleCuit(1), u"I_Base_Imponible"_s).toDouble(), 5555.5);
    expectSequenceTwoUntouched();
}

TEST_F(ReplicationTest, ACorrectionToANewKeyLeavesTheOldKeyOut)
{
    openEntry(Manual_DDJJ::ModifyReplicating, u"200209"_s, u"2"_s, exampleCuit(1), exampleCbu(1));
    retype(u"txCBU"_s, u"0999"_s);
    save();

    expectOpenReplica(5);
    EXPECT_EQ(lineValue(u"200209"_s, 3, u"0999"_s, exampleCuit(1), u"N_Depositos"_s).toDouble(), 2);
    EXPECT_TRUE(lineValue(u"200209"_s, 3, exampleCbu(1), exampleCuit(1), u"N_Depositos"_s).isNull());
}

TEST_F(ReplicationTest, ACorrectionToTheKeyOfAnotherGeneratedLineIsRefused)
{
    openEntry(Manual_DDJJ::ModifyReplicating, u"200209"_s, u"2"_s, exampleCuit(1), exampleCbu(1));
    retype(u"txCBU"_s, exampleCbu(3));
    retype(u"TxCuit"_s, digitsOf(exampleCuit(3)));
    save();

    EXPECT_EQ(refusal(), duplicateKey + u" @txCBU"_s);
    EXPECT_EQ(m_db.count(u"DDJJ"_s), 2);
    EXPECT_EQ(lineCount(u"200209"_s, 3), 0);
    EXPECT_TRUE(m_entry->isVisible());
}

TEST_F(ReplicationTest, AReplicationThatFailsPartWayLeavesNothing)
{
    // The copy of the fourth generated line is refused by the database.
    m_db.db().executeScript(u"CREATE TRIGGER refuse_copy BEFORE INSERT ON DDJJ_Detalle "
                            u"WHEN NEW.Secuencia = 3 AND NEW.N_CBU = '%1' "
                            u"BEGIN SELECT RAISE(ABORT, 'rechazado'); END;"_s.arg(exampleCbu(3)));
    for (const int accion : {Manual_DDJJ::NewReplicating, Manual_DDJJ::ModifyReplicating}) {
        m_ui.clearMessages();
        openEntry(accion, u"200209"_s, u"2"_s, exampleCuit(1), exampleCbu(1));
        if (accion == Manual_DDJJ::NewReplicating)
            fill(u"0440"_s, 1, 1, u"1"_s, u"10"_s, u"1"_s, validCuit(2044444444));
        save();

        EXPECT_EQ(m_ui.messageTexts(), QStringList{failed}) << accion;
        EXPECT_TRUE(m_entry->isVisible());
        EXPECT_EQ(m_db.count(u"DDJJ"_s), 2);
        EXPECT_EQ(lineCount(u"200209"_s, 3), 0);
    }
    expectSequenceTwoUntouched();
    EXPECT_FALSE(m_ui.isBusy());
}

} // namespace
