// A typical month, step by step, as the operator lives it: the agent is registered, the AR03 payments of
// September 2002 are recorded and their forms printed, the declaration of the period receives detail lines
// typed in and imported, is generated and printed, corrected by replication, and the replica is generated,
// printed, regenerated and reprinted. Every step goes through the real screens from the main menu.

#include "MonthTest.h"

#include "gui/import/ImportTest.h"

#include "app/Main.h"
#include "data/clsCodigo.h"
#include "platform/reportengine/RecordedReport.h"
#include "platform/ui/CuitEdit.h"
#include "platform/ui/ListGrid.h"
#include "rules/Cuit_Invalido.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Messages = QList<ui::ScriptedUi::Message>;
using Rows = QList<QStringList>;

const QString saved = u"Se ha realizado la operación correctamente."_s;
const QString registered = u"Se ha realizado la registración correctamente."_s;
const QString diskette = u"Se ha generado el diskette correctamente. A continuación se emitirá el formulario AR04."_s;
const QString replicate = u"La posición fiscal seleccionada ya fue generada. Desea replicar la DDJJ?"_s;
const QString exitQuestion = u"Está seguro que desea salir de la aplicación?"_s;

// The agent as registered.
const QString agentCuit = u"30-70707070-2"_s;
const QString agentName = u"Banco Ostrel S.A."_s;
const QString agentNumber = u"4521"_s;

const QString today = u"08/10/2002"_s;
const QString noDate = u"01/01/1900"_s;

// Columns of the payment list.
namespace pagos {
constexpr int semana = 2;
constexpr int inc = 6;
constexpr int comprobante = 7;
} // namespace pagos

// Columns of the declaration list.
namespace ddjj {
constexpr int posicion = 0;
constexpr int secuencia = 1;
} // namespace ddjj

// Columns of the detail list.
namespace detalle {
constexpr int cbu = 1;
} // namespace detalle

/// A payment as the operator enters it, and as the list and the forms show it.
struct Payment
{
    int semana;
    QDate fecha;
    QString typed;  // the amount typed, with "." as decimal point
    int moneda;     // position in the currency list
    QString listed; // the amount as the payment list shows it: its plain number text
    QString shown;  // the amount as the printed forms show it
    QString monedaShown;
};

const std::vector<Payment> payments{
    {1, QDate(2002, 9, 6), u"1234.5"_s, 1, u"1234,5"_s, u"1.234,50"_s, u"Pesos"_s},
    {2, QDate(2002, 9, 13), u"800"_s, 1, u"800"_s, u"800,00"_s, u"Pesos"_s},
    {3, QDate(2002, 9, 20), u"250.75"_s, 3, u"250,75"_s, u"250,75"_s, u"Dólares"_s},
};

/// The four detail lines of the declaration of 200209: A and B are typed in, C and D come from the
/// interface file. The CBUs put them in this order in the lists and on the sheets.
struct Line
{
    QString cbu;
    QString cuit; // eleven digits
    int tipoCuenta;
    int moneda;
    QString depositos;
    QString base;     // as typed
    QString retenido; // as typed
};

const Line lineA{u"0110012300000000000011"_s, u"20123456786"_s, 1, 1, u"3"_s, u"15000.50"_s, u"150.25"_s};
const Line lineB{u"0110012300000000000022"_s, u"27280335148"_s, 2, 3, u"1"_s, u"2000"_s, u"20"_s};
const QString cbuC = u"0170001540000001234567"_s;
const QString cuitC = u"20172543597"_s;
const QString cbuD = u"0170001540000007654321"_s;
const QString cuitD = u"24225609914"_s;

/// One record of the declaration file: the fields laid end to end, the period 200209 in the middle.
QString record(const QString& cuit, const QString& cbu, const QString& moneda, const QString& base,
               const QString& retenido, const QString& depositos)
{
    return cuit + cbu + u"2002"_s + u"09"_s + moneda + base + retenido + depositos;
}

/// The records of the declaration's four lines, sorted; line C with the amount withheld given.
QStringList declarationRecords(const QString& retenidoC)
{
    QStringList records{
        record(lineA.cuit, lineA.cbu, u"01"_s, u"+00000015000.50"_s, u"+00000000150.25"_s, u"000000003"_s),
        record(lineB.cuit, lineB.cbu, u"03"_s, u"+00000002000.00"_s, u"+00000000020.00"_s, u"000000001"_s),
        record(cuitC, cbuC, u"01"_s, u"+00000001234.50"_s, retenidoC, u"000000003"_s),
        record(cuitD, cbuD, u"02"_s, u"+00000000500.00"_s, u"-00000000005.00"_s, u"000000001"_s),
    };
    records.sort();
    return records;
}

/// A line slot of the AR04 short form: date, CUIT, CBU, amount deposited, amount withheld, deposits, currency.
QStringList lineSlot(const report::RecordedReport& sheet, int k)
{
    QStringList values;
    for (const QString& name : {u"Fec"_s, u"Cuit"_s, u"CBU"_s, u"TotCred"_s, u"TotRet"_s, u"Cant"_s, u"Moneda"_s})
        values.append(sheet.parameter(name + QString::number(k)));
    return values;
}

/// A payment slot of the AR04 short form: AR03 number, payment date, amount.
QStringList paymentSlot(const report::RecordedReport& sheet, int k)
{
    QStringList values;
    for (const QString& name : {u"Pago"_s, u"FecPago"_s, u"ImpPago"_s})
        values.append(sheet.parameter(name + QString::number(k)));
    return values;
}

