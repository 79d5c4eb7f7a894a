#pragma once

#include <QString>

/// True when the length of the file at path can be read: the file exists (an empty one too).
/// False for a missing file, a folder, or any other error.
[[nodiscard]] bool Existe_Archivo(const QString& path);
