#include "Armar_Sql.h"

#include "Regional.h"

namespace {

constexpr QChar quote = u'\'';
constexpr QChar backtick = u'`';

// Sub-steps 2 and 3 of the binding: neutralise quotes, except in a quoted date.
void escapeElement(db::Value& element)
{
    const QString text = element.toString();
    if (text.size() >= 2 && text.front() == quote && text.back() == quote) {
        const QString trimmed = text.trimmed();
        const QString inner = trimmed.mid(1, trimmed.size() - 2);
        if (Regional::parseDate(inner).isValid())
            return;
        element = db::Value(backtick + inner + backtick);
    }
    if (element.type() == db::Value::Type::Text) {
        QString escaped = element.toString();
        escaped.replace(quote, backtick);
        element = db::Value(escaped);
    }
}

} // namespace

QString Armar_Sql(const QString& sqlTemplate, std::vector<db::Value>& values)
{
    QString result = sqlTemplate;
    qsizetype position = 0;
    for (size_t k = 0; k < values.size() && result.contains(u'?'); ++k) {
        escapeElement(values[k]);
        const qsizetype placeholder = result.indexOf(u'?', position);
        if (placeholder < 0)
            break;
        const QString text = values[k].toString();
        result.replace(placeholder, 1, text);
        position = placeholder + text.size();
    }
    return result;
}

db::Value Si_Nulo(const db::Value& value, const db::Value& fallback)
{
    return value.isNull() ? fallback : value;
}
