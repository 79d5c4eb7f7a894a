#include "StatementPlans.h"

#include "DbError.h"
#include "SqlTokens.h"
#include "platform/Regional.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace db {

namespace {

using sql::Token;

constexpr qsizetype maxTemplates = 256;
constexpr size_t maxVariants = 32;

// What a bare "?" receives decides how translation may read it: a number of one of these kinds, or text.
// The stand-in of a number is of the same kind, so translation reads both alike.
enum class NumberKind : char { Small = 'i', Other = 'r', NegativeSmall = 'I', NegativeOther = 'R' };

NumberKind kindOf(bool negative, bool small)
{
    if (negative)
        return small ? NumberKind::NegativeSmall : NumberKind::NegativeOther;
    return small ? NumberKind::Small : NumberKind::Other;
}

NumberKind kindOf(double number)
{
    return kindOf(number < 0, number == std::floor(number) && std::fabs(number) < 2147483648.0);
}

// The same for a plain number written as text: its sign and its point as written ("-0", "5.0").
NumberKind kindOf(const QString& text)
{
    return kindOf(text.startsWith(u'-'), !text.contains(u'.') && std::fabs(text.toDouble()) < 2147483648.0);
}

// A plain number as a text holds it: digits, maybe a sign before them, a point and decimals after them.
bool isPlainNumber(QStringView text)
{
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const qsizetype firstDigit = i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i == firstDigit)
        return false;
    if (i == text.size())
        return true;
    if (text[i] != u'.' || ++i == text.size())
        return false;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    return i == text.size();
}

// The stand-in for value `k`: a date for a quoted value (translation converts it where a date goes), a
// number of the value's kind for a bare one. Values far from what the program writes, told apart by k.
QString quotedStandIn(int k)
{
    return Regional::dateText(QDate(1901, 1, 1).addDays(k));
}

QString bareStandIn(int k, NumberKind kind)
{
    QString text = QString::number(1000000 + k);
    if (kind == NumberKind::Other || kind == NumberKind::NegativeOther)
        text += u".25"_s;
    if (kind == NumberKind::NegativeSmall || kind == NumberKind::NegativeOther)
        text.prepend(u'-');
    return text;
}

