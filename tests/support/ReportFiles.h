#pragma once

#include <QStringList>

/// The program's files in tests: where its report files are, writing a file of a test's own, reading PDFs back
/// with poppler's command-line tools and declaration files back through the cipher.
namespace ReportFiles {

/// A report file as the program ships it: beside the program when the tests say where that is,
/// otherwise in the source tree.
[[nodiscard]] QString shipped(const QString& name);

/// Writes the bytes (UTF-8 text, or any other encoding a test needs) to a file and returns its path.
QString write(const QString& path, const QByteArray& bytes);
/// The bytes of a file; "?" when it cannot be read.
[[nodiscard]] QByteArray read(const QString& path);

/// The text of a PDF as pdftotext reads it keeping the page's layout, with runs of white space made single blanks.
/// Empty when the tool fails.
[[nodiscard]] QString pdfText(const QString& pdfPath);

/// The number of pages of a PDF (pdftotext separates pages with form feeds); -1 when the tool fails.
[[nodiscard]] int pdfPageCount(const QString& pdfPath);

/// The records of a declaration file (lines ending CR LF), decrypted, in order.
[[nodiscard]] QStringList declarationRecords(const QString& path);

} // namespace ReportFiles
