#include "DeclarationsTest.h"

#include "screens/declarations/Manual_DDJJ.h"

#include <QComboBox>
#include <QLineEdit>

#include <functional>
#include <memory>

namespace {

class Manual_DDJJTest : public DeclarationsTest
{
protected:
    // An entry on period 200209.
    void openEntry(int accion, int secuencia, double cuitId = 0, const QString& cbuId = {})
    {
        m_entry = std::make_unique<Manual_DDJJ>();
        m_entry->Accion = accion;
        m_entry->Posicion = u"200209"_s;
        m_entry->Secuencia = QString::number(secuencia);
        m_entry->CuitId = cuitId;
        m_entry->CBUId = cbuId;
        m_entry->FecVto = u"10/10/2002"_s;
        m_entry->Form_Load();
        activate(*m_entry);
    }

    // Empties a box the way the operator does (select all, Backspace) and types the text.
    void retype(const QString& name, const QString& text)
    {
        auto* edit = child<QLineEdit>(*m_entry, name);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    void pick(const QString& name, int index) { child<QComboBox>(*m_entry, name)->setCurrentIndex(index); }
    void save() { click(*m_entry, u"bAceptar"_s); }

    std::unique_ptr<Manual_DDJJ> m_entry;
};

TEST_F(Manual_DDJJTest, ChecksRunInOrderEachWithItsMessageAndFocus)
{
    addDeclaration(u"200209"_s, 1, u"10/10/2002"_s, u"N"_s);
    openEntry(Manual_DDJJ::NewLine, 1);
    const QString cuit = db::Value::numberText(validCuit(2012345678));
    QString wrongCheckDigit = cuit;
    wrongCheckDigit.back() = QChar(u'0' + (wrongCheckDigit.back().digitValue() + 1) % 10);

    const std::pair<std::function<void()>, QString> steps[] = {
        {[] {}, u"Debe ingresar la CBU. @txCBU"_s},
        {[this] { child<QLineEdit>(*m_entry, u"txCBU"_s)->setText(u"01A0"_s); },
         u"La CBU especificado es incorrecta. @txCBU"_s},
        {[this] { retype(u"txCBU"_s, u"0110"_s); }, u"Debe ingresar el Tipo de Moneda. @cbTipoMoneda"_s},
        {[this] { pick(u"cbTipoMoneda"_s, 2); }, u"Debe ingresar la cantidad de depósitos. @txCant"_s},
        {[this] { child<QLineEdit>(*m_entry, u"txCant"_s)->setText(u"1,2,3"_s); },
         u"La cantidad de depósitos es incorrecta. @txCant"_s},
        {[this] { retype(u"txCant"_s, u"0"_s); }, u"La cantidad de depósitos debe ser mayor que 0. @txCant"_s},
        {[this] { retype(u"txCant"_s, u"3"_s); }, u"Debe ingresar el Importe depositado. @txImporte"_s},
        {[this] { retype(u"txImporte"_s, u"1-2"_s); }, u"El Importe depositado es incorrecto. @txImporte"_s},
        {[this] { retype(u"txImporte"_s, u"0.00"_s); },
         u"El Importe total depositado debe ser distinto de 0. @txImporte"_s},
        {[this] { retype(u"txImporte"_s, u"-150.25"_s); }, u"Debe ingresar el Total retenido. @txTotal"_s},
        // A second point gets in only after Delete has cleared the box's flag.
        {[this] {
             retype(u"txTotal"_s, u"5.."_s);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
             QTest::keyClicks(QApplication::focusWidget(), u"."_s);
         },
         u"El Total retenido es incorrecto. @txTotal"_s},
        {[this] { retype(u"txTotal"_s, u"0"_s); }, u"El total retenido debe ser distinto de 0. @txTotal"_s},
        {[this] { retype(u"txTotal"_s, u"12.5"_s); }, u"Debe ingresar el CUIT del retenido. @TxCuit"_s},
        {[this] { retype(u"TxCuit"_s, u"20123456"_s); }, u"El CUIT especificado es incorrecto. @TxCuit"_s},
        {[&] { retype(u"TxCuit"_s, wrongCheckDigit); }, u"El CUIT especificado es incorrecto. @TxCuit"_s},
    };
    for (const auto& [change, expected] : steps) {
        change();
        save();
        EXPECT_EQ(m_ui.messageTexts().last() + u" @"_s + focusName(), expected);
        EXPECT_EQ(m_ui.messages().last().icon, ui::Ui::Icon::Information);
    }
    EXPECT_EQ(m_ui.messages().size(), std::size(steps));
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s), 0);

    retype(u"TxCuit"_s, cuit);
    save();
    EXPECT_EQ(m_ui.messageTexts().last(), u"Se ha realizado la operación correctamente."_s);
    EXPECT_EQ(m_entry->result(), QDialog::Accepted);
    // The typed point became the regional decimal mark; the combo indexes became codes.
    EXPECT_EQ(child<QLineEdit>(*m_entry, u"txImporte"_s)->text(), u"-150,25"_s);
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where C_Tipo_Cuenta = '00' and C_Tipo_Moneda = '02' and N_Depositos = 3 "
                                            u"and I_Base_Imponible = -150.25 and I_Retenido = 12.5 "
                                            u"and N_Agente = 1234 and F_Auditoria = '2002-10-15'"_s),
              1);
}

// Every mode on period 200209: sequence 1 holds one pending line (key 5), sequence 2 is generated
// with the five example lines (keys 0 to 4) of agent 77; key 6 is new.
enum Outcome { Done, Duplicate, Failed };
const QString outcomes[] = {u"Se ha realizado la operación correctamente."_s,
                            u"Ya existe un Detalle para el CUIT y CBU especificado."_s,
                            u"No se ha podido realizar la operación."_s};

