#include "InterfaceFileReader.h"

#include <QIODevice>

#include <algorithm>

namespace {

constexpr qsizetype bufferSize = 64 * 1024;

} // namespace

InterfaceFileReader::InterfaceFileReader(QIODevice& device) : m_device(device), m_buffer(bufferSize, Qt::Uninitialized)
{}

bool InterfaceFileReader::fill()
{
    m_consumedBefore += m_end;
    m_pos = 0;
    m_end = 0;
    qint64 got = m_device.read(m_buffer.data(), m_buffer.size());
    // A device may give the first bytes a few at a time: enough are read for a byte-order mark to be seen whole.
    while (m_atStart && got > 0 && got < 3) {
        const qint64 more = m_device.read(m_buffer.data() + got, m_buffer.size() - got);
        if (more < 0)
            got = -1;
        if (more <= 0)
            break;
        got += more;
    }
    if (got < 0) {
        m_failed = true;
        return false;
    }
    m_end = static_cast<qsizetype>(got);
    if (m_atStart && m_end > 0) {
        m_atStart = false;
        // A file saved by an editor that marks UTF-8 starts with a byte-order mark; it is not part of the record.
        if (m_end >= 3 && m_buffer.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
    }
    return m_end > 0;
}

bool InterfaceFileReader::next(Line& line)
{
    // resize(0) keeps the allocation, so reading a line allocates nothing after the first one.
    line.head.resize(0);
    line.head.reserve(keptBytes);
    line.blank = true;
    bool anyByte = false;
    for (;;) {
        if (m_pos == m_end && !fill())
            return anyByte && !m_failed;
        const char* data = m_buffer.constData();
        if (m_skipLineFeed) {
            m_skipLineFeed = false;
            if (data[m_pos] == '\n') {
                ++m_pos;
                continue;
            }
        }
        // The bytes up to the line end (or the end of the buffer), kept and tested in one go.
        const char* begin = data + m_pos;
        const char* end = data + m_end;
        const char* stop = begin;
        while (stop != end && *stop != '\n' && *stop != '\r')
            ++stop;
        if (stop != begin) {
            anyByte = true;
            const qsizetype room = keptBytes - line.head.size();
            if (room > 0)
                line.head.append(begin, std::min<qsizetype>(room, stop - begin));
            for (const char* p = begin; line.blank && p != stop; ++p)
                line.blank = *p == ' ' || *p == '\t';
        }
        m_pos = stop - data;
        if (stop == end)
            continue;
        ++m_pos;
        m_skipLineFeed = *stop == '\r';
        return true;
    }
}
