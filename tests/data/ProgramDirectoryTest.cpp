#include "support/ReportFiles.h"

#include "platform/ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A writable program folder holds the data; a read-only one (an installed program) sends it to the
// user's data location, which gets the delivered database once and never over the user's own.
TEST(ProgramDirectoryData, StaysBesideAWritableProgramElseGoesToTheUsersDataLocation)
{
    QTemporaryDir program, home;
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication::setApplicationName(u"TOLBRANE"_s);
    ReportFiles::write(program.filePath(u"ferlon.mdb"_s), "entregada");
    QFile::setPermissions(program.filePath(u"ferlon.mdb"_s), QFileDevice::ReadOwner);
    ProgramDirectory::install(program.path());

    EXPECT_EQ(ProgramDirectory::dataPath(), QDir::toNativeSeparators(program.path()));
    EXPECT_FALSE(QFileInfo::exists(home.filePath(u"TOLBRANE"_s)));

    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString data = QDir::toNativeSeparators(home.filePath(u"TOLBRANE"_s));
    EXPECT_EQ(ProgramDirectory::dataFilePath(u"Errores.txt"_s), data + QDir::separator() + u"Errores.txt"_s);
    EXPECT_EQ(ReportFiles::read(data + u"/ferlon.mdb"_s), "entregada");
    EXPECT_TRUE(QFile::permissions(data + u"/ferlon.mdb"_s) & QFileDevice::WriteOwner) << "the user's own copy";

    ReportFiles::write(data + u"/ferlon.mdb"_s, "del operador");
    EXPECT_EQ(ProgramDirectory::dataPath(), data);
    EXPECT_EQ(ReportFiles::read(data + u"/ferlon.mdb"_s), "del operador") << "never replaced";

    // A backup is proposed away from the data: in the documents folder, or the home folder without one.
    const QByteArray oldUserHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    EXPECT_EQ(ProgramDirectory::backupPath(), QDir::toNativeSeparators(home.path()));
    QDir(home.path()).mkdir(u"Documents"_s);
    EXPECT_EQ(ProgramDirectory::backupPath(), QDir::toNativeSeparators(home.filePath(u"Documents"_s)));
    qputenv("HOME", oldUserHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);

    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ProgramDirectory::uninstall();
    oldHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", oldHome);
}
