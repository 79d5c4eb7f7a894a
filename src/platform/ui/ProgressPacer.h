#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QtGlobal>

class QProgressBar;

namespace ui {

/// Keeps a progress bar up to date during a long task that runs in the window's own thread. Repainting costs
/// far more than a step of the task (a batch of pages copied, a line read), so the bar is brought up to date
/// every 50 ms at most; each time, the windows repaint and, unless told otherwise, take clicks, such as a
/// "Cancelar" button.
class ProgressPacer
{
public:
    /// For a bar whose range is 0 to its maximum; none, until a paced bar is assigned, paces nothing. `events`
    /// are those handled at each repaint: QEventLoop::ExcludeUserInputEvents keeps the operator's clicks and
    /// keys (and a window's close box) waiting until the task has ended.
    explicit ProgressPacer(QProgressBar* bar = nullptr, QEventLoop::ProcessEventsFlags events = QEventLoop::AllEvents)
        : m_bar(bar), m_events(events)
    {}

    /// Empties the bar; the next step shows at once.
    void start();
    /// Shows `done` of `total` (the whole bar when total is 0), if the last repaint is long enough ago.
    void step(qint64 done, qint64 total);

private:
    QProgressBar* m_bar;
    QEventLoop::ProcessEventsFlags m_events;
    QElapsedTimer m_sinceRepaint;
};

} // namespace ui
