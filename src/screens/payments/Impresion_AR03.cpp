#include "Impresion_AR03.h"
#include "ui_Impresion_AR03.h"

#include "Pago_AR03.h"
#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/Regional.h"
#include "platform/db/Recordset.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Ui.h"
#include "screens/HelpDocument.h"
#include "screens/ListLoader.h"
#include "screens/OperationTexts.h"
#include "screens/Posicionar_Grilla.h"

using namespace Qt::StringLiterals;
using ui::inform;

namespace {

// The grid's columns in their order, and how Form_Load adds them.
enum class Column { Codigo, Posicion, Semana, Fecha, Importe, Moneda, Inc, Comprobante };
constexpr ListLoader::Column columns[] = {
    {u"Código", u"Codigo", 0},
    {u"Posición Fiscal", u"Posicion", 1200},
    {u"Semana", u"Semana", 1200},
    {u"Fecha Pago", u"Fecha", 1200},
    {u"Importe a depositar", u"Importe", 1200, {}, true},
    {u"Moneda", u"Moneda", 1200},
    {u"Inc", u"Inc", 0},
    {u"Comprobante", u"Comprobante", 1200},
};
static_assert(std::size(columns) == columnIndex(Column::Comprobante) + 1);

// The ORDER BY column of a sortable grid column; "" for the others.
QString sortField(int column)
{
    switch (static_cast<Column>(column)) {
    case Column::Posicion:
        return u"Posicion_Fiscal"_s;
    case Column::Semana:
        return u"Semana"_s;
    case Column::Fecha:
        return u"Fecha_Pago"_s;
    case Column::Importe:
        return u"Importe"_s;
    case Column::Moneda:
        return u"Moneda"_s;
    default:
        return {};
    }
}

} // namespace

Impresion_AR03::Impresion_AR03(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::Impresion_AR03>())
{
    m_ui->setupUi(this);

    connect(m_ui->BAgregar, &QPushButton::clicked, this, &Impresion_AR03::BAgregar_Click);
    connect(m_ui->BEliminar, &QPushButton::clicked, this, &Impresion_AR03::BEliminar_Click);
    connect(m_ui->bImprimir, &QPushButton::clicked, this, &Impresion_AR03::bImprimir_Click);
    connect(m_ui->bAyuda, &QPushButton::clicked, this, &Impresion_AR03::bAyuda_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &Impresion_AR03::bVolver_Click);
    connect(m_ui->lvList, &ui::ListGrid::headerClicked, this, &Impresion_AR03::lvList_HeadClick);

    Form_Load();
}

Impresion_AR03::~Impresion_AR03() = default;

void Impresion_AR03::Form_Load()
{
    ListLoader::addColumns(*m_ui->lvList, columns);
    Refrescar(m_orden);
}

void Impresion_AR03::Refrescar(const QString& orden)
{
    const ui::BusyCursor busy;
    // A list that cannot be read, or stops being readable part way, keeps the rows read so far and says so;
    // the operator can reload by sorting.
    ListLoader loader(*m_ui->lvList);
    const auto read = [&loader](const db::Recordset& payment, int counter) {
        const db::Value importe = payment.field(u"Importe");
        loader.field(payment.field(u"ID"))
            .field(payment.field(u"Posicion_Fiscal"))
            .field(payment.field(u"Semana"))
            .field(payment.field(u"Fecha_Pago"))
            .text(importe.isNull() ? QString() : Regional::plainText(importe.toDouble()))
            .text(Codes::currencyName(payment.field(u"Moneda").toString().trimmed()))
            .number(counter, u"0")
            .field(payment.field(u"Numero"))
            .addRow();
    };
    loader.load(clsCodigo::instance().Get_AR03s(orden), {.read = read});
    Habilitar_Botones();
}

void Impresion_AR03::Habilitar_Botones()
{
    const bool hasRows = m_ui->lvList->rowCount() > 0;
    m_ui->bImprimir->setEnabled(hasRows);
    m_ui->BEliminar->setEnabled(hasRows);
    m_ui->BAgregar->setEnabled(true);
}

void Impresion_AR03::BAgregar_Click()
{
    const clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Par_Agente == 0)
        return inform(u"Para poder agregar Pagos deberá especificar el Nro de Agente en la opción de Registración."_s);
    if (codigo.Par_Denomin.isEmpty())
        return inform(u"Para poder agregar Pagos deberá especificar la Razón Social o Denominación en la opción de "
                      u"Registración."_s);

    {
        Pago_AR03 entry(this);
        ui::Ui::current().showModal(entry);
    }
    if (Volver) {
        reject();
        return;
    }
    Refrescar(m_orden);
}

void Impresion_AR03::BEliminar_Click()
{
    ui::ListGrid& grid = *m_ui->lvList;
    if (grid.rowCount() == 0)
        return;
    if (ui::Ui::current().ask(u"Está seguro que desea eliminar el Pago seleccionado?"_s) &&
        !clsCodigo::instance().Eliminar_AR03(currentCell(grid, Column::Codigo).toDouble()))
        return inform(operationTexts::failed);

    // Deleted or kept, the row above becomes current.
    const double counter = currentCell(grid, Column::Inc).toDouble();
    Refrescar(m_orden);
    Posicionar_Grilla(grid, columnIndex(Column::Inc), counter - 1);
}

void Impresion_AR03::bImprimir_Click()
{
    const ui::BusyCursor busy;
    clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Par_Agente == 0)
        return inform(u"Para poder imprimir el formulario deberá especificar el Nro de Agente en la opción de "
                      u"Registración."_s);
    if (codigo.Par_Denomin.isEmpty())
        return inform(u"Para poder imprimir el formulario deberá especificar la Razón Social o Denominación en la "
                      u"opción de Registración."_s);

    ui::ListGrid& grid = *m_ui->lvList;
    if (grid.rowCount() == 0)
        return;
    const double id = currentCell(grid, Column::Codigo).toDouble();
    // A payment without a number has never been printed: its first printing gives it one.
    if (currentCell(grid, Column::Comprobante).isEmpty()) {
        if (!codigo.Reporte_AR03(id))
            return inform(u"No se ha podido generar la boleta de pago AR03."_s);
    } else if (!codigo.Reimpresion_AR03(id)) {
        return inform(u"No se ha podido reimprimir la boleta de pago AR03."_s);
    }

    // Reload so that a new number shows under "Comprobante", and stay on the printed row.
    const double counter = currentCell(grid, Column::Inc).toDouble();
    Refrescar(m_orden);
    Posicionar_Grilla(grid, columnIndex(Column::Inc), counter);
}

void Impresion_AR03::bAyuda_Click()
{
    HelpDocument::open();
}

void Impresion_AR03::bVolver_Click()
{
    reject();
}

void Impresion_AR03::lvList_HeadClick(int column)
{
    const ui::BusyCursor busy;
    const QString field = sortField(column);
    if (!field.isEmpty()) {
        // A second click in a row on the same heading sorts it descending.
        if (m_sortedOnce && m_lastAscendingColumn == column) {
            m_orden = field + u" DESC"_s;
            m_lastAscendingColumn = -1;
        } else {
            m_orden = field;
            m_lastAscendingColumn = column;
        }
    }
    m_sortedOnce = true;
    Refrescar(m_orden);
}
