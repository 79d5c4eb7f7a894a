#include "HelpDocument.h"

#include "data/ParameterValue.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Ui.h"

namespace {
constexpr double helpDocumentParameter = 6;
}

void HelpDocument::open()
{
    const ui::BusyCursor busy;
    const QString name = parameterValue(helpDocumentParameter, QString());
    // The name is used untrimmed: only a name of blanks alone counts as none.
    if (!name.trimmed().isEmpty())
        ui::Ui::current().openDocument(ProgramDirectory::filePath(name));
}
