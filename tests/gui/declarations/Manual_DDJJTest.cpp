#include "DeclarationsTest.h"

#include "screens/declarations/Manual_DDJJ.h"

#include <QComboBox>
#include <QLineEdit>

#include <sqlite3.h>

#include <memory>

namespace {

class Manual_DDJJTest : public DeclarationsTest
{
protected:
    // An entry on period 200209.
    void openEntry(int accion, int secuencia, double cuitId = 0, const QString& cbuId = {})
    {
        m_entry = show<Manual_DDJJ>(
            Manual_DDJJ::Entry{u"200209"_s, QString::number(secuencia), accion, cuitId, cbuId, u"10/10/2002"_s});
    }

    void save() { click(*m_entry, u"bAceptar"_s); }

    std::unique_ptr<Manual_DDJJ> m_entry;
};

TEST_F(Manual_DDJJTest, ChecksRunInOrderEachWithItsMessageAndFocus)
{
    addDeclaration(u"200209"_s, 1, u"10/10/2002"_s, u"N"_s);
    openEntry(Manual_DDJJ::NewLine, 1);

    // What goes into a box (typed through its key filter, or pasted past it; a list's index), then the
    // message and focus of "Aceptar".
    const std::tuple<QString, QString, QString, QString, bool> steps[] = {
        {u"txCBU"_s, {}, u"Debe ingresar la CBU."_s, u"txCBU"_s, false},
        {u"txCBU"_s, u"01A0"_s, u"La CBU especificado es incorrecta."_s, u"txCBU"_s, true},
        {u"txCBU"_s, u"01a10"_s, u"Debe ingresar el Tipo de Moneda."_s, u"cbTipoMoneda"_s, false},
        {u"cbTipoMoneda"_s, u"2"_s, u"Debe ingresar la cantidad de depósitos."_s, u"txCant"_s, false},
        {u"txCant"_s, u"1,2,3"_s, u"La cantidad de depósitos es incorrecta."_s, u"txCant"_s, true},
        {u"txCant"_s, u"0"_s, u"La cantidad de depósitos debe ser mayor que 0."_s, u"txCant"_s, false},
        {u"txCant"_s, u"3"_s, u"Debe ingresar el Importe depositado."_s, u"txImporte"_s, false},
        {u"txImporte"_s, u"1-2"_s, u"El Importe depositado es incorrecto."_s, u"txImporte"_s, false},
        {u"txImporte"_s, u"0.00"_s, u"El Importe total depositado debe ser distinto de 0."_s, u"txImporte"_s, false},
        // A second decimal point, "." or ",", is refused...
        {u"txImporte"_s, u"-150,2.5"_s, u"Debe ingresar el Total retenido."_s, u"txTotal"_s, false},
        // ... until Delete has cleared the box's flag.
        {u"txTotal"_s, u"5.\x7f."_s, u"El Total retenido es incorrecto."_s, u"txTotal"_s, false},
        {u"txTotal"_s, u"0"_s, u"El total retenido debe ser distinto de 0."_s, u"txTotal"_s, false},
        {u"txTotal"_s, u"12,5"_s, u"Debe ingresar el CUIT del retenido."_s, u"TxCuit"_s, false},
        {u"TxCuit"_s, u"20123456"_s, u"El CUIT especificado es incorrecto."_s, u"TxCuit"_s, false},
        {u"TxCuit"_s, u"20123456785"_s, u"El CUIT especificado es incorrecto."_s, u"TxCuit"_s, false},
    };
    for (const auto& [box, text, message, focus, pasted] : steps) {
        if (box.startsWith(u"cb"))
            child<QComboBox>(*m_entry, box)->setCurrentIndex(text.toInt());
        else if (pasted)
            child<QLineEdit>(*m_entry, box)->setText(text);
        else
            type(*m_entry, box, text);
        save();
        EXPECT_EQ(m_operator.messageTexts().last() + u" @"_s + focusName(), message + u" @"_s + focus);
    }
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s), 0);

    type(*m_entry, u"TxCuit"_s, u"20123456786"_s);
    save();
    EXPECT_EQ(m_operator.messages().size(), std::size(steps) + 1);
    EXPECT_EQ(m_operator.messages().last(), (ui::ScriptedUi::Message{u"Se ha realizado la operación correctamente."_s,
                                                                     ui::Ui::Icon::Information, false}));
    EXPECT_EQ(m_entry->result(), QDialog::Accepted);
    // The typed decimal point is the regional one; the list indexes became codes.
    EXPECT_EQ(child<QLineEdit>(*m_entry, u"txImporte"_s)->text(), u"-150,25"_s);
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where N_CBU = '0110' and C_Tipo_Cuenta = '00' and C_Tipo_Moneda = '02' "
                                            u"and N_Depositos = 3 and I_Base_Imponible = -150.25 and I_Retenido = 12.5 "
                                            u"and N_Agente = 1234 and F_Auditoria = '2002-10-15'"_s),
              1);
}

// Every mode on period 200209: sequence 1 holds one pending line (key 5), sequence 2 is generated
// with the five example lines (keys 0 to 4) of agent 77; key 6 is new.
enum Outcome { Done, Duplicate, Failed, Unread };
const QString outcomes[] = {u"Se ha realizado la operación correctamente."_s,
                            u"Ya existe un Detalle para el CUIT y CBU especificado."_s,
                            u"No se ha podido realizar la operación."_s, u"No se ha podido realizar la operación."_s};

