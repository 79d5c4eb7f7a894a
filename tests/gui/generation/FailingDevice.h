#pragma once

#include <QIODevice>

/// A device that passes what it is given on to another one until a number of bytes has gone through,
/// and then refuses every write, as a full or removed disk would.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(QIODevice& target, qint64 bytesBeforeFailure) : m_target(target), m_left(bytesBeforeFailure)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_left <= 0)
            return -1;
        const qint64 written = m_target.write(data, std::min(size, m_left));
        if (written > 0)
            m_left -= written;
        return written;
    }

private:
    QIODevice& m_target;
    qint64 m_left;
};
