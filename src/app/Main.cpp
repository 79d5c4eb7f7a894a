#include "Main.h"
#include "ui_Main.h"

#include "data/clsCodigo.h"
#include "platform/ui/Ui.h"
#include "platform/ui/WindowPlacement.h"
#include "screens/HelpDocument.h"
#include "screens/backup/BackupScreen.h"
#include "screens/declarations/DDJJ.h"
#include "screens/payments/Impresion_AR03.h"
#include "screens/registration/Registracion.h"

#include <QCloseEvent>

using namespace Qt::StringLiterals;

namespace {

template <typename Screen>
void openScreen(QWidget* parent)
{
    Screen screen(parent);
    ui::Ui::current().showModal(screen);
}

} // namespace

Main::Main(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::Main>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_ui->bRegistracion, &QPushButton::clicked, this, &Main::bRegistracion_Click);
    connect(m_ui->bAR03, &QPushButton::clicked, this, &Main::bAR03_Click);
    connect(m_ui->bAR04, &QPushButton::clicked, this, &Main::bAR04_Click);
    connect(m_ui->bCopia, &QPushButton::clicked, this, &Main::bCopia_Click);
    connect(m_ui->bAyuda, &QPushButton::clicked, this, &Main::bAyuda_Click);
    connect(m_ui->bSalir, &QPushButton::clicked, this, &Main::bSalir_Click);

    Form_Load();
}

Main::~Main() = default;

Main* Main::showMenu()
{
    auto* menu = new Main();
    // Centred on the welcome window, still open behind it, with the keyboard on the first button.
    ui::placeWindow(*menu, nullptr);
    menu->show();
    ui::returnFocus(menu, menu->m_ui->bRegistracion);
    return menu;
}

void Main::Form_Load()
{
    askForIncompleteRegistration();
}

void Main::askForIncompleteRegistration()
{
    const clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Par_Denomin.isEmpty() || codigo.Par_CUIT.isEmpty() || codigo.Par_Agente == 0)
        bRegistracion_Click();
}

void Main::bRegistracion_Click()
{
    openScreen<Registracion>(this);
}

void Main::bAR03_Click()
{
    openScreen<Impresion_AR03>(this);
}

void Main::bAR04_Click()
{
    openScreen<DDJJ>(this);
}

void Main::bCopia_Click()
{
    BackupScreen screen(this);
    ui::Ui::current().showModal(screen);
    // A restored copy may hold no agent.
    if (screen.restored())
        askForIncompleteRegistration();
}

void Main::bAyuda_Click()
{
    HelpDocument::open();
}

void Main::bSalir_Click()
{
    // The question is asked where every way out of the menu passes: closing the window.
    close();
}

void Main::closeEvent(QCloseEvent* event)
{
    // "Salir del Sistema" and the window's frame ask the same question; once answered Yes, it is not asked again.
    if (!m_exitConfirmed && !ui::Ui::current().ask(u"Está seguro que desea salir de la aplicación?"_s)) {
        event->ignore();
        return;
    }
    m_exitConfirmed = true;
    event->accept();
}
