#include "DDJJ.h"
#include "ui_DDJJ.h"

#include "DeclarationChecks.h"
#include "DeclarationTexts.h"
#include "Detalle_DDJJ.h"
#include "Manual_DDJJ.h"
#include "data/clsCodigo.h"
#include "platform/db/Recordset.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlacement.h"
#include "reports/Reimpresion_AR04.h"
#include "screens/HelpDocument.h"
#include "screens/ListLoader.h"
#include "screens/ListSearch.h"
#include "screens/OperationTexts.h"
#include "screens/Posicionar_Grilla.h"
#include "screens/generation/Generacion_DDJJ.h"
#include "screens/import/Importacion_DDJJ.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;
namespace texts = declarations::texts;
using declarations::checkPeriod;
using declarations::checkRegistration;
using declarations::numberOf;
using ui::inform;

namespace {

// The grid's columns in their order, and how Form_Load adds them.
enum class Column { Posicion, Secuencia, FecVto, Generado, FecPres, Inc, Ultima };
constexpr ListLoader::Column columns[] = {
    {u"Posición Fiscal", u"Posicion", 1300, u"000000"},
    {u"Secuencia", u"Secuencia", 900, u"000"},
    {u"Vencimiento de Presentación", u"FecVto", 2300, u"00/00/0000"},
    {u"Generado (S/N)", u"Generado", 1400, u"S"},
    {u"Fecha de Generación", u"FecPres", 2000, u"00/00/0000"},
    {u"Inc", u"Inc", 0},
    {u"Ultima", u"Ultima", 0},
};
static_assert(std::size(columns) == columnIndex(Column::Ultima) + 1);

} // namespace

DDJJ::DDJJ(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::DDJJ>())
{
    m_ui->setupUi(this);
    m_ui->SSSplitter1->setStretchFactor(0, 1);
    m_ui->SSSplitter1->setStretchFactor(1, 0);

    connect(m_ui->lvList, &ui::ListGrid::rowClicked, this, &DDJJ::lvList_Click);
    connect(m_ui->lvList, &ui::ListGrid::headerClicked, this, &DDJJ::lvList_HeadClick);
    connect(m_ui->bVer, &QPushButton::clicked, this, &DDJJ::bVer_Click);
    connect(m_ui->bManual, &QPushButton::clicked, this, &DDJJ::bManual_Click);
    connect(m_ui->bAutomatica, &QPushButton::clicked, this, &DDJJ::bAutomatica_Click);
    connect(m_ui->bGenerar, &QPushButton::clicked, this, &DDJJ::bGenerar_Click);
    connect(m_ui->bImprimir, &QPushButton::clicked, this, &DDJJ::bImprimir_Click);
    connect(m_ui->BEliminar, &QPushButton::clicked, this, &DDJJ::BEliminar_Click);
    connect(m_ui->bAyuda, &QPushButton::clicked, this, &DDJJ::bAyuda_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &DDJJ::bVolver_Click);
    m_search =
        new ListSearch(*this, *m_ui->lvList, u"Posición fiscal de la declaración a buscar (AAAAMM, o MM/AAAA):"_s,
                       u"No se encontró ninguna declaración de la posición fiscal "_s,
                       [](const QString& typed) -> std::function<bool(QByteArrayView)> {
                           QByteArray period = ListSearch::digitsOf(typed);
                           if (typed.contains(u'/') && period.size() == 6)
                               period = period.right(4) + period.left(2);
                           if (period.size() != 6)
                               return {};
                           return [period](QByteArrayView row) {
                               return ui::ListGrid::cellOf(row, columnIndex(Column::Posicion)) == period;
                           };
                       });
    connect(m_ui->bBuscar, &QPushButton::clicked, m_search, &ListSearch::ask);

    Form_Load();
}

DDJJ::~DDJJ() = default;

void DDJJ::Form_Load()
{
    ui::ListGrid& grid = *m_ui->lvList;
    ListLoader::addColumns(grid, columns);
    ui::fitListWindow(*this, grid, *m_ui->SSSplitter1, *m_ui->Frame1);

    // The first load is in period order; the sort clause stays empty until a header is clicked.
    Refrescar(u"POSICION_FISCAL"_s);
    grid.selectFirst();
    lvList_Click();
}

