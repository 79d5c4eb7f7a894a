#pragma once

#include <QString>

/// "The program's directory": where the executable, its database, report layouts and help live.
/// Tests point it at a temporary directory.
class ProgramDirectory
{
public:
    [[nodiscard]] static QString path();
    /// A file in the program's directory, written with the platform's separators (as messages show it).
    [[nodiscard]] static QString filePath(const QString& name);
    static void override(const QString& directory);
    static void release();
};