/// The slots from..to of a sheet, sorted when the order is the database's own.
Rows slotValues(const report::RecordedReport& sheet, QStringList (*slot)(const report::RecordedReport&, int), int from,
                int to, bool sorted)
{
    Rows values;
    for (int k = from; k <= to; ++k)
        values.append(slot(sheet, k));
    if (sorted)
        std::sort(values.begin(), values.end());
    return values;
}

/// A copy in ascending order, to compare with what comes in the database's own order.
template <typename List>
List sorted(List list)
{
    std::sort(list.begin(), list.end());
    return list;
}

QStringList header(const report::RecordedReport& sheet)
{
    QStringList values;
    for (const QString& name : {u"Nro"_s, u"Agente"_s, u"Nombre"_s, u"Cuit"_s, u"Posicion"_s, u"HojaA"_s, u"HojaT"_s,
                                u"Saldo"_s, u"TotDep"_s})
        values.append(sheet.parameter(name));
    return values;
}

} // namespace

class TypicalMonthTest : public MonthTest
{
protected:
    /// The actions the declaration list offers for its current row.
    static QStringList actions(QWidget& list)
    {
        QStringList enabled;
        for (const QString& name :
             {u"bVer"_s, u"BEliminar"_s, u"bGenerar"_s, u"bImprimir"_s, u"bManual"_s, u"bAutomatica"_s}) {
            if (button(list, name)->isEnabled())
                enabled.append(name);
        }
        return enabled;
    }

    /// Generates the selected declaration into the operator's folder: the path typed over the default,
    /// Enter to reach "&Generar", then the button.
    void generateInto(const QString& path)
    {
        m_ui.onNextModal([path](QDialog& generation) {
            auto* box = generation.findChild<QLineEdit*>(u"TxtPath"_s);
            EXPECT_EQ(box->text(), u"A:\\ddjj.txt"_s) << "the diskette by default";
            type(generation, u"TxtPath"_s, path);
            QTest::keyClick(box, Qt::Key_Return);
            EXPECT_EQ(focusName(), u"bAceptar"_s);
            EXPECT_TRUE(generation.isVisible()) << "Enter does not generate";
            click(generation, u"bAceptar"_s);
            EXPECT_FALSE(generation.isVisible()) << "the screen closes once the file is written";
        });
    }

public:
    // The steps of the month, in the order the operator takes them.

    // Step 0: the program starts on a file without registration; the menu asks for it by itself.
    void registerTheAgent()
    {
        m_ui.onNextModal([](QDialog& registracion) {
            EXPECT_EQ(registracion.findChild<ui::CuitEdit*>(u"TxCuit"_s)->maskText(), u"__-________-_"_s);
            type(registracion, u"TxCuit"_s, u"30707070702"_s);
            type(registracion, u"txRazonSocial"_s, agentName);
            type(registracion, u"txNroAgente"_s, agentNumber);
            click(registracion, u"bAceptar"_s);
            EXPECT_FALSE(registracion.isVisible()) << "the registration closes once saved";
        });
        m_menu = Main::showMenu();

        EXPECT_EQ(newScreens(), QStringList{u"Registracion"_s}) << "the menu opens the registration by itself";
        EXPECT_EQ(newMessages(), Messages{info(registered)});
        ASSERT_TRUE(m_menu && m_menu->isVisible()) << "the menu is shown after the registration";
        EXPECT_EQ(m_menu->windowTitle(), u" TOLBRANE - Sistemas de Agentes de Recaudacion"_s);

        const clsCodigo& codigo = clsCodigo::instance();
        EXPECT_EQ(codigo.Par_Agente, 4521);
        EXPECT_EQ(codigo.Par_CUIT, agentCuit);
        EXPECT_EQ(codigo.Par_Denomin, agentName);
        EXPECT_EQ(rows(u"select ID, Descripcion, Valor from PARAMETROS where ID <= 3 order by ID"_s),
                  (Rows{{u"1"_s, u"CUIT - Registración"_s, agentCuit},
                        {u"2"_s, u"Razón Social / Denominación - Registración"_s, agentName},
                        {u"3"_s, u"Nro Agente - Registración"_s, agentNumber}}));
    }

    // Step 1: the AR03 payments of 200209 are entered from the payment list.
    void recordThePayments()
    {
        openFromMenu(u"bAR03"_s, [this](QDialog& list) {
            EXPECT_EQ(grid(list).rowCount(), 0);
            EXPECT_FALSE(button(list, u"bImprimir"_s)->isEnabled()) << "nothing to print yet";
            for (const Payment& payment : payments) {
                m_ui.onNextModal([&payment](QDialog& entry) {
                    type(entry, u"txPosicion"_s, u"200209"_s);
                    pick(entry, u"cbSemana"_s, payment.semana - 1);
                    entry.findChild<QDateEdit*>(u"txFecha"_s)->setDate(payment.fecha);
                    type(entry, u"txImporte"_s, payment.typed);
                    pick(entry, u"cbTipoMoneda"_s, payment.moneda);
                    click(entry, u"bAceptar"_s);
                    EXPECT_FALSE(entry.isVisible()) << "the entry closes once saved";
                });
                click(list, u"BAgregar"_s);
            }

            // The list shows every payment, none numbered yet.
            const ui::ListGrid& shown = grid(list);
            ASSERT_EQ(shown.rowCount(), 3);
            for (const Payment& payment : payments) {
                const int row = rowWhere(shown, {{pagos::semana, QString::number(payment.semana)}});
                ASSERT_GE(row, 0) << payment.semana;
                // "Importe a depositar" shows the plain number text of the stored amount ("1234,5", "800").
                EXPECT_EQ(cells(shown, row, {1, 3, 4, 5, 7}),
                          (QStringList{u"200209"_s, payment.fecha.toString(u"dd/MM/yyyy"), payment.listed,
                                       payment.monedaShown, QString()}));
            }
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), (QStringList{u"Impresion_AR03"_s, u"Pago_AR03"_s, u"Pago_AR03"_s, u"Pago_AR03"_s}));
        EXPECT_EQ(newMessages(), (Messages{info(saved), info(saved), info(saved)}));
        EXPECT_EQ(rows(u"select Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero from AR03 order by Id"_s),
                  (Rows{{u"200209"_s, u"1"_s, u"06/09/2002"_s, u"1234.5"_s, u"01"_s, QString()},
                        {u"200209"_s, u"2"_s, u"13/09/2002"_s, u"800"_s, u"01"_s, QString()},
                        {u"200209"_s, u"3"_s, u"20/09/2002"_s, u"250.75"_s, u"03"_s, QString()}}));
    }

