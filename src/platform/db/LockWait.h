#pragma once

#include <QElapsedTimer>

#include <functional>

namespace db {

/// How waits for another program's lock are shown and spent, for the whole program.
struct LockWaitHandling
{
    /// Called with true when a wait starts and with false when it ends: the program shows the hourglass.
    std::function<void(bool waiting)> notice;
    /// Lets about `ms` milliseconds pass during a wait; the program's windows repaint meanwhile. The
    /// thread sleeps when none is given. It must not run statements: any it tries fails at once.
    std::function<void(int ms)> pause;
    /// True: every wait shares one allowance until it is renewed (the program renews it whenever it goes
    /// back to waiting for the operator, so the allowance spans what one action of the operator does).
    /// False: each transaction, and each statement outside one, has its own.
    bool sharedUntilRenewed = false;
};

/// One connection's allowance of waiting for locks held by another program: SQLite's busy handler
/// asks it for a pause at every try, and it says when the allowance is spent.
class LockWait
{
public:
    static void setHandling(LockWaitHandling handling);
    [[nodiscard]] static const LockWaitHandling& handling();

    void setAllowance(int ms) { m_allowanceMs = ms; }
    [[nodiscard]] int allowance() const { return m_allowanceMs; }
    /// Lets a moment pass while the lock is held; false once the allowance is spent.
    bool pause();
    /// The statement's wait is over, whether it got the lock or gave up. Unless the allowance is shared,
    /// it is whole again outside a transaction.
    void end(bool insideTransaction);
    /// The allowance whole again (a new action of the operator, a new transaction); not during a wait.
    void renew();
    /// Waits on with a whole allowance, for what must not give up (rolling a transaction back).
    void restart();
    /// True while a pause lets the windows repaint: the connection may run nothing meanwhile.
    [[nodiscard]] bool pausing() const { return m_pausing; }

private:
    int m_allowanceMs = 2000;
    int m_spentMs = 0; // spent in the allowance's earlier waits
    QElapsedTimer m_wait;
    bool m_waiting = false;
    bool m_pausing = false;
};

} // namespace db
