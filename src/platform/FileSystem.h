#pragma once

#include <QString>

/// Questions about file names that depend on the system the program runs on.
namespace FileSystem {

/// True when the path starts with a drive letter ("A:\ddjj.txt") on a system that has none: there it would
/// become a file with that odd name in the working directory, so it names nothing the operator can reach.
[[nodiscard]] bool namesMissingDrive(const QString& path);

} // namespace FileSystem
