#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class Pago_AR03;
}

/// Entry of one AR03 payment: fiscal period, week, payment date, amount and currency. It only ever
/// adds payments, at most 15 to a fiscal period. Opened from the payment list, whose close request
/// (Impresion_AR03::Volver) it clears when it loads.
class Pago_AR03 : public QDialog
{
    Q_OBJECT

public:
    explicit Pago_AR03(QWidget* parent = nullptr);
    ~Pago_AR03() override;

private:
    void Form_Load();
    void bAceptar_Click();
    void bCancelar_Click();
    void bVolver_Click();
    void txPosicion_KeyPress(int& keyAscii);
    void cbSemana_KeyPress(int& keyAscii);
    void txFecha_KeyPress(int& keyAscii);
    void txImporte_KeyPress(int& keyAscii);
    void txImporte_KeyUp(int keyCode);
    void cbTipoMoneda_KeyPress(int& keyAscii);

    /// Shows a failed check's message and puts the focus on the offending control.
    void refuse(const QString& message, QWidget* focus);

    const std::unique_ptr<Ui::Pago_AR03> m_ui;
    /// A decimal point ("." or ",") is already in the amount box: a second one is refused.
    bool m_decimalPointTyped = false;
};
