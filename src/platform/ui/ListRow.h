#pragma once

#include <QString>
#include <QStringView>

#include <concepts>

namespace ui {

/// A row for ListGrid::addRow, written cell after cell in column order. One row serves a whole load: the grid
/// takes its cells and empties it, keeping its room.
class ListRow
{
public:
    /// Appends a cell holding `text` as given. A Tab, which the grid keeps between cells, shows as a blank.
    ListRow& operator<<(QStringView text)
    {
        QChar* at = startCell(text.size());
        for (const QChar c : text)
            *at++ = c == u'\t' ? u' ' : c;
        return *this;
    }
    /// Appends a cell whose text `write` appends to the string it is given, with no Tab in it: a number
    /// formatted in place needs no string of its own.
    template <typename Write>
    requires std::invocable<Write&, QString&> ListRow& operator<<(Write&& write)
    {
        startCell(0);
        write(m_text);
        return *this;
    }

    /// Empties the row, keeping its room.
    void clear()
    {
        m_text.resize(0); // clear() would give the room back
        m_empty = true;
    }

private:
    friend class ListGridModel;

    /// Makes room for a cell of `size` characters after its separator, and tells where they go. Written in
    /// place, since a long list writes millions of cells.
    QChar* startCell(qsizetype size)
    {
        const qsizetype from = m_text.size();
        m_text.resize(from + (m_empty ? 0 : 1) + size);
        QChar* at = m_text.data() + from;
        if (!m_empty)
            *at++ = u'\t';
        m_empty = false;
        return at;
    }

    /// The cells, a Tab between each two, as the grid stores them.
    QString m_text;
    bool m_empty = true;
};

} // namespace ui
