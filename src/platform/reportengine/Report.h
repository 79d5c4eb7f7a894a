#pragma once

#include <QString>

#include <memory>

namespace db {
class Recordset;
} // namespace db

namespace report {

/// A report opened from its file, filled by a driver and then previewed. Every operation raises
/// ReportError when it cannot be done.
class Report
{
public:
    virtual ~Report() = default;

    /// Binds the report's data table (table 1). Its rows are read at once, so the recordset may be
    /// closed afterwards. No recordset is an error.
    virtual void setTable(std::unique_ptr<db::Recordset> table) = 0;
    /// Whether the preview window offers the printer set-up button.
    virtual void setPrinterSetupButton(bool shown) = 0;
    /// Sets a parameter the report declares; a name it does not declare is refused.
    virtual void setParameter(const QString& name, const QString& value) = 0;
    /// Shows the report in a non-modal preview window with this title and returns at once. The window
    /// becomes the engine's current preview.
    virtual void preview(const QString& title) = 0;
    /// Writes the filled report as a PDF file with the page layout of its report file.
    virtual void exportPdf(const QString& path) = 0;
};

} // namespace report
