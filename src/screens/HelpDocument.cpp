#include "HelpDocument.h"

#include "data/ParameterValue.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Ui.h"

using namespace Qt::StringLiterals;

namespace {
constexpr double helpDocumentParameter = 6;
}

void HelpDocument::open()
{
    const ui::BusyCursor busy;
    const QString name = parameterValue(helpDocumentParameter, QString());
    // The name is used untrimmed: only a name of blanks alone counts as none.
    if (name.trimmed().isEmpty())
        return;
    const QString path = ProgramDirectory::filePath(name);
    if (!ui::Ui::current().openDocument(path))
        ui::inform(
            u"No se ha podido abrir el documento de ayuda. Puede abrirlo con el navegador desde el archivo:\n"_s +
            path);
}
