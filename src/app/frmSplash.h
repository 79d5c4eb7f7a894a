#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmSplash;
}

/// The welcome window: "Entrar" connects to the database, loads the agent's identity and opens
/// the main menu; "Salir" ends the program.
class frmSplash : public QDialog
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    const std::unique_ptr<Ui::frmSplash> m_ui;
};
