#pragma once

#include <QLineEdit>

namespace ui {

/// The masked CUIT box: two digits, a dash, eight digits, a dash, one digit, with "_" where no
/// digit has been typed. Every digit is optional, so the box may be empty or partly filled.
/// In Designer, promote a QLineEdit to ui::CuitEdit (header "platform/ui/CuitEdit.h").
class CuitEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CuitEdit(QWidget* parent = nullptr);

    /// Always the 13 characters shown, dashes and "_" included: "__-________-_" when empty,
    /// "20-1234____-_" when partly typed.
    [[nodiscard]] QString maskText() const;
    /// Fills the box. Digits fill the mask in order and the dashes may be given or left out,
    /// so "20-12345678-6", "20123456786" and "__-________-_" all work; anything else is skipped.
    void setMaskText(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace ui
