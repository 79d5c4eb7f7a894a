#pragma once

#include <stdexcept>
#include <string>

namespace db {

/// What kind of failure the engine met, as far as a caller has to tell them apart.
enum class Failure {
    Other,    ///< a refused statement (a repeated key, a wrong date), a damaged or foreign file
    Busy,     ///< another program held the file longer than the lock wait
    DiskFull, ///< the disk (or the file's size limit) had no room for the change
    Io,       ///< the disk failed to read or write
};

/// The kind of failure of one of SQLite's result codes.
[[nodiscard]] Failure failureOf(int sqliteResultCode);

/// Raised by the engine for anything that fails: opening, preparing, stepping, a bad date literal.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const std::string& message, Failure failure = Failure::Other)
        : std::runtime_error(message), m_failure(failure)
    {}

    [[nodiscard]] Failure failure() const { return m_failure; }

private:
    Failure m_failure;
};

} // namespace db
