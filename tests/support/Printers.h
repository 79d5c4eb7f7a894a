#pragma once

#include "platform/ui/ScriptedUi.h"

#include <QString>
#include <QStringList>

#include <ostream>

// Readable GoogleTest failure output for Qt strings and recorded boxes.

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            *out << ", ";
        PrintTo(texts.at(i), out);
    }
    *out << '}';
}

namespace ui {

inline void PrintTo(const ScriptedUi::Message& message, std::ostream* out)
{
    *out << (message.question ? "question " : "message ") << static_cast<int>(message.icon) << ' ';
    ::PrintTo(message.text, out);
}

} // namespace ui