    // Step 2: "&Imprimir" on each payment numbers it from parameter row 4 and previews its AR03 form;
    // printing a numbered payment again is a reprint.
    void printThePaymentForms()
    {
        openFromMenu(u"bAR03"_s, [this](QDialog& list) {
            ui::ListGrid& shown = grid(list);
            for (const Payment& payment : payments) {
                const QString semana = QString::number(payment.semana);
                clickRowWhere(shown, {{pagos::semana, semana}});
                const QString inc = shown.cell(pagos::inc);
                click(list, u"bImprimir"_s);

                const report::RecordedReport& form = m_engine->lastReport();
                EXPECT_TRUE(form.path.endsWith(u"AR03.rpt"_s));
                EXPECT_EQ(form.previewTitles, QStringList{u"AR03"_s});
                EXPECT_TRUE(form.printerSetupButton);
                EXPECT_EQ(form.parameterNames(),
                          (QStringList{u"Importe"_s, u"Semana"_s, u"FechaPago"_s, u"Agente"_s, u"Nombre"_s,
                                       u"ImporteLet"_s, u"Mes"_s, u"Anio"_s, u"Nro"_s}));
                ASSERT_EQ(form.rows.size(), 1U) << "the form's table is the payment's currency";
                EXPECT_EQ(form.rows.front().value(u"moneda").toString(), payment.moneda == 3 ? u"03"_s : u"01"_s);
                EXPECT_EQ(form.parameter(u"Nro"_s), u"000000000"_s + semana) << "numbered in printing order";
                EXPECT_EQ(form.parameter(u"Importe"_s), payment.shown);
                EXPECT_EQ(form.parameter(u"Semana"_s), semana);
                EXPECT_EQ(form.parameter(u"FechaPago"_s), payment.fecha.toString(u"dd/MM/yyyy"));
                EXPECT_EQ(form.parameter(u"Mes"_s), u"09"_s);
                EXPECT_EQ(form.parameter(u"Anio"_s), u"2002"_s);
                EXPECT_EQ(form.parameter(u"Agente"_s), agentNumber);
                EXPECT_EQ(form.parameter(u"Nombre"_s), agentName);

                // The printed row stays current and shows its new number.
                EXPECT_EQ(shown.cell(pagos::inc), inc);
                EXPECT_EQ(shown.cell(pagos::semana), semana);
                EXPECT_EQ(shown.cell(pagos::comprobante), semana);
                EXPECT_EQ(parameter(4), QString::number(payment.semana + 1)) << "the counter moves on";
            }
            EXPECT_EQ(m_engine->report(0).parameter(u"ImporteLet"_s),
                      u"PESOS UN MIL DOSCIENTOS TREINTA Y CUATRO CON CINCUENTA CENTAVOS.-"_s);
            EXPECT_TRUE(m_engine->report(2).parameter(u"ImporteLet"_s).startsWith(u"DOLARES DOSCIENTOS CINCUENTA"_s));

            // The first payment again: a reprint with the number it already has.
            clickRowWhere(shown, {{pagos::semana, u"1"_s}});
            click(list, u"bImprimir"_s);
            EXPECT_EQ(m_engine->lastReport().previewTitles, QStringList{u"Reimpresión AR03"_s});
            EXPECT_EQ(m_engine->lastReport().parameter(u"Nro"_s), u"0000000001"_s);
            EXPECT_EQ(parameter(4), u"4"_s) << "a reprint gives no number";
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), QStringList{u"Impresion_AR03"_s});
        EXPECT_EQ(newMessages(), Messages{}) << "printing says nothing when it works";
        EXPECT_EQ(m_engine->closePreviewCalls(), 4) << "each AR03 preview replaces the previous one";
        EXPECT_EQ(rows(u"select Numero from AR03 order by Semana"_s), (Rows{{u"1"_s}, {u"2"_s}, {u"3"_s}}));
    }

