#pragma once

#include <QClipboard>
#include <QObject>

#include <functional>

class QContextMenuEvent;
class QKeyEvent;
class QInputMethodEvent;
class QLineEdit;
class QWidget;

namespace ui {

/// The characters a key-press hook sees for the keys that type no text of their own.
inline constexpr int enterKey = 13;
inline constexpr int backspaceKey = 8;
inline constexpr int escapeKey = 27;
/// The key code a key-up hook sees for Delete.
inline constexpr int deleteKeyCode = 46;

/// Keystroke hooks on a control, in the manner of the original desktop platform's KeyPress and
/// KeyUp events. The hooks live as long as the control; hooking a control again replaces its hook.
///
/// Key-press hooks see every typed character before the control does:
/// - keyAscii is the character's Unicode value; Enter (Return or keypad) is 13, Backspace 8, Escape 27.
/// - Keys that type nothing are not reported: arrows, Tab, Delete, Home, function keys, and
///   combinations with Ctrl or Meta (copy and paste keep working). A mnemonic (Alt and a letter) presses
///   its button before the hook sees anything; a character typed with Alt or AltGr that no mnemonic took
///   is reported like any other, since the control would type it.
/// - Setting keyAscii to 0 drops the key: the control never sees it. Setting another value
///   types that character instead.
/// - Enter never goes further than the hook, dropped or not: it does what the handler does
///   (typically move the focus) and nothing else. In particular it never presses the dialog's
///   default button, which Qt would otherwise do for an Enter typed in a line edit or combo box.
/// - Escape, when kept, goes on as usual (a dialog closes with reject()).
/// - Characters that an input method composes (accents, dead keys) go through the hook one by one too.
/// - Text set by the program does not pass through the hook, nor does pasted text unless the control asks
///   for it (filterPastedText); screens still validate what they read.
///
/// Key-up hooks see each key released (not auto-repeats) as a Windows key code: 46 for Delete,
/// 8 Backspace, 13 Enter, 27 Escape, 37 to 40 arrows, 48 to 57 digits, 65 to 90 letters, 112 on function keys.
/// Keys without such a code are not reported.
///
/// For a QComboBox or a QDateEdit the hooks also see keys delivered to their inner line edit.
/// Make a combo box editable before hooking it.
class KeyFilter : public QObject
{
    Q_OBJECT

public:
    /// Calls the handler for each character typed into the control; the handler may drop or change it.
    static void onKeyPress(QWidget* control, std::function<void(int& keyAscii)> handler);
    /// Calls the handler for each key released in the control, with its Windows key code.
    static void onKeyUp(QWidget* control, std::function<void(int keyCode)> handler);
    /// Text pasted into the box (the paste keys, its context menu's "Pegar", the middle button) goes through
    /// its key-press hook character by character, as if typed, leaving out line breaks and tabs; text cannot
    /// be dropped on it.
    static void filterPastedText(QLineEdit* box);

    /// The Windows key code of a Qt key (keypad keys when keypad is true); 0 when it has none.
    [[nodiscard]] static int windowsKeyCode(int qtKey, bool keypad = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyFilter(QWidget* control);
    static KeyFilter& of(QWidget* control);

    // Each returns whether the event stops here.
    bool filterKeyPress(QObject* watched, QKeyEvent* event);
    bool filterInputMethod(QObject* watched, QInputMethodEvent* event);
    bool reportKeyUp(QObject* watched, const QKeyEvent* event);
    // Whether the event pastes into the box, and from where; the context menu is replaced by one whose
    // "Pegar" goes through the hook.
    bool filterPaste(QLineEdit* box, QEvent* event);
    void showContextMenu(QLineEdit* box, const QContextMenuEvent* event);
    void pasteThroughHook(QLineEdit* box, QClipboard::Mode mode);

    std::function<void(int&)> m_keyPress;
    std::function<void(int)> m_keyUp;
    bool m_filterPaste = false;
};

/// Whether the box keeps a decimal mark ("." or ",") once a key typed now replaces its selection: false when
/// it has none, or only inside the selected text the key will replace.
[[nodiscard]] bool keepsDecimalMark(const QLineEdit& box);

} // namespace ui
