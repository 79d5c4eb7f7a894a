#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class QLineEdit;
class QWidget;

namespace Ui {
class Manual_DDJJ;
}

/// Entry of one detail line of a declaration: a new line or a correction. On a declaration already
/// generated the line is not written into it: the screen creates the period's next sequence as a
/// replica holding the entered line and every other line of the generated declaration.
///
/// The opener says what to enter when it creates the screen, which loads itself there and then.
class Manual_DDJJ : public QDialog
{
    Q_OBJECT

public:
    /// The values of Accion.
    enum Mode : int {
        NewLine = 0,           ///< a new line on a pending declaration
        ModifyLine = 1,        ///< a correction of a pending line
        ModifyReplicating = 2, ///< a correction on a generated declaration, written into a replica
        NewReplicating = 3,    ///< a new line on a generated declaration, written into a replica
    };

    /// The declaration, the mode and, for a correction, the line.
    struct Entry
    {
        QString Posicion;  ///< fiscal period AAAAMM of the declaration
        QString Secuencia; ///< sequence of the declaration
        int Accion = NewLine;
        double CuitId = 0; ///< CUIT of the line corrected (modes 1 and 2)
        QString CBUId;     ///< CBU of the line corrected (modes 1 and 2)
        QString FecVto;    ///< due date copied into the replica (modes 2 and 3), dd/mm/yyyy
    };

    /// What a number box says when it is left empty, holds no number, or holds one the line cannot take.
    struct NumberMessages
    {
        QString missing;
        QString incorrect;
        QString refused;
    };

    explicit Manual_DDJJ(Entry entry, QWidget* parent = nullptr);
    ~Manual_DDJJ() override;

    /// What the opener handed, fixed for the screen's life.
    const QString Posicion;
    const QString Secuencia;
    const int Accion;
    const double CuitId;
    const QString CBUId;
    const QString FecVto;

private:
    /// Fills the lists and, when a line is corrected, the boxes with that line; the constructor's last step.
    void Form_Load();

    /// A detail line as entered, ready to be written.
    struct Line
    {
        QString cbu;
        QString tipoCuenta;
        QString moneda;
        double cuit = 0;
        double depositos = 0;
        double baseImponible = 0;
        double retenido = 0;
    };

    void bAceptar_Click();
    void bCancelar_Click();
    void bVolver_Click();
    void txCBU_KeyPress(int& keyAscii);
    void cbTipoCuenta_KeyPress(int& keyAscii);
    void cbTipoMoneda_KeyPress(int& keyAscii);
    void txCant_KeyPress(int& keyAscii);
    void txImporte_KeyPress(int& keyAscii);
    void txTotal_KeyPress(int& keyAscii);
    void txImporte_KeyUp(int keyCode);
    void txTotal_KeyUp(int keyCode);
    void txCuit_KeyPress(int& keyAscii);

    void loadLine();
    /// Runs the checks in order; the entered line, or nothing after saying what is wrong.
    [[nodiscard]] std::optional<Line> enteredLine();
    /// True when the declaration already has a line with this CBU and CUIT (and says so).
    [[nodiscard]] bool duplicate(const Line& line);
    /// Creates the period's next sequence with the entered line and the generated declaration's
    /// other lines, all or nothing. The line keyed by the left-out CBU and CUIT is not copied.
    [[nodiscard]] bool replicate(const Line& line, const QString& leftOutCbu, double leftOutCuit);

    /// Keys typed into a box that takes digits only.
    void digitsOnly(int& keyAscii, QWidget* box, QWidget* next);
    /// Keys typed into an amount box: digits, one decimal point ("." or ",") and the minus sign.
    void amountKey(int& keyAscii, QLineEdit* box, bool& pointTyped, QWidget* next);
    /// The number in a count or amount box, checked in that order; nothing after saying what is wrong.
    [[nodiscard]] std::optional<double> enteredNumber(QLineEdit& box, const NumberMessages& messages,
                                                      bool (*accepted)(double));
    /// Shows a failed check's message and puts the focus on the offending control; nothing to return.
    std::nullopt_t refuse(const QString& message, QWidget* focus);

    const std::unique_ptr<Ui::Manual_DDJJ> m_ui;
    bool m_importePointTyped = false;
    bool m_totalPointTyped = false;
};
