#include "ReportDefinition.h"

#include "ReportError.h"
#include "platform/Regional.h"

#include <QDir>
#include <QFile>
#include <QRectF>
#include <QRegularExpression>
#include <QStringDecoder>

#include <kainjow/mustache.hpp>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace report {

namespace {

using Data = kainjow::mustache::data;

const QString rowsList = u"filas"_s;
const QString blankRowsList = u"relleno"_s;
const QString copiesList = u"copias"_s;
const QString copyName = u"copia"_s;
const QString lastCopy = u"ultima"_s;
const QString datePattern = u"date"_s;

bool isName(const QString& name)
{
    static const QRegularExpression pattern(u"^[\\p{L}_][\\p{L}\\p{N}_]*$"_s);
    return pattern.match(name).hasMatch();
}

bool isReserved(const QString& name)
{
    const QString lower = name.toLower();
    return lower == rowsList || lower == blankRowsList || lower == copiesList || lower == copyName || lower == lastCopy;
}

QString requireName(const QString& name, const QString& what)
{
    if (!isName(name))
        throw ReportError(u"nombre de "_s + what + u" no válido: \""_s + name + u'"');
    return name;
}

QString unquoted(const QString& text)
{
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// Empty text counts as false, so that {{#Saldo}}...{{/Saldo}} shows only when there is a value.
Data textData(const QString& text)
{
    if (text.isEmpty())
        return Data(false);
    return Data(text.toStdString());
}

std::string key(const QString& name)
{
    return name.toLower().toStdString();
}

// The same for a name as the template gives it: most are plain ASCII, which needs no conversion, and most
// are written in lower case already, which needs no copy either (`scratch` is left untouched then).
const std::string& lowerKey(const std::string& name, std::string& scratch)
{
    if (std::any_of(name.cbegin(), name.cend(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        scratch = key(QString::fromStdString(name));
        return scratch;
    }
    if (std::none_of(name.cbegin(), name.cend(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        return name;
    scratch = name;
    for (char& c : scratch)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return scratch;
}

QString formatted(const db::Value& value, const QString& pattern)
{
    if (pattern == datePattern) {
        if (value.type() == db::Value::Type::Date)
            return Regional::dateText(value.toDate());
        if (value.type() == db::Value::Type::Text) {
            const QDate date = Regional::parseDate(value.toString().trimmed());
            return date.isValid() ? Regional::dateText(date) : value.toString();
        }
        return value.toString();
    }
    if (value.type() == db::Value::Type::Number)
        return Regional::format(value.toDouble(), pattern);
    if (value.type() == db::Value::Type::Text) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok ? Regional::format(number, pattern) : value.toString();
    }
    return value.toString();
}

// Looks names up without regard to case: the data holds lower-case keys, the layout may write
// {{Importe}} or {{numero}} for a field the query calls Numero.
class CaseInsensitiveContext : public kainjow::mustache::basic_context<std::string>
{
public:
    explicit CaseInsensitiveContext(const Data* root) { m_items.push_back(root); }

    void push(const Data* data) override { m_items.insert(m_items.begin(), data); }
    void pop() override { m_items.erase(m_items.begin()); }

    const Data* get(const std::string& name) const override
    {
        if (name == ".")
            return m_items.front();
        std::string scratch;
        const std::string& lower = lowerKey(name, scratch);
        for (const Data* item : m_items) {
            if (const Data* found = item->get(lower))
                return found;
        }
        return nullptr;
    }

    const Data* get_partial(const std::string&) const override { return nullptr; }

private:
    std::vector<const Data*> m_items;
};

} // namespace

/// The values of one filling: each becomes a marker in the text and is kept aside, or, unmarked, stands in the
/// text as it is.
class ReportDefinition::Values
{
public:
    explicit Values(bool marked) : m_marked(marked) {}

    Data data(const QString& text)
    {
        if (text.isEmpty() || !m_marked)
            return textData(text);
        // A value that holds a marker's character would read as a marker: the text is then filled unmarked.
        if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return FilledLayout::markerIndex(c) >= 0; }))
            m_spoilt = true;
        if (m_values.size() == FilledLayout::maxMarkers)
            return textData(text);
        m_values.append(text);
        return Data(QString(FilledLayout::marker(static_cast<int>(m_values.size() - 1))).toStdString());
    }

    [[nodiscard]] bool spoilt() const { return m_spoilt; }
    [[nodiscard]] QStringList take() { return std::move(m_values); }

private:
    bool m_marked;
    bool m_spoilt = false;
    QStringList m_values;
};

struct ReportDefinition::Template
{
    explicit Template(const QString& layout) : mustache(layout.toStdString()) {}
    kainjow::mustache::mustache mustache;
};

ReportDefinition ReportDefinition::fromFile(const QString& path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(u"no se puede abrir el reporte "_s + shownPath + u": "_s + file.errorString());
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        throw ReportError(u"el reporte "_s + shownPath + u" no está escrito en UTF-8"_s);
    return fromText(text, shownPath);
}

ReportDefinition ReportDefinition::fromText(const QString& text, const QString& origin)
{
    enum class Section { None, Report, Format, Map };

    ReportDefinition definition;
    definition.m_pageLayout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                          QPageLayout::Millimeter);
    definition.m_font = QFont(u"DejaVu Sans"_s);
    definition.m_font.setPointSizeF(9);

    QString body = text;
    if (body.startsWith(QChar(0xFEFF)))
        body.remove(0, 1);

    Section section = Section::None;
    QStringList mapNames;
    bool layoutFound = false;
    int lineNumber = 0;
    qsizetype position = 0;
    while (position < body.size() && !layoutFound) {
        qsizetype end = body.indexOf(u'\n', position);
        if (end < 0)
            end = body.size();
        const QString line = body.mid(position, end - position).trimmed();
        position = end + 1;
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        try {
            if (line.startsWith(u'[')) {
                if (!line.endsWith(u']'))
                    throw ReportError(u"sección mal escrita: "_s + line);
                const QString name = line.mid(1, line.size() - 2).trimmed();
                const QString lower = name.toLower();
                if (lower == u"layout") {
                    definition.m_layout = position < body.size() ? body.mid(position) : QString();
                    definition.m_layoutLine = lineNumber + 1;
                    layoutFound = true;
                } else if (lower == u"report") {
                    section = Section::Report;
                } else if (lower == u"format") {
                    section = Section::Format;
                } else if (lower.startsWith(u"map ")) {
                    mapNames.clear();
                    for (const QString& target : expandRange(name.mid(4).trimmed())) {
                        mapNames.append(requireName(target, u"campo"_s).toLower());
                        definition.m_maps[mapNames.last()];
                    }
                    section = Section::Map;
                } else {
                    throw ReportError(u"sección desconocida: "_s + line);
                }
                continue;
            }
            const qsizetype equals = line.indexOf(u'=');
            if (equals < 0)
                throw ReportError(u"se esperaba nombre = valor: "_s + line);
            const QString name = line.left(equals).trimmed();
            const QString value = line.mid(equals + 1).trimmed();
            switch (section) {
            case Section::None:
                throw ReportError(u"línea fuera de una sección: "_s + line);
            case Section::Report:
                definition.setReportKey(name, value);
                break;
            case Section::Format:
                definition.setFormat(name, value);
                break;
            case Section::Map:
                for (const QString& target : mapNames) {
                    if (name == u"*")
                        definition.m_mapDefaults.insert(target, unquoted(value));
                    else
                        definition.m_maps[target].insert(unquoted(name), unquoted(value));
                }
                break;
            }
        } catch (const ReportError& error) {
            throw ReportError(origin + u", línea "_s + QString::number(lineNumber) + u": "_s +
                              QString::fromStdString(error.what()));
        }
    }
    if (!layoutFound)
        throw ReportError(origin + u": falta la sección [layout]"_s);
    // Ligatures would turn "fi" into one glyph and the PDF text would no longer read as typed.
    definition.m_font.setStyleStrategy(QFont::PreferNoShaping);

    const QRectF printable = definition.m_pageLayout.paintRect(QPageLayout::Millimeter);
    if (printable.width() < 20 || printable.height() < 20)
        throw ReportError(origin + u": los márgenes no dejan lugar en la página"_s);
    definition.checkLayout(origin);
    return definition;
}

void ReportDefinition::setReportKey(const QString& name, const QString& value)
{
    const QString key = name.toLower();
    const QStringList words = value.split(u' ', Qt::SkipEmptyParts);
    if (key == u"title") {
        m_title = value;
    } else if (key == u"parameters") {
        addParameters(value);
    } else if (key == u"page") {
        static const QHash<QString, QPageSize::PageSizeId> sizes{
            {u"a4"_s, QPageSize::A4}, {u"letter"_s, QPageSize::Letter}, {u"legal"_s, QPageSize::Legal}};
        if (words.isEmpty() || words.size() > 2 || !sizes.contains(words[0].toLower()))
            throw ReportError(u"página no válida (A4, Letter o Legal, y portrait o landscape): "_s + value);
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        if (words.size() == 2) {
            const QString word = words[1].toLower();
            if (word == u"landscape")
                orientation = QPageLayout::Landscape;
            else if (word != u"portrait")
                throw ReportError(u"orientación no válida (portrait o landscape): "_s + words[1]);
        }
        m_pageLayout.setPageSize(QPageSize(sizes.value(words[0].toLower())));
        m_pageLayout.setOrientation(orientation);
    } else if (key == u"margins") {
        QList<double> mm;
        for (const QString& word : words) {
            bool ok = false;
            const double number = word.toDouble(&ok);
            if (!ok || number < 0)
                throw ReportError(u"margen no válido: "_s + word);
            mm.append(number);
        }
        QMarginsF margins; // top right bottom left, as in CSS
        if (mm.size() == 1)
            margins = QMarginsF(mm[0], mm[0], mm[0], mm[0]);
        else if (mm.size() == 2)
            margins = QMarginsF(mm[1], mm[0], mm[1], mm[0]);
        else if (mm.size() == 4)
            margins = QMarginsF(mm[3], mm[0], mm[1], mm[2]);
        else
            throw ReportError(u"se esperaban 1, 2 o 4 márgenes en mm: "_s + value);
        if (!m_pageLayout.setMargins(margins))
            throw ReportError(u"los márgenes no caben en la página: "_s + value);
    } else if (key == u"font") {
        bool ok = false;
        const double points = words.isEmpty() ? 0 : words.last().toDouble(&ok);
        if (words.size() < 2 || !ok || points < 4 || points > 72)
            throw ReportError(u"fuente no válida (familia y tamaño en puntos): "_s + value);
        m_font = QFont(QStringList(words.mid(0, words.size() - 1)).join(u' '));
        m_font.setPointSizeF(points);
    } else if (key == u"rows") {
        bool ok = false;
        const int rows = value.toInt(&ok);
        if (!ok || rows < 1)
            throw ReportError(u"cantidad de filas no válida: "_s + value);
        m_rowLimit = rows;
    } else if (key == u"copies") {
        m_copies.clear();
        for (const QString& copy : value.split(u'|')) {
            if (copy.trimmed().isEmpty())
                throw ReportError(u"copia sin nombre: "_s + value);
            m_copies.append(copy.trimmed());
        }
    } else {
        throw ReportError(u"clave desconocida en [report]: "_s + name);
    }
}

QStringList ReportDefinition::expandRange(const QString& entry)
{
    static const QRegularExpression range(u"^(.+)\\{(\\d+)\\.\\.(\\d+)\\}$"_s);
    const QRegularExpressionMatch match = range.match(entry);
    if (!match.hasMatch())
        return {entry};
    const int first = match.captured(2).toInt();
    const int last = match.captured(3).toInt();
    if (first > last || last - first >= 1000)
        throw ReportError(u"rango de nombres no válido: "_s + entry);
    QStringList names;
    for (int n = first; n <= last; ++n)
        names.append(match.captured(1) + QString::number(n));
    return names;
}

void ReportDefinition::addParameters(const QString& list)
{
    for (const QString& item : list.split(u',')) {
        const QString entry = item.trimmed();
        if (entry.isEmpty())
            continue;
        for (const QString& name : expandRange(entry)) {
            requireName(name, u"parámetro"_s);
            if (isReserved(name))
                throw ReportError(u"\""_s + name + u"\" es un nombre reservado de la plantilla"_s);
            const bool repeated = std::any_of(m_parameters.cbegin(), m_parameters.cend(), [&](const QString& known) {
                return known.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (repeated)
                throw ReportError(u"parámetro repetido: "_s + name);
            m_parameters.append(name);
        }
    }
}

void ReportDefinition::setFormat(const QString& field, const QString& pattern)
{
    static const QRegularExpression number(u"^[#,]*0+(\\.0+)?$"_s);
    requireName(field, u"campo"_s);
    if (pattern != datePattern && !number.match(pattern).hasMatch())
        throw ReportError(u"formato no válido (por ejemplo ##,##0.00, 0000000000 o date): "_s + pattern);
    m_formats.insert(field.toLower(), pattern);
}

void ReportDefinition::checkLayout(const QString& origin)
{
    m_template = std::make_shared<Template>(m_layout);
    if (!m_template->mustache.is_valid())
        throw ReportError(origin + u": plantilla no válida: "_s +
                          QString::fromStdString(m_template->mustache.error_message()));

    // Outside the row band every tag must name a declared parameter, so that a misspelt name is found when
    // the file is opened instead of printing an empty box. Inside the band any name may be a field.
    QStringList declared;
    for (const QString& name : std::as_const(m_parameters))
        declared.append(name.toLower());
    static const QRegularExpression tag(u"\\{\\{(\\{?)\\s*([#^/&!>=]?)(.*?)\\}\\}"_s,
                                        QRegularExpression::DotMatchesEverythingOption);
    QStringList sections;
    m_usedNames.clear();
    // Values are marked in the filled text unless the layout holds a marker's character itself, or shows a
    // value unescaped, as HTML of its own.
    m_markable =
        std::none_of(m_layout.cbegin(), m_layout.cend(), [](QChar c) { return FilledLayout::markerIndex(c) >= 0; });
    for (QRegularExpressionMatchIterator it = tag.globalMatch(m_layout); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString sigil = match.captured(2);
        const QString name = match.captured(3).trimmed().toLower();
        const auto fail = [&](const QString& message) {
            const int line = m_layoutLine + static_cast<int>(m_layout.left(match.capturedStart()).count(u'\n'));
            throw ReportError(origin + u", línea "_s + QString::number(line) + u": "_s + message);
        };
        if (sigil == u"!")
            continue;
        if (sigil == u"=" || sigil == u">")
            fail(u"la plantilla no admite cambiar delimitadores ni incluir otras plantillas: "_s + match.captured(0));
        if (sigil == u"/") {
            if (!sections.isEmpty())
                sections.removeLast();
            continue;
        }
        if (!match.captured(1).isEmpty() || sigil == u"&")
            m_markable = false;
        const bool inRows = sections.contains(rowsList);
        const bool known = inRows || name == u"." || declared.contains(name) || name == rowsList ||
                           name == blankRowsList || name == copiesList ||
                           ((name == copyName || name == lastCopy) && sections.contains(copiesList));
        if (!known)
            fail(u"{{"_s + match.captured(3).trimmed() + u"}} no es un parámetro declarado"_s);
        m_usedNames.append(name);
        if (sigil == u"#" || sigil == u"^")
            sections.append(name);
    }
}

QStringList ReportDefinition::unusedParameters() const
{
    QStringList unused;
    for (const QString& name : m_parameters) {
        if (!m_usedNames.contains(name.toLower()))
            unused.append(name);
    }
    return unused;
}

ReportDefinition::Display ReportDefinition::display(const QString& lower) const
{
    Display display;
    if (const auto map = m_maps.constFind(lower); map != m_maps.cend())
        display.map = &*map;
    if (const auto otherwise = m_mapDefaults.constFind(lower); otherwise != m_mapDefaults.cend())
        display.otherwise = &*otherwise;
    if (const auto format = m_formats.constFind(lower); format != m_formats.cend())
        display.format = &*format;
    return display;
}

std::optional<QString> ReportDefinition::mapped(const Display& display, const QString& value)
{
    if (!display.map)
        return std::nullopt;
    if (const auto hit = display.map->constFind(value.trimmed()); hit != display.map->cend())
        return *hit;
    if (display.otherwise)
        return *display.otherwise;
    return std::nullopt;
}

QString ReportDefinition::parameterText(const QString& name, const QString& value) const
{
    return mapped(display(name.toLower()), value).value_or(value);
}

QString ReportDefinition::fieldText(const QString& field, const db::Value& value) const
{
    return shownText(display(field.toLower()), value);
}

QString ReportDefinition::shownText(const Display& display, const db::Value& value)
{
    // Only a field with a map needs its value as text before it is formatted.
    if (display.map) {
        if (const auto shown = mapped(display, value.isNull() ? QString() : value.toString()))
            return *shown;
    }
    if (display.format && !value.isNull())
        return formatted(value, *display.format);
    return value.toString();
}

QString ReportDefinition::render(const QHash<QString, QString>& parameters, const std::vector<ReportRow>& rows) const
{
    return fill(parameters, rows).html();
}

FilledLayout ReportDefinition::fill(const QHash<QString, QString>& parameters, const std::vector<ReportRow>& rows) const
{
    if (m_markable) {
        Values marked(true);
        const QString text = render(parameters, rows, marked);
        if (!marked.spoilt())
            return FilledLayout(text, marked.take());
    }
    Values plain(false);
    return FilledLayout(render(parameters, rows, plain));
}

QString ReportDefinition::render(const QHash<QString, QString>& parameters, const std::vector<ReportRow>& rows,
                                 Values& values) const
{
    // Only the names the layout uses are given to it: nothing could show the others.
    Data root;
    for (const QString& name : m_parameters) {
        const QString lower = name.toLower();
        if (m_usedNames.contains(lower))
            root[lower.toStdString()] = values.data(parameterText(name, parameters.value(name)));
    }

    const std::size_t shown = m_rowLimit > 0 ? std::min(rows.size(), std::size_t(m_rowLimit)) : rows.size();
    Data rowList(Data::type::list);
    // The rows of a table share their names: how each field shows, and whether the layout names it at all, is
    // looked up once.
    struct Column
    {
        QString name;
        std::string key;
        bool used = false;
        Display display;
    };
    std::vector<Column> columns;
    for (std::size_t r = 0; r < shown; ++r) {
        Data fields;
        const ReportRow& row = rows[r];
        for (int i = 0; i < row.size(); ++i) {
            if (std::size_t(i) >= columns.size() || columns[i].name != row.name(i)) {
                columns.resize(std::max(columns.size(), std::size_t(i) + 1));
                const QString lower = row.name(i).toLower();
                columns[i] = {row.name(i), lower.toStdString(), m_usedNames.contains(lower), display(lower)};
            }
            if (columns[i].used)
                fields[columns[i].key] = values.data(shownText(columns[i].display, row.value(i)));
        }
        rowList.push_back(fields);
    }
    root[key(rowsList)] = std::move(rowList);

    Data blankRows(Data::type::list);
    for (std::size_t r = shown; r < std::size_t(m_rowLimit); ++r)
        blankRows.push_back(Data());
    root[key(blankRowsList)] = std::move(blankRows);

    Data copyList(Data::type::list);
    const QStringList copies = m_copies.isEmpty() ? QStringList{QString()} : m_copies;
    for (qsizetype i = 0; i < copies.size(); ++i) {
        Data copy;
        copy[key(copyName)] = values.data(copies[i]);
        copy[key(lastCopy)] = Data(i == copies.size() - 1);
        copyList.push_back(copy);
    }
    root[key(copiesList)] = std::move(copyList);

    CaseInsensitiveContext context(&root);
    kainjow::mustache::mustache& compiled = m_template->mustache;
    const std::string text = compiled.render(context);
    if (!compiled.is_valid())
        throw ReportError(u"no se pudo completar la plantilla: "_s + QString::fromStdString(compiled.error_message()));
    return QString::fromStdString(text);
}

} // namespace report
