// The interface file reader on any bytes, read whole and a few bytes at a time: the same lines, at most line
// ends + 1, each kept to 80 bytes, and all bytes consumed. Any 80 bytes cut into a record are safe too.

#include "import/InterfaceFileReader.h"
#include "import/InterfaceRecord.h"

#include <QBuffer>

#include <cstdlib>

/// A slow device: at most `step` bytes a read, a byte-order mark at the start included.
struct Trickle : QBuffer
{
    qint64 step;
    Trickle(QByteArray* bytes, qint64 s) : QBuffer(bytes), step(s) { open(ReadOnly | Unbuffered); }
    qint64 readData(char* d, qint64 n) override { return QBuffer::readData(d, std::min(n, step)); }
};

static std::vector<QByteArray> lines(QByteArray bytes, qint64 step)
{
    Trickle device(&bytes, step);
    InterfaceFileReader reader(device);
    std::vector<QByteArray> read;
    for (InterfaceFileReader::Line line; reader.next(line); read.push_back(line.head))
        if (line.head.size() > InterfaceFileReader::keptBytes)
            std::abort();
    if (reader.failed() || reader.position() != bytes.size())
        std::abort();
    return read;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto whole = lines(bytes, bytes.size());
    if (std::ssize(whole) > bytes.count('\n') + bytes.count('\r') + 1 ||
        (size > 0 && lines(bytes, 1 + data[0] % 7) != whole))
        std::abort();
    (void)InterfaceRecord::read(bytes.first(std::min<qsizetype>(size, 80)));
    return 0;
}
