#include "ProgressPacer.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace ui {

namespace {
constexpr qint64 repaintMilliseconds = 50;
}

void ProgressPacer::start()
{
    if (m_bar)
        m_bar->setValue(0);
    m_sinceRepaint.invalidate();
}

void ProgressPacer::step(qint64 done, qint64 total)
{
    if (!m_bar || (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < repaintMilliseconds))
        return;
    m_bar->setValue(total > 0 ? static_cast<int>(done * m_bar->maximum() / total) : m_bar->maximum());
    QCoreApplication::processEvents(m_events);
    m_sinceRepaint.start();
}

} // namespace ui