    // Step 3a: in the declaration list the operator picks 200209 and types two lines in.
    void typeDetailLines()
    {
        openFromMenu(u"bAR04"_s, [this](QDialog& list) {
            ui::ListGrid& shown = grid(list);
            // The first declaration of each delivered period, open, with its due date.
            ASSERT_EQ(shown.rowCount(), 3);
            EXPECT_EQ(cells(shown, 0, {0, 1, 2, 3, 4}),
                      (QStringList{u"200208"_s, u"1"_s, u"15/09/2002"_s, u"N"_s, QString()}));
            EXPECT_EQ(cells(shown, 1, {0, 1, 2, 3, 4}),
                      (QStringList{u"200209"_s, u"1"_s, u"15/10/2002"_s, u"N"_s, QString()}));
            EXPECT_EQ(cells(shown, 2, {0, 1, 2, 3, 4}),
                      (QStringList{u"200210"_s, u"1"_s, u"15/11/2002"_s, u"N"_s, QString()}));

            clickRowWhere(shown, {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"1"_s}});
            EXPECT_EQ(actions(list),
                      (QStringList{u"bVer"_s, u"BEliminar"_s, u"bGenerar"_s, u"bManual"_s, u"bAutomatica"_s}));
            for (const Line& line : {lineA, lineB}) {
                m_ui.onNextModal([&line](QDialog& entry) {
                    type(entry, u"txCBU"_s, line.cbu);
                    pick(entry, u"cbTipoCuenta"_s, line.tipoCuenta);
                    pick(entry, u"cbTipoMoneda"_s, line.moneda);
                    type(entry, u"txCant"_s, line.depositos);
                    type(entry, u"txImporte"_s, line.base);
                    type(entry, u"txTotal"_s, line.retenido);
                    type(entry, u"TxCuit"_s, line.cuit);
                    click(entry, u"bAceptar"_s);
                    EXPECT_FALSE(entry.isVisible()) << "the entry closes once saved";
                });
                click(list, u"bManual"_s);
            }
            EXPECT_EQ(shown.cell(ddjj::posicion), u"200209"_s) << "the list stays on the declaration";
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), (QStringList{u"DDJJ"_s, u"Manual_DDJJ"_s, u"Manual_DDJJ"_s}));
        EXPECT_EQ(newMessages(), (Messages{info(saved), info(saved)}));
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where N_Posicion_Fiscal = 200209 and Secuencia = 1"_s), 2);
    }

    // Step 3b: two more lines come from an interface file prepared outside the program; a line the
    // operator had already typed in is refused and listed in the error file.
    void importDetailLines()
    {
        const QString interfaceFile = operatorFile(u"interfase_200209.txt"_s);
        {
            const Fields c{.cuit = cuitC.toLatin1(),
                           .cbu = cbuC.toLatin1(),
                           .year = "2002",
                           .month = "09",
                           .moneda = "01",
                           .signoBase = "+",
                           .base = "00000001234.50",
                           .signoRetenido = "+",
                           .retenido = "00000000012.30",
                           .depositos = "000000003"};
            Fields typedBefore = c;
            typedBefore.cuit = lineA.cuit.toLatin1();
            typedBefore.cbu = lineA.cbu.toLatin1();
            const Fields d{.cuit = cuitD.toLatin1(),
                           .cbu = cbuD.toLatin1(),
                           .year = "2002",
                           .month = "09",
                           .moneda = "02",
                           .signoBase = "+",
                           .base = "00000000500.00",
                           .signoRetenido = "-",
                           .retenido = "00000000005.00",
                           .depositos = "000000001"};
            QFile file(interfaceFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            // Prepared outside the program: CR LF line ends, and a blank line, which only counts.
            file.write(c.line() + "\r\n" + "\r\n" + typedBefore.line() + "\r\n" + d.line() + "\r\n");
        }

        openFromMenu(u"bAR04"_s, [this, interfaceFile](QDialog& list) {
            clickRowWhere(grid(list), {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"1"_s}});
            m_ui.onNextModal([this, interfaceFile](QDialog& import) {
                m_ui.setNextFileName(interfaceFile);
                click(import, u"bBuscar"_s);
                EXPECT_EQ(import.findChild<QLineEdit*>(u"TxtPath"_s)->text(), interfaceFile);
                click(import, u"bAceptar"_s);
                EXPECT_FALSE(import.isVisible()) << "the import closes when it ends";
            });
            click(list, u"bAutomatica"_s);
            click(list, u"bVolver"_s);
        });

        const QString errorFile = QDir::toNativeSeparators(QDir(m_db.dir()).filePath(u"Errores.txt"_s));
        EXPECT_EQ(newScreens(), (QStringList{u"DDJJ"_s, u"Importacion_DDJJ"_s}));
        EXPECT_EQ(newMessages(), Messages{info(u"La importación ha finalizado. Se han detectado algunos errores que "
                                               u"están registrados en el archivo: "_s +
                                               errorFile + u"."_s)});
        ASSERT_FALSE(m_ui.fileRequests().isEmpty());
        EXPECT_EQ(m_ui.fileRequests().last().caption, u"Archivo para la Importación Detalle de DDJJ"_s);
        QFile errors(errorFile);
        ASSERT_TRUE(errors.open(QIODevice::ReadOnly | QIODevice::Text));
        EXPECT_EQ(QString::fromUtf8(errors.readAll()),
                  u"Error en la linea: 3. Ya existen detalles con el CUIT-CBU especificados.\n"_s);
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s, u"where N_Posicion_Fiscal = 200209 and Secuencia = 1"_s), 4);
    }

    // Step 3c: "&Ver Detalle" shows the four pending lines.
    void reviewTheDetail()
    {
        openFromMenu(u"bAR04"_s, [this](QDialog& list) {
            clickRowWhere(grid(list), {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"1"_s}});
            m_ui.onNextModal([](QDialog& detail) {
                EXPECT_EQ(detail.findChild<QLabel*>(u"lbPosicion"_s)->text(), u"Posición Fiscal: 200209"_s);
                const ui::ListGrid& lines = grid(detail);
                ASSERT_EQ(lines.rowCount(), 4);
                const std::initializer_list<int> columns{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12};
                EXPECT_EQ(cells(lines, 0, columns),
                          (QStringList{agentNumber, lineA.cbu, u"Caja de Ahorro"_s, u"Pesos"_s, lineA.cuit, u"3"_s,
                                       u"15000,50"_s, u"150,25"_s, u"01"_s, u"01"_s, QString(), QString()}));
                EXPECT_EQ(cells(lines, 1, columns),
                          (QStringList{agentNumber, lineB.cbu, u"Cuenta Corriente"_s, u"Dólares"_s, lineB.cuit, u"1"_s,
                                       u"2000,00"_s, u"20,00"_s, u"02"_s, u"03"_s, QString(), QString()}));
                // Imported lines carry no account type.
                EXPECT_EQ(cells(lines, 2, columns),
                          (QStringList{agentNumber, cbuC, QString(), u"Pesos"_s, cuitC, u"3"_s, u"1234,50"_s,
                                       u"12,30"_s, u"00"_s, u"01"_s, QString(), QString()}));
                EXPECT_EQ(cells(lines, 3, columns),
                          (QStringList{agentNumber, cbuD, QString(), u"Lecop"_s, cuitD, u"1"_s, u"500,00"_s, u"-5,00"_s,
                                       u"00"_s, u"02"_s, QString(), QString()}));
                click(detail, u"bVolver"_s);
            });
            click(list, u"bVer"_s);
            EXPECT_EQ(grid(list).cell(ddjj::posicion), u"200209"_s) << "back on the same declaration";
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), (QStringList{u"DDJJ"_s, u"Detalle_DDJJ"_s}));
        EXPECT_EQ(newMessages(), Messages{});
    }

    // Step 4: "&Generar Diskette / Imprimir DDJJ " writes the file and runs the AR04 first printing.
    void generateAndPrint()
    {
        const int reportsBefore = m_engine->reportCount();
        openFromMenu(u"bAR04"_s, [this](QDialog& list) {
            ui::ListGrid& shown = grid(list);
            clickRowWhere(shown, {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"1"_s}});
            generateInto(operatorFile(u"ddjj.txt"_s));
            click(list, u"bGenerar"_s);

            // Back on the declaration, now generated today: only viewing, emptying and reprinting are left.
            EXPECT_EQ(cells(shown, shown.currentRow(), {0, 1, 3, 4}),
                      (QStringList{u"200209"_s, u"1"_s, u"S"_s, today}));
            EXPECT_EQ(actions(list), (QStringList{u"bVer"_s, u"BEliminar"_s, u"bImprimir"_s}));
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), (QStringList{u"DDJJ"_s, u"Generacion_DDJJ"_s}));
        EXPECT_EQ(newMessages(), Messages{info(diskette)});

        // One short sheet, voucher 1 from parameter row 5, the four lines in CBU order, the three payments.
        ASSERT_EQ(m_engine->reportCount(), reportsBefore + 1);
        const report::RecordedReport& sheet = m_engine->lastReport();
        EXPECT_TRUE(sheet.path.endsWith(u"AR04.rpt"_s));
        EXPECT_EQ(sheet.previewTitles, QStringList{u"AR04 - 1 Hoja Nro: 1"_s});
        EXPECT_EQ(sheet.rows.size(), 4U) << "the form's table holds the pending lines";
        EXPECT_EQ(header(sheet), (QStringList{u"0000000001"_s, agentNumber, agentName, agentCuit, u"200209"_s, u"1"_s,
                                              u"1"_s, u"177,55"_s, u"2.285,25"_s}));
        EXPECT_EQ(slotValues(sheet, lineSlot, 1, 4, false),
                  (Rows{{noDate, lineA.cuit, lineA.cbu, u"15.000,50"_s, u"150,25"_s, u"3"_s, u"Pesos"_s},
                        {noDate, lineB.cuit, lineB.cbu, u"2.000,00"_s, u"20,00"_s, u"1"_s, u"Dolares"_s},
                        {noDate, cuitC, cbuC, u"1.234,50"_s, u"12,30"_s, u"3"_s, u"Pesos"_s},
                        {noDate, cuitD, cbuD, u"500,00"_s, u"-5,00"_s, u"1"_s, u"Lecop"_s}}));
        EXPECT_EQ(slotValues(sheet, lineSlot, 5, 16, false),
                  Rows(12, {noDate, QString(), QString(), QString(), QString(), QString(), QString()}));
        EXPECT_EQ(slotValues(sheet, paymentSlot, 1, 3, true), (Rows{{u"1"_s, u"06/09/2002"_s, u"1.234,50"_s},
                                                                    {u"2"_s, u"13/09/2002"_s, u"800,00"_s},
                                                                    {u"3"_s, u"20/09/2002"_s, u"250,75"_s}}));
        EXPECT_EQ(slotValues(sheet, paymentSlot, 4, 15, false), Rows(12, {QString(), QString(), QString()}));

        // The printing stamped every line, moved the voucher counter on and marked the declaration generated.
        EXPECT_EQ(rows(u"select distinct N_Comprobante, Hoja, F_Presentacion from DDJJ_Detalle "
                       u"where N_Posicion_Fiscal = 200209 and Secuencia = 1"_s),
                  (Rows{{u"1"_s, u"1"_s, today}}));
        EXPECT_EQ(parameter(5), u"2"_s);
        EXPECT_EQ(rows(u"select Generado, Fecha_Pres from DDJJ where Posicion_Fiscal = '200209' and Secuencia = 1"_s),
                  (Rows{{u"S"_s, today}}));
        EXPECT_EQ(rows(u"select distinct Impresion from AR03"_s), Rows{{u"S"_s}}) << "every payment was listed";
    }

    // Step 4, the file: one encrypted record per line, 80 characters each once decrypted.
    void checkTheDeclarationFile()
    {
        const QStringList plain = records(operatorFile(u"ddjj.txt"_s));
        for (const QString& line : plain)
            EXPECT_EQ(line.size(), 80) << line.toStdString();
        EXPECT_EQ(plain, declarationRecords(u"+00000000012.30"_s));
    }

    // Step 5a: line C was withheld 12,80, not 12,30. The declaration is generated, so the correction from
    // the detail list replicates it as sequence 2.
    void correctByReplication()
    {
        openFromMenu(u"bAR04"_s, [this](QDialog& list) {
            ui::ListGrid& shown = grid(list);
            clickRowWhere(shown, {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"1"_s}});
            m_ui.onNextModal([this](QDialog& detail) {
                ui::ListGrid& lines = grid(detail);
                EXPECT_EQ(lines.cell(0, 11), u"1"_s) << "the lines show their voucher";
                EXPECT_EQ(lines.cell(0, 12), today);
                clickRowWhere(lines, {{detalle::cbu, cbuC}});
                m_ui.answerNext(true);
                m_ui.onNextModal([](QDialog& entry) {
                    // The line to correct, amounts with a point as the operator types them.
                    EXPECT_EQ(entry.findChild<QLineEdit*>(u"txCBU"_s)->text(), cbuC);
                    EXPECT_EQ(entry.findChild<QComboBox*>(u"cbTipoCuenta"_s)->currentIndex(), 0);
                    EXPECT_EQ(entry.findChild<QComboBox*>(u"cbTipoMoneda"_s)->currentIndex(), 1);
                    EXPECT_EQ(entry.findChild<QLineEdit*>(u"txCant"_s)->text(), u"3"_s);
                    EXPECT_EQ(entry.findChild<QLineEdit*>(u"txImporte"_s)->text(), u"1234.50"_s);
                    EXPECT_EQ(entry.findChild<QLineEdit*>(u"txTotal"_s)->text(), u"12.30"_s);
                    EXPECT_EQ(entry.findChild<ui::CuitEdit*>(u"TxCuit"_s)->maskText(), u"20-17254359-7"_s);
                    type(entry, u"txTotal"_s, u"12.80"_s);
                    click(entry, u"bAceptar"_s);
                    EXPECT_FALSE(entry.isVisible());
                });
                click(detail, u"bModificar"_s);
                EXPECT_FALSE(detail.isVisible()) << "the detail list of the superseded sequence closes";
            });
            click(list, u"bVer"_s);

            // The replica is the newest sequence; the cursor is back on the row number of the superseded one,
            // which offers nothing any more.
            ASSERT_EQ(shown.rowCount(), 4);
            EXPECT_EQ(cells(shown, shown.currentRow(), {0, 1, 3, 4}),
                      (QStringList{u"200209"_s, u"1"_s, u"S"_s, today}));
            EXPECT_EQ(actions(list), QStringList{});
            clickRowWhere(shown, {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"2"_s}});
            EXPECT_EQ(cells(shown, shown.currentRow(), {2, 3, 4}), (QStringList{u"15/10/2002"_s, u"N"_s, QString()}));
            EXPECT_EQ(actions(list),
                      (QStringList{u"bVer"_s, u"BEliminar"_s, u"bGenerar"_s, u"bManual"_s, u"bAutomatica"_s}));
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), (QStringList{u"DDJJ"_s, u"Detalle_DDJJ"_s, u"Manual_DDJJ"_s}));
        EXPECT_EQ(newMessages(), (Messages{question(replicate), info(saved)}));

        // Sequence 2 holds the corrected line and copies of the other three, all pending; sequence 1 is untouched.
        const QString lineSql = u"select N_CBU, I_Retenido, N_Comprobante from DDJJ_Detalle "
                                u"where N_Posicion_Fiscal = 200209 and Secuencia = %1 order by N_CBU"_s;
        EXPECT_EQ(rows(lineSql.arg(2)), (Rows{{lineA.cbu, u"150.25"_s, QString()},
                                              {lineB.cbu, u"20"_s, QString()},
                                              {cbuC, u"12.8"_s, QString()},
                                              {cbuD, u"-5"_s, QString()}}));
        EXPECT_EQ(rows(lineSql.arg(1)), (Rows{{lineA.cbu, u"150.25"_s, u"1"_s},
                                              {lineB.cbu, u"20"_s, u"1"_s},
                                              {cbuC, u"12.3"_s, u"1"_s},
                                              {cbuD, u"-5"_s, u"1"_s}}));
    }

    // Step 5b: sequence 2 is generated and printed the same way, with the next voucher number.
    void generateTheReplica()
    {
        const int reportsBefore = m_engine->reportCount();
        openFromMenu(u"bAR04"_s, [this](QDialog& list) {
            ui::ListGrid& shown = grid(list);
            clickRowWhere(shown, {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"2"_s}});
            generateInto(operatorFile(u"ddjj_secuencia2.txt"_s));
            click(list, u"bGenerar"_s);
            EXPECT_EQ(cells(shown, shown.currentRow(), {0, 1, 3, 4}),
                      (QStringList{u"200209"_s, u"2"_s, u"S"_s, today}));
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), (QStringList{u"DDJJ"_s, u"Generacion_DDJJ"_s}));
        EXPECT_EQ(newMessages(), Messages{info(diskette)});

        ASSERT_EQ(m_engine->reportCount(), reportsBefore + 1);
        const report::RecordedReport& sheet = m_engine->lastReport();
        EXPECT_EQ(sheet.previewTitles, QStringList{u"AR04 - 2 Hoja Nro: 1"_s});
        EXPECT_EQ(header(sheet), (QStringList{u"0000000002"_s, agentNumber, agentName, agentCuit, u"200209"_s, u"1"_s,
                                              u"1"_s, u"178,05"_s, u"2.285,25"_s}));
        EXPECT_EQ(lineSlot(sheet, 3),
                  (QStringList{noDate, cuitC, cbuC, u"1.234,50"_s, u"12,80"_s, u"3"_s, u"Pesos"_s}));
        EXPECT_EQ(slotValues(sheet, paymentSlot, 1, 3, true).size(), 3) << "the payments are listed again";
        EXPECT_EQ(paymentSlot(sheet, 4), (QStringList{QString(), QString(), QString()}));

        EXPECT_EQ(rows(u"select distinct N_Comprobante, Hoja, F_Presentacion from DDJJ_Detalle "
                       u"where N_Posicion_Fiscal = 200209 and Secuencia = 2"_s),
                  (Rows{{u"2"_s, u"1"_s, today}}));
        EXPECT_EQ(parameter(5), u"3"_s);

        m_replicaRecords = records(operatorFile(u"ddjj_secuencia2.txt"_s));
        EXPECT_EQ(m_replicaRecords, declarationRecords(u"+00000000012.80"_s)) << "with the corrected line";
    }

    // Step 5c: "&Regenerar Diskette / Reimprimir DDJJ" writes the file again, with every line, and reprints
    // the stored sheet; nothing in the declaration changes.
    void regenerateAndReprint()
    {
        const QString regenerated = operatorFile(u"ddjj_regenerado"_s);
        const int reportsBefore = m_engine->reportCount();
        openFromMenu(u"bAR04"_s, [this, regenerated](QDialog& list) {
            ui::ListGrid& shown = grid(list);
            clickRowWhere(shown, {{ddjj::posicion, u"200209"_s}, {ddjj::secuencia, u"2"_s}});
            EXPECT_EQ(actions(list), (QStringList{u"bVer"_s, u"BEliminar"_s, u"bImprimir"_s}));
            m_ui.onNextModal([this, regenerated](QDialog& generation) {
                // This time the operator browses for the file; the dialog adds the extension.
                m_ui.setNextFileName(regenerated);
                click(generation, u"bBuscar"_s);
                EXPECT_EQ(generation.findChild<QLineEdit*>(u"TxtPath"_s)->text(), regenerated + u".txt"_s);
                click(generation, u"bAceptar"_s);
            });
            click(list, u"bImprimir"_s);
            EXPECT_EQ(cells(shown, shown.currentRow(), {0, 1, 3, 4}),
                      (QStringList{u"200209"_s, u"2"_s, u"S"_s, today}));
            click(list, u"bVolver"_s);
        });

        EXPECT_EQ(newScreens(), (QStringList{u"DDJJ"_s, u"Generacion_DDJJ"_s}));
        EXPECT_EQ(newMessages(), Messages{info(diskette)});
        ASSERT_FALSE(m_ui.fileRequests().isEmpty());
        EXPECT_EQ(m_ui.fileRequests().last().caption, u"Archivo para la Generación del Detalle de DDJJ"_s);
        EXPECT_EQ(records(regenerated + u".txt"_s), m_replicaRecords) << "the same records as the first time";

        ASSERT_EQ(m_engine->reportCount(), reportsBefore + 1);
        const report::RecordedReport& sheet = m_engine->lastReport();
        EXPECT_TRUE(sheet.path.endsWith(u"AR04.rpt"_s));
        EXPECT_EQ(sheet.previewTitles, QStringList{u"Reimpresión AR04 - 2 Hoja Nro: 1"_s});
        EXPECT_EQ(header(sheet), (QStringList{u"0000000002"_s, agentNumber, agentName, agentCuit, u"200209"_s, u"1"_s,
                                              u"1"_s, u"178,05"_s, u"2.285,25"_s}));
        // The reprinted lines show the date they were presented.
        EXPECT_EQ(slotValues(sheet, lineSlot, 1, 4, true),
                  sorted(Rows{{today, lineA.cuit, lineA.cbu, u"15.000,50"_s, u"150,25"_s, u"3"_s, u"Pesos"_s},
                              {today, lineB.cuit, lineB.cbu, u"2.000,00"_s, u"20,00"_s, u"1"_s, u"Dolares"_s},
                              {today, cuitC, cbuC, u"1.234,50"_s, u"12,80"_s, u"3"_s, u"Pesos"_s},
                              {today, cuitD, cbuD, u"500,00"_s, u"-5,00"_s, u"1"_s, u"Lecop"_s}}));
        EXPECT_EQ(slotValues(sheet, paymentSlot, 1, 3, true), (Rows{{u"1"_s, u"06/09/2002"_s, u"1.234,50"_s},
                                                                    {u"2"_s, u"13/09/2002"_s, u"800,00"_s},
                                                                    {u"3"_s, u"20/09/2002"_s, u"250,75"_s}}));
        EXPECT_EQ(parameter(5), u"3"_s) << "a reprint uses no voucher number";
    }

    // The end of the day: "Salir del Sistema", confirmed.
    void leaveTheProgram()
    {
        m_ui.answerNext(true);
        click(*m_menu, u"bSalir"_s);
        EXPECT_EQ(newMessages(), Messages{question(exitQuestion)});
        EXPECT_TRUE(m_menu.isNull() || !m_menu->isVisible());
    }

    // What the month left in the file.
    void checkTheStoredMonth()
    {
        EXPECT_EQ(rows(u"select ID, Valor from PARAMETROS order by ID"_s), (Rows{{u"1"_s, agentCuit},
                                                                                 {u"2"_s, agentName},
                                                                                 {u"3"_s, agentNumber},
                                                                                 {u"4"_s, u"4"_s},
                                                                                 {u"5"_s, u"3"_s},
                                                                                 {u"6"_s, u"ayuda.html"_s}}));
        EXPECT_EQ(rows(u"select Posicion_Fiscal, Semana, Fecha_Pago, Importe, Moneda, Numero, Impresion "
                       u"from AR03 order by Id"_s),
                  (Rows{{u"200209"_s, u"1"_s, u"06/09/2002"_s, u"1234.5"_s, u"01"_s, u"1"_s, u"S"_s},
                        {u"200209"_s, u"2"_s, u"13/09/2002"_s, u"800"_s, u"01"_s, u"2"_s, u"S"_s},
                        {u"200209"_s, u"3"_s, u"20/09/2002"_s, u"250.75"_s, u"03"_s, u"3"_s, u"S"_s}}));
        EXPECT_EQ(rows(u"select Posicion_Fiscal, Secuencia, Fecha_Vto, Generado, Fecha_Pres from DDJJ "
                       u"order by Posicion_Fiscal, Secuencia"_s),
                  (Rows{{u"200208"_s, u"1"_s, u"15/09/2002"_s, u"N"_s, QString()},
                        {u"200209"_s, u"1"_s, u"15/10/2002"_s, u"S"_s, today},
                        {u"200209"_s, u"2"_s, u"15/10/2002"_s, u"S"_s, today},
                        {u"200210"_s, u"1"_s, u"15/11/2002"_s, u"N"_s, QString()}}));

        Rows expected;
        for (const QString& secuencia : {u"1"_s, u"2"_s}) {
            const QString retenidoC = secuencia == u"1" ? u"12.3"_s : u"12.8"_s;
            const QStringList stamp{today, secuencia, u"1"_s, today};
            expected.append(QStringList{secuencia, agentNumber, lineA.cbu, u"01"_s, u"01"_s, lineA.cuit, u"3"_s,
                                        u"15000.5"_s, u"150.25"_s} +
                            stamp);
            expected.append(QStringList{secuencia, agentNumber, lineB.cbu, u"02"_s, u"03"_s, lineB.cuit, u"1"_s,
                                        u"2000"_s, u"20"_s} +
                            stamp);
            expected.append(
                QStringList{secuencia, agentNumber, cbuC, u"00"_s, u"01"_s, cuitC, u"3"_s, u"1234.5"_s, retenidoC} +
                stamp);
            expected.append(
                QStringList{secuencia, agentNumber, cbuD, u"00"_s, u"02"_s, cuitD, u"1"_s, u"500"_s, u"-5"_s} + stamp);
        }
        EXPECT_EQ(rows(u"select Secuencia, N_Agente, N_CBU, C_Tipo_Cuenta, C_Tipo_Moneda, N_Cuit, N_Depositos, "
                       u"I_Base_Imponible, I_Retenido, F_Auditoria, N_Comprobante, Hoja, F_Presentacion "
                       u"from DDJJ_Detalle where N_Posicion_Fiscal = 200209 order by Secuencia, N_CBU"_s),
                  expected);
        EXPECT_EQ(m_db.count(u"DDJJ_Detalle"_s), 8) << "no other period got lines";

        EXPECT_EQ(m_engine->previewTitles(),
                  (QStringList{u"AR03"_s, u"AR03"_s, u"AR03"_s, u"Reimpresión AR03"_s, u"AR04 - 1 Hoja Nro: 1"_s,
                               u"AR04 - 2 Hoja Nro: 1"_s, u"Reimpresión AR04 - 2 Hoja Nro: 1"_s}));
    }

