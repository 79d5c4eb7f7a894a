#pragma once

#include "platform/ui/ScriptedUi.h"

#include <QString>

#include <ostream>

// Readable GoogleTest failure output for Qt strings (lists of them print element by element) and
// recorded boxes.

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace ui {

inline void PrintTo(const ScriptedUi::Message& message, std::ostream* out)
{
    *out << (message.question ? "question " : "message ") << static_cast<int>(message.icon) << ' ';
    ::PrintTo(message.text, out);
}

} // namespace ui
