#pragma once

#include <QString>

#include <memory>

namespace report {

class Report;

/// The report engine: opens report files and keeps the window of the latest preview. One engine serves
/// the whole program; start-up installs the Qt one, tests install a recording one.
class ReportEngine
{
public:
    virtual ~ReportEngine();

    /// The installed engine; null until one is installed.
    [[nodiscard]] static ReportEngine* current();
    /// Installs the engine the program uses from now on (null removes it).
    static void install(std::unique_ptr<ReportEngine> engine);

    /// Asks the window of the previous preview to close; nothing happens when there is none or it is
    /// already closed.
    virtual void closePreview() = 0;
    /// Opens a report file; raises ReportError when it is missing or malformed.
    [[nodiscard]] virtual std::unique_ptr<Report> openReport(const QString& path) = 0;
};

} // namespace report
