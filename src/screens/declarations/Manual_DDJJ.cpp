#include "Manual_DDJJ.h"
#include "ui_Manual_DDJJ.h"

#include "DeclarationChecks.h"
#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/Regional.h"
#include "platform/db/Database.h"
#include "platform/db/Value.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/KeyFilter.h"
#include "platform/ui/Ui.h"
#include "rules/Cuit_Invalido.h"
#include "screens/OperationTexts.h"
#include "screens/ReadFailure.h"

#include <QStyle>

using namespace Qt::StringLiterals;
using declarations::isDigits;
using declarations::numberOf;
using ui::backspaceKey;
using ui::deleteKeyCode;
using ui::enterKey;
using ui::inform;

namespace {

const QString emptyCuit = u"__-________-_"_s;

// What the count and amount boxes say when left empty, holding no number, or holding one the line cannot take.
const Manual_DDJJ::NumberMessages depositosMessages{u"Debe ingresar la cantidad de depósitos."_s,
                                                    u"La cantidad de depósitos es incorrecta."_s,
                                                    u"La cantidad de depósitos debe ser mayor que 0."_s};
const Manual_DDJJ::NumberMessages importeMessages{u"Debe ingresar el Importe depositado."_s,
                                                  u"El Importe depositado es incorrecto."_s,
                                                  u"El Importe total depositado debe ser distinto de 0."_s};
const Manual_DDJJ::NumberMessages totalMessages{u"Debe ingresar el Total retenido."_s,
                                                u"El Total retenido es incorrecto."_s,
                                                u"El total retenido debe ser distinto de 0."_s};

bool isPositive(double number)
{
    return number > 0;
}

bool isNonZero(double number)
{
    return number != 0;
}

bool isDigitKey(int keyAscii)
{
    return keyAscii >= '0' && keyAscii <= '9';
}

// A list's position is the stored code: "00", "01", ...
QString codeOf(int index)
{
    return u"%1"_s.arg(std::max(index, 0), 2, 10, QChar(u'0'));
}

// The list position of a stored code; "Sin Especificar" for a null or unknown code.
int indexOf(const db::Value& code, int items)
{
    const int index = static_cast<int>(numberOf(code.toString()));
    return index >= 0 && index < items ? index : 0;
}

// The eleven CUIT digits in the layout of the CUIT box: 20-12345678-6.
QString cuitLayout(const QString& digits)
{
    return digits.mid(0, 2) + u'-' + digits.mid(2, 8) + u'-' + digits.mid(10, 1);
}

// The number in an amount or count box. A typed point is the decimal mark: it is turned into the
// regional comma, in the box too, and the text is read the regional way (so a typed comma is one as well). Nothing for
// a text that is not a number ("-", "1-2", a second decimal mark).
std::optional<double> convertBox(QLineEdit& box)
{
    QString text = box.text().trimmed();
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0) {
        text[point] = u',';
        box.setText(text);
    }
    return Regional::parseNumber(text);
}

} // namespace

