#include "DeclarationChecks.h"

#include "DeclarationTexts.h"

#include "data/clsCodigo.h"
#include "platform/Regional.h"
#include "platform/db/Value.h"
#include "platform/ui/Ui.h"

#include <algorithm>

using namespace Qt::StringLiterals;

using ui::inform;

namespace declarations {

bool isDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

double numberOf(const QString& text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    // Periods and sequences are plain digits: read those directly, since a list reads several per row.
    if (!trimmed.isEmpty() && trimmed.size() <= 15 &&
        std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        double number = 0;
        for (const QChar digit : trimmed)
            number = number * 10 + (digit.unicode() - u'0');
        return number;
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    return ok ? number : 0;
}

QString formatted(const db::Value& value, QStringView pattern)
{
    return value.isNull() ? QString() : Regional::format(value.toDouble(), pattern);
}

bool checkPeriod(const QString& posicion)
{
    if (posicion.size() != 6) {
        inform(u"El formato de la posición fiscal debe ser: 'AAAAMM'."_s);
        return false;
    }
    if (!isDigits(posicion)) {
        inform(u"La posición seleccionada debe ser numérica (AAAAMM)."_s);
        return false;
    }
    return true;
}

bool checkRegistration(const QString& agentMessage)
{
    const clsCodigo& codigo = clsCodigo::instance();
    if (codigo.Par_Agente == 0) {
        inform(agentMessage);
        return false;
    }
    if (codigo.Par_CUIT.isEmpty()) {
        inform(texts::missingCuit);
        return false;
    }
    if (codigo.Par_Denomin.isEmpty()) {
        inform(texts::missingBusinessName);
        return false;
    }
    return true;
}

} // namespace declarations
