#include "Conectar.h"

#include "data/Schema.h"
#include "platform/ProgramDirectory.h"
#include "platform/db/Database.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Ui.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// How long a statement waits for a lock that another program holds on the file before it fails and the
// screen shows its own failure message. Another program's write (a copy, a second session's save) holds
// the lock for well under a second; five seconds rides that out, yet an operator never faces a window
// that looks frozen, as the legacy 9 000 s wait allowed.
constexpr int lockWaitSeconds = 5;

void showLockWait(bool waiting)
{
    static std::optional<ui::BusyCursor> hourglass;
    if (waiting)
        hourglass.emplace();
    else
        hourglass.reset();
}

} // namespace

bool Conectar()
{
    try {
        db::Database::setLockWaitNotice(&showLockWait);
        auto database =
            db::Database::open(ProgramDirectory::dataFilePath(u"ferlon.mdb"_s), u";pwd=ferlon"_s, Schema::tableNames());
        database->setQueryTimeout(lockWaitSeconds);
        (void)Schema::addMissingIndexes(*database);
        db::Database::setCurrent(std::move(database));
        return true;
    } catch (const std::exception&) {
        ui::Ui::current().message(
            u"No es posible conectarse a la base de datos. Contáctese con el Administrador del Sistema."_s,
            ui::Ui::Icon::Critical);
        return false;
    }
}