Manual_DDJJ::Manual_DDJJ(Entry entry, QWidget* parent)
    : QDialog(parent), Posicion(std::move(entry.Posicion)), Secuencia(std::move(entry.Secuencia)), Accion(entry.Accion),
      CuitId(entry.CuitId), CBUId(std::move(entry.CBUId)), FecVto(std::move(entry.FecVto)),
      m_ui(std::make_unique<Ui::Manual_DDJJ>())
{
    m_ui->setupUi(this);
    m_ui->bAceptar->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_ui->bCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    connect(m_ui->bAceptar, &QPushButton::clicked, this, &Manual_DDJJ::bAceptar_Click);
    connect(m_ui->bCancelar, &QPushButton::clicked, this, &Manual_DDJJ::bCancelar_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &Manual_DDJJ::bVolver_Click);
    ui::KeyFilter::onKeyPress(m_ui->txCBU, [this](int& key) { txCBU_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->cbTipoCuenta, [this](int& key) { cbTipoCuenta_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->cbTipoMoneda, [this](int& key) { cbTipoMoneda_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->txCant, [this](int& key) { txCant_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->txImporte, [this](int& key) { txImporte_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->txTotal, [this](int& key) { txTotal_KeyPress(key); });
    ui::KeyFilter::onKeyUp(m_ui->txImporte, [this](int code) { txImporte_KeyUp(code); });
    ui::KeyFilter::onKeyUp(m_ui->txTotal, [this](int code) { txTotal_KeyUp(code); });
    ui::KeyFilter::filterPastedText(m_ui->txImporte);
    ui::KeyFilter::filterPastedText(m_ui->txTotal);
    ui::KeyFilter::onKeyPress(m_ui->TxCuit, [this](int& key) { txCuit_KeyPress(key); });

    Form_Load();
}

Manual_DDJJ::~Manual_DDJJ() = default;

void Manual_DDJJ::Form_Load()
{
    m_ui->cbTipoCuenta->clear();
    m_ui->cbTipoCuenta->addItems(QStringList{u"Sin Especificar"_s} + Codes::accountTypeNames());
    m_ui->cbTipoCuenta->setCurrentIndex(0);
    m_ui->cbTipoMoneda->clear();
    m_ui->cbTipoMoneda->addItems(QStringList{u"Sin Especificar"_s} + Codes::currencyNames());
    m_ui->cbTipoMoneda->setCurrentIndex(0);
    m_importePointTyped = false;
    m_totalPointTyped = false;

    if (Accion == ModifyLine || Accion == ModifyReplicating)
        loadLine();
}

void Manual_DDJJ::loadLine()
{
    const auto rows = clsCodigo::instance().Get_Detalle_DDJJ(numberOf(Secuencia), numberOf(Posicion), CuitId, CBUId);
    if (!rows)
        return informReadFailure();
    if (rows->eof())
        return;

    const auto shown = [&rows](QStringView field, QStringView pattern) {
        return declarations::formatted(rows->field(field), pattern);
    };
    try {
        m_ui->txCBU->setText(rows->field(u"N_CBU").toString().trimmed());
        m_ui->txCant->setText(shown(u"N_Depositos", u"0"));
        // The amounts are edited with a point as decimal mark, as the operator types them.
        m_ui->txImporte->setText(shown(u"I_Base_Imponible", u"0.00").replace(u',', u'.'));
        m_ui->TxCuit->setMaskText(cuitLayout(rows->field(u"N_Cuit").toString()));
        m_ui->txTotal->setText(shown(u"I_Retenido", u"0.00").replace(u',', u'.'));
        m_ui->cbTipoCuenta->setCurrentIndex(indexOf(rows->field(u"C_Tipo_Cuenta"), m_ui->cbTipoCuenta->count()));
        m_ui->cbTipoMoneda->setCurrentIndex(indexOf(rows->field(u"C_Tipo_Moneda"), m_ui->cbTipoMoneda->count()));
    } catch (const std::exception&) {
        // A line that cannot be read leaves the boxes as far as they were filled.
        informReadFailure();
    }
}

// Key filters ---------------------------------------------------------------------------------------------

void Manual_DDJJ::digitsOnly(int& keyAscii, QWidget* box, QWidget* next)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        next->setFocus();
    } else if (!isDigitKey(keyAscii) && keyAscii != backspaceKey) {
        keyAscii = 0;
        box->setFocus();
    }
}

void Manual_DDJJ::amountKey(int& keyAscii, QLineEdit* box, bool& pointTyped, QWidget* next)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        next->setFocus();
        return;
    }
    bool accepted = isDigitKey(keyAscii) || keyAscii == '-';
    if (keyAscii == backspaceKey) {
        pointTyped = false;
        accepted = true;
    } else if ((keyAscii == '.' || keyAscii == ',') && (!pointTyped || !ui::keepsDecimalMark(*box))) {
        // A point typed over, selected and replaced, no longer counts: the amount would lose its decimals.
        // "," is the regional decimal point, typed by habit: it counts as the point.
        pointTyped = true;
        accepted = true;
    }
    if (!accepted) {
        keyAscii = 0;
        box->setFocus();
    }
}

void Manual_DDJJ::txCBU_KeyPress(int& keyAscii)
{
    digitsOnly(keyAscii, m_ui->txCBU, m_ui->cbTipoCuenta);
}

void Manual_DDJJ::cbTipoCuenta_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->cbTipoMoneda->setFocus();
    }
}

