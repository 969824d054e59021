// Writing a setting into the largest settings file the program accepts: closing the window
// writes five keys, each a read and a rewrite of the whole file, so a write must cost time in
// proportion to the file, not to its square.
#include "common/settings.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace tapewright;

namespace {

// Just under 1 MiB of small sections in Windows-1252, another program's, with CR LF ends, and
// the program's own section last, so that a write reads all of them.
QByteArray largestSettingsFile()
{
    const QByteArray own = "[Tapewright]\r\nTemplate=Jewel Case A4.odt\r\n";
    QByteArray bytes;
    for (int n = 0;; ++n) {
        const QByteArray section = "[Other program " + QByteArray::number(n) +
                                   "]\r\nK\xF6ln=Stra\xDF"
                                   "e " +
                                   QByteArray::number(n) + "\r\n\r\n";
        if (bytes.size() + section.size() + own.size() > 1024 * 1024)
            return bytes + own;
        bytes += section;
    }
}

void BM_SettingsWriteLargest(benchmark::State &state)
{
    // In memory where the system has it: the write is synced to its disk, which would set the
    // pace.
    QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                          ? QStringLiteral("/dev/shm/tapewright-bench-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/tapewright-bench-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("tapewright.ini"));
    QFile file(path);
    const QByteArray bytes = largestSettingsFile();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write the settings file %s\n", qPrintable(path));
        std::abort();
    }
    file.close();
    const QString section = QString::fromUtf16(SettingsSection);
    int n = 0;
    for (auto _ : state) {
        // A value other than the last: a write of the same value changes nothing.
        if (!WriteINIString(section, QStringLiteral("UserName"), QString::number(n++ % 2), path))
            state.SkipWithError("the settings write failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

} // namespace

BENCHMARK(BM_SettingsWriteLargest)->Unit(benchmark::kMillisecond);
