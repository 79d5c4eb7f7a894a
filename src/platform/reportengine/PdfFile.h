#pragma once

#include <QPageLayout>
#include <QSaveFile>
#include <QString>

#include <memory>

class QPdfWriter;

namespace report {

/// A PDF file being written: pages are painted on writer(), and the file takes its name only at commit(),
/// once every page is written. Destroyed without commit() (an error, a cancelled export) it leaves no file
/// and an earlier file of that name untouched. Raises ReportError when the file cannot be written.
class PdfFile
{
public:
    PdfFile(const QString& path, const QPageLayout& layout, const QString& title);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    [[nodiscard]] QPdfWriter& writer() { return *m_writer; }
    /// Gives the finished file its name; the painter on writer() must have ended.
    void commit();

private:
    QString m_shownPath;
    QSaveFile m_file;
    std::unique_ptr<QPdfWriter> m_writer;
};

} // namespace report
