#include "Registracion.h"
#include "ui_Registracion.h"

#include "data/ParameterValue.h"
#include "data/clsCodigo.h"
#include "platform/Regional.h"
#include "platform/db/Database.h"
#include "platform/ui/KeyFilter.h"
#include "platform/ui/Ui.h"
#include "rules/Cuit_Invalido.h"

#include <QStyle>

using namespace Qt::StringLiterals;
using ui::backspaceKey;
using ui::enterKey;
using ui::inform;

namespace {

const QString emptyCuit = u"__-________-_"_s;

bool isDigitOrEditKey(int keyAscii)
{
    return (keyAscii >= '0' && keyAscii <= '9') || keyAscii == backspaceKey || keyAscii == ',';
}

} // namespace

Registracion::Registracion(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::Registracion>())
{
    m_ui->setupUi(this);
    m_ui->bAceptar->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    m_ui->bCancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    connect(m_ui->bAceptar, &QPushButton::clicked, this, &Registracion::bAceptar_Click);
    connect(m_ui->bCancelar, &QPushButton::clicked, this, &Registracion::bCancelar_Click);
    ui::KeyFilter::onKeyPress(m_ui->TxCuit, [this](int& key) { txCuit_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->txRazonSocial, [this](int& key) { txRazonSocial_KeyPress(key); });
    ui::KeyFilter::onKeyPress(m_ui->txNroAgente, [this](int& key) { txNroAgente_KeyPress(key); });

    Form_Load();
}

Registracion::~Registracion() = default;

void Registracion::Form_Load()
{
    m_ui->TxCuit->setMaskText(parameterValue(1, emptyCuit));
    m_ui->txRazonSocial->setText(parameterValue(2, QString()));
    m_ui->txNroAgente->setText(parameterValue(3, QString()));

    clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Existen_AR04s()) {
        inform(u"No se pueden realizar cambios en la Registración. Existen Detalles de DDJJ asociadas sin generar. "
               u"Solo podrá consultar los datos."_s);
        switchToViewingMode();
    } else if (codigo.Existen_AR03s()) {
        inform(u"No se pueden realizar cambios en la Registración. Existen pagos (AR03). Solo podrá consultar los "
               u"datos."_s);
        switchToViewingMode();
    }
}

void Registracion::switchToViewingMode()
{
    m_ui->bAceptar->hide();
    m_ui->Frame1->setEnabled(false);
    m_ui->bCancelar->setText(u"Volver"_s);
    m_ui->bCancelar->setFocus();
}

void Registracion::refuse(const QString& message, QWidget* focus)
{
    inform(message);
    focus->setFocus();
}

bool Registracion::storeParameter(double id, const QString& description, const QString& value)
{
    clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Existe_Parametro(id) == 0)
        return codigo.Insertar_Parametro(id, description, value);
    return codigo.Modificar_Parametro(id, value);
}

void Registracion::bAceptar_Click()
{
    const QString cuit = m_ui->TxCuit->maskText().trimmed();
    if (cuit == emptyCuit)
        return refuse(u"Debe ingresar el CUIT para registrarse."_s, m_ui->TxCuit);
    const std::optional<double> number = cuitDigits(cuit);
    if (!number || Cuit_Invalido(*number))
        return refuse(u"El CUIT especificado es incorrecto."_s, m_ui->TxCuit);

    const QString razonSocial = m_ui->txRazonSocial->text().trimmed();
    if (razonSocial.isEmpty())
        return refuse(u"Debe ingresar la Razón Social o Denominación para registrarse."_s, m_ui->txRazonSocial);
    const QString nroAgente = m_ui->txNroAgente->text().trimmed();
    if (nroAgente.isEmpty())
        return refuse(u"Debe ingresar el Nro. de Agente adigando por Ostrel para registrarse."_s, m_ui->txNroAgente);
    // The filter lets "," through more than once; a number that cannot be read is never stored.
    const std::optional<double> agente = Regional::parseNumber(nroAgente);
    if (!agente)
        return refuse(u"El Nro. de Agente especificado es incorrecto."_s, m_ui->txNroAgente);

    clsCodigo& codigo = clsCodigo::instance();
    // The three parameters are stored together or not at all.
    const auto transaction = codigo.beginTransaction();
    if (!transaction || !storeParameter(1, u"CUIT - Registración"_s, cuit) ||
        !storeParameter(2, u"Razón Social / Denominación - Registración"_s, razonSocial) ||
        !storeParameter(3, u"Nro Agente - Registración"_s, nroAgente) || !clsCodigo::commit(*transaction)) {
        inform(u"No se ha podido realizar la registración correctamente."_s);
        return;
    }

    codigo.Par_Agente = *agente;
    codigo.Par_CUIT = cuit;
    codigo.Par_Denomin = razonSocial;
    inform(u"Se ha realizado la registración correctamente."_s);
    accept();
}

void Registracion::bCancelar_Click()
{
    reject();
}

void Registracion::txCuit_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->txRazonSocial->setFocus();
    } else if (!isDigitOrEditKey(keyAscii)) {
        keyAscii = 0;
        m_ui->TxCuit->setFocus();
    }
}

void Registracion::txRazonSocial_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->txNroAgente->setFocus();
    }
}

void Registracion::txNroAgente_KeyPress(int& keyAscii)
{
    if (keyAscii == enterKey) {
        keyAscii = 0;
        m_ui->bAceptar->setFocus();
    } else if (!isDigitOrEditKey(keyAscii)) {
        keyAscii = 0;
        m_ui->txNroAgente->setFocus();
    }
}
