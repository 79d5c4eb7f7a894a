#include "DeclarationsTest.h"

#include "platform/db/Database.h"
#include "screens/declarations/Detalle_DDJJ.h"
#include "screens/declarations/Manual_DDJJ.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class Detalle_DDJJTest : public DeclarationsTest
{
protected:
    void openDetail(const QString& posicion, const QString& secuencia, const QString& generada)
    {
        m_detail = show<Detalle_DDJJ>(Detalle_DDJJ::Declaration{posicion, secuencia, generada, u"11/11/2002"_s});
    }

    // Three pending lines of 200210/1, listed by account: 0110, 0220, 0330.
    void openPendingDeclaration()
    {
        addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
        for (const int i : {3, 1, 2})
            addLine(u"200210"_s, 1, u"0%1"_s.arg(i * 110), validCuit(2000000000 + 11111111.0 * i), 100 * i);
        openDetail(u"200210"_s, u"1"_s, u"N"_s);
    }

    ui::ListGrid& grid() { return *child<ui::ListGrid>(*m_detail, u"lvList"_s); }

    // Opens the entry with a button, cancels it and gives what it was handed: mode, period/sequence,
    // due date, CBU and CUIT of the line, and the amount loaded.
    QString entryFrom(const QString& name)
    {
        QString handed = u"not opened"_s;
        m_operator.onNextModal([&handed](QDialog& screen) {
            auto& m = dynamic_cast<Manual_DDJJ&>(screen);
            handed = u"%1 %2/%3 %4 %5 %6 %7"_s.arg(m.Accion).arg(m.Posicion, m.Secuencia, m.FecVto, m.CBUId,
                                                                 db::Value::numberText(m.CuitId),
                                                                 child<QLineEdit>(screen, u"txImporte"_s)->text());
            click(screen, u"bCancelar"_s);
        });
        click(*m_detail, name);
        return handed;
    }

    std::unique_ptr<Detalle_DDJJ> m_detail;
};

TEST_F(Detalle_DDJJTest, OnAPendingDeclarationTheEntryGetsTheLineAndTheListReturnsToTheRow)
{
    openPendingDeclaration();
    EXPECT_EQ(entryFrom(u"BAgregar"_s), u"0 200210/1   0 "_s);
    clickRow(grid(), 1);
    EXPECT_EQ(entryFrom(u"bModificar"_s),
              u"1 200210/1 11/11/2002 0220 %1 200.00"_s.arg(db::Value::numberText(validCuit(2022222222))));
    EXPECT_TRUE(m_operator.messages().isEmpty());
    EXPECT_EQ(grid().currentRow(), 1) << "back on the corrected line";

    // Deleting, or answering No, moves up a row; from the first row, where row number 0 does not exist,
    // the grid is left on its last row.
    clickRow(grid(), 2);
    clickAnswering(*m_detail, u"BEliminar"_s, false);
    EXPECT_EQ(grid().currentRow(), 1);
    clickRow(grid(), 0);
    clickAnswering(*m_detail, u"BEliminar"_s, true);
    EXPECT_EQ(m_operator.messageTexts(), (QStringList{u"Desea eliminar realmente el detalle seleccionado?"_s,
                                                      u"Desea eliminar realmente el detalle seleccionado?"_s,
                                                      u"Se ha realizado la operación correctamente."_s}));
    EXPECT_EQ(std::tuple(grid().cell(0, 1) + u' ' + grid().cell(1, 1), grid().currentRow(), lineCount(u"200210"_s, 1)),
              std::tuple(u"0220 0330"_s, 1, 2));
}

// Correcting a line of a generated declaration goes through the month's flow.
// Ctrl+F finds a line by its CUIT, typed with dashes, or by its CBU's first digits, after the current line
// and round from the top; F3 finds the next; the line found is the one "&Modificar" opens.
TEST_F(Detalle_DDJJTest, CtrlFFindsALineByCuitOrCbuAndF3TheNext)
{
    openPendingDeclaration();
    const auto find = [this](const QString& typed, Qt::Key key = Qt::Key_F) {
        if (!typed.isEmpty())
            m_operator.setNextText(typed);
        QTest::keyClick(&grid(), key, key == Qt::Key_F ? Qt::ControlModifier : Qt::NoModifier);
        return grid().cell(1);
    };
    const QString cuit = db::Value::numberText(validCuit(2000000000 + 11111111.0 * 2));
    EXPECT_EQ(find(cuit.left(2) + u'-' + cuit.mid(2, 8) + u'-' + cuit.right(1)), u"0220"_s);
    EXPECT_EQ(entryFrom(u"bModificar"_s).section(u' ', 3, 4), u"0220 "_s + cuit);
    EXPECT_EQ(find(u"03"_s), u"0330"_s);
    EXPECT_EQ(find(u"0"_s), u"0110"_s);
    EXPECT_EQ(find({}, Qt::Key_F3), u"0220"_s);
    m_operator.clearMessages();
    EXPECT_EQ(find(u"20-99999999-9"_s), u"0220"_s);
    EXPECT_EQ(m_operator.messageTexts(),
              QStringList{u"No se encontró ninguna línea con el CUIT o la CBU 20-99999999-9."_s});
    EXPECT_EQ(focusName(), u"lvList"_s);
}

