#include "DDJJ.h"
#include "ui_DDJJ.h"

#include "DeclarationChecks.h"
#include "DeclarationTexts.h"
#include "Detalle_DDJJ.h"
#include "Manual_DDJJ.h"
#include "data/clsCodigo.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/Posicionar_Grilla.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlacement.h"
#include "reports/Reimpresion_AR04.h"
#include "screens/HelpDocument.h"
#include "screens/ListSearch.h"
#include "screens/OperationTexts.h"
#include "screens/ReadFailure.h"
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

// Grid columns.
constexpr int colPosicion = 0;
constexpr int colSecuencia = 1;
constexpr int colFecVto = 2;
constexpr int colGenerado = 3;
constexpr int colFecPres = 4;
constexpr int colInc = 5;
constexpr int colUltima = 6;

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
                               return ui::ListGrid::cellOf(row, colPosicion) == period;
                           };
                       });
    connect(m_ui->bBuscar, &QPushButton::clicked, m_search, &ListSearch::ask);

    Form_Load();
}

DDJJ::~DDJJ() = default;

void DDJJ::Form_Load()
{
    ui::ListGrid& grid = *m_ui->lvList;
    grid.addColumn(u"Posición Fiscal"_s, u"Posicion"_s, 1300);
    grid.addColumn(u"Secuencia"_s, u"Secuencia"_s, 900);
    grid.addColumn(u"Vencimiento de Presentación"_s, u"FecVto"_s, 2300);
    grid.addColumn(u"Generado (S/N)"_s, u"Generado"_s, 1400);
    grid.addColumn(u"Fecha de Generación"_s, u"FecPres"_s, 2000);
    grid.addColumn(u"Inc"_s, u"Inc"_s, 0, false);
    grid.addColumn(u"Ultima"_s, u"Ultima"_s, 0, false);
    const QStringList widest{u"000000"_s, u"000"_s, u"00/00/0000"_s, u"S"_s, u"00/00/0000"_s};
    for (int column = 0; column < widest.size(); ++column)
        grid.fitColumn(column, widest.at(column));
    ui::fitListWindow(*this, grid, *m_ui->SSSplitter1, *m_ui->Frame1);

    // The first load is in period order; the sort clause stays empty until a header is clicked.
    Refrescar(u"POSICION_FISCAL"_s);
    grid.selectFirst();
    lvList_Click();
}

void DDJJ::Refrescar(const QString& orden)
{
    const ui::BusyCursor busy;
    ui::ListGrid& grid = *m_ui->lvList;
    grid.clearRows();

    QList<QStringList> rows;
    // Each row's period and sequence as numbers, and the newest sequence of each period, from the rows
    // themselves: the list holds every declaration, so this is the Max(Secuencia) of Get_secuencia without a
    // query per row.
    std::vector<std::pair<double, double>> keys;
    QHash<double, double> newest;
    bool complete = false;
    if (const auto records = clsCodigo::instance().Get_DDJJs(orden)) {
        try {
            for (; !records->eof(); records->moveNext()) {
                const db::Value storedSequence = records->field(u"Secuencia");
                const db::Value generado = records->field(u"Generado");
                QStringList cells{
                    records->field(u"Posicion_Fiscal").toString().trimmed(),
                    storedSequence.isNull() ? u"0"_s : storedSequence.toString().trimmed(),
                    records->field(u"Fecha_Vto").toString().trimmed(),
                    generado.isNull() ? u"N"_s : generado.toString().trimmed(),
                    records->field(u"Fecha_Pres").toString().trimmed(),
                };
                const double period = numberOf(cells.at(colPosicion));
                const double sequence = numberOf(cells.at(colSecuencia));
                if (!storedSequence.isNull()) {
                    const auto found = newest.find(period);
                    if (found == newest.end())
                        newest.insert(period, sequence);
                    else
                        *found = std::max(*found, sequence);
                }
                keys.emplace_back(period, sequence);
                rows.append(std::move(cells));
            }
            complete = true;
        } catch (const std::exception&) {
            // A read that fails half-way leaves the rows loaded so far.
        }
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto [period, sequence] = keys[static_cast<size_t>(i)];
        // A period whose sequences are all null has 0 as its newest, as Get_secuencia answers for it.
        rows[i] << QString::number(i + 1) << (sequence == newest.value(period, 0) ? u"S"_s : u"N"_s);
        // A Tab inside a stored text would split the row's cells.
        for (QString& cell : rows[i])
            cell.replace(u'\t', u' ');
        grid.addRow(rows[i].join(u'\t'));
    }
    if (!complete)
        informReadFailure();

    lvList_Click();
}

