#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextDocumentFragment>
#include <QTextFrameFormat>

#include <optional>
#include <vector>

class QPageLayout;

namespace report {

/// The marked text the sheets of a form share (see FilledLayout), and the text document it makes, read once
/// for a page width and font. A sheet's document is then that document copied, with each marker replaced by
/// the sheet's value: the document its filled HTML would make, without reading the HTML again.
///
/// That holds when every marker ends up as text of the document (none in a tag, an attribute or a comment,
/// none right after a "&" or "<" it would run into), and for a value that is plain text (see isPlain()), which
/// the HTML reader takes as it is written. A sheet whose values are not is read from its filled HTML.
class MarkedForm
{
public:
    explicit MarkedForm(const QString& marked);

    /// The marked text, read.
    struct Reading
    {
        QTextFrameFormat root; // what the text's <body> sets
        QTextDocumentFragment text;
        struct Marker
        {
            int position; // in a document the text is inserted into whole
            int value;
            QChar space; // what the reader makes of a space there: a space, or a no-break space
        };
        /// Last first.
        std::vector<Marker> markers;
    };

    /// The reading for a page layout and font (made now, unless it is the one made last); null when the
    /// markers cannot be replaced.
    [[nodiscard]] const Reading* reading(const QPageLayout& layout, const QFont& font);
    /// Lets the reading go: it holds the form's whole document.
    void forget();

    /// The marked text.
    [[nodiscard]] QString text() const;
    /// Whether `values` can replace the markers of a reading: each value a marker stands for is plain text.
    [[nodiscard]] static bool fit(const Reading& reading, const QStringList& values);
    /// Whether the HTML reader takes a value as it is written: printable characters, and single spaces
    /// between them, which no reader collapses or drops.
    [[nodiscard]] static bool isPlain(const QString& value);

private:
    QByteArray m_text; // compressed
    bool m_read = false;
    qreal m_width = 0;
    QFont m_font;
    std::optional<Reading> m_reading;
};

} // namespace report
