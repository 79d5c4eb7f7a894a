#include "ReadFailure.h"

#include "platform/ui/Ui.h"

using namespace Qt::StringLiterals;

void informReadFailure()
{
    ui::Ui::current().message(u"No se han podido leer los datos. La base de datos puede estar dañada: restaure una "
                              u"copia de seguridad o contáctese con el Administrador del Sistema."_s,
                              ui::Ui::Icon::Information);
}
