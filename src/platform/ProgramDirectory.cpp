#include "ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

QString s_installed;

const QString databaseName = u"ferlon.mdb"_s;

// Writable for this user, and by its permission bits at all: a folder that nobody may write (an
// installed program's folder, or a copy made read-only) is not written even by an administrator.
bool mayWrite(const QString& directory)
{
    const QFileInfo info(directory);
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isDir() && info.isWritable() && (info.permissions() & anyWrite);
}

} // namespace

QString ProgramDirectory::path()
{
    return QDir::toNativeSeparators(s_installed.isEmpty() ? QCoreApplication::applicationDirPath() : s_installed);
}

QString ProgramDirectory::filePath(const QString& name)
{
    return path() + QDir::separator() + name;
}

QString ProgramDirectory::dataPath()
{
    const QString program = path();
    if (mayWrite(program))
        return program;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // A failure here shows later, as the screens' own message when the database cannot be opened.
    // QFile::copy writes a temporary file and renames it, and never replaces an existing file. The copy
    // keeps the delivered file's permissions, read-only perhaps: the user's own copy must be written.
    const QString copy = QDir(data).filePath(databaseName);
    if (QDir().mkpath(data) && !QFileInfo::exists(copy) && QFile::copy(filePath(databaseName), copy))
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return QDir::toNativeSeparators(data);
}

QString ProgramDirectory::dataFilePath(const QString& name)
{
    return dataPath() + QDir::separator() + name;
}

void ProgramDirectory::install(const QString& directory)
{
    s_installed = directory;
}

void ProgramDirectory::uninstall()
{
    s_installed.clear();
}

QString ProgramDirectory::backupPath()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir::toNativeSeparators(!documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath());
}
