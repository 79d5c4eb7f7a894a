#include "Detalle_DDJJ.h"
#include "ui_Detalle_DDJJ.h"

#include "DeclarationChecks.h"
#include "DeclarationTexts.h"
#include "Manual_DDJJ.h"
#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/ProgramDirectory.h"
#include "platform/db/Recordset.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlacement.h"
#include "screens/HelpDocument.h"
#include "screens/ListLoader.h"
#include "screens/ListSearch.h"
#include "screens/OperationTexts.h"
#include "screens/Posicionar_Grilla.h"

#include <QDir>
#include <QSaveFile>

#include <optional>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
namespace texts = declarations::texts;
using declarations::checkPeriod;
using declarations::checkRegistration;
using declarations::numberOf;
using ui::inform;

namespace {

// The grid's columns in their order, and how Form_Load adds them.
enum class Column {
    Agente,
    CBU,
    TipoCuenta,
    TipoMoneda,
    CUIT,
    Cant,
    Importe,
    Total,
    Cuenta,
    Moneda,
    Inc,
    Comprobante,
    FechaPres
};
constexpr ListLoader::Column columns[] = {
    {u"Agente", u"Agente", 800, u"0000"},
    {u"CBU", u"CBU", 2200, u"0000000000000000000000"},
    {u"Tipo Cuenta", u"TipoCuenta", 1500},
    {u"Tipo Moneda", u"TipoMoneda", 1200},
    {u"CUIT", u"CUIT", 1200, u"00000000000"},
    {u"Cant Depositos", u"Cant", 1500, u"0000", true},
    {u"Importe Depositado", u"Importe", 1600, u"-00000000,00", true},
    {u"Total Retenido", u"Total", 1200, u"00000000,00", true},
    {u"Cuenta", u"Cuenta", 0},
    {u"Moneda", u"Moneda", 0},
    {u"Inc", u"Inc", 0},
    {u"Comprobante", u"Comprobante", 1100, u"0000000"},
    {u"Fecha Generación", u"Fecha Pres", 1500, u"00/00/0000"},
};
static_assert(std::size(columns) == columnIndex(Column::FechaPres) + 1);

// The positions of the fields a row shows, found once per load: looking each field up by its name on every
// line would cost more than the line's own text.
struct DetailFields
{
    explicit DetailFields(const db::Recordset& lines)
        : agente(lines.indexOf(u"N_Agente")), cbu(lines.indexOf(u"N_CBU")), tipoCuenta(lines.indexOf(u"C_Tipo_Cuenta")),
          tipoMoneda(lines.indexOf(u"C_Tipo_Moneda")), cuit(lines.indexOf(u"N_Cuit")),
          depositos(lines.indexOf(u"N_Depositos")), base(lines.indexOf(u"I_Base_Imponible")),
          retenido(lines.indexOf(u"I_Retenido")), comprobante(lines.indexOf(u"N_Comprobante")),
          presentacion(lines.indexOf(u"F_Presentacion"))
    {}

    int agente;
    int cbu;
    int tipoCuenta;
    int tipoMoneda;
    int cuit;
    int depositos;
    int base;
    int retenido;
    int comprobante;
    int presentacion;
};

// The names of the codes met so far: a declaration's lines share a handful of codes.
class CodeNames
{
public:
    explicit CodeNames(QString (*name)(const QString&)) : m_name(name) {}

    const QString& operator()(const QString& code)
    {
        for (const auto& [known, shown] : m_known) {
            if (known == code)
                return shown;
        }
        // Stored codes outside the list are not kept: a broken file may hold any number of them.
        if (m_known.size() >= 8) {
            m_other = m_name(code);
            return m_other;
        }
        m_known.emplace_back(code, m_name(code));
        return m_known.back().second;
    }

private:
    QString (*m_name)(const QString&);
    std::vector<std::pair<QString, QString>> m_known;
    QString m_other;
};

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
    connect(m_ui->bExportar, &QPushButton::clicked, this, &Detalle_DDJJ::bExportar_Click);
    m_search = new ListSearch(*this, *m_ui->lvList,
                              u"CUIT (con o sin guiones), o CBU o sus primeros dígitos, de la línea a buscar:"_s,
                              u"No se encontró ninguna línea con el CUIT o la CBU "_s,
                              [](const QString& typed) -> std::function<bool(QByteArrayView)> {
                                  const QByteArray digits = ListSearch::digitsOf(typed);
                                  if (digits.isEmpty())
                                      return {};
                                  return [digits](QByteArrayView row) {
                                      return ui::ListGrid::cellOf(row, columnIndex(Column::CUIT)) == digits ||
                                             ui::ListGrid::cellOf(row, columnIndex(Column::CBU)).startsWith(digits);
                                  };
                              });
    connect(m_ui->bBuscar, &QPushButton::clicked, m_search, &ListSearch::ask);

    Form_Load();
}

