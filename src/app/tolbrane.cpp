// TOLBRANE: the program starts on its welcome window and ends when its last window closes.

#include "Conectar.h"
#include "frmSplash.h"
#include "platform/ui/DesktopHabits.h"
#include "platform/ui/Ui.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TOLBRANE"));
    ui::installDesktopHabits(app);

    // A second program on the same data would work on the database behind the first one's back.
    const DataFolderClaim claim = claimDataFolder();
    if (claim.heldElsewhere) {
        ui::Ui::current().message(u"El sistema ya se está ejecutando. Utilice la ventana que ya está abierta."_s,
                                  ui::Ui::Icon::Information);
        return 0;
    }

    auto* splash = new frmSplash();
    splash->show();
    const int status = QApplication::exec();
    closeConnection();
    return status;
}
