#pragma once

#include <stdexcept>

/// Raised by the encryption component when a record cannot be encrypted, or when a line cannot be
/// decrypted because it is damaged, cut short, not ours or was made with another key.
class CipherError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