// "Exportar…" writes the visible columns in the grid's order to a file a spreadsheet opens as it is; a file
// that cannot be written is said so and leaves nothing.
TEST_F(Detalle_DDJJTest, ExportWritesTheLinesForASpreadsheet)
{
    openPendingDeclaration();
    const QTemporaryDir dir;
    for (const QString& path : {dir.filePath(u"no_existe/detalle.csv"_s), dir.filePath(u"detalle.csv"_s)}) {
        m_operator.setNextFileName(path);
        click(*m_detail, u"bExportar"_s);
    }
    QFile file(dir.filePath(u"detalle.csv"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.mid(0, 2),
              (QList<QByteArray>{"\xEF\xBB\xBF"
                                 "Agente;CBU;Tipo Cuenta;Tipo Moneda;CUIT;Cant Depositos;"
                                 "Importe Depositado;Total Retenido;Comprobante;Fecha Generación\r",
                                 "77;0110;Caja de Ahorro;Pesos;" +
                                     db::Value::numberText(validCuit(2011111111)).toUtf8() + ";1;100,00;10,25;;\r"}));
    EXPECT_EQ(lines.size(), 5);
    EXPECT_EQ(m_operator.messageTexts(),
              (QStringList{u"No se ha podido exportar el detalle al archivo: "_s +
                               dir.filePath(u"no_existe/detalle.csv"_s) + u"."_s,
                           u"Se han exportado 3 líneas al archivo: "_s + dir.filePath(u"detalle.csv"_s) + u"."_s}));
}

TEST_F(Detalle_DDJJTest, OnAGeneratedDeclarationDeleteRefusesAndNewAsksToReplicate)
{
    addGeneratedExample();
    openDetail(u"200209"_s, u"2"_s, u"S"_s);
    click(*m_detail, u"BEliminar"_s);
    clickAnswering(*m_detail, u"BAgregar"_s, false);
    EXPECT_EQ(std::tuple(m_detail->isVisible(), lineCount(u"200209"_s, 2)), std::tuple(true, 5));
    m_operator.answerNext(true);
    EXPECT_EQ(entryFrom(u"BAgregar"_s), u"3 200209/2 11/11/2002  0 "_s);
    const QString replicate = u"La posición fiscal seleccionada ya fue generada. Desea replicar la DDJJ?"_s;
    EXPECT_EQ(m_operator.messageTexts(),
              (QStringList{u"No se puede realizar la operación. La DDJJ ya está generada, no se podrá eliminar este "
                           u"detalle individualmente. Si lo desea, deberá eliminar todo el detalle asociado al "
                           u"período."_s,
                           replicate, replicate}));
    EXPECT_FALSE(m_detail->isVisible()) << "closes even when nothing was saved";
}

// A large bank's month loads whole under the hourglass, its progress followed to the end; a header clicked twice
// keeps the order, and the operator comes back to the line corrected, or above the line kept, deep in the list.
TEST_F(Detalle_DDJJTest, ALongDeclarationLoadsWholeUnderTheHourglassWithProgressAndKeepsItsOrder)
{
    constexpr int lines = 6000;
    addDeclaration(u"200210"_s, 1, u"11/11/2002"_s, u"N"_s);
    {
        db::Transaction transaction(m_db.db());
        // Account types in turn; last, a line without codes or amounts, a Tab and accents in its account.
        for (int i = 1; i < lines; ++i)
            addLine(u"200210"_s, 1, u"%1"_s.arg(i, 22, 10, QChar(u'0')), 20000000000.0 + i, i + 0.5,
                    u"0%1"_s.arg(i % 4));
        execute(u"Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_Agente, N_CBU, I_Base_Imponible) "
                u"values (1, 200210, 77, 'Ñandú\t7', -3.5)"_s);
        execute(u"Update DDJJ_Detalle Set N_Comprobante = 27, Hoja = '1', F_Presentacion = '12/11/2002'"_s);
        transaction.commit();
    }
    const auto row = [this](int index) {
        QStringList cells;
        for (int column = 0; column < 13; ++column)
            cells << grid().cell(index, column);
        return cells.join(u'|');
    };
    const auto loadedWhole = [this] {
        const ui::ScriptedUi::ProgressRecord& last = m_operator.progresses().back();
        return last.text == u"Cargando el detalle de la DDJJ..."_s && last.done == lines && last.total == lines &&
               last.alwaysBusy && !last.backwards && last.ended;
    };

    openDetail(u"200210"_s, u"1"_s, u"N"_s);
    ASSERT_EQ(m_operator.progresses().size(), 1);
    EXPECT_TRUE(loadedWhole());
    ASSERT_EQ(grid().rowCount(), lines);
    EXPECT_EQ(row(0), u"77|0000000000000000000001|Caja de Ahorro|Pesos|20000000001|1|1,50|10,25|01|01|1|27|"
                      u"12/11/2002"_s);
    EXPECT_EQ(row(lines - 1), u"77|Ñandú 7|||||-3,50||0|0|6000|27|12/11/2002"_s);

    const QString before = row(0) + row(3000) + row(lines - 1);
    for (int click = 0; click < 2; ++click)
        clickHeader(grid(), 1);
    EXPECT_EQ(row(0) + row(3000) + row(lines - 1), before) << "always by account and account type";
    ASSERT_EQ(m_operator.progresses().size(), 3);
    EXPECT_TRUE(loadedWhole());
    EXPECT_EQ(m_operator.timesBusy(), 3);

    grid().setCurrentRow(4321);
    EXPECT_EQ(entryFrom(u"bModificar"_s).section(u' ', 0, 3), u"1 200210/1 11/11/2002 0000000000000000004322"_s);
    EXPECT_EQ(grid().currentRow(), 4321) << "back on the line";
    clickAnswering(*m_detail, u"BEliminar"_s, false);
    EXPECT_EQ(grid().currentRow(), 4320) << "on the line above the one kept";
}

} // namespace