bool isDataKeyword(QStringView word)
{
    for (const QStringView keyword : {u"select", u"insert", u"update", u"delete"}) {
        if (word.compare(keyword, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QString filledTemplate(QStringView sqlTemplate, const std::vector<Value>& values)
{
    QString result;
    result.reserve(sqlTemplate.size() + 16 * static_cast<qsizetype>(values.size()));
    qsizetype copied = 0;
    for (const Value& value : values) {
        const qsizetype placeholder = sqlTemplate.indexOf(u'?', copied);
        if (placeholder < 0)
            break;
        result.append(sqlTemplate.mid(copied, placeholder - copied));
        if (value.type() == Value::Type::Number)
            Value::appendNumberText(result, value.toDouble());
        else
            result.append(value.toString());
        copied = placeholder + 1;
    }
    result.append(sqlTemplate.mid(copied));
    return result;
}

void StatementPlans::setTranslator(SqlTranslator translator)
{
    m_translator = std::move(translator);
    m_templates.clear();
    m_last = nullptr;
    m_lastTemplate.clear();
}

StatementPlans::Template StatementPlans::analysed(const QString& sqlTemplate)
{
    Template shape;
    const std::vector<Token> tokens = sql::tokenize(sqlTemplate);
    for (qsizetype at = sqlTemplate.indexOf(u'?'); at >= 0; at = sqlTemplate.indexOf(u'?', at + 1))
        shape.places.push_back(Place::Written);
    shape.dataStatement = !tokens.empty() && tokens.front().kind == Token::Kind::Word &&
                          isDataKeyword(sql::textOf(sqlTemplate, tokens.front()));
    if (!shape.dataStatement)
        return shape;
    // Values stay in the text where a parameter would not mean the same: in the result columns (their names
    // come from the text), after ORDER BY, GROUP BY, LIMIT and RETURNING (a number there is a column's place).
    enum class Keep { No, UntilFrom, UntilClose } keep = Keep::No;
    int keepDepth = 0;
    int depth = 0;
    size_t placeholder = 0;
    qsizetype counted = 0; // the "?" counted so far stand before this point of the text
    const auto placeAt = [&](qsizetype at) -> Place& {
        for (; counted <= at; ++counted) {
            if (sqlTemplate[counted] == u'?')
                ++placeholder;
        }
        return shape.places[placeholder - 1];
    };
    const auto word = [&](size_t i, QStringView keyword) {
        return tokens[i].kind == Token::Kind::Word &&
               sql::textOf(sqlTemplate, tokens[i]).compare(keyword, Qt::CaseInsensitive) == 0;
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        const QStringView text = sql::textOf(sqlTemplate, token);
        if (text == u";" && i + 1 < tokens.size()) {
            shape.dataStatement = false;
            return shape;
        }
        if (keep == Keep::No && word(i, u"select")) {
            keep = Keep::UntilFrom;
            keepDepth = depth;
        } else if (keep == Keep::No &&
                   (word(i, u"order") || word(i, u"group") || word(i, u"limit") || word(i, u"returning"))) {
            keep = Keep::UntilClose;
            keepDepth = depth;
        } else if (keep == Keep::UntilFrom && depth == keepDepth && word(i, u"from")) {
            keep = Keep::No;
        } else if (text == u"(") {
            ++depth;
        } else if (text == u")") {
            if (keep != Keep::No && depth == keepDepth)
                keep = Keep::No;
            --depth;
        }
        if (keep != Keep::No)
            continue;
        const bool alone = token.start == 0 || !sql::isWordChar(sqlTemplate[token.start - 1]);
        if (token.kind == Token::Kind::String && token.closed && text == u"'?'" && alone)
            placeAt(token.start + 1) = Place::Quoted;
        else if (text == u"?" && alone &&
                 (token.start + 1 == sqlTemplate.size() || !sql::isWordChar(sqlTemplate[token.start + 1])))
            placeAt(token.start) = Place::Bare;
    }
    return shape;
}

StatementPlans::Template& StatementPlans::templateOf(const QString& sqlTemplate)
{
    // Most statements repeat the one before (an import writes line after line from one template).
    if (m_last && sqlTemplate.constData() == m_lastTemplate.constData() && sqlTemplate.size() == m_lastTemplate.size())
        return *m_last;
    auto found = m_templates.find(sqlTemplate);
    if (found == m_templates.end()) {
        if (m_templates.size() >= maxTemplates)
            m_templates.clear();
        found = m_templates.insert(sqlTemplate, analysed(sqlTemplate));
    }
    m_lastTemplate = sqlTemplate;
    m_last = &found.value();
    return *m_last;
}

bool StatementPlans::valuesKey(const Template& shape, const std::vector<Value>& values)
{
    m_key.resize(0); // keeps its memory: this runs for every statement
    for (size_t k = 0; k < shape.places.size(); ++k) {
        const Value& value = values[k];
        const Place place = shape.places[k];
        if (place == Place::Bare && value.type() == Value::Type::Number) {
            m_key += QChar(static_cast<char16_t>(kindOf(value.toDouble())));
            continue;
        }
        const QString text = value.toString();
        const bool isText = value.type() == Value::Type::Text;
        if (place == Place::Quoted) {
            // A quote the value still holds (a date the caller quoted) would end the text early, and SQLite
            // reads no further than a NUL character.
            if (isText && (text.contains(u'\'') || text.contains(QChar(0))))
                return false;
            m_key += u'q';
            continue;
        }
        if (place == Place::Bare && isText && isPlainNumber(text)) {
            m_key += QChar(static_cast<char16_t>(kindOf(text)));
            continue;
        }
        m_key += u'w';
        m_key += text;
        m_key += QChar(0);
    }
    return true;
}

const StatementPlan* StatementPlans::planFor(const QString& sqlTemplate, const std::vector<Value>& values,
                                             QDate (*today)())
{
    Template& shape = templateOf(sqlTemplate);
    // A "?" left without a value stays in the text, where SQLite takes it for a parameter of its own.
    if (!shape.dataStatement || values.size() < shape.places.size() || !valuesKey(shape, values))
        return nullptr;
    auto variant = std::find_if(shape.variants.begin(), shape.variants.end(),
                                [this](const Variant& known) { return known.key == m_key; });
    if (variant != shape.variants.end() && variant->plan.today.isValid() && variant->plan.today != today()) {
        shape.variants.erase(variant);
        variant = shape.variants.end();
    }
    if (variant == shape.variants.end()) {
        if (shape.variants.size() >= maxVariants)
            shape.variants.clear();
        shape.variants.push_back(variantFor(sqlTemplate, shape, values, today));
        variant = std::prev(shape.variants.end());
    }
    return variant->valid ? &variant->plan : nullptr;
}

StatementPlans::Variant StatementPlans::variantFor(const QString& sqlTemplate, const Template& shape,
                                                   const std::vector<Value>& values, QDate (*today)()) const
{
    Variant variant;
    variant.key = m_key;
    // The template filled with a stand-in for each value bound and with the text of each value written,
    // as the key tells them apart.
    std::vector<Value> filling(values.begin(), values.begin() + static_cast<qsizetype>(shape.places.size()));
    std::vector<QString> standIns(shape.places.size());
    std::vector<QString> isoStandIns(shape.places.size()); // a quoted stand-in as translation stores a date
    qsizetype at = 0;
    for (size_t k = 0; k < shape.places.size(); ++k) {
        const QChar code = m_key[at];
        if (code == u'w') {
            at = m_key.indexOf(QChar(0), at) + 1;
            continue;
        }
        ++at;
        const int index = static_cast<int>(k);
        if (shape.places[k] == Place::Quoted) {
            standIns[k] = quotedStandIn(index);
            isoStandIns[k] = QString::fromLatin1(SqlTranslator::isoDateOf(standIns[k]));
        } else {
            standIns[k] = bareStandIn(index, static_cast<NumberKind>(code.unicode()));
        }
        filling[k] = Value(standIns[k]);
    }
    SqlTranslator::Report report;
    QString translated;
    try {
        translated = m_translator.translate(filledTemplate(sqlTemplate, filling), today, &report);
    } catch (const DbError&) {
        return variant;
    }
    // Each stand-in found again, once, in the translated text; a quoted one may have become a date.
    const std::vector<Token> tokens = sql::tokenize(translated);
    std::vector<std::pair<qsizetype, qsizetype>> spans; // of the parameters, in the translated text
    std::vector<int> found(shape.places.size(), 0);
    for (const Token& token : tokens) {
        const QString content = token.kind == Token::Kind::String ? sql::contentOf(translated, token) : QString();
        for (size_t k = 0; k < standIns.size(); ++k) {
            if (standIns[k].isEmpty())
                continue;
            StatementPlan::Bind bind = StatementPlan::Bind::Number;
            qsizetype start = token.start;
            if (token.kind == Token::Kind::String) {
                if (shape.places[k] != Place::Quoted)
                    continue;
                if (content == standIns[k])
                    bind = StatementPlan::Bind::Text;
                else if (content == isoStandIns[k])
                    bind = StatementPlan::Bind::Date;
                else
                    continue;
            } else if (token.kind == Token::Kind::Number && shape.places[k] == Place::Bare) {
                const bool negative = standIns[k].startsWith(u'-');
                if (sql::textOf(translated, token) != QStringView(standIns[k]).sliced(negative ? 1 : 0))
                    continue;
                if (negative) {
                    if (start == 0 || translated[start - 1] != u'-')
                        continue;
                    --start;
                }
            } else {
                continue;
            }
            ++found[k];
            spans.emplace_back(start, token.start + token.length);
            variant.plan.bindings.push_back({static_cast<int>(k), bind});
        }
    }
    for (size_t k = 0; k < standIns.size(); ++k) {
        if (!standIns[k].isEmpty() && found[k] != 1)
            return variant;
    }
    QString text;
    qsizetype copied = 0;
    for (size_t n = 0; n < spans.size(); ++n) {
        text += QStringView(translated).mid(copied, spans[n].first - copied);
        text += u'?' + QString::number(n + 1);
        copied = spans[n].second;
    }
    text += QStringView(translated).mid(copied);
    variant.plan.text = text.toUtf8();
    if (report.today)
        variant.plan.today = today();
    variant.valid = true;
    return variant;
}

} // namespace db