void DDJJ::Refrescar(const QString& orden)
{
    const ui::BusyCursor busy;
    ListLoader loader(*m_ui->lvList);
    // Each row's first five cells with its period and sequence as numbers, and the newest sequence of each
    // period, from the rows themselves: the list holds every declaration, so this is the Max(Secuencia) of
    // Get_secuencia without a query per row.
    struct Declaration
    {
        QStringList cells;
        double period;
        double sequence;
    };
    std::vector<Declaration> declarations;
    QHash<double, double> newest;
    const auto read = [&](const db::Recordset& record, int) {
        const db::Value storedSequence = record.field(u"Secuencia");
        const db::Value generado = record.field(u"Generado");
        QStringList cells{
            record.field(u"Posicion_Fiscal").toString().trimmed(),
            storedSequence.isNull() ? u"0"_s : storedSequence.toString().trimmed(),
            record.field(u"Fecha_Vto").toString().trimmed(),
            generado.isNull() ? u"N"_s : generado.toString().trimmed(),
            record.field(u"Fecha_Pres").toString().trimmed(),
        };
        const double period = numberOf(cells.at(columnIndex(Column::Posicion)));
        const double sequence = numberOf(cells.at(columnIndex(Column::Secuencia)));
        if (!storedSequence.isNull())
            newest.insert(period, std::max(newest.value(period, sequence), sequence));
        declarations.push_back({std::move(cells), period, sequence});
    };
    const auto writeRows = [&] {
        int number = 0;
        for (const Declaration& declaration : declarations) {
            for (const QString& text : declaration.cells)
                loader.text(text);
            // A period whose sequences are all null has 0 as its newest, as Get_secuencia answers for it.
            const bool ultima = declaration.sequence == newest.value(declaration.period, 0);
            loader.number(++number, u"0").text(ultima ? u"S" : u"N").addRow();
        }
    };
    loader.load(clsCodigo::instance().Get_DDJJs(orden), {.read = read, .afterAll = writeRows});

    lvList_Click();
}

void DDJJ::Habilitar_Botones()
{
    // Lines are incorporated only into the current row's declaration, and only while it is the newest of its
    // period and not generated: a reload leaves the current row on whatever declaration comes first.
    const ui::ListGrid& grid = *m_ui->lvList;
    const bool open =
        grid.rowCount() > 0 && currentCell(grid, Column::Ultima) == u"S" && currentCell(grid, Column::Generado) != u"S";
    m_ui->bManual->setEnabled(open);
    m_ui->bAutomatica->setEnabled(open);
}

void DDJJ::lvList_Click()
{
    const bool newest = currentCell(*m_ui->lvList, Column::Ultima) == u"S";
    const bool generated = currentCell(*m_ui->lvList, Column::Generado) == u"S";

    m_ui->bVer->setEnabled(newest);
    m_ui->BEliminar->setEnabled(newest);
    m_ui->bGenerar->setEnabled(newest && !generated);
    m_ui->bImprimir->setEnabled(newest && generated);
    Habilitar_Botones();
}

void DDJJ::lvList_HeadClick(int column)
{
    const ui::BusyCursor busy;

    QString tableColumn;
    switch (static_cast<Column>(column)) {
    case Column::Posicion:
        tableColumn = u"Posicion_Fiscal"_s;
        break;
    case Column::FecVto:
        tableColumn = u"Fecha_Vto"_s;
        break;
    case Column::Generado:
        tableColumn = u"Generado"_s;
        break;
    case Column::FecPres:
        tableColumn = u"Fecha_Pres"_s;
        break;
    default:
        break;
    }
    if (!tableColumn.isEmpty()) {
        // A second consecutive click on the same header sorts the other way.
        if (m_sorted == 1 && m_lastSortColumn == column) {
            m_sortClause = tableColumn + u" DESC"_s;
            m_lastSortColumn = -1;
        } else {
            m_sortClause = tableColumn;
            m_lastSortColumn = column;
        }
    }

    Refrescar(m_sortClause);
    m_sorted = 1;
}

void DDJJ::reloadAndReturn()
{
    const double inc = numberOf(currentCell(*m_ui->lvList, Column::Inc));
    Refrescar(m_sortClause);
    Posicionar_Grilla(*m_ui->lvList, columnIndex(Column::Inc), inc);
    lvList_Click();
}

void DDJJ::bVer_Click()
{
    const ui::ListGrid& grid = *m_ui->lvList;
    Detalle_DDJJ detalle({currentCell(grid, Column::Posicion), currentCell(grid, Column::Secuencia),
                          currentCell(grid, Column::Generado), currentCell(grid, Column::FecVto)},
                         this);
    ui::Ui::current().showModal(detalle);

    reloadAndReturn();
}