private:
    /// The records of sequence 2's first file, to compare with its regeneration.
    QStringList m_replicaRecords;
};

TEST_F(TypicalMonthTest, SeptemberIsPaidDeclaredCorrectedAndReprinted)
{
    // The taxpayers' CUITs of the story are acceptable ones, or the screens would refuse them.
    for (const QString& cuit : {u"30707070702"_s, lineA.cuit, lineB.cuit, cuitC, cuitD})
        ASSERT_FALSE(Cuit_Invalido(cuit.toDouble())) << cuit.toStdString();

    const std::vector<std::pair<const char*, void (TypicalMonthTest::*)()>> month{
        {"the agent is registered as the program starts", &TypicalMonthTest::registerTheAgent},
        {"1. the AR03 payments of 200209 are recorded", &TypicalMonthTest::recordThePayments},
        {"2. each AR03 form is printed, and one reprinted", &TypicalMonthTest::printThePaymentForms},
        {"3. detail lines are typed in", &TypicalMonthTest::typeDetailLines},
        {"3. detail lines are imported from an interface file", &TypicalMonthTest::importDetailLines},
        {"3. the detail list shows the lines", &TypicalMonthTest::reviewTheDetail},
        {"4. the declaration is generated and the AR04 printed", &TypicalMonthTest::generateAndPrint},
        {"4. the declaration file holds one record per line", &TypicalMonthTest::checkTheDeclarationFile},
        {"5. a correction replicates the declaration as sequence 2", &TypicalMonthTest::correctByReplication},
        {"5. sequence 2 is generated and printed", &TypicalMonthTest::generateTheReplica},
        {"5. sequence 2 is regenerated and reprinted", &TypicalMonthTest::regenerateAndReprint},
        {"the operator leaves the program", &TypicalMonthTest::leaveTheProgram},
        {"the month as stored", &TypicalMonthTest::checkTheStoredMonth},
    };
    for (const auto& [step, work] : month) {
        SCOPED_TRACE(step);
        (this->*work)();
        ASSERT_FALSE(HasFatalFailure()) << "stopped at: " << step;
        ASSERT_EQ(m_ui.pendingModals(), 0) << "a screen the step expected did not open: " << step;
        ASSERT_TRUE(m_ui.unansweredQuestions().isEmpty()) << step;
        ASSERT_FALSE(m_ui.isBusy()) << "the pointer is back to normal after: " << step;
    }
}
