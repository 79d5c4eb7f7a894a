#pragma once

#include "Ui.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace ui {

/// A Ui for tests. It records every message, question, modal screen, file dialog and opened
/// document; answers questions and file dialogs from queues the test fills beforehand; and runs
/// the test's callback when a screen is shown modally. Nothing ever waits for an operator.
///
///     auto& ui = ui::ScriptedUi::install();
///     ui.answerNext(true);
///     ui.onNextModal([](QDialog& screen) { QTest::mouseClick(screen.findChild<QPushButton*>(u"bAceptar"_s), ...); });
///     ui::Ui::current().showModal(screen);
///     EXPECT_TRUE(ui.unansweredQuestions().isEmpty());
class ScriptedUi : public Ui
{
public:
    /// One box as the operator would have seen it.
    struct Message
    {
        QString text;
        Icon icon = Icon::Information;
        bool question = false;  ///< a Yes/No question (ask), not an OK box (message)
        bool defaultNo = false; ///< a question whose default button is No (askDestructive)

        friend bool operator==(const Message&, const Message&) = default;
    };

    /// One request for the file dialog.
    struct FileRequest
    {
        QString caption;
        QString directory;
        QString filter;
        bool save = false; ///< a save-file dialog, which accepts new names
        QString defaultSuffix;

        friend bool operator==(const FileRequest&, const FileRequest&) = default;
    };

    /// One progress shown, as the operator would have followed it.
    struct ProgressRecord
    {
        QString text;
        int steps = 0;
        qint64 done = 0;        ///< of the last step
        qint64 total = 0;       ///< of the last step
        bool alwaysBusy = true; ///< the hourglass showed at every step
        bool backwards = false; ///< some step showed less done than the one before
        bool ended = false;     ///< the step is over: its window would be gone
    };

    /// Creates a ScriptedUi, makes it the process-wide Ui and returns it. It lives until the next install.
    static ScriptedUi& install();

    void message(const QString& text, Icon icon) override;
    /// Answers with the next queued answer; with none queued, records the question as unanswered and says No.
    [[nodiscard]] bool ask(const QString& text) override;
    /// As ask, recorded with its default No.
    [[nodiscard]] bool askDestructive(const QString& text) override;
    /// Shows the screen, makes it the active window (so focus can be checked), runs the next queued
    /// callback, and closes the screen with reject() if it is still open when the callback returns.
    /// With no callback queued the screen is closed at once.
    void showModal(QDialog& screen) override;
    /// The next queued file name, or "" (as if cancelled) when none is queued.
    [[nodiscard]] QString openFileName(QWidget* parent, const QString& caption, const QString& directory,
                                       const QString& filter) override;
    /// As openFileName; the request is recorded with its default suffix and marked as a save dialog.
    [[nodiscard]] QString saveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                       const QString& filter, const QString& defaultSuffix) override;
    /// The next queued text, recorded with its label; nothing (as if cancelled) when none is queued.
    [[nodiscard]] std::optional<QString> askText(QWidget* parent, const QString& label,
                                                 const QString& initial) override;
    /// Records the path; the document opens when the file exists.
    [[nodiscard]] bool openDocument(const QString& path) override;
    /// Records the progress; every step of it, whatever time it takes.
    [[nodiscard]] std::unique_ptr<Progress> progress(QWidget* screen, const QString& text) override;

    /// Queues the answer to the next question: true for Yes, false for No.
    void answerNext(bool yes);
    /// Queues the code that drives the next screen shown modally. Callbacks are used in the order the
    /// screens open, so a screen opened from inside a callback gets the next one in the queue.
    void onNextModal(std::function<void(QDialog&)> callback);
    /// Queues the path the next file dialog returns.
    void setNextFileName(const QString& path);
    /// Queues the text the operator types at the next request for one.
    void setNextText(const QString& text) { m_texts.push_back(text); }
    /// The labels of the requests for text so far.
    [[nodiscard]] const QStringList& textRequests() const { return m_textRequests; }

    /// Every message and question so far, in order.
    [[nodiscard]] const QList<Message>& messages() const { return m_messages; }
    /// The texts of messages(), in order.
    [[nodiscard]] QStringList messageTexts() const;
    /// Forgets the messages recorded so far (for example those of a screen's loading).
    void clearMessages();
    /// Questions asked while no answer was queued; a test expects this to be empty.
    [[nodiscard]] const QStringList& unansweredQuestions() const { return m_unanswered; }
    /// Queued answers, callbacks and file names that nothing has used yet.
    [[nodiscard]] int pendingAnswers() const { return static_cast<int>(m_answers.size()); }
    [[nodiscard]] int pendingModals() const { return static_cast<int>(m_modalCallbacks.size()); }
    [[nodiscard]] int pendingFileNames() const { return static_cast<int>(m_fileNames.size()); }

    /// The object names of the screens shown modally, in order (a Designer form's name is its class name).
    [[nodiscard]] const QStringList& shownScreens() const { return m_shownScreens; }
    /// Every file dialog requested, in order.
    [[nodiscard]] const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    /// Every document opened, in order.
    [[nodiscard]] const QStringList& openedDocuments() const { return m_openedDocuments; }

    /// Every progress shown, in order.
    [[nodiscard]] const QList<ProgressRecord>& progresses() const { return m_progresses; }

    /// True while the hourglass is showing.
    [[nodiscard]] bool isBusy() const { return m_busy; }
    /// How many times the hourglass was turned on.
    [[nodiscard]] int timesBusy() const { return m_timesBusy; }

protected:
    void setBusy(bool busy) override;

private:
    [[nodiscard]] QString nextFileName();

    QList<Message> m_messages;
    QStringList m_unanswered;
    std::deque<bool> m_answers;
    std::deque<std::function<void(QDialog&)>> m_modalCallbacks;
    std::deque<QString> m_fileNames;
    std::deque<QString> m_texts;
    QStringList m_textRequests;
    QStringList m_shownScreens;
    QList<FileRequest> m_fileRequests;
    QStringList m_openedDocuments;
    QList<ProgressRecord> m_progresses;
    bool m_busy = false;
    int m_timesBusy = 0;
};

} // namespace ui
