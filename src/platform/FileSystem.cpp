#include "FileSystem.h"

#include <QFile>
#include <QRegularExpression>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace FileSystem {

bool namesMissingDrive(const QString& path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    static const QRegularExpression drive(u"^[A-Za-z]:"_s);
    return drive.match(path).hasMatch();
#endif
}

bool writeThroughAndForget(const QString& path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;
#else
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    // Only pages already written through can be dropped.
    const bool written = ::fdatasync(descriptor) == 0;
    if (written)
        (void)::posix_fadvise(descriptor, 0, 0, POSIX_FADV_DONTNEED);
    ::close(descriptor);
    return written;
#endif
}

} // namespace FileSystem
