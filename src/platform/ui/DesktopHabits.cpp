#include "DesktopHabits.h"

#include "SpanishTranslations.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>

namespace ui {

namespace {

// Watches every widget of the program.
class ButtonKeys : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            return pressesButton(watched, *static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            // Qt draws the focus frame only once the keyboard has moved the focus; an operator who starts
            // on the keyboard must see at once where it is.
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow())
                widget->setAttribute(Qt::WA_KeyboardFocusChange);
        }
        return false;
    }

private:
    // Qt presses a focused button on Enter only in a dialog and only when the button is its default
    // candidate; operators expect it everywhere, as Space does.
    static bool pressesButton(QObject* watched, const QKeyEvent& key)
    {
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled() || key.isAutoRepeat())
            return false;
        if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
            return false;
        if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        button->click();
        return true;
    }
};

// Qt's buttons are just as wide as their text, so that a long caption fills its button edge to edge where a
// column of buttons is as wide as the widest: every button gets an em more on either side, at any scale.
class ButtonRoomStyle : public QProxyStyle
{
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override
    {
        QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
        if (type == CT_PushButton && option)
            size.rwidth() += 2 * option->fontMetrics.horizontalAdvance(u'M');
        return size;
    }
};

} // namespace

void installDesktopHabits(QApplication& app)
{
    // Calendars, day and month names, and anything Qt formats by locale, as in Argentina.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    if (app.findChild<ButtonKeys*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    installSpanishTranslations(app);
    app.installEventFilter(new ButtonKeys(&app));
    QApplication::setStyle(new ButtonRoomStyle());
}

} // namespace ui

#include "DesktopHabits.moc"
