#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace ui {

class BusyCursor;

/// The program's one seam for talking to the operator: message boxes, questions, modal screens,
/// the file dialog, opening documents and the busy pointer. Screens never call QMessageBox,
/// QFileDialog or QDialog::exec() themselves, so tests can install one that answers from a script.
class Ui
{
public:
    /// The icon of a message box.
    enum class Icon { Information, Question, Error, Critical };

    /// How far a long step has come, shown to the operator for as long as the object lives.
    class Progress
    {
    public:
        virtual ~Progress() = default;
        /// `done` of `total`; a total of 0 when it is not known.
        virtual void step(qint64 done, qint64 total) = 0;
    };

    virtual ~Ui() = default;

    /// The process-wide instance; a QtUi unless another one is installed.
    [[nodiscard]] static Ui& current();
    /// Makes this one the process-wide instance until uninstall(). Not while a BusyCursor is alive.
    static void install(std::unique_ptr<Ui> ui);
    /// Brings back the QtUi. Not while a BusyCursor is alive.
    static void uninstall();

    /// A modal box titled "Atención" with the given icon and one OK button.
    virtual void message(const QString& text, Icon icon) = 0;
    /// A modal box titled "Atención" with the question icon and Yes/No buttons; true for Yes.
    [[nodiscard]] virtual bool ask(const QString& text) = 0;
    /// As ask, for a question whose Yes destroys data: No is the button that Enter presses.
    [[nodiscard]] virtual bool askDestructive(const QString& text) = 0;
    /// Shows a screen modally and returns when it has closed. The screen must not delete itself on close.
    virtual void showModal(QDialog& screen) = 0;
    /// The common open-file dialog; the chosen path, or "" when the operator cancelled.
    /// The filter is in Qt's form: "Todos los archivos (*.txt)".
    [[nodiscard]] virtual QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                                               const QString& filter) = 0;
    /// The common save-file dialog, which also takes a name that does not exist yet; the chosen path,
    /// or "" when the operator cancelled. A name typed without extension gets the default suffix ("txt").
    [[nodiscard]] virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                               const QString& filter, const QString& defaultSuffix) = 0;
    /// A modal box titled "Atención" that asks for a line of text under the label; the text typed, or
    /// nothing when the operator cancelled.
    [[nodiscard]] virtual std::optional<QString> askText(QWidget* parent, const QString& label,
                                                         const QString& initial) = 0;
    /// Opens a file with the program the desktop associates with its type; false when the file is missing
    /// or no program could be started for it.
    [[nodiscard]] virtual bool openDocument(const QString& path) = 0;
    /// Shows how far a long step of a screen has come, with the text, in a small window of its own over the
    /// screen for as long as the returned object lives. The window appears only when the step, half a second
    /// in, looks set to last about a second or more; meanwhile the windows repaint but take no input.
    [[nodiscard]] virtual std::unique_ptr<Progress> progress(QWidget* screen, const QString& text) = 0;

protected:
    /// Shows (true) or removes (false) the hourglass. Called only by BusyCursor, once per outermost guard.
    virtual void setBusy(bool busy) = 0;

    friend class BusyCursor;
};

/// The screens' plain notice: an information box titled "Atención" with one OK button.
void inform(const QString& text);

} // namespace ui
