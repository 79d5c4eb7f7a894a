#pragma once

#include "ReportRow.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace report {

/// What one report opened through the recording engine received, in the order the driver gave it.
struct RecordedReport
{
    QString path;
    /// The printing the report was opened in, counted from 1; 0 for a report previewed on its own.
    int printing = 0;
    bool tableSet = false;
    std::vector<ReportRow> rows;
    std::vector<std::pair<QString, QString>> parameters; // every accepted call, in order
    bool printerSetupButton = false;
    QStringList previewTitles;
    QString html; // the filled layout at the latest preview
    QString pdf;  // the PDF written at the latest preview, when the engine keeps them

    /// The last value set for a parameter; empty when it was never set.
    [[nodiscard]] QString parameter(const QString& name) const;
    /// The parameter names in the order they were set, repeats included.
    [[nodiscard]] QStringList parameterNames() const;
};

} // namespace report
