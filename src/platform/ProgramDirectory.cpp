#include "ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString s_override;
}

QString ProgramDirectory::path()
{
    return QDir::toNativeSeparators(s_override.isEmpty() ? QCoreApplication::applicationDirPath() : s_override);
}

QString ProgramDirectory::filePath(const QString& name)
{
    return path() + QDir::separator() + name;
}

void ProgramDirectory::override(const QString& directory)
{
    s_override = directory;
}

void ProgramDirectory::release()
{
    s_override.clear();
}
