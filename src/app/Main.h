#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class Main;
}

/// The main menu: opens the registration, the AR03 payments, the declarations and the backup copies, each as a
/// modal screen; asks for the registration by itself while the agent's identity is incomplete.
class Main : public QWidget
{
    Q_OBJECT

public:
    explicit Main(QWidget* parent = nullptr);
    ~Main() override;

    /// Loads the menu (which may first open the registration) and shows it. The menu deletes
    /// itself when closed.
    static Main* showMenu();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void askForIncompleteRegistration();
    void bRegistracion_Click();
    void bAR03_Click();
    void bAR04_Click();
    void bCopia_Click();
    void bAyuda_Click();
    void bSalir_Click();

    const std::unique_ptr<Ui::Main> m_ui;
    bool m_exitConfirmed = false;
};
