#include "Detalle_DDJJ.h"
#include "ui_Detalle_DDJJ.h"

#include "DeclarationChecks.h"
#include "DeclarationTexts.h"
#include "Manual_DDJJ.h"
#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Posicionar_Grilla.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlacement.h"
#include "screens/HelpDocument.h"
#include "screens/OperationTexts.h"
#include "screens/ReadFailure.h"

#include <QStringList>

using namespace Qt::StringLiterals;
namespace texts = declarations::texts;
using declarations::checkPeriod;
using declarations::checkRegistration;
using declarations::formatted;
using declarations::numberOf;
using ui::inform;

namespace {

// Grid columns read back by the handlers.
constexpr int colCBU = 1;
constexpr int colCUIT = 4;
constexpr int colCant = 5;
constexpr int colImporte = 6;
constexpr int colTotal = 7;
constexpr int colInc = 10;
constexpr int colTipoCuenta = 2;
constexpr int colMoneda = 3;

// A stored code, trimmed; "0" for a null.
QString codeCell(const db::Value& code)
{
    return code.isNull() ? u"0"_s : code.toString().trimmed();
}

} // namespace

Detalle_DDJJ::Detalle_DDJJ(Declaration declaration, QWidget* parent)
    : QDialog(parent), Posicion(std::move(declaration.Posicion)), Secuencia(std::move(declaration.Secuencia)),
      Generada(std::move(declaration.Generada)), FecVto(std::move(declaration.FecVto)),
      m_ui(std::make_unique<Ui::Detalle_DDJJ>())
{
    m_ui->setupUi(this);
    m_ui->SSSplitter1->setStretchFactor(0, 1);
    m_ui->SSSplitter1->setStretchFactor(1, 0);
    QFont bold = m_ui->lbPosicion->font();
    bold.setBold(true);
    m_ui->lbPosicion->setFont(bold);

    connect(m_ui->lvList, &ui::ListGrid::headerClicked, this, &Detalle_DDJJ::lvList_HeadClick);
    connect(m_ui->BAgregar, &QPushButton::clicked, this, &Detalle_DDJJ::BAgregar_Click);
    connect(m_ui->bModificar, &QPushButton::clicked, this, &Detalle_DDJJ::bModificar_Click);
    connect(m_ui->BEliminar, &QPushButton::clicked, this, &Detalle_DDJJ::BEliminar_Click);
    connect(m_ui->bAyuda, &QPushButton::clicked, this, &Detalle_DDJJ::bAyuda_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &Detalle_DDJJ::bVolver_Click);

    Form_Load();
}

Detalle_DDJJ::~Detalle_DDJJ() = default;

void Detalle_DDJJ::Form_Load()
{
    m_ui->lbPosicion->setText(u"Posición Fiscal: "_s + Posicion.trimmed());

    ui::ListGrid& grid = *m_ui->lvList;
    grid.addColumn(u"Agente"_s, u"Agente"_s, 800);
    grid.addColumn(u"CBU"_s, u"CBU"_s, 2200);
    grid.addColumn(u"Tipo Cuenta"_s, u"TipoCuenta"_s, 1500);
    grid.addColumn(u"Tipo Moneda"_s, u"TipoMoneda"_s, 1200);
    grid.addColumn(u"CUIT"_s, u"CUIT"_s, 1200);
    grid.addColumn(u"Cant Depositos"_s, u"Cant"_s, 1500);
    grid.addColumn(u"Importe Depositado"_s, u"Importe"_s, 1600);
    grid.addColumn(u"Total Retenido"_s, u"Total"_s, 1200);
    for (const int amount : {colCant, colImporte, colTotal})
        grid.alignRight(amount);
    grid.addColumn(u"Cuenta"_s, u"Cuenta"_s, 0, false);
    grid.addColumn(u"Moneda"_s, u"Moneda"_s, 0, false);
    grid.addColumn(u"Inc"_s, u"Inc"_s, 0, false);
    grid.addColumn(u"Comprobante"_s, u"Comprobante"_s, 1100);
    grid.addColumn(u"Fecha Generación"_s, u"Fecha Pres"_s, 1500);
    const QStringList widest{u"0000"_s,         u"0000000000000000000000"_s,
                             QString(),         QString(),
                             u"00000000000"_s,  u"0000"_s,
                             u"-00000000,00"_s, u"00000000,00"_s,
                             QString(),         QString(),
                             QString(),         u"0000000"_s,
                             u"00/00/0000"_s};
    for (int column = 0; column < grid.columnCount(); ++column)
        grid.fitColumn(column, widest.value(column));
    // The code columns as wide as their widest name.
    for (const QString& type : Codes::accountTypeNames())
        grid.fitColumn(colTipoCuenta, type);
    for (const QString& currency : Codes::currencyNames())
        grid.fitColumn(colMoneda, currency);
    ui::fitListWindow(*this, grid, *m_ui->SSSplitter1, *m_ui->Frame1);

    Refrescar(u"N_POSICION_FISCAL"_s);
    grid.selectFirst();
}

