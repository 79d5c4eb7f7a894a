#pragma once

#include <QString>

/// Questions about file names that depend on the system the program runs on.
namespace FileSystem {

/// True when the path starts with a drive letter ("A:\ddjj.txt") on a system that has none: there it would
/// become a file with that odd name in the working directory, so it names nothing the operator can reach.
[[nodiscard]] bool namesMissingDrive(const QString& path);

/// Writes a file's data through to its medium and then drops the pages the system keeps of it in memory,
/// so that the next read of the file comes from the medium itself and shows what it really holds. False
/// when the data could not be written through; a system that keeps no such pages, or will not drop them,
/// only makes the read cheaper.
[[nodiscard]] bool writeThroughAndForget(const QString& path);

} // namespace FileSystem
