#pragma once

#include "platform/db/Value.h"

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <utility>
#include <vector>

namespace db {
class Recordset;
} // namespace db

namespace report {

/// One row of a report's data table: the fields in the order the query gave them, each with its name
/// and value. The report engine keeps its own copy so that the query can be closed at once.
class ReportRow
{
public:
    ReportRow() = default;
    ReportRow(std::initializer_list<std::pair<QString, db::Value>> fields) : m_fields(fields) {}

    void append(const QString& name, const db::Value& value) { m_fields.emplace_back(name, value); }

    [[nodiscard]] int size() const { return static_cast<int>(m_fields.size()); }
    [[nodiscard]] const QString& name(int index) const { return m_fields.at(index).first; }
    [[nodiscard]] const db::Value& value(int index) const { return m_fields.at(index).second; }

    /// The value of a field found by name without regard to case; null when there is no such field.
    [[nodiscard]] db::Value value(QStringView name) const;
    [[nodiscard]] bool contains(QStringView name) const;

    /// Reads every remaining row of a recordset. Raises ReportError when the database fails while reading.
    [[nodiscard]] static std::vector<ReportRow> readAll(db::Recordset& recordset);

    friend bool operator==(const ReportRow&, const ReportRow&) = default;

private:
    std::vector<std::pair<QString, db::Value>> m_fields;
};

} // namespace report