void Manual_DDJJ::cbTipoMoneda_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->txCant->setFocus();
    }
}

void Manual_DDJJ::txCant_KeyPress(int& keyAscii)
{
    digitsOnly(keyAscii, m_ui->txCant, m_ui->txImporte);
}

void Manual_DDJJ::txImporte_KeyPress(int& keyAscii)
{
    amountKey(keyAscii, m_ui->txImporte, m_importePointTyped, m_ui->txTotal);
}

void Manual_DDJJ::txTotal_KeyPress(int& keyAscii)
{
    amountKey(keyAscii, m_ui->txTotal, m_totalPointTyped, m_ui->TxCuit);
}

void Manual_DDJJ::txImporte_KeyUp(int keyCode)
{
    if (keyCode == deleteKeyCode)
        m_importePointTyped = false;
}

void Manual_DDJJ::txTotal_KeyUp(int keyCode)
{
    if (keyCode == deleteKeyCode)
        m_totalPointTyped = false;
}

void Manual_DDJJ::txCuit_KeyPress(int& keyAscii)
{
    // Enter only reaches the button; saving takes a press of it.
    digitsOnly(keyAscii, m_ui->TxCuit, m_ui->bAceptar);
}

// Saving --------------------------------------------------------------------------------------------------

std::nullopt_t Manual_DDJJ::refuse(const QString& message, QWidget* focus)
{
    inform(message);
    focus->setFocus();
    return std::nullopt;
}

std::optional<double> Manual_DDJJ::enteredNumber(QLineEdit& box, const NumberMessages& messages,
                                                 bool (*accepted)(double))
{
    if (box.text().trimmed().isEmpty())
        return refuse(messages.missing, &box);
    const std::optional<double> number = convertBox(box);
    if (!number)
        return refuse(messages.incorrect, &box);
    if (!accepted(*number))
        return refuse(messages.refused, &box);
    return number;
}

std::optional<Manual_DDJJ::Line> Manual_DDJJ::enteredLine()
{
    Line line;
    line.cbu = m_ui->txCBU->text().trimmed();
    if (line.cbu.isEmpty())
        return refuse(u"Debe ingresar la CBU."_s, m_ui->txCBU);
    if (!isDigits(line.cbu))
        return refuse(u"La CBU especificado es incorrecta."_s, m_ui->txCBU);
    if (m_ui->cbTipoMoneda->currentIndex() <= 0)
        return refuse(u"Debe ingresar el Tipo de Moneda."_s, m_ui->cbTipoMoneda);

    const std::optional<double> depositos = enteredNumber(*m_ui->txCant, depositosMessages, isPositive);
    if (!depositos)
        return std::nullopt;
    const std::optional<double> importe = enteredNumber(*m_ui->txImporte, importeMessages, isNonZero);
    if (!importe)
        return std::nullopt;
    const std::optional<double> total = enteredNumber(*m_ui->txTotal, totalMessages, isNonZero);
    if (!total)
        return std::nullopt;

    const QString cuit = m_ui->TxCuit->maskText().trimmed();
    if (cuit == emptyCuit)
        return refuse(u"Debe ingresar el CUIT del retenido."_s, m_ui->TxCuit);
    const std::optional<double> number = cuitDigits(cuit);
    if (!number || Cuit_Invalido(*number))
        return refuse(u"El CUIT especificado es incorrecto."_s, m_ui->TxCuit);

    line.cuit = *number;
    line.tipoCuenta = codeOf(m_ui->cbTipoCuenta->currentIndex());
    line.moneda = codeOf(m_ui->cbTipoMoneda->currentIndex());
    line.depositos = *depositos;
    line.baseImponible = *importe;
    line.retenido = *total;
    return line;
}

