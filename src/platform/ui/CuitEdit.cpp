#include "CuitEdit.h"

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

} // namespace ui
