#pragma once

#include <QString>

/// The Valor of a parameter row read through Get_Parametro: the fallback when the query failed,
/// the row is missing or its value is null.
[[nodiscard]] QString parameterValue(double id, const QString& fallback);
