#pragma once

#include <QByteArray>

class QIODevice;

/// Reads an interface file one line at a time through a fixed buffer, so that memory does not grow
/// with the file. Lines end in CR LF, LF or CR; a last line without a line end still counts.
/// Only the first bytes of a line are kept (a record has 80 bytes, the rest is ignored), so even a
/// file with no line ends at all is read in constant memory.
class InterfaceFileReader
{
public:
    /// One line as read from the file, without its line end.
    struct Line
    {
        QByteArray head;   ///< the line's first bytes, at most keptBytes
        bool blank = true; ///< nothing but blanks (spaces, tabs), or empty
    };

    static constexpr qsizetype keptBytes = 80;

    /// Reads from a device already open for reading.
    explicit InterfaceFileReader(QIODevice& device);

    /// Reads the next line; false at the end of the file or after a read error.
    [[nodiscard]] bool next(Line& line);

    /// Bytes of the file consumed so far, line ends included.
    [[nodiscard]] qint64 position() const { return m_consumedBefore + m_pos; }
    /// True when the device reported an error; the lines returned before it are good.
    [[nodiscard]] bool failed() const { return m_failed; }

private:
    /// Refills the buffer; false at the end of the file or on an error.
    bool fill();

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    qint64 m_consumedBefore = 0;
    bool m_skipLineFeed = false; ///< the last line ended in CR: a LF right after it belongs to it
    bool m_atStart = true;
    bool m_failed = false;
};
