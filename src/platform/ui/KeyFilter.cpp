#include "KeyFilter.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace ui {

namespace {

// The character of a key press's text; 0 when it has none or only a control character, as some platforms
// give keys that type nothing.
int printableCharacter(const QKeyEvent& event)
{
    const QList<uint> characters = event.text().toUcs4();
    if (characters.isEmpty())
        return 0;
    const uint character = characters.first();
    if (character < 32 || character == 127)
        return 0;
    return static_cast<int>(character);
}

// The character a key press types, as the key-press hook sees it; 0 for keys that type nothing.
int typedCharacter(const QKeyEvent& event)
{
    // A key that reaches the control with Alt was taken by no mnemonic, and the control types its character
    // (so does Ctrl+Alt, which is AltGr on some systems); Ctrl and Meta combinations edit or command.
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool altGr = (modifiers & Qt::ControlModifier) && (modifiers & Qt::AltModifier);
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        if ((modifiers & Qt::MetaModifier) || ((modifiers & Qt::ControlModifier) && !altGr))
            return 0;
        return printableCharacter(event);
    }
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return enterKey;
    case Qt::Key_Backspace:
        return backspaceKey;
    case Qt::Key_Escape:
        return escapeKey;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return 0;
    default:
        break;
    }
    return printableCharacter(event);
}

QString textOf(int keyAscii)
{
    const auto character = static_cast<char32_t>(keyAscii);
    return QString::fromUcs4(&character, 1);
}

// A key press that types keyAscii, for a handler that changed the character.
QKeyEvent replacementFor(const QKeyEvent& original, int keyAscii)
{
    int key = Qt::Key_unknown;
    switch (keyAscii) {
    case backspaceKey:
        key = Qt::Key_Backspace;
        break;
    case 9:
        key = Qt::Key_Tab;
        break;
    case enterKey:
        key = Qt::Key_Return;
        break;
    case escapeKey:
        key = Qt::Key_Escape;
        break;
    default:
        // Qt's key codes for printable ASCII are the characters themselves, letters in upper case.
        if (keyAscii > 32 && keyAscii < 127)
            key = QChar(keyAscii).toUpper().unicode();
        else if (keyAscii == 32)
            key = Qt::Key_Space;
        break;
    }
    return {QEvent::KeyPress,        key,
            original.modifiers(),    textOf(keyAscii),
            original.isAutoRepeat(), static_cast<quint16>(original.count())};
}

} // namespace

KeyFilter::KeyFilter(QWidget* control) : QObject(control)
{
    control->installEventFilter(this);
    // A date box and an editable combo box type into an inner line edit. Keys reach the outer control
    // and are handed inside directly, but anything sent to the inner edit itself is watched too.
    if (qobject_cast<QAbstractSpinBox*>(control) || qobject_cast<QComboBox*>(control)) {
        for (QLineEdit* inner : control->findChildren<QLineEdit*>())
            inner->installEventFilter(this);
    }
}

