#pragma once

#include "ReportDefinition.h"
#include "ReportRow.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

namespace db {
class Recordset;
} // namespace db

namespace report {

class ReportDocument;

/// What a report has received so far: its definition, the rows of its table, the parameter values
/// and the printer set-up option. Shared by the engine implementations so that they accept and refuse
/// exactly the same calls.
class ReportContent
{
public:
    explicit ReportContent(ReportDefinition definition) : m_definition(std::move(definition)) {}

    [[nodiscard]] const ReportDefinition& definition() const { return m_definition; }

    /// Reads every row of the table; raises ReportError for no recordset or a failed read.
    void setTable(std::unique_ptr<db::Recordset> table);
    [[nodiscard]] const std::vector<ReportRow>& rows() const { return m_rows; }

    /// Raises ReportError when the report does not declare the name.
    void setParameter(const QString& name, const QString& value);
    [[nodiscard]] QString parameter(const QString& name) const { return m_parameters.value(name); }

    void setPrinterSetupButton(bool shown) { m_printerSetupButton = shown; }
    [[nodiscard]] bool printerSetupButton() const { return m_printerSetupButton; }

    /// The filled layout; raises ReportError when it cannot be filled.
    [[nodiscard]] QString html() const;
    /// The same, its values marked; raises ReportError as html().
    [[nodiscard]] FilledLayout filled() const;
    /// The filled layout on pages, titled for the preview window and the PDF.
    [[nodiscard]] std::unique_ptr<ReportDocument> document(const QString& title) const;

private:
    ReportDefinition m_definition;
    std::vector<ReportRow> m_rows;
    QHash<QString, QString> m_parameters;
    bool m_printerSetupButton = false;
};

} // namespace report
