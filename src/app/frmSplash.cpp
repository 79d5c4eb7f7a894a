#include "frmSplash.h"
#include "ui_frmSplash.h"

#include "Conectar.h"
#include "Main.h"
#include "data/ParameterValue.h"
#include "data/Regional.h"
#include "data/clsCodigo.h"
#include "platform/reportengine/QtReportEngine.h"
#include "platform/ui/BusyCursor.h"

#include <QKeyEvent>

using namespace Qt::StringLiterals;

frmSplash::frmSplash(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::frmSplash>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &frmSplash::cmdOK_Click);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &frmSplash::cmdCancel_Click);
    Form_Load();
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load()
{
    // The report engine lives for the whole run; tests may have installed their own already.
    if (!report::ReportEngine::current())
        report::ReportEngine::install(std::make_unique<report::QtReportEngine>());
}

void frmSplash::loadAgentIdentity()
{
    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_CUIT = parameterValue(1, QString());
    codigo.Par_Denomin = parameterValue(2, QString());
    // A stored agent number that is not a number counts as none, so the menu asks for the registration.
    codigo.Par_Agente = Regional::parseNumber(parameterValue(3, u"0"_s)).value_or(0);
}

void frmSplash::cmdOK_Click()
{
    if (!Conectar())
        return;
    loadAgentIdentity();
    {
        const ui::BusyCursor busy;
        Main::showMenu();
    }
    close();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    // Escape presses "Salir", which ends the program, rather than just hiding the window.
    if (event->key() == Qt::Key_Escape) {
        m_ui->cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSplash::cmdCancel_Click()
{
    close();
}