struct ModeCase
{
    const char* name;
    int accion, secuencia;
    int corrected;      ///< key of the line corrected, -1 for a new line
    int typed;          ///< key typed into the entry
    Outcome outcome;    ///< Failed: the database refuses the copy of generated line 3; Unread: lines cannot be read
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
    if (mode.outcome == Failed)
        m_db.db().executeScript(u"CREATE TRIGGER refuse_copy BEFORE INSERT ON DDJJ_Detalle WHEN NEW.Secuencia = 3 "
                                u"AND NEW.N_CBU = '%1' BEGIN SELECT RAISE(ABORT, 'rechazado'); END;"_s.arg(cbu(3)));
    const int old = mode.corrected;
    openEntry(mode.accion, mode.secuencia, old >= 0 ? cuit(old) : 0, old >= 0 ? cbu(old) : QString());
    child<QComboBox>(*m_entry, u"cbTipoMoneda"_s)->setCurrentIndex(2);
    for (const auto& [box, text] : {std::pair{u"txCBU"_s, cbu(mode.typed)}, std::pair{u"txCant"_s, u"4"_s},
                                    std::pair{u"txImporte"_s, u"4321.5"_s}, std::pair{u"txTotal"_s, u"43.2"_s},
                                    std::pair{u"TxCuit"_s, db::Value::numberText(cuit(mode.typed))}})
        type(*m_entry, box, text);
    const auto denyLineReads = [](void*, int action, const char* table, const char*, const char*, const char*) {
        return action == SQLITE_READ && QLatin1StringView(table) == u"DDJJ_Detalle" ? SQLITE_DENY : SQLITE_OK;
    };
    if (mode.outcome == Unread)
        sqlite3_set_authorizer(db::Database::current()->handle(), denyLineReads, nullptr);
    save();
    sqlite3_set_authorizer(db::Database::current()->handle(), nullptr, nullptr);

    EXPECT_EQ(m_operator.messageTexts(), QStringList{outcomes[mode.outcome]});
    EXPECT_EQ(mode.outcome == Duplicate ? focusName() : u"txCBU"_s, u"txCBU"_s);
    EXPECT_EQ(m_entry->isVisible(), mode.outcome != Done);
    EXPECT_EQ(lineCount(u"200209"_s, mode.written), mode.lines);
    // The typed line is written once, in place of the line corrected.
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s,
                         u"where Secuencia = %1 and N_CBU = '%2' and I_Base_Imponible = 4321.5"_s.arg(mode.written)
                             .arg(cbu(mode.typed))),
              mode.outcome == Done ? 1 : 0);
    // A replica is open, with the due date handed over, and every line of it is pending and written for the
    // agent registered now.
    const bool replica = mode.written == 3 && mode.outcome == Done;
    EXPECT_EQ(m_db.count(u"DDJJ"_s, u"where Secuencia = 3 and Generado = 'N' and Fecha_Vto = '2002-10-10' and "
                                    u"Fecha_Pres is null"_s),
              replica ? 1 : 0);
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s,
                         u"where Secuencia = 3 and N_Agente = 1234 and N_Comprobante is null and "
                         u"F_Presentacion is null and Hoja is null and F_Auditoria = '2002-10-15'"_s),
              replica ? mode.lines : 0);
    // The generated declaration is never touched.
    EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where Secuencia = 2 and N_Comprobante = 27 and Hoja = '1' and "
                                            u"I_Base_Imponible <> 4321.5"_s),
              5);
}

const ModeCase modeCases[] = {
    {"NewLine", Manual_DDJJ::NewLine, 1, -1, 6, Done, 1, 2},
    {"NewLineOnAnExistingKey", Manual_DDJJ::NewLine, 1, -1, 5, Duplicate, 1, 1},
    {"ModifyLine", Manual_DDJJ::ModifyLine, 1, 5, 5, Done, 1, 1},
    {"ModifyReplicatingALineWhoseAccountAnotherShares", Manual_DDJJ::ModifyReplicating, 2, 0, 0, Done, 3, 5},
    {"ModifyReplicatingToANewKey", Manual_DDJJ::ModifyReplicating, 2, 1, 6, Done, 3, 5},
    {"ModifyReplicatingToAnotherLinesKey", Manual_DDJJ::ModifyReplicating, 2, 1, 3, Duplicate, 3, 0},
    {"NewReplicating", Manual_DDJJ::NewReplicating, 2, -1, 6, Done, 3, 6},
    {"NewReplicatingReplacesTheSameKey", Manual_DDJJ::NewReplicating, 2, -1, 2, Done, 3, 5},
    // The new sequence follows the highest of the period, not the one replicated.
    {"NewReplicatingFromSequenceOne", Manual_DDJJ::NewReplicating, 1, -1, 6, Done, 3, 2},
    // A replication that fails part way leaves nothing: neither the declaration, nor the typed line.
    {"ReplicatingWithACopyRefused", Manual_DDJJ::NewReplicating, 2, -1, 6, Failed, 3, 0},
    {"ReplicatingWithTheLinesUnread", Manual_DDJJ::NewReplicating, 2, -1, 6, Unread, 3, 0},
};

INSTANTIATE_TEST_SUITE_P(Modes, ModesTest, ::testing::ValuesIn(modeCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
