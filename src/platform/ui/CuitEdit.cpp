#include "CuitEdit.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace ui {

CuitEdit::CuitEdit(QWidget* parent) : QLineEdit(parent)
{
    // "0" is an optional digit; "#" would also admit "+" and "-".
    setInputMask(u"00-00000000-0;_"_s);
}

QString CuitEdit::maskText() const
{
    return displayText();
}

void CuitEdit::setMaskText(const QString& text)
{
    setText(text);
}

void CuitEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // An empty box starts typing at its first digit, wherever the click landed.
    if (text().remove(u'-').isEmpty())
        QTimer::singleShot(0, this, [this] { setCursorPosition(0); });
}

} // namespace ui
