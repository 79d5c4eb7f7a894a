#include "MarkedForm.h"

#include "FilledLayout.h"
#include "ReportDocument.h"

#include <QPageLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

namespace report {

namespace {

bool isMarker(QChar c)
{
    return FilledLayout::markerIndex(c) >= 0;
}

// A marker right after "&name" or "<" of the layout would run into it once replaced: "&amp" and "5" read as
// one unknown entity, "<" and "b" as a tag.
bool runsIntoMarkup(const QString& text, qsizetype marker)
{
    qsizetype start = marker;
    while (start > 0 && (text[start - 1].isLetterOrNumber() || text[start - 1] == u'#'))
        --start;
    if (start > 0 && text[start - 1] == u'/')
        --start;
    return start > 0 && (text[start - 1] == u'&' || text[start - 1] == u'<');
}

// A marker of a read text: where it stands in a document the text is inserted into whole, and the character
// after it there.
struct Found
{
    int position;
    QChar marker;
    QChar next;
};

// The markers of a read text, in order.
std::vector<Found> markersOf(const QTextDocumentFragment& text)
{
    QTextDocument inserted;
    inserted.setUndoRedoEnabled(false);
    QTextCursor(&inserted).insertFragment(text);
    std::vector<Found> markers;
    for (QTextBlock block = inserted.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const int position = it.fragment().position();
            const QString piece = it.fragment().text();
            for (qsizetype i = 0; i < piece.size(); ++i) {
                if (isMarker(piece[i]))
                    markers.push_back({position + static_cast<int>(i), piece[i],
                                       inserted.characterAt(position + static_cast<int>(i) + 1)});
            }
        }
    }
    return markers;
}

} // namespace

MarkedForm::MarkedForm(const QString& marked) : m_text(qCompress(marked.toUtf8())) {}

QString MarkedForm::text() const
{
    return QString::fromUtf8(qUncompress(m_text));
}

void MarkedForm::forget()
{
    m_read = false;
    m_reading.reset();
}

const MarkedForm::Reading* MarkedForm::reading(const QPageLayout& layout, const QFont& font)
{
    const qreal width = layout.paintRect(QPageLayout::Point).width();
    if (m_read && width == m_width && font == m_font)
        return m_reading ? &*m_reading : nullptr;
    m_read = true;
    m_width = width;
    m_font = font;
    m_reading.reset();

    const QString marked = text();
    qsizetype markers = 0;
    for (qsizetype i = 0; i < marked.size(); ++i) {
        if (!isMarker(marked[i]))
            continue;
        if (runsIntoMarkup(marked, i))
            return nullptr;
        ++markers;
    }
    QTextDocument source;
    ReportDocument::read(source, marked, layout, font);
    Reading reading{source.rootFrame()->frameFormat(), QTextDocumentFragment(&source), {}};
    // The markers are looked for where a sheet's document will have them: in a document the text is inserted
    // into. Each must be there, as text.
    const std::vector<Found> found = markersOf(reading.text);
    if (static_cast<qsizetype>(found.size()) != markers)
        return nullptr;

    // The reader turns a space into a no-break space where the layout asks for no wrapping: the text read
    // once more with a space after each marker, and the marker again, shows what each marker's spaces become.
    QString spaced;
    spaced.reserve(marked.size() + 2 * markers);
    for (const QChar c : marked) {
        spaced.append(c);
        if (isMarker(c))
            spaced.append(u' ').append(c);
    }
    QTextDocument spacedSource;
    ReportDocument::read(spacedSource, spaced, layout, font);
    const std::vector<Found> pairs = markersOf(QTextDocumentFragment(&spacedSource));
    if (pairs.size() != 2 * found.size())
        return nullptr;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Found& first = pairs[2 * i];
        const Found& second = pairs[2 * i + 1];
        if (first.marker != found[i].marker || second.marker != first.marker || second.position != first.position + 2 ||
            (first.next != u' ' && first.next != QChar::Nbsp))
            return nullptr;
        reading.markers.push_back({found[i].position, FilledLayout::markerIndex(first.marker), first.next});
    }
    // Replaced last first, so that a value longer or shorter than its marker moves none still to replace.
    std::sort(reading.markers.begin(), reading.markers.end(),
              [](const Reading::Marker& a, const Reading::Marker& b) { return a.position > b.position; });
    m_reading = std::move(reading);
    return &*m_reading;
}

bool MarkedForm::fit(const Reading& reading, const QStringList& values)
{
    return std::all_of(reading.markers.cbegin(), reading.markers.cend(), [&](const Reading::Marker& marker) {
        return marker.value < values.size() && isPlain(values.at(marker.value));
    });
}

bool MarkedForm::isPlain(const QString& value)
{
    if (value.isEmpty() || value.front() == u' ' || value.back() == u' ' || value.contains(u"  "))
        return false;
    return std::all_of(value.cbegin(), value.cend(), [](QChar c) {
        return c == u' ' || (c.isPrint() && !c.isSpace() && c != QChar::ObjectReplacementCharacter);
    });
}

} // namespace report
