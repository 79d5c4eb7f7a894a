#include "ReadFailure.h"

#include "platform/ui/Ui.h"

using namespace Qt::StringLiterals;

void informReadFailure()
{
    ui::inform(u"No se han podido leer los datos. La base de datos puede estar dañada: restaure una copia de "
               u"seguridad o contáctese con el Administrador del Sistema."_s);
}
