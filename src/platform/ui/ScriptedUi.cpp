#include "ScriptedUi.h"

#include "WindowPlacement.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileInfo>
#include <QPointer>

namespace ui {

namespace {

// Window activation goes through the platform's event queue, even offscreen: let it arrive so
// that focusWidget() and hasFocus() answer as they would for a screen the operator is using.
void activate(QWidget& window)
{
    window.activateWindow();
    const QDeadlineTimer deadline(1000);
    while (QApplication::activeWindow() != &window && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Writes each step into its record of the scripted ui, the last of the records when it is made.
class ScriptedProgress : public Ui::Progress
{
public:
    ScriptedProgress(ScriptedUi& ui, QList<ScriptedUi::ProgressRecord>& records)
        : m_ui(ui), m_records(records), m_index(records.size() - 1)
    {}
    ~ScriptedProgress() override { m_records[m_index].ended = true; }

    void step(qint64 done, qint64 total) override
    {
        ScriptedUi::ProgressRecord& record = m_records[m_index];
        record.backwards = record.backwards || (record.steps > 0 && done < record.done);
        record.alwaysBusy = record.alwaysBusy && m_ui.isBusy();
        ++record.steps;
        record.done = done;
        record.total = total;
    }

private:
    ScriptedUi& m_ui;
    QList<ScriptedUi::ProgressRecord>& m_records;
    qsizetype m_index;
};

} // namespace

ScriptedUi& ScriptedUi::install()
{
    auto ui = std::make_unique<ScriptedUi>();
    ScriptedUi& installed = *ui;
    Ui::install(std::move(ui));
    return installed;
}

void ScriptedUi::message(const QString& text, Icon icon)
{
    m_messages.append({text, icon, false});
}

bool ScriptedUi::askDestructive(const QString& text)
{
    const bool yes = ask(text);
    m_messages.last().defaultNo = true;
    return yes;
}

bool ScriptedUi::ask(const QString& text)
{
    m_messages.append({text, Icon::Question, true});
    if (m_answers.empty()) {
        m_unanswered.append(text);
        return false;
    }
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

void ScriptedUi::showModal(QDialog& screen)
{
    m_shownScreens.append(screen.objectName());
    const QPointer<QWidget> opener = QApplication::activeWindow();
    const bool wasModal = screen.testAttribute(Qt::WA_ShowModal);
    const QPointer<QDialog> guard = &screen;

    // Closes the screen the way exec() would leave it, also when the callback throws.
    const auto close = [&] {
        if (!guard)
            return;
        if (screen.isVisible())
            screen.reject();
        screen.setAttribute(Qt::WA_ShowModal, wasModal);
        if (opener && opener->isVisible())
            activate(*opener);
    };

    screen.setAttribute(Qt::WA_ShowModal, true);
    // Placed as the real ui places it, so that tests see where an operator would find it.
    placeWindow(screen, screen.parentWidget());
    screen.show();
    activate(screen);

    if (!m_modalCallbacks.empty()) {
        const auto callback = std::move(m_modalCallbacks.front());
        m_modalCallbacks.pop_front();
        try {
            callback(screen);
        } catch (...) {
            close();
            throw;
        }
    }
    close();
}

QString ScriptedUi::openFileName(QWidget* /*parent*/, const QString& caption, const QString& directory,
                                 const QString& filter)
{
    m_fileRequests.append({caption, directory, filter, false, {}});
    return nextFileName();
}

QString ScriptedUi::saveFileName(QWidget* /*parent*/, const QString& caption, const QString& directory,
                                 const QString& filter, const QString& defaultSuffix)
{
    m_fileRequests.append({caption, directory, filter, true, defaultSuffix});
    return nextFileName();
}

QString ScriptedUi::nextFileName()
{
    if (m_fileNames.empty())
        return {};
    QString path = m_fileNames.front();
    m_fileNames.pop_front();
    return path;
}

std::optional<QString> ScriptedUi::askText(QWidget* /*parent*/, const QString& label, const QString& /*initial*/)
{
    m_textRequests.append(label);
    if (m_texts.empty())
        return std::nullopt;
    QString text = m_texts.front();
    m_texts.pop_front();
    return text;
}

bool ScriptedUi::openDocument(const QString& path)
{
    m_openedDocuments.append(path);
    return QFileInfo::exists(path);
}

std::unique_ptr<Ui::Progress> ScriptedUi::progress(QWidget* /*screen*/, const QString& text)
{
    ProgressRecord record;
    record.text = text;
    m_progresses.append(record);
    return std::make_unique<ScriptedProgress>(*this, m_progresses);
}

void ScriptedUi::answerNext(bool yes)
{
    m_answers.push_back(yes);
}

void ScriptedUi::onNextModal(std::function<void(QDialog&)> callback)
{
    m_modalCallbacks.push_back(std::move(callback));
}

void ScriptedUi::setNextFileName(const QString& path)
{
    m_fileNames.push_back(path);
}

QStringList ScriptedUi::messageTexts() const
{
    QStringList texts;
    for (const Message& message : m_messages)
        texts.append(message.text);
    return texts;
}

void ScriptedUi::clearMessages()
{
    m_messages.clear();
}

void ScriptedUi::setBusy(bool busy)
{
    if (busy && !m_busy)
        ++m_timesBusy;
    m_busy = busy;
}

} // namespace ui