void DDJJ::Habilitar_Botones()
{
    // Lines are incorporated only into the current row's declaration, and only while it is the newest of its
    // period and not generated: a reload leaves the current row on whatever declaration comes first.
    const ui::ListGrid& grid = *m_ui->lvList;
    const bool open =
        grid.rowCount() > 0 && grid.cell(colUltima).trimmed() == u"S" && grid.cell(colGenerado).trimmed() != u"S";
    m_ui->bManual->setEnabled(open);
    m_ui->bAutomatica->setEnabled(open);
}

void DDJJ::lvList_Click()
{
    const bool newest = m_ui->lvList->cell(colUltima).trimmed() == u"S";
    const bool generated = m_ui->lvList->cell(colGenerado).trimmed() == u"S";

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
    switch (column) {
    case colPosicion:
        tableColumn = u"Posicion_Fiscal"_s;
        break;
    case colFecVto:
        tableColumn = u"Fecha_Vto"_s;
        break;
    case colGenerado:
        tableColumn = u"Generado"_s;
        break;
    case colFecPres:
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
    const double inc = numberOf(m_ui->lvList->cell(colInc));
    Refrescar(m_sortClause);
    ui::Posicionar_Grilla(*m_ui->lvList, colInc, inc);
    lvList_Click();
}

void DDJJ::bVer_Click()
{
    const ui::ListGrid& grid = *m_ui->lvList;
    Detalle_DDJJ detalle({grid.cell(colPosicion).trimmed(), grid.cell(colSecuencia).trimmed(),
                          grid.cell(colGenerado).trimmed(), grid.cell(colFecVto).trimmed()},
                         this);
    ui::Ui::current().showModal(detalle);

    reloadAndReturn();
}

void DDJJ::bManual_Click()
{
    const ui::ListGrid& grid = *m_ui->lvList;
    const QString posicion = grid.cell(colPosicion).trimmed();
    if (!checkPeriod(posicion) || !checkRegistration(texts::manualEntryAgent))
        return;

    // A new line: no line to correct, no replica to date.
    Manual_DDJJ manual({posicion, grid.cell(colSecuencia).trimmed(), Manual_DDJJ::NewLine, 0, {}, {}}, this);
    ui::Ui::current().showModal(manual);

    // New lines change no column of this list: only the buttons are set again.
    lvList_Click();
}

void DDJJ::bAutomatica_Click()
{
    if (!checkRegistration(texts::manualEntryAgent))
        return;

    const ui::ListGrid& grid = *m_ui->lvList;
    Importacion_DDJJ importacion(grid.cell(colPosicion).trimmed(), numberOf(grid.cell(colSecuencia)), this);
    ui::Ui::current().showModal(importacion);

    // Imported lines change no column of this list: only the buttons are set again.
    lvList_Click();
}

bool DDJJ::readyToGenerate(const QString& withoutLines)
{
    const ui::ListGrid& grid = *m_ui->lvList;
    if (clsCodigo::instance().Existe_Detalle(numberOf(grid.cell(colSecuencia)), numberOf(grid.cell(colPosicion))) ==
        0) {
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
    generacion.Posicion = grid.cell(colPosicion).trimmed();
    generacion.Secuencia = grid.cell(colSecuencia).trimmed();
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
    if (grid.cell(colGenerado).trimmed() == u"S")
        return inform(u"La posición fiscal seleccionada ya fue generada."_s);
    if (!readyToGenerate(u"La posición fiscal seleccionada no tiene detalles para generar."_s))
        return;

    const double posicion = numberOf(grid.cell(colPosicion));
    const double secuencia = numberOf(grid.cell(colSecuencia));
    generateAndPrint(0, [=] { return clsCodigo::instance().Reporte_AR04(posicion, secuencia); });
}

void DDJJ::bImprimir_Click()
{
    if (!readyToGenerate(u"La posición fiscal seleccionada no tiene detalles."_s))
        return;

    const ui::ListGrid& grid = *m_ui->lvList;
    const double posicion = numberOf(grid.cell(colPosicion));
    const double secuencia = numberOf(grid.cell(colSecuencia));
    const double comprobante = clsCodigo::instance().Get_Comprobante(posicion, secuencia);
    generateAndPrint(comprobante, [=] { return reprintAR04(posicion, secuencia, comprobante); });
}

void DDJJ::BEliminar_Click()
{
    const ui::ListGrid& grid = *m_ui->lvList;
    const QString posicion = grid.cell(colPosicion).trimmed();
    if (ui::Ui::current().ask(u"Desea eliminar realmente TODO el Detalle correspondiente a la posición fiscal "
                              u"seleccionada? ("_s +
                              posicion + u')')) {
        if (!clsCodigo::instance().Eliminar_DDJJ(numberOf(grid.cell(colSecuencia)), numberOf(posicion)))
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
