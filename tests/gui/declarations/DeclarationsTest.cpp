#include "DeclarationsTest.h"

#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ui/ListGrid.h"
#include "rules/Cuit_Invalido.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString sqlText(const QString& text)
{
    return text.isEmpty() ? u"Null"_s : u'\'' + text + u'\'';
}

} // namespace

DeclarationsTest::DeclarationsTest() : m_ui(ui::ScriptedUi::install())
{
    Clock::fix(QDate(2002, 10, 15));
    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_Agente = 1234;
    codigo.Par_CUIT = u"30-70707070-1"_s;
    codigo.Par_Denomin = u"Banco de Ostrel S.A."_s;
}

DeclarationsTest::~DeclarationsTest()
{
    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_Agente = 0;
    codigo.Par_CUIT.clear();
    codigo.Par_Denomin.clear();
    Clock::release();
    ui::Ui::install(nullptr);
}

void DeclarationsTest::addDeclaration(const QString& posicion, int secuencia, const QString& fecVto,
                                      const QString& generado, const QString& fecPres)
{
    m_db.db().execute(u"Insert Into DDJJ (Posicion_Fiscal, Secuencia, Fecha_Vto, Generado, Fecha_Pres) "
                      u"values ('%1', %2, %3, %4, %5)"_s.arg(posicion)
                          .arg(secuencia)
                          .arg(sqlText(fecVto), sqlText(generado), sqlText(fecPres)));
}

void DeclarationsTest::addLine(const QString& posicion, int secuencia, const QString& cbu, double cuit,
                               double depositos, double base, double retenido, const QString& tipoCuenta,
                               const QString& moneda)
{
    m_db.db().execute(u"Insert Into DDJJ_Detalle (Secuencia, N_Posicion_Fiscal, N_Agente, N_CBU, C_Tipo_Cuenta, "
                      u"C_Tipo_Moneda, N_Cuit, N_Depositos, I_Base_Imponible, I_Retenido, F_Auditoria) "
                      u"values (%1, %2, 77, '%3', %4, %5, %6, %7, %8, %9, '01/09/2002')"_s.arg(secuencia)
                          .arg(posicion, cbu, sqlText(tipoCuenta), sqlText(moneda), db::Value::numberText(cuit),
                               db::Value::numberText(depositos), db::Value::numberText(base),
                               db::Value::numberText(retenido)));
}

void DeclarationsTest::stampLines(const QString& posicion, int secuencia, double comprobante, const QString& fecha)
{
    m_db.db().execute(
        u"Update DDJJ_Detalle Set N_Comprobante = %1, Hoja = '1', F_Presentacion = '%2' "
        u"Where N_Posicion_Fiscal = %3 and Secuencia = %4"_s.arg(db::Value::numberText(comprobante), fecha, posicion)
            .arg(secuencia));
}

db::Value DeclarationsTest::lineValue(const QString& posicion, int secuencia, const QString& cbu, double cuit,
                                      const QString& column)
{
    return m_db.scalar(u"select %1 from DDJJ_Detalle where N_Posicion_Fiscal = %2 and Secuencia = %3 "
                       u"and N_CBU = '%4' and N_Cuit = %5"_s.arg(column, posicion)
                           .arg(secuencia)
                           .arg(cbu, db::Value::numberText(cuit)));
}

int DeclarationsTest::lineCount(const QString& posicion, int secuencia)
{
    return m_db.count(u"DDJJ_Detalle"_s,
                      u"where N_Posicion_Fiscal = %1 and Secuencia = %2"_s.arg(posicion).arg(secuencia));
}

void DeclarationsTest::addGeneratedExample()
{
    addDeclaration(u"200209"_s, 1, u"10/10/2002"_s, u"S"_s, u"02/10/2002"_s);
    addDeclaration(u"200209"_s, 2, u"10/10/2002"_s, u"S"_s, u"08/10/2002"_s);
    for (int i = 0; i < 5; ++i)
        addLine(u"200209"_s, 2, exampleCbu(i), exampleCuit(i), i + 1, 1000.0 * (i + 1) + 0.5, 10.25 * (i + 1),
                i == 4 ? u"02"_s : u"01"_s);
    stampLines(u"200209"_s, 2, 27, u"08/10/2002"_s);
}

QString DeclarationsTest::exampleCbu(int i)
{
    // Two lines share an account: the key is the pair of account and CUIT.
    return i == 4 ? exampleCbu(0) : u"01100123000000000000%1"_s.arg(i + 1, 2, 10, QChar(u'0'));
}

double DeclarationsTest::exampleCuit(int i)
{
    return validCuit(2012345670.0 + i * 11);
}

void DeclarationsTest::activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QPushButton* DeclarationsTest::button(QWidget& screen, const QString& name)
{
    auto* found = screen.findChild<QPushButton*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

void DeclarationsTest::click(QWidget& screen, const QString& name)
{
    QPushButton* pressed = button(screen, name);
    ASSERT_NE(pressed, nullptr);
    ASSERT_TRUE(pressed->isEnabled()) << name.toStdString() << " is disabled";
    QTest::mouseClick(pressed, Qt::LeftButton);
}

void DeclarationsTest::clickRow(ui::ListGrid& grid, int row)
{
    const QRect rect = grid.visualRect(grid.model()->index(row, 0));
    ASSERT_TRUE(rect.isValid()) << "row " << row << " is not shown";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
}

void DeclarationsTest::clickHeader(ui::ListGrid& grid, int column)
{
    QHeaderView* header = grid.header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

QStringList DeclarationsTest::columnCells(const ui::ListGrid& grid, int column)
{
    QStringList cells;
    for (int row = 0; row < grid.rowCount(); ++row)
        cells.append(grid.cell(row, column));
    return cells;
}

QString DeclarationsTest::focusName()
{
    const QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString();
}

double DeclarationsTest::validCuit(double leadingDigits)
{
    for (int check = 0; check < 10; ++check) {
        const double cuit = leadingDigits * 10 + check;
        if (!Cuit_Invalido(cuit))
            return cuit;
    }
    return validCuit(leadingDigits + 1);
}
