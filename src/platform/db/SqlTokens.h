#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace db::sql {

/// One piece of a statement's text, as SQLite reads it. Comments and blanks are no tokens.
struct Token
{
    enum class Kind {
        Word,   ///< a keyword or a name: letters, digits, "_", "$" and any letter or digit outside ASCII
        Name,   ///< a quoted name: "x", [x] or `x`
        String, ///< a quoted text: 'x', with '' for a quote inside it
        Number, ///< digits, with a point and decimals, an exponent or both
        Symbol, ///< anything else: one character, or two for "<=", ">=", "<>", "!=", "==", "||", "<<" and ">>"
    };
    Kind kind;
    qsizetype start;
    qsizetype length;
    bool closed = true; ///< false for a quoted text or name that the statement never closes
};

/// The tokens of a statement. A comment runs to the end of its line ("--") or to its "*/", or to the end of the
/// text when that never comes, as SQLite reads it; a quoted text that is never closed runs to the end.
[[nodiscard]] std::vector<Token> tokenize(QStringView sql);

/// The text of a token.
[[nodiscard]] inline QStringView textOf(QStringView sql, const Token& token)
{
    return sql.sliced(token.start, token.length);
}

/// What a quoted text holds, its doubled quotes made single.
[[nodiscard]] QString contentOf(QStringView sql, const Token& token);

/// Whether a character may stand in a word.
[[nodiscard]] bool isWordChar(QChar c);

} // namespace db::sql