void Detalle_DDJJ::Refrescar(const QString& orden)
{
    ui::ListGrid& grid = *m_ui->lvList;
    grid.clearRows();

    const auto rows = clsCodigo::instance().Get_Detalle_DDJJs(orden, numberOf(Posicion), numberOf(Secuencia));
    int counter = 1;
    bool complete = rows != nullptr;
    if (rows) {
        try {
            for (; !rows->eof(); rows->moveNext(), ++counter) {
                const QString tipoCuenta = rows->field(u"C_Tipo_Cuenta").toString().trimmed();
                const QString tipoMoneda = rows->field(u"C_Tipo_Moneda").toString().trimmed();
                const QStringList cells{
                    formatted(rows->field(u"N_Agente"), u"0"),
                    rows->field(u"N_CBU").toString().trimmed(),
                    Codes::accountTypeName(tipoCuenta),
                    Codes::currencyName(tipoMoneda),
                    formatted(rows->field(u"N_Cuit"), u"0"),
                    formatted(rows->field(u"N_Depositos"), u"0"),
                    formatted(rows->field(u"I_Base_Imponible"), u"0.00"),
                    formatted(rows->field(u"I_Retenido"), u"0.00"),
                    codeCell(rows->field(u"C_Tipo_Cuenta")),
                    codeCell(rows->field(u"C_Tipo_Moneda")),
                    QString::number(counter),
                    rows->field(u"N_Comprobante").toString().trimmed(),
                    rows->field(u"F_Presentacion").toString().trimmed(),
                };
                grid.addRow(cells.join(u'\t'));
            }
        } catch (const std::exception&) {
            // A read that fails half-way leaves the rows loaded so far.
            complete = false;
        }
    }
    if (!complete)
        informReadFailure();

    Habilitar_Botones();
}

void Detalle_DDJJ::Habilitar_Botones()
{
    const bool hasRows = m_ui->lvList->rowCount() > 0;
    m_ui->bModificar->setEnabled(hasRows);
    m_ui->BEliminar->setEnabled(hasRows);
}

void Detalle_DDJJ::lvList_HeadClick(int /*column*/)
{
    // The lines always come by account and account type, so a header click only reloads them.
    const ui::BusyCursor busy;
    Refrescar(QString());
}

void Detalle_DDJJ::reloadAt(double inc)
{
    Refrescar(QString());
    ui::Posicionar_Grilla(*m_ui->lvList, colInc, inc);
}

void Detalle_DDJJ::openEntry(int accion, double cuitId, const QString& cbuId)
{
    // The due date goes to the modes that may write a replica, and to a correction.
    Manual_DDJJ manual(
        {Posicion, Secuencia, accion, cuitId, cbuId, accion == Manual_DDJJ::NewLine ? QString() : FecVto}, this);
    ui::Ui::current().showModal(manual);
}

void Detalle_DDJJ::BAgregar_Click()
{
    if (Generada != u"N") {
        if (!ui::Ui::current().ask(texts::replicateQuestion) || !checkPeriod(Posicion))
            return;
        openEntry(Manual_DDJJ::NewReplicating);
        // Saved or not, this declaration may no longer be the newest: the list shows the way on.
        accept();
        return;
    }

    if (!checkPeriod(Posicion) || !checkRegistration(texts::manualEntryAgent))
        return;
    openEntry(Manual_DDJJ::NewLine);
    Refrescar(QString());
}

void Detalle_DDJJ::bModificar_Click()
{
    const bool generated = Generada == u"S";
    if (generated && !ui::Ui::current().ask(texts::replicateQuestion))
        return;
    if (!checkPeriod(Posicion))
        return;

    const ui::ListGrid& grid = *m_ui->lvList;
    openEntry(generated ? Manual_DDJJ::ModifyReplicating : Manual_DDJJ::ModifyLine, numberOf(grid.cell(colCUIT)),
              grid.cell(colCBU).trimmed());

    reloadAt(numberOf(grid.cell(colInc)));
    if (generated)
        accept();
}

void Detalle_DDJJ::BEliminar_Click()
{
    if (Generada == u"S")
        return inform(u"No se puede realizar la operación. La DDJJ ya está generada, no se podrá eliminar este "
                      u"detalle individualmente. Si lo desea, deberá eliminar todo el detalle asociado al período."_s);

    const ui::ListGrid& grid = *m_ui->lvList;
    if (ui::Ui::current().ask(u"Desea eliminar realmente el detalle seleccionado?"_s)) {
        if (!clsCodigo::instance().Eliminar_Detalle_DDJJ(numberOf(Secuencia), numberOf(Posicion),
                                                         grid.cell(colCBU).trimmed(), numberOf(grid.cell(colCUIT))))
            return inform(operationTexts::deletionFailed);
        inform(operationTexts::done);
    }
    // The cursor goes to the row before the one that was current.
    reloadAt(numberOf(grid.cell(colInc)) - 1);
}

void Detalle_DDJJ::bAyuda_Click()
{
    HelpDocument::open();
}

void Detalle_DDJJ::bVolver_Click()
{
    accept();
}
