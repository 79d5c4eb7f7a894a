#include "LockWait.h"

#include <QThread>

namespace db {

namespace {

LockWaitHandling s_handling;
// How long a lock wait lets pass between two tries.
constexpr int pauseMs = 20;

} // namespace

void LockWait::setHandling(LockWaitHandling handling)
{
    s_handling = std::move(handling);
}

const LockWaitHandling& LockWait::handling()
{
    return s_handling;
}

bool LockWait::pause()
{
    if (!m_waiting) {
        m_waiting = true;
        m_wait.start();
        if (s_handling.notice)
            s_handling.notice(true);
    }
    if (m_spentMs + m_wait.elapsed() >= m_allowanceMs)
        return false;
    m_pausing = true;
    if (s_handling.pause)
        s_handling.pause(pauseMs);
    else
        QThread::msleep(pauseMs);
    m_pausing = false;
    return true;
}

void LockWait::end(bool insideTransaction)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_spentMs += static_cast<int>(m_wait.elapsed());
    if (!s_handling.sharedUntilRenewed && !insideTransaction)
        m_spentMs = 0;
    if (s_handling.notice)
        s_handling.notice(false);
}

void LockWait::renew()
{
    if (!m_waiting)
        m_spentMs = 0;
}

void LockWait::restart()
{
    m_spentMs = 0;
    m_wait.start();
}

} // namespace db
