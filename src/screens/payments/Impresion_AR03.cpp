#include "Impresion_AR03.h"
#include "ui_Impresion_AR03.h"

#include "Pago_AR03.h"
#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/Regional.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Posicionar_Grilla.h"
#include "platform/ui/Ui.h"
#include "screens/HelpDocument.h"
#include "screens/OperationTexts.h"
#include "screens/ReadFailure.h"

#include <QStringList>

#include <stdexcept>

#include <exception>

using namespace Qt::StringLiterals;
using ui::inform;

namespace {

// Grid columns the screen reads back.
constexpr int codigoColumn = 0;
constexpr int importeColumn = 4;
constexpr int incColumn = 6;
constexpr int comprobanteColumn = 7;

constexpr int columnWidth = 1200;

// A field as a grid cell: trimmed, null as empty. A Tab would split the row's cells.
QString cellText(const db::Value& value)
{
    return value.toString().trimmed().replace(u'\t', u' ');
}

// The ORDER BY column of a sortable grid column; "" for the others.
QString sortField(int column)
{
    switch (column) {
    case 1:
        return u"Posicion_Fiscal"_s;
    case 2:
        return u"Semana"_s;
    case 3:
        return u"Fecha_Pago"_s;
    case 4:
        return u"Importe"_s;
    case 5:
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
    ui::ListGrid& grid = *m_ui->lvList;
    grid.addColumn(u"Código"_s, u"Codigo"_s, 0, false);
    grid.addColumn(u"Posición Fiscal"_s, u"Posicion"_s, columnWidth);
    grid.addColumn(u"Semana"_s, u"Semana"_s, columnWidth);
    grid.addColumn(u"Fecha Pago"_s, u"Fecha"_s, columnWidth);
    grid.addColumn(u"Importe a depositar"_s, u"Importe"_s, columnWidth);
    grid.alignRight(importeColumn);
    grid.addColumn(u"Moneda"_s, u"Moneda"_s, columnWidth);
    grid.addColumn(u"Inc"_s, u"Inc"_s, 0, false);
    grid.addColumn(u"Comprobante"_s, u"Comprobante"_s, columnWidth);
    Refrescar(m_orden);
}

void Impresion_AR03::Refrescar(const QString& orden)
{
    const ui::BusyCursor busy;
    ui::ListGrid& grid = *m_ui->lvList;
    grid.clearRows();
    // A list that cannot be read, or stops being readable part way, keeps the rows read so far and says so;
    // the operator can reload by sorting.
    const auto rows = clsCodigo::instance().Get_AR03s(orden);
    bool complete = rows != nullptr;
    if (rows) {
        try {
            for (int counter = 1; !rows->eof(); rows->moveNext(), ++counter) {
                const db::Value importe = rows->field(u"Importe");
                const QStringList cells{
                    cellText(rows->field(u"ID")),
                    cellText(rows->field(u"Posicion_Fiscal")),
                    cellText(rows->field(u"Semana")),
                    cellText(rows->field(u"Fecha_Pago")),
                    importe.isNull() ? QString() : Regional::plainText(importe.toDouble()),
                    Codes::currencyName(cellText(rows->field(u"Moneda"))),
                    QString::number(counter),
                    cellText(rows->field(u"Numero")),
                };
                grid.addRow(cells.join(u'\t'));
            }
        } catch (const std::exception&) {
            complete = false;
        }
    }
    if (!complete)
        informReadFailure();
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
        !clsCodigo::instance().Eliminar_AR03(grid.cell(codigoColumn).toDouble()))
        return inform(operationTexts::failed);

    // Deleted or kept, the row above becomes current.
    const double counter = grid.cell(incColumn).toDouble();
    Refrescar(m_orden);
    ui::Posicionar_Grilla(grid, incColumn, counter - 1);
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
    const double id = grid.cell(codigoColumn).toDouble();
    // A payment without a number has never been printed: its first printing gives it one.
    if (grid.cell(comprobanteColumn).trimmed().isEmpty()) {
        if (!codigo.Reporte_AR03(id))
            return inform(u"No se ha podido generar la boleta de pago AR03."_s);
    } else if (!codigo.Reimpresion_AR03(id)) {
        return inform(u"No se ha podido reimprimir la boleta de pago AR03."_s);
    }

    // Reload so that a new number shows under "Comprobante", and stay on the printed row.
    const double counter = grid.cell(incColumn).toDouble();
    Refrescar(m_orden);
    ui::Posicionar_Grilla(grid, incColumn, counter);
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
