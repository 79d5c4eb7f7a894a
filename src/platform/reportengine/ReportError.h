#pragma once

#include <QString>

#include <stdexcept>

namespace report {

/// Raised by the report engine: a missing or malformed report file, a parameter the report does not
/// declare, no data table, a preview or export that could not be made.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

} // namespace report
