#pragma once

#include "FilledLayout.h"
#include "ReportRow.h"

#include <QFont>
#include <QHash>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace report {

/// A report layout read from a .rpt file: the parameters it declares, its page, how it shows the
/// fields of its data table, and the HTML template (mustache tags) that lays out the form.
///
/// The file is UTF-8 text in sections. Lines starting with "#" or ";" are comments.
///   [report]       title = ..., page = A4|Letter|Legal [portrait|landscape], margins = mm (1, 2 or 4 values),
///                  font = <family> <points>, parameters = A, B, Name{1..16} (the key may repeat),
///                  rows = <most rows shown>, copies = <caption> | <caption> ...
///   [format]       <field> = ##,##0.00 | 0.00 | 0000000000 | 0 ... (amount patterns) or date
///   [map <name>]   <value> = <text shown>; "*" for any other value, "" (quoted) for an empty one; the name
///                  is a field of the data table or a parameter (Name{1..16} for a range), and a value
///                  the map does not name, with no "*", shows as it is
///   [layout]       the rest of the file: HTML with {{Parameter}}, {{#filas}}...{{/filas}} (one block per
///                  row, fields by name), {{#relleno}}...{{/relleno}} (blank rows up to "rows"),
///                  {{#copias}}...{{copia}}...{{/copias}} (the layout once per copy; {{#ultima}} on the last).
/// Names in tags are matched without regard to case; empty values count as false in sections.
/// Every .rpt file in resources/ repeats this description in its opening comment.
class ReportDefinition
{
public:
    /// Reads and checks a report file; raises ReportError when it is missing or malformed.
    [[nodiscard]] static ReportDefinition fromFile(const QString& path);
    /// The same from a file's text; origin names it in error messages.
    [[nodiscard]] static ReportDefinition fromText(const QString& text, const QString& origin);

    [[nodiscard]] const QString& title() const { return m_title; }
    /// The declared parameter names, as written in the file.
    [[nodiscard]] const QStringList& parameters() const { return m_parameters; }
    /// Whether the report declares this parameter (the name must match exactly).
    [[nodiscard]] bool declares(const QString& name) const { return m_parameters.contains(name); }
    /// Declared parameters that no tag of the layout shows: a slip in the layout, or a value the form hides.
    [[nodiscard]] QStringList unusedParameters() const;

    [[nodiscard]] const QPageLayout& pageLayout() const { return m_pageLayout; }
    /// The document's default font, without text shaping (no ligatures in PDF text).
    [[nodiscard]] const QFont& font() const { return m_font; }
    /// At most this many rows are shown (0: all of them).
    [[nodiscard]] int rowLimit() const { return m_rowLimit; }
    [[nodiscard]] const QStringList& copies() const { return m_copies; }

    /// How a field of the data table is shown: through its map, else its format, else as plain text.
    [[nodiscard]] QString fieldText(const QString& field, const db::Value& value) const;
    /// How a parameter's value is shown: through its map, else as it was set.
    [[nodiscard]] QString parameterText(const QString& name, const QString& value) const;

    /// Fills the layout with parameter values (a declared one never set shows empty) and the table's rows.
    /// Raises ReportError when the template cannot be filled.
    [[nodiscard]] QString render(const QHash<QString, QString>& parameters, const std::vector<ReportRow>& rows) const;
    /// The same, each value marked in the text rather than written in (see FilledLayout); raises ReportError as
    /// render.
    [[nodiscard]] FilledLayout fill(const QHash<QString, QString>& parameters,
                                    const std::vector<ReportRow>& rows) const;

private:
    ReportDefinition() = default;

    void setReportKey(const QString& key, const QString& value);
    void addParameters(const QString& list);
    /// "Name{1..16}" as Name1 ... Name16; any other name as itself.
    [[nodiscard]] static QStringList expandRange(const QString& entry);
    /// What shows the values of a field or parameter: its map and its format, looked up once for a whole
    /// column of a table.
    struct Display
    {
        const QHash<QString, QString>* map = nullptr; // value -> text
        const QString* otherwise = nullptr;           // the map's text for any other value
        const QString* format = nullptr;
    };
    /// The display of a field or parameter, by its name in lower case.
    [[nodiscard]] Display display(const QString& lower) const;
    /// The text the map gives a value, if it has one for it.
    [[nodiscard]] static std::optional<QString> mapped(const Display& display, const QString& value);
    /// fieldText through a display already looked up.
    [[nodiscard]] static QString shownText(const Display& display, const db::Value& value);
    /// render, each value written in or marked by `values`.
    class Values;
    [[nodiscard]] QString render(const QHash<QString, QString>& parameters, const std::vector<ReportRow>& rows,
                                 Values& values) const;
    void setFormat(const QString& field, const QString& pattern);
    void checkLayout(const QString& origin);

    QString m_title;
    QStringList m_parameters;
    QPageLayout m_pageLayout;
    QFont m_font;
    int m_rowLimit = 0;
    QStringList m_copies;
    QHash<QString, QString> m_formats;              // lower-case field name -> pattern
    QHash<QString, QHash<QString, QString>> m_maps; // lower-case field name -> value -> text
    QHash<QString, QString> m_mapDefaults;          // lower-case field name -> text for any other value
    QString m_layout;
    int m_layoutLine = 0; // line of the file where the layout starts, for error messages
    QStringList m_usedNames;
    bool m_markable = false;
    /// The layout's template, read once when the file is checked and used by every fill.
    struct Template;
    std::shared_ptr<Template> m_template;
};

} // namespace report
