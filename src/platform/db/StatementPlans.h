#pragma once

#include "SqlTranslator.h"
#include "Value.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <vector>

namespace db {

/// How one statement written from a template runs: its translated text, with a numbered parameter (?1, ?2…)
/// wherever a value goes as a bound value, and how each of those values is bound.
struct StatementPlan
{
    enum class Bind {
        Text,   ///< the value's text, as the template's quotes around it would have made it a text
        Date,   ///< a text that translation stores as a date: its ISO form
        Number, ///< a number, as SQLite would have read its digits
    };
    struct Binding
    {
        int value; ///< which of the values, counting from 0
        Bind bind;
    };
    QByteArray text;               ///< translated, in UTF-8; also the key of its prepared statement
    std::vector<Binding> bindings; ///< the value of parameter ?N is bindings[N - 1]
    QDate today;                   ///< the date DATE() became in the text; invalid when it holds none
};

/// The text a template filled with values makes: each "?" of the template, left to right, takes the next
/// value's text (numbers as Value::numberText writes them, dates as dd/mm/yyyy, null as nothing); a "?" left
/// without a value stays. A "?" inside a value is never taken for a placeholder.
[[nodiscard]] QString filledTemplate(QStringView sqlTemplate, const std::vector<Value>& values);

/// Plans for the statements of templates, each kept by its template's text and by what of the values goes into
/// the text. A value between quotes in the template ('?') or a number in the place of a bare "?" is bound;
/// anything else (a column name after ORDER BY, a piece of SQL, a value in the result columns) is written into
/// the text and the plan is kept for that text. The template is translated once, with stand-in values, and the
/// stand-ins found again in the translated text tell where each value lands and which ones translation stores
/// as dates. Binding gives exactly what translating the filled text would have given.
class StatementPlans
{
public:
    explicit StatementPlans(SqlTranslator translator = SqlTranslator()) : m_translator(std::move(translator)) {}

    /// The plan for the template filled with the values; null when the statement must run as its filled text
    /// (not a single SELECT, INSERT, UPDATE or DELETE; a value that would change the statement's shape).
    /// Raises nothing: a template that translation refuses runs as text, which then fails.
    [[nodiscard]] const StatementPlan* planFor(const QString& sqlTemplate, const std::vector<Value>& values,
                                               QDate (*today)());
    [[nodiscard]] const SqlTranslator& translator() const { return m_translator; }
    void setTranslator(SqlTranslator translator);

private:
    enum class Place { Quoted, Bare, Written };
    struct Variant
    {
        QString key; ///< what of the values went into the text, as valuesKey writes it
        bool valid = false;
        StatementPlan plan;
    };
    struct Template
    {
        bool dataStatement = false;
        std::vector<Place> places; ///< one per "?" of the template
        std::vector<Variant> variants;
    };
    [[nodiscard]] static Template analysed(const QString& sqlTemplate);
    [[nodiscard]] Template& templateOf(const QString& sqlTemplate);
    /// Writes into m_key what decides the variant; false when the statement must run as its filled text.
    bool valuesKey(const Template& shape, const std::vector<Value>& values);
    [[nodiscard]] Variant variantFor(const QString& sqlTemplate, const Template& shape,
                                     const std::vector<Value>& values, QDate (*today)()) const;

    SqlTranslator m_translator;
    QHash<QString, Template> m_templates;
    QString m_lastTemplate; // shares its text with the caller's template, so a repeat is told by its address
    Template* m_last = nullptr;
    QString m_key;
};

} // namespace db