bool Manual_DDJJ::duplicate(const Line& line)
{
    if (clsCodigo::instance().Existe_Detalle_DDJJ(numberOf(Secuencia), numberOf(Posicion), line.cbu, line.cuit) == 0)
        return false;
    refuse(u"Ya existe un Detalle para el CUIT y CBU especificado."_s, m_ui->txCBU);
    return true;
}

void Manual_DDJJ::bAceptar_Click()
{
    const std::optional<Line> line = enteredLine();
    if (!line)
        return;

    clsCodigo& codigo = clsCodigo::instance();
    const double periodo = numberOf(Posicion);
    const double secuencia = numberOf(Secuencia);
    // A correction that gives the line another key must not take the key of another line.
    const bool keyChanged =
        line->cbu != CBUId.trimmed() || m_ui->TxCuit->maskText().trimmed() != cuitLayout(db::Value::numberText(CuitId));

    bool written = false;
    switch (Accion) {
    case NewLine:
        if (duplicate(*line))
            return;
        written = codigo.Insertar_Detalle_DDJJ(secuencia, periodo, codigo.Par_Agente, line->cbu, line->tipoCuenta,
                                               line->moneda, line->cuit, line->depositos, line->baseImponible,
                                               line->retenido);
        break;
    case ModifyLine:
        if (keyChanged && duplicate(*line))
            return;
        written =
            codigo.Modificar_Detalle_DDJJ(secuencia, periodo, CBUId, CuitId, line->cbu, line->tipoCuenta, line->moneda,
                                          line->cuit, line->depositos, line->baseImponible, line->retenido);
        break;
    case ModifyReplicating:
        // The replica would otherwise hold the corrected line and the line whose key it took.
        if (keyChanged && duplicate(*line))
            return;
        written = replicate(*line, CBUId, CuitId);
        break;
    case NewReplicating:
        // A line of the generated declaration with the same key is replaced by the new one.
        written = replicate(*line, line->cbu, line->cuit);
        break;
    default:
        break;
    }

    if (!written)
        return inform(operationTexts::failed);
    inform(operationTexts::done);
    accept();
}

bool Manual_DDJJ::replicate(const Line& line, const QString& leftOutCbu, double leftOutCuit)
{
    const ui::BusyCursor busy;
    clsCodigo& codigo = clsCodigo::instance();
    // Either the new sequence exists with all its lines, or nothing of it does.
    const auto transaction = codigo.beginTransaction();
    if (!transaction)
        return false;

    const double periodo = numberOf(Posicion);
    const double nueva = codigo.Get_secuencia(periodo) + 1;
    if (!codigo.Insertar_DDJJ(nueva, periodo, FecVto))
        return false;
    if (!codigo.Insertar_Detalle_DDJJ(nueva, periodo, codigo.Par_Agente, line.cbu, line.tipoCuenta, line.moneda,
                                      line.cuit, line.depositos, line.baseImponible, line.retenido))
        return false;

    try {
        // A declaration without lines gives an open recordset at its end; none at all means the lines could
        // not be read, and a replica holding only the typed line would drop them: nothing is committed.
        const auto rows = codigo.Get_Detalle_Replica(periodo, numberOf(Secuencia));
        if (!rows)
            return false;
        for (; !rows->eof(); rows->moveNext()) {
            const QString cbu = rows->field(u"N_CBU").toString();
            const double cuit = rows->field(u"N_Cuit").toDouble();
            if (cbu.trimmed() == leftOutCbu.trimmed() && cuit == leftOutCuit)
                continue;
            // The copy is written for the agent registered now, as a line not yet generated.
            if (!codigo.Insertar_Detalle_DDJJ(
                    nueva, periodo, codigo.Par_Agente, cbu, rows->field(u"C_Tipo_Cuenta").toString(),
                    rows->field(u"C_Tipo_Moneda").toString(), cuit, rows->field(u"N_Depositos").toDouble(),
                    rows->field(u"I_Base_Imponible").toDouble(), rows->field(u"I_Retenido").toDouble()))
                return false;
        }
        transaction->commit();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void Manual_DDJJ::bCancelar_Click()
{
    reject();
}

void Manual_DDJJ::bVolver_Click()
{
    reject();
}
