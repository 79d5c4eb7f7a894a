#pragma once

#include <QString>
#include <QStringList>

namespace report {

/// A report's layout filled for one sheet, kept as its text with a marker in place of each value it shows,
/// and the values. The sheets of one printing of a form differ mostly in their values alone: their marked
/// texts are then the same, and the document that text makes can be read once for all of them (MarkedForm).
///
/// A marker is one character of Unicode's private use area, the index of its value counted from the first;
/// the same value may show in several places. A layout that holds such characters itself, or shows a value
/// unescaped, or a value that holds one, gives an unmarked text: the filled HTML as it is.
class FilledLayout
{
public:
    /// The filled HTML, unmarked.
    explicit FilledLayout(QString html) : m_text(std::move(html)) {}
    /// A text whose markers stand for `values`.
    FilledLayout(QString marked, QStringList values)
        : m_text(std::move(marked)), m_values(std::move(values)), m_marked(true)
    {}

    [[nodiscard]] bool isMarked() const { return m_marked; }
    /// The marked text, or the filled HTML when unmarked.
    [[nodiscard]] const QString& text() const { return m_text; }
    [[nodiscard]] const QStringList& values() const { return m_values; }
    /// The filled HTML: each marker replaced by its value, escaped as the layout's tags escape it.
    [[nodiscard]] QString html() const;

    /// At most this many values are marked; any others stand in the text as they are.
    static constexpr int maxMarkers = 0xF900 - 0xE000;
    [[nodiscard]] static QChar marker(int index) { return QChar(char16_t(0xE000 + index)); }
    /// The value a character of a marked text stands for; -1 when it is no marker.
    [[nodiscard]] static int markerIndex(QChar c)
    {
        return c.unicode() >= 0xE000 && c.unicode() < 0xE000 + maxMarkers ? c.unicode() - 0xE000 : -1;
    }

private:
    QString m_text;
    QStringList m_values;
    bool m_marked = false;
};

} // namespace report