KeyFilter& KeyFilter::of(QWidget* control)
{
    if (auto* existing = control->findChild<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new KeyFilter(control); // owned by the control
}

void KeyFilter::onKeyPress(QWidget* control, std::function<void(int& keyAscii)> handler)
{
    if (control)
        of(control).m_keyPress = std::move(handler);
}

void KeyFilter::onKeyUp(QWidget* control, std::function<void(int keyCode)> handler)
{
    if (control)
        of(control).m_keyUp = std::move(handler);
}

void KeyFilter::filterPastedText(QLineEdit* box)
{
    if (!box)
        return;
    of(box).m_filterPaste = true;
    box->setAcceptDrops(false);
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (m_filterPaste && m_keyPress) {
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box && !box->isReadOnly() && filterPaste(box, event))
            return true;
    }
    switch (event->type()) {
    case QEvent::KeyPress:
        return m_keyPress && filterKeyPress(watched, static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
        return m_keyPress && filterInputMethod(watched, static_cast<QInputMethodEvent*>(event));
    case QEvent::KeyRelease:
        return m_keyUp && reportKeyUp(watched, static_cast<QKeyEvent*>(event));
    default:
        return QObject::eventFilter(watched, event);
    }
}

bool KeyFilter::filterKeyPress(QObject* watched, QKeyEvent* event)
{
    const int typed = typedCharacter(*event);
    if (typed == 0)
        return false;

    // The handler may close the screen and with it the control and this filter: call a copy and
    // touch nothing of this object when the control is gone.
    const QPointer<QObject> alive = watched;
    const auto handler = m_keyPress;
    int keyAscii = typed;
    handler(keyAscii);
    if (!alive)
        return true;

    if (keyAscii == typed && typed != enterKey)
        return false;
    if (keyAscii != typed && keyAscii != 0) {
        // Delivered to the control alone, like the key it replaces.
        QKeyEvent replacement = replacementFor(*event, keyAscii);
        watched->event(&replacement);
    }
    event->accept();
    return true;
}

bool KeyFilter::filterInputMethod(QObject* watched, QInputMethodEvent* event)
{
    const QString committed = event->commitString();
    if (committed.isEmpty())
        return false;

    const QPointer<QObject> alive = watched;
    const auto handler = m_keyPress;
    QString kept;
    for (const uint character : committed.toUcs4()) {
        int keyAscii = static_cast<int>(character);
        handler(keyAscii);
        if (!alive)
            return true;
        if (keyAscii >= 32)
            kept += textOf(keyAscii);
    }
    if (kept != committed)
        event->setCommitString(kept, event->replacementStart(), event->replacementLength());
    return false;
}

bool KeyFilter::reportKeyUp(QObject* watched, const QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return false;
    const int code = windowsKeyCode(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    if (code == 0)
        return false;
    const QPointer<QObject> alive = watched;
    const auto handler = m_keyUp;
    handler(code);
    return !alive;
}

bool KeyFilter::filterPaste(QLineEdit* box, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
            return false;
        pasteThroughHook(box, QClipboard::Clipboard);
        return true;
    case QEvent::MouseButtonRelease:
        // On X11 the middle button pastes the text last selected anywhere.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton ||
            !QGuiApplication::clipboard()->supportsSelection())
            return false;
        box->deselect();
        pasteThroughHook(box, QClipboard::Selection);
        return true;
    case QEvent::ContextMenu:
        showContextMenu(box, static_cast<QContextMenuEvent*>(event));
        return true;
    default:
        return false;
    }
}

void KeyFilter::showContextMenu(QLineEdit* box, const QContextMenuEvent* event)
{
    QMenu* menu = box->createStandardContextMenu();
    // Qt names the menu's entries only by their (translated) texts, each followed by its shortcut.
    const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* paste : menu->actions()) {
        if (paste->text().section(u'\t', 0, 0) != pasteText)
            continue;
        paste->setObjectName(u"edit-paste"_s);
        paste->disconnect(box);
        connect(paste, &QAction::triggered, this, [this, box] { pasteThroughHook(box, QClipboard::Clipboard); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void KeyFilter::pasteThroughHook(QLineEdit* box, QClipboard::Mode mode)
{
    const QString text = QGuiApplication::clipboard()->text(mode);
    const QPointer<QLineEdit> alive = box;
    const auto handler = m_keyPress;
    for (const uint character : text.toUcs4()) {
        // A line break or tab copied with the text is no key the operator meant to type.
        if (character < 32 || character == 127)
            continue;
        int keyAscii = static_cast<int>(character);
        handler(keyAscii);
        if (!alive)
            return;
        // Each character goes in as it is let through, as if typed: the hook sees the box as it then stands.
        if (keyAscii >= 32)
            box->insert(textOf(keyAscii));
    }
}

bool keepsDecimalMark(const QLineEdit& box)
{
    QString text = box.text();
    if (box.hasSelectedText())
        text.remove(box.selectionStart(), box.selectedText().size());
    return text.contains(u'.') || text.contains(u',');
}

int KeyFilter::windowsKeyCode(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 96 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return deleteKeyCode;
    case Qt::Key_Asterisk:
        return keypad ? 106 : 0;
    case Qt::Key_Plus:
        return keypad ? 107 : 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Minus:
        return keypad ? 109 : 189;
    case Qt::Key_Period:
        return keypad ? 110 : 190;
    case Qt::Key_Slash:
        return keypad ? 111 : 191;
    default:
        return 0;
    }
}

} // namespace ui
