#include "Conectar.h"

#include "data/Schema.h"
#include "data/clsCodigo.h"
#include "platform/ProgramDirectory.h"
#include "platform/db/Database.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Ui.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// How long one action of the operator waits, in all, for a lock that another program holds on the file
// before it fails and the screen shows its own failure message. Another program's write (a copy, a
// second session's save) holds the lock for well under a second; five seconds rides that out, yet an
// operator never faces a window that seems frozen, as the legacy 9 000 s wait allowed.
constexpr int lockWaitSeconds = 5;

void showLockWait(bool waiting)
{
    static std::optional<ui::BusyCursor> s_hourglass;
    if (waiting)
        s_hourglass.emplace();
    else
        s_hourglass.reset();
}

// The windows repaint while a statement waits for a lock, and the operator's input waits for the
// statement. Timers wait too: what they would run may need the database, which is busy waiting.
void repaintWhileWaiting(int ms)
{
    QElapsedTimer waited;
    waited.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers, ms);
    if (const qint64 left = ms - waited.elapsed(); left > 0)
        QThread::msleep(static_cast<unsigned long>(left));
}

void installLockWaitHandling()
{
    static bool s_installed = false;
    if (s_installed)
        return;
    s_installed = true;
    db::Database::setLockWaitHandling(
        {.notice = &showLockWait, .pause = &repaintWhileWaiting, .sharedUntilRenewed = true});
    // Whatever one action of the operator does shares one allowance: it is renewed each time the program
    // goes back to waiting for the operator.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { db::Database::renewLockWait(); });
}

} // namespace

bool Conectar()
{
    try {
        installLockWaitHandling();
        auto database =
            db::Database::open(ProgramDirectory::dataFilePath(u"ferlon.mdb"_s), u";pwd=ferlon"_s, Schema::tableNames());
        database->setQueryTimeout(lockWaitSeconds);
        (void)Schema::addMissingIndexes(*database);
        db::Database::setCurrent(std::move(database));
        clsCodigo::instance().removeLeftovers();
        return true;
    } catch (const std::exception&) {
        ui::Ui::current().message(
            u"No es posible conectarse a la base de datos. Contáctese con el Administrador del Sistema."_s,
            ui::Ui::Icon::Critical);
        return false;
    }
}

void closeConnection()
{
    db::Database::setCurrent(nullptr);
}

DataFolderClaim claimDataFolder()
{
    DataFolderClaim claim;
    auto lock = std::make_unique<QLockFile>(ProgramDirectory::dataFilePath(u"tolbrane.lock"_s));
    // The lock is held as long as the program runs, however long: only a dead holder makes it stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        claim.lock = std::move(lock);
    else
        claim.heldElsewhere = lock->error() == QLockFile::LockFailedError;
    return claim;
}
