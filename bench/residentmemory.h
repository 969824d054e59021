// What the benchmark process holds in memory, for the benchmarks that bound memory.
#pragma once

#include <QByteArray>
#include <QFile>

// The largest resident size of the process so far ("VmHWM:") or the present one ("VmRSS:"), in
// bytes, as Linux reports them; -1 when they cannot be read.
inline qint64 ResidentBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}
