#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdlib>
#include <vector>

/// A field of the process's /proc/self/status ("VmHWM", the peak resident memory; "VmRSS"), in KiB; -1
/// when it cannot be read.
inline long statusKib(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(name) + ':';
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(prefix))
            return std::atol(line.constData() + prefix.size());
    }
    return -1;
}

/// The line counts given on a benchmark's command line ("bench_x 50000 200000"), or `defaults` when none is.
inline std::vector<long> lineCounts(int argc, char** argv, std::vector<long> defaults)
{
    std::vector<long> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atol(argv[i]));
    return counts.empty() ? defaults : counts;
}