void DDJJ::bManual_Click()
{
    const ui::ListGrid& grid = *m_ui->lvList;
    const QString posicion = currentCell(grid, Column::Posicion);
    if (!checkPeriod(posicion) || !checkRegistration(texts::manualEntryAgent))
        return;

    // A new line: no line to correct, no replica to date.
    Manual_DDJJ manual({posicion, currentCell(grid, Column::Secuencia), Manual_DDJJ::NewLine, 0, {}, {}}, this);
    ui::Ui::current().showModal(manual);

    // New lines change no column of this list: only the buttons are set again.
    lvList_Click();
}

void DDJJ::bAutomatica_Click()
{
    if (!checkRegistration(texts::manualEntryAgent))
        return;

    const ui::ListGrid& grid = *m_ui->lvList;
    Importacion_DDJJ importacion(currentCell(grid, Column::Posicion), numberOf(currentCell(grid, Column::Secuencia)),
                                 this);
    ui::Ui::current().showModal(importacion);

    // Imported lines change no column of this list: only the buttons are set again.
    lvList_Click();
}

bool DDJJ::readyToGenerate(const QString& withoutLines)
{
    const ui::ListGrid& grid = *m_ui->lvList;
    if (clsCodigo::instance().Existe_Detalle(numberOf(currentCell(grid, Column::Secuencia)),
                                             numberOf(currentCell(grid, Column::Posicion))) == 0) {
        inform(withoutLines);
        return false;
    }
    return checkRegistration(texts::generationAgent);
}

void DDJJ::generateAndPrint(double comprobante, const std::function<bool()>& print)
{
    const ui::ListGrid& grid = *m_ui->lvList;
    Generacion_DDJJ generacion(Cancelado, this);
    generacion.Comp = comprobante;
    generacion.Posicion = currentCell(grid, Column::Posicion);
    generacion.Secuencia = currentCell(grid, Column::Secuencia);
    ui::Ui::current().showModal(generacion);

    if (!Cancelado) {
        inform(texts::fileWritten);
        const ui::BusyCursor busy;
        // A failed printing leaves the declaration as it was: the list has nothing new to show.
        if (!print())
            return inform(texts::printingFailed);
    }
    reloadAndReturn();
}

void DDJJ::bGenerar_Click()
{
    const ui::ListGrid& grid = *m_ui->lvList;
    if (currentCell(grid, Column::Generado) == u"S")
        return inform(u"La posición fiscal seleccionada ya fue generada."_s);
    if (!readyToGenerate(u"La posición fiscal seleccionada no tiene detalles para generar."_s))
        return;

    const double posicion = numberOf(currentCell(grid, Column::Posicion));
    const double secuencia = numberOf(currentCell(grid, Column::Secuencia));
    generateAndPrint(0, [=] { return clsCodigo::instance().Reporte_AR04(posicion, secuencia); });
}

void DDJJ::bImprimir_Click()
{
    if (!readyToGenerate(u"La posición fiscal seleccionada no tiene detalles."_s))
        return;

    const ui::ListGrid& grid = *m_ui->lvList;
    const double posicion = numberOf(currentCell(grid, Column::Posicion));
    const double secuencia = numberOf(currentCell(grid, Column::Secuencia));
    const double comprobante = clsCodigo::instance().Get_Comprobante(posicion, secuencia);
    generateAndPrint(comprobante, [=] { return reprintAR04(posicion, secuencia, comprobante); });
}

void DDJJ::BEliminar_Click()
{
    const ui::ListGrid& grid = *m_ui->lvList;
    const QString posicion = currentCell(grid, Column::Posicion);
    if (ui::Ui::current().ask(u"Desea eliminar realmente TODO el Detalle correspondiente a la posición fiscal "
                              u"seleccionada? ("_s +
                              posicion + u')')) {
        if (!clsCodigo::instance().Eliminar_DDJJ(numberOf(currentCell(grid, Column::Secuencia)), numberOf(posicion)))
            return inform(operationTexts::deletionFailed);
        inform(operationTexts::done);
    }
    reloadAndReturn();
}

void DDJJ::bAyuda_Click()
{
    HelpDocument::open();
}

void DDJJ::bVolver_Click()
{
    accept();
}
