#include "Pago_AR03.h"
#include "ui_Pago_AR03.h"

#include "Impresion_AR03.h"
#include "data/Codes.h"
#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/Regional.h"
#include "platform/ui/KeyFilter.h"
#include "platform/ui/Ui.h"
#include "screens/OperationTexts.h"

#include <QStyle>

using namespace Qt::StringLiterals;
using ui::backspaceKey;
using ui::deleteKeyCode;
using ui::enterKey;
using ui::inform;

namespace {

constexpr double paymentsPerPeriod = 15;

const QString sinEspecificar = u"Sin Especificar"_s;

bool isDigit(int keyAscii)
{
    return keyAscii >= '0' && keyAscii <= '9';
}

// Operators used to the regional convention type "," for the decimal point: it counts as the point.
bool isDecimalMark(int keyAscii)
{
    return keyAscii == '.' || keyAscii == ',';
}

bool isAllDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

Pago_AR03::Pago_AR03(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::Pago_AR03>())
{
    m_ui->setupUi(this);
    m_ui->bAceptar->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_ui->bCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    // An operator records a payment made today or a few days ago: the date box starts on today.
    m_ui->txFecha->setDate(Clock::today());

    connect(m_ui->bAceptar, &QPushButton::clicked, this, &Pago_AR03::bAceptar_Click);
    connect(m_ui->bCancelar, &QPushButton::clicked, this, &Pago_AR03::bCancelar_Click);
    connect(m_ui->bVolver, &QPushButton::clicked, this, &Pago_AR03::bVolver_Click);
    ui::KeyFilter::onKeyPress(m_ui->txPosicion, [this](int& key) { txPosicion_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->cbSemana, [this](int& key) { cbSemana_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->txFecha, [this](int& key) { txFecha_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->txImporte, [this](int& key) { txImporte_KeyPress(key); });
    ui::KeyFilter::onKeyUp(m_ui->txImporte, [this](int code) { txImporte_KeyUp(code); });
    ui::KeyFilter::filterPastedText(m_ui->txImporte);
    ui::KeyFilter::onKeyPress(m_ui->cbTipoMoneda, [this](int& key) { cbTipoMoneda_KeyPress(key); });

    Form_Load();
}

Pago_AR03::~Pago_AR03() = default;

void Pago_AR03::Form_Load()
{
    if (auto* lista = qobject_cast<Impresion_AR03*>(parentWidget()))
        lista->Volver = false;

    m_decimalPointTyped = false;
    m_ui->cbTipoMoneda->clear();
    m_ui->cbTipoMoneda->addItems(QStringList{sinEspecificar} + Codes::currencyNames());
    m_ui->cbSemana->clear();
    m_ui->cbSemana->addItems({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    m_ui->cbTipoMoneda->setCurrentIndex(0);
    m_ui->cbSemana->setCurrentIndex(0);
}

void Pago_AR03::refuse(const QString& message, QWidget* focus)
{
    inform(message);
    focus->setFocus();
}

void Pago_AR03::bAceptar_Click()
{
    const QString posicion = m_ui->txPosicion->text().trimmed();
    if (posicion.isEmpty())
        return refuse(u"Debe ingresar la Posición Fiscal."_s, m_ui->txPosicion);
    // The filter lets "." through: a period must be six digits to be counted and stored.
    if (posicion.size() != 6 || !isAllDigits(posicion))
        return refuse(u"La Posición Fiscal es incorrecta."_s, m_ui->txPosicion);
    const int mes = posicion.mid(4, 2).toInt();
    if (mes <= 0 || mes > 12)
        return refuse(u"La Posición Fiscal es incorrecta."_s, m_ui->txPosicion);

    clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Existen_AR03s_77(posicion) >= paymentsPerPeriod)
        return refuse(u"Ya hay 15 Pagos ingresados para la posición fiscal especificada. No se puede realizar esta "
                      u"operación."_s,
                      m_ui->txPosicion);

    if (m_ui->cbSemana->currentText().trimmed().isEmpty())
        return refuse(u"Debe ingresar la Semana."_s, m_ui->cbSemana);
    if (m_ui->txFecha->text().trimmed().isEmpty())
        return refuse(u"Debe ingresar la Fecha de Pago."_s, m_ui->txFecha);
    // A partial or impossible date is refused, never stored as another date; a real one is shown
    // as dd/mm/yyyy, and what the box shows is what is stored.
    const std::optional<QDate> pago = m_ui->txFecha->date();
    if (!pago)
        return refuse(u"La Fecha de Pago es incorrecta."_s, m_ui->txFecha);
    m_ui->txFecha->setDate(*pago);
    const QString fecha = m_ui->txFecha->text().trimmed();
    if (m_ui->txImporte->text().trimmed().isEmpty())
        return refuse(u"Debe ingresar el Importe a depositar."_s, m_ui->txImporte);

    // The operator types "." or "," as the decimal point; amounts are read the regional way, with ",".
    QString importeText = m_ui->txImporte->text();
    const qsizetype point = importeText.indexOf(u'.');
    if (point >= 0) {
        importeText[point] = u',';
        m_ui->txImporte->setText(importeText);
    }
    // The filter lets "-" through anywhere and repeatedly: an amount that is not a number is never stored.
    const std::optional<double> importe = Regional::parseNumber(importeText.trimmed());
    if (!importe)
        return refuse(u"El Importe a depositar es incorrecto."_s, m_ui->txImporte);

    if (m_ui->cbTipoMoneda->currentText().trimmed() == sinEspecificar)
        return refuse(u"Debe ingresar el Tipo de Moneda."_s, m_ui->cbTipoMoneda);

    // The currency code is the position of the chosen item: "01" Pesos, "02" Lecop, "03" Dólares.
    const QString moneda = Regional::format(m_ui->cbTipoMoneda->currentIndex(), u"00");
    if (!codigo.Insertar_AR03(posicion.toDouble(), m_ui->cbSemana->currentText().trimmed().toDouble(), fecha, *importe,
                              moneda)) {
        inform(operationTexts::failed);
        return;
    }
    inform(operationTexts::done);
    accept();
}

void Pago_AR03::bCancelar_Click()
{
    reject();
}

void Pago_AR03::bVolver_Click()
{
    // Closes this screen only; the payment list stays open (its close request is left unset).
    reject();
}

void Pago_AR03::txPosicion_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->cbSemana->setFocus();
    } else if (!isDigit(keyAscii) && keyAscii != backspaceKey && keyAscii != '.') {
        keyAscii = 0;
        m_ui->txPosicion->setFocus();
    }
}

void Pago_AR03::cbSemana_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey)
        m_ui->txFecha->setFocus();
}

void Pago_AR03::txFecha_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey)
        m_ui->txImporte->setFocus();
}

void Pago_AR03::txImporte_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->cbTipoMoneda->setFocus();
    } else if (keyAscii == backspaceKey) {
        // Whatever the Backspace removes, a point may be typed again.
        m_decimalPointTyped = false;
    } else if (isDecimalMark(keyAscii)) {
        // A point typed over, selected and replaced, no longer counts: the amount would lose its decimals.
        if (m_decimalPointTyped && !ui::keepsDecimalMark(*m_ui->txImporte))
            m_decimalPointTyped = false;
        if (m_decimalPointTyped)
            keyAscii = 0;
        else
            m_decimalPointTyped = true;
    } else if (!isDigit(keyAscii) && keyAscii != '-') {
        keyAscii = 0;
        m_ui->txImporte->setFocus();
    }
}

void Pago_AR03::txImporte_KeyUp(int keyCode)
{
    // A point removed with Delete may be typed again.
    if (keyCode == deleteKeyCode)
        m_decimalPointTyped = false;
}

void Pago_AR03::cbTipoMoneda_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey)
        m_ui->bAceptar->setFocus();
}
