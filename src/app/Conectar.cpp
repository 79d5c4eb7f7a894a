#include "Conectar.h"

#include "platform/ProgramDirectory.h"
#include "platform/db/Database.h"
#include "platform/ui/Ui.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int queryTimeoutSeconds = 9000;
}

bool Conectar()
{
    try {
        auto database = db::Database::open(ProgramDirectory::filePath(u"ferlon.mdb"_s), u";pwd=ferlon"_s);
        database->setQueryTimeout(queryTimeoutSeconds);
        db::Database::setCurrent(std::move(database));
        return true;
    } catch (const std::exception&) {
        ui::Ui::current().message(
            u"No es posible conectarse a la base de datos. Contáctese con el Administrador del Sistema."_s,
            ui::Ui::Icon::Critical);
        return false;
    }
}
