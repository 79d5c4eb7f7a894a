#pragma once

#include <QString>

/// "The program's directory": where the executable, its report layouts and help live; and the data
/// folder, where its database and the files it writes live. Tests point it at a temporary directory.
class ProgramDirectory
{
public:
    [[nodiscard]] static QString path();
    /// A file in the program's directory, written with the platform's separators (as messages show it).
    [[nodiscard]] static QString filePath(const QString& name);

    /// The data folder: the program's directory when it may be written (a build tree, a copied folder),
    /// else the user's data location (an installed program), created when missing and given a copy of
    /// the delivered database unless it already holds one.
    [[nodiscard]] static QString dataPath();
    /// A file in the data folder, with the platform's separators.
    [[nodiscard]] static QString dataFilePath(const QString& name);

    /// Where the backup dialog proposes to save a copy: the user's documents folder, away from the data
    /// it protects, or the home folder when the user has no documents folder; never the data folder, where
    /// a copy would be lost with the data and hidden from the operator.
    [[nodiscard]] static QString backupPath();

    static void override(const QString& directory);
    static void release();
};
