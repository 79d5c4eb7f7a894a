// TOLBRANE: the program starts on its welcome window and ends when its last window closes.

#include "frmSplash.h"
#include "platform/ui/DesktopHabits.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TOLBRANE"));
    ui::installDesktopHabits(app);

    auto* splash = new frmSplash();
    splash->show();
    return QApplication::exec();
}
