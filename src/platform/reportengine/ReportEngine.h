#pragma once

#include <QString>

#include <memory>

namespace report {

class Report;

/// One printing of several sheets, such as every sheet of a declaration form: while it lives, each report
/// the engine previews becomes the next sheet of the printing's one preview window instead of a window of
/// its own. The window opens with the first sheet and is filled as the others come. A printing ended
/// without keep() closes its window: what its sheets show was not saved, and must not be printed.
class Printing
{
public:
    virtual ~Printing() = default;
    /// The printing's work is saved: its window stays open when the printing ends.
    void keep() { m_kept = true; }

protected:
    [[nodiscard]] bool kept() const { return m_kept; }

private:
    bool m_kept = false;
};

/// The report engine: opens report files and keeps the window of the latest preview. One engine serves
/// the whole program; start-up installs the Qt one, tests install a recording one.
class ReportEngine
{
public:
    virtual ~ReportEngine();

    /// The installed engine; null while none is.
    [[nodiscard]] static ReportEngine* current();
    /// Makes this one the engine the program uses until uninstall().
    static void install(std::unique_ptr<ReportEngine> engine);
    /// Removes the installed engine.
    static void uninstall();

    /// Asks the window of the previous preview to close; nothing happens when there is none or it is
    /// already closed.
    virtual void closePreview() = 0;
    /// Opens a report file; raises ReportError when it is missing or malformed.
    [[nodiscard]] virtual std::unique_ptr<Report> openReport(const QString& path) = 0;
    /// Starts a printing of about `sheets` sheets (for its progress); it ends when the result is destroyed.
    [[nodiscard]] virtual std::unique_ptr<Printing> startPrinting(int sheets) = 0;
};

} // namespace report
