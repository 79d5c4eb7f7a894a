#pragma once

#include "platform/db/Value.h"

#include <QString>

#include <vector>

/// Fills the "?" placeholders of a SQL template, left to right, with the values given.
/// Single quotes inside a value become backticks so that they cannot end a text literal;
/// a value that is a date between single quotes is left as it is. A "?" that arrives inside
/// a value is never taken for a placeholder. Elements may be rewritten (hence the reference).
[[nodiscard]] QString Armar_Sql(const QString& sqlTemplate, std::vector<db::Value>& values);

/// Rewrites the text values as Armar_Sql writes them into a template (quotes become backticks, a quoted
/// date stays): the template and these values, given to the database, then do what Armar_Sql's text does.
void neutraliseQuotes(std::vector<db::Value>& values);

/// The value, or the fallback when the value is null.
[[nodiscard]] db::Value Si_Nulo(const db::Value& value, const db::Value& fallback);
