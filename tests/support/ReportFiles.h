#pragma once

#include <QString>

/// Helpers for the report engine's tests: where the program's report files are, writing a report file
/// of a test's own, and reading PDFs back with poppler's command-line tools.
namespace ReportFiles {

/// A report file as the program ships it: beside the program when the tests say where that is,
/// otherwise in the source tree.
[[nodiscard]] QString shipped(const QString& name);

/// Writes the bytes (UTF-8 text, or any other encoding a test needs) to a file and returns its path.
QString write(const QString& path, const QByteArray& bytes);

/// The text of a PDF as pdftotext reads it keeping the page's layout, with runs of white space made single blanks.
/// Empty when the tool fails.
[[nodiscard]] QString pdfText(const QString& pdfPath);

/// The number of pages of a PDF (pdftotext separates pages with form feeds); -1 when the tool fails.
[[nodiscard]] int pdfPageCount(const QString& pdfPath);

} // namespace ReportFiles
