#include "FileSystem.h"

#include <QRegularExpression>

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

} // namespace FileSystem
