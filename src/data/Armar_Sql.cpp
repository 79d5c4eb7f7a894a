#include "Armar_Sql.h"

#include "platform/Regional.h"

namespace {

constexpr QChar quote = u'\'';
constexpr QChar backtick = u'`';

// Neutralises the quotes of one element and gives its text form. A text between single quotes
// loses them for backticks unless what they enclose is a date, which is left exactly as it is.
QString escapeElement(db::Value& element)
{
    QString text = element.toString();
    // Numbers, dates and null never hold a quote, and a text without one needs nothing.
    if (element.type() != db::Value::Type::Text || !text.contains(quote))
        return text;
    if (text.size() >= 2 && text.front() == quote && text.back() == quote) {
        const QString trimmed = text.trimmed();
        const QString inner = trimmed.mid(1, trimmed.size() - 2);
        if (Regional::parseDate(inner).isValid())
            return text;
        text = backtick + inner + backtick;
    }
    text.replace(quote, backtick);
    element = db::Value(text);
    return text;
}

} // namespace

void neutraliseQuotes(std::vector<db::Value>& values)
{
    for (db::Value& value : values) {
        if (value.type() == db::Value::Type::Text)
            (void)escapeElement(value);
    }
}

QString Armar_Sql(const QString& sqlTemplate, std::vector<db::Value>& values)
{
    // The result is built left to right: what precedes a placeholder is template text already
    // copied, so the search for the next "?" always starts after the last inserted value.
    QString result;
    result.reserve(sqlTemplate.size() + 16 * static_cast<qsizetype>(values.size()));
    qsizetype copied = 0;
    bool insertedQuestionMark = false;
    for (auto& element : values) {
        const qsizetype placeholder = sqlTemplate.indexOf(u'?', copied);
        if (placeholder < 0 && !insertedQuestionMark)
            break;
        if (element.type() == db::Value::Type::Number) {
            // The common case, kept cheap: a number never holds a quote or a "?".
            if (placeholder < 0)
                break;
            result.append(QStringView(sqlTemplate).mid(copied, placeholder - copied));
            db::Value::appendNumberText(result, element.toDouble());
            copied = placeholder + 1;
            continue;
        }
        const QString text = escapeElement(element);
        if (placeholder < 0)
            break;
        result.append(QStringView(sqlTemplate).mid(copied, placeholder - copied));
        result.append(text);
        copied = placeholder + 1;
        insertedQuestionMark = insertedQuestionMark || text.contains(u'?');
    }
    result.append(QStringView(sqlTemplate).mid(copied));
    return result;
}

db::Value Si_Nulo(const db::Value& value, const db::Value& fallback)
{
    return value.isNull() ? fallback : value;
}