Detalle_DDJJ::~Detalle_DDJJ() = default;

void Detalle_DDJJ::Form_Load()
{
    m_ui->lbPosicion->setText(u"Posición Fiscal: "_s + Posicion.trimmed());

    ui::ListGrid& grid = *m_ui->lvList;
    ListLoader::addColumns(grid, columns);
    // The code columns as wide as their widest name.
    for (const QString& type : Codes::accountTypeNames())
        grid.fitColumn(columnIndex(Column::TipoCuenta), type);
    for (const QString& currency : Codes::currencyNames())
        grid.fitColumn(columnIndex(Column::TipoMoneda), currency);
    ui::fitListWindow(*this, grid, *m_ui->SSSplitter1, *m_ui->Frame1);

    Refrescar(u"N_POSICION_FISCAL"_s);
    grid.selectFirst();
}

void Detalle_DDJJ::Refrescar(const QString& orden)
{
    const ui::BusyCursor busy;
    ListLoader loader(*m_ui->lvList);

    clsCodigo& codigo = clsCodigo::instance();
    // A large bank's declaration has hundreds of thousands of lines: the count tells how far the load has come.
    const long lines = codigo.Existe_Detalle(numberOf(Secuencia), numberOf(Posicion));
    const auto progress = ui::Ui::current().progress(this, u"Cargando el detalle de la DDJJ..."_s);
    std::optional<DetailFields> fields;
    CodeNames accountType(&Codes::accountTypeName);
    CodeNames currency(&Codes::currencyName);
    const auto read = [&](const db::Recordset& line, int counter) {
        const db::Value cuenta = line.field(fields->tipoCuenta);
        const db::Value moneda = line.field(fields->tipoMoneda);
        const QString tipoCuenta = cuenta.toString().trimmed();
        const QString tipoMoneda = moneda.toString().trimmed();
        loader.number(line.field(fields->agente), u"0")
            .field(line.field(fields->cbu))
            .text(accountType(tipoCuenta))
            .text(currency(tipoMoneda))
            .number(line.field(fields->cuit), u"0")
            .number(line.field(fields->depositos), u"0")
            .number(line.field(fields->base), u"0.00")
            .number(line.field(fields->retenido), u"0.00")
            // The codes themselves, "0" for a null.
            .text(cuenta.isNull() ? u"0"_s : tipoCuenta)
            .text(moneda.isNull() ? u"0"_s : tipoMoneda)
            .number(counter, u"0")
            .field(line.field(fields->comprobante))
            .field(line.field(fields->presentacion))
            .addRow();
        progress->step(counter, lines);
    };
    loader.load(codigo.Get_Detalle_DDJJs(orden, numberOf(Posicion), numberOf(Secuencia)),
                {.start = [&fields](const db::Recordset& records) { fields.emplace(records); }, .read = read});

    Habilitar_Botones();
}

void Detalle_DDJJ::bExportar_Click()
{
    const QString name = u"detalle_%1_%2.csv"_s.arg(Posicion.trimmed(), Secuencia.trimmed());
    const QString path = ui::Ui::current().saveFileName(this, u"Exportar el detalle de la DDJJ"_s,
                                                        QDir(ProgramDirectory::backupPath()).filePath(name),
                                                        u"Planillas de cálculo (*.csv)"_s, u"csv"_s);
    if (path.isEmpty())
        return;
    const ui::BusyCursor busy;
    // Written under a temporary name that takes the file's name only once every line is in.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        const auto progress = ui::Ui::current().progress(this, u"Exportando el detalle de la DDJJ..."_s);
        written = m_ui->lvList->writeCsv(file, [&progress](int done, int total) {
            progress->step(done, total);
            return true;
        });
        written = written && file.commit();
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (written)
        inform(u"Se han exportado %1 líneas al archivo: %2."_s.arg(m_ui->lvList->rowCount()).arg(shown));
    else
        inform(u"No se ha podido exportar el detalle al archivo: "_s + shown + u"."_s);
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
    Posicionar_Grilla(*m_ui->lvList, columnIndex(Column::Inc), inc);
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
    openEntry(generated ? Manual_DDJJ::ModifyReplicating : Manual_DDJJ::ModifyLine,
              numberOf(currentCell(grid, Column::CUIT)), currentCell(grid, Column::CBU));

    reloadAt(numberOf(currentCell(grid, Column::Inc)));
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
                                                         currentCell(grid, Column::CBU),
                                                         numberOf(currentCell(grid, Column::CUIT))))
            return inform(operationTexts::deletionFailed);
        inform(operationTexts::done);
    }
    // The cursor goes to the row before the one that was current.
    reloadAt(numberOf(currentCell(grid, Column::Inc)) - 1);
}

void Detalle_DDJJ::bAyuda_Click()
{
    HelpDocument::open();
}

void Detalle_DDJJ::bVolver_Click()
{
    accept();
}
