#include "support/ReportFiles.h"

#include "platform/cipher/Cipher.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace ReportFiles {

static QString rawPdfText(const QString& pdfPath)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, pdfPath, u"-"_s});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString shipped(const QString& name)
{
    const QString binDir = qEnvironmentVariable("TOLBRANE_BIN_DIR");
    if (!binDir.isEmpty() && QFile::exists(QDir(binDir).filePath(name)))
        return QDir(binDir).filePath(name);
    return QDir(QStringLiteral(TOLBRANE_RESOURCES_DIR)).filePath(name);
}

QString write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
}

QString pdfText(const QString& pdfPath)
{
    return rawPdfText(pdfPath).simplified();
}

int pdfPageCount(const QString& pdfPath)
{
    const QString text = rawPdfText(pdfPath);
    if (text.isEmpty())
        return -1;
    // Every page ends with a form feed.
    return static_cast<int>(text.count(u'\f'));
}

QStringList declarationRecords(const QString& path)
{
    QFile file(path);
    QStringList records;
    for (const QByteArray& line : file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>()) {
        if (!line.isEmpty())
            records.append(Cipher().decrypt(QString::fromLatin1(line.chopped(1)), u"TOLBRANE"_s));
    }
    return records;
}

} // namespace ReportFiles
