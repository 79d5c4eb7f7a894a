#pragma once

#include <stdexcept>
#include <string>

namespace db {

/// Raised by the engine for anything that fails: opening, preparing, stepping, a bad date literal.
class DbError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace db
