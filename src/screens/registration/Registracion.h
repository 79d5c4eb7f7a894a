#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class Registracion;
}

/// The agent's registration: CUIT, business name and the agent number the tax agency assigned.
/// Opens for viewing only while a declaration line is pending or any AR03 payment exists.
class Registracion : public QDialog
{
    Q_OBJECT

public:
    explicit Registracion(QWidget* parent = nullptr);
    ~Registracion() override;

private:
    void Form_Load();
    void switchToViewingMode();
    void bAceptar_Click();
    void bCancelar_Click();
    void txCuit_KeyPress(int& keyAscii);
    void txRazonSocial_KeyPress(int& keyAscii);
    void txNroAgente_KeyPress(int& keyAscii);

    /// Shows a failed check's message and puts the focus on the offending box.
    void refuse(const QString& message, QWidget* focus);
    [[nodiscard]] bool storeParameter(double id, const QString& description, const QString& value);

    const std::unique_ptr<Ui::Registracion> m_ui;
};
