#include "frmSplash.h"
#include "ui_frmSplash.h"

#include "Conectar.h"
#include "Main.h"
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

void frmSplash::cmdOK_Click()
{
    if (!Conectar())
        return;
    clsCodigo::instance().loadAgent();
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
