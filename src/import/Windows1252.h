#pragma once

#include <QByteArrayView>
#include <QString>

/// The single-byte character set of the interface files (Windows-1252, "ANSI" on the operators' machines).
/// Latin-1 with the printable characters Windows puts in 0x80 to 0x9F (€, curly quotes, dashes, Š, Ž, ...).
/// Decoded by hand so that it does not depend on the codecs Qt was built with.
class Windows1252
{
public:
    [[nodiscard]] static QString decode(QByteArrayView bytes);
};
