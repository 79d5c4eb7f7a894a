#include "DesktopHabits.h"

#include "SpanishTranslations.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>

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
        if (event->type() == QEvent::Polish) {
            if (auto* button = qobject_cast<QPushButton*>(watched))
                giveTextRoom(*button);
        }
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
    // Qt's buttons are just as wide as their text, so that a long caption fills its button edge to edge
    // where a column of buttons is as wide as the widest: every button gets an em more on either side.
    static void giveTextRoom(QPushButton& button)
    {
        const int margin = button.fontMetrics().horizontalAdvance(u'M');
        button.setMinimumWidth(std::max(button.minimumWidth(), button.sizeHint().width() + 2 * margin));
    }

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

} // namespace

void installDesktopHabits(QApplication& app)
{
    // Calendars, day and month names, and anything Qt formats by locale, as in Argentina.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    if (app.findChild<ButtonKeys*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    installSpanishTranslations(app);
    app.installEventFilter(new ButtonKeys(&app));
}

} // namespace ui

#include "DesktopHabits.moc"
