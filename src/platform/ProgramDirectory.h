#pragma once

#include <QString>

/// "The program's directory": where the executable, its report layouts and help live; and the data
/// folder, where its database and the files it writes live. Tests install a temporary directory instead.
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

    /// Makes path() answer this directory until uninstall().
    static void install(const QString& directory);
    /// Brings back the executable's directory.
    static void uninstall();
};