struct ModeCase
{
    const char* name;
    int accion, secuencia;
    int corrected;    ///< key of the line corrected, -1 for a new line
    int typed;        ///< key typed into the entry
    bool copyRefused; ///< the database refuses the copy of generated line 3
    Outcome outcome;
    int written, lines; ///< sequence whose lines are counted, and how many it holds
};

class ModesTest : public Manual_DDJJTest, public ::testing::WithParamInterface<ModeCase>
{
protected:
    static QString cbu(int key) { return key < 5 ? exampleCbu(key) : u"0%1"_s.arg(key * 111); }
    static double cuit(int key) { return key < 5 ? exampleCuit(key) : validCuit(2000000000.0 + key * 1111111); }
};

TEST_P(ModesTest, WritesTheLineOrTheReplicaOrRefuses)
{
    const ModeCase& mode = GetParam();
    addGeneratedExample();
    addLine(u"200209"_s, 1, cbu(5), cuit(5), 500);
    if (mode.copyRefused)
        m_db.db().executeScript(u"CREATE TRIGGER refuse_copy BEFORE INSERT ON DDJJ_Detalle WHEN NEW.Secuencia = 3 "
                                u"AND NEW.N_CBU = '%1' BEGIN SELECT RAISE(ABORT, 'rechazado'); END;"_s.arg(cbu(3)));
    const int old = mode.corrected;
    openEntry(mode.accion, mode.secuencia, old >= 0 ? cuit(old) : 0, old >= 0 ? cbu(old) : QString());
    retype(u"txCBU"_s, cbu(mode.typed));
    pick(u"cbTipoCuenta"_s, 1);
    pick(u"cbTipoMoneda"_s, 2);
    retype(u"txCant"_s, u"4"_s);
    retype(u"txImporte"_s, u"4321.5"_s);
    retype(u"txTotal"_s, u"43.2"_s);
    retype(u"TxCuit"_s, db::Value::numberText(cuit(mode.typed)));
    save();

    EXPECT_EQ(m_ui.messageTexts(), QStringList{outcomes[mode.outcome]});
    if (mode.outcome == Duplicate) {
        EXPECT_EQ(focusName(), u"txCBU"_s);
    }
    EXPECT_EQ(m_entry->isVisible(), mode.outcome != Done);
    EXPECT_EQ(lineCount(u"200209"_s, mode.written), mode.lines);
    const bool replica = mode.written == 3 && mode.outcome == Done;
    EXPECT_EQ(m_db.count(u"DDJJ"_s), replica ? 3 : 2);
    if (mode.outcome == Done) {
        EXPECT_EQ(lineValue(mode.written, cbu(mode.typed), cuit(mode.typed), u"I_Base_Imponible"_s).toDouble(), 4321.5);
        if (old >= 0 && mode.typed != old) {
            EXPECT_TRUE(lineValue(mode.written, cbu(old), cuit(old), u"N_Cuit"_s).isNull());
        }
    }
    if (replica) {
        // Open, with the due date handed over, every line pending and written for the agent registered now.
        EXPECT_EQ(m_db.scalar(u"select Generado || Fecha_Vto || ifnull(Fecha_Pres, '') from DDJJ where Secuencia = 3"_s)
                      .toString(),
                  u"N2002-10-10"_s);
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 3 and N_Agente = 1234 and N_Comprobante is null "
                                                u"and F_Presentacion is null and Hoja is null "
                                                u"and F_Auditoria = '2002-10-15'"_s),
                  mode.lines);
    }
    // The generated declaration is never touched.
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 2 and N_Comprobante = 27 and Hoja = '1'"_s), 5);
    EXPECT_EQ(lineValue(2, exampleCbu(1), exampleCuit(1), u"I_Base_Imponible"_s).toDouble(), 2000.5);
}

const ModeCase modeCases[] = {
    {"NewLine", Manual_DDJJ::NewLine, 1, -1, 6, false, Done, 1, 2},
    {"NewLineOnAnExistingKey", Manual_DDJJ::NewLine, 1, -1, 5, false, Duplicate, 1, 1},
    {"ModifyLine", Manual_DDJJ::ModifyLine, 1, 5, 5, false, Done, 1, 1},
    {"ModifyLineOfAGeneratedDeclaration", Manual_DDJJ::ModifyLine, 2, 1, 1, false, Failed, 2, 5},
    {"ModifyReplicating", Manual_DDJJ::ModifyReplicating, 2, 1, 1, false, Done, 3, 5},
    {"ModifyReplicatingToANewKey", Manual_DDJJ::ModifyReplicating, 2, 1, 6, false, Done, 3, 5},
    {"ModifyReplicatingToAnotherLinesKey", Manual_DDJJ::ModifyReplicating, 2, 1, 3, false, Duplicate, 3, 0},
    {"NewReplicating", Manual_DDJJ::NewReplicating, 2, -1, 6, false, Done, 3, 6},
    {"NewReplicatingReplacesTheSameKey", Manual_DDJJ::NewReplicating, 2, -1, 2, false, Done, 3, 5},
    // The new sequence follows the highest of the period, not the one replicated.
    {"NewReplicatingFromSequenceOne", Manual_DDJJ::NewReplicating, 1, -1, 6, false, Done, 3, 2},
    // A replication that fails part way leaves nothing.
    {"NewReplicatingWithACopyRefused", Manual_DDJJ::NewReplicating, 2, -1, 6, true, Failed, 3, 0},
    {"ModifyReplicatingWithACopyRefused", Manual_DDJJ::ModifyReplicating, 2, 1, 1, true, Failed, 3, 0},
};

INSTANTIATE_TEST_SUITE_P(Modes, ModesTest, ::testing::ValuesIn(modeCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
