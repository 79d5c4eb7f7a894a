#pragma once

#include "platform/ui/Ui.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>
#include <ostream>

namespace ui {

/// The operator as a test scripts it: every box, screen, file dialog, document and progress the program
/// shows is recorded; questions, file dialogs and requests for text are answered from queues the test
/// fills beforehand, and each screen shown modally runs the test's next piece of work. Nothing waits.
class ScriptedUi : public Ui
{
public:
    struct Message
    {
        QString text;
        Icon icon = Icon::Information;
        bool question = false;  ///< a Yes/No question (ask), not an OK box
        bool defaultNo = false; ///< a question whose Enter says No (askDestructive)

        friend bool operator==(const Message&, const Message&) = default;
        friend void PrintTo(const Message& message, std::ostream* out)
        {
            *out << (message.question ? "question " : "message ") << int(message.icon) << " \""
                 << message.text.toStdString() << '"';
        }
    };

    /// One progress as the operator would have followed it.
    struct ProgressRecord
    {
        QString text;
        qint64 done = 0;        ///< of the last step
        qint64 total = 0;       ///< of the last step
        bool alwaysBusy = true; ///< the hourglass showed at every step
        bool backwards = false; ///< some step showed less done than the one before
        bool ended = false;     ///< the step is over: its window would be gone
    };

    void message(const QString& text, Icon icon) override { m_messages.append({text, icon}); }
    /// The next queued answer; with none queued, the question is recorded as unanswered and gets No.
    [[nodiscard]] bool ask(const QString& text) override;
    [[nodiscard]] bool askDestructive(const QString& text) override;
    /// Shows the screen as the active window, runs the next queued work on it (none: nothing) and then
    /// closes it with reject() if it is still open.
    void showModal(QDialog& screen) override;
    /// The next queued file name, or "" (cancelled) when none is queued.
    [[nodiscard]] QString openFileName(QWidget*, const QString& caption, const QString& directory,
                                       const QString& filter) override
    {
        return nextFileName({caption, directory, filter});
    }
    [[nodiscard]] QString saveFileName(QWidget*, const QString& caption, const QString& directory,
                                       const QString& filter, const QString& defaultSuffix) override
    {
        return nextFileName({caption, directory, filter, QStringLiteral("save ") + defaultSuffix});
    }
    /// The next queued text, or nothing (cancelled) when none is queued.
    [[nodiscard]] std::optional<QString> askText(QWidget*, const QString& label, const QString& initial) override;
    /// Records the path; the document opens when the file exists.
    [[nodiscard]] bool openDocument(const QString& path) override;
    [[nodiscard]] std::unique_ptr<Progress> progress(QWidget* screen, const QString& text) override;

    void answerNext(bool yes) { m_answers.push_back(yes); }
    /// Work for the next screen shown modally, in the order the screens open: a screen opened from inside
    /// a piece of work gets the next one in the queue.
    void onNextModal(std::function<void(QDialog&)> work) { m_modalWork.push_back(std::move(work)); }
    void setNextFileName(const QString& path) { m_fileNames.push_back(path); }
    void setNextText(const QString& text) { m_texts.push_back(text); }
    /// Answers, work, file names and texts queued that nothing has used yet.
    [[nodiscard]] size_t pending() const
    {
        return m_answers.size() + m_modalWork.size() + m_fileNames.size() + m_texts.size();
    }

    /// Every box so far, questions included, in order.
    [[nodiscard]] const QList<Message>& messages() const { return m_messages; }
    [[nodiscard]] QStringList messageTexts() const;
    void clearMessages() { m_messages.clear(); }
    [[nodiscard]] const QStringList& unansweredQuestions() const { return m_unanswered; }
    /// The object names of the screens shown modally (a form's is its class name), in order.
    [[nodiscard]] const QStringList& shownScreens() const { return m_shownScreens; }
    /// Each file dialog as "caption|directory|filter", a save dialog with "|save " and its default suffix.
    [[nodiscard]] const QStringList& fileRequests() const { return m_fileRequests; }
    [[nodiscard]] const QStringList& openedDocuments() const { return m_openedDocuments; }
    [[nodiscard]] const QList<ProgressRecord>& progresses() const { return m_progresses; }
    [[nodiscard]] bool isBusy() const { return m_busy; }
    /// How many times the hourglass came on.
    [[nodiscard]] int timesBusy() const { return m_timesBusy; }

protected:
    void setBusy(bool busy) override;

private:
    [[nodiscard]] QString nextFileName(const QStringList& request);

    QList<Message> m_messages;
    QStringList m_unanswered;
    std::deque<bool> m_answers;
    std::deque<std::function<void(QDialog&)>> m_modalWork;
    std::deque<QString> m_fileNames;
    std::deque<QString> m_texts;
    QStringList m_shownScreens;
    QStringList m_fileRequests;
    QStringList m_openedDocuments;
    QList<ProgressRecord> m_progresses;
    bool m_busy = false;
    int m_timesBusy = 0;
};

} // namespace ui
