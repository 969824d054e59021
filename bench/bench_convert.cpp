// Conversion speed: the converter runs on every key release, so a realistic info text must
// convert in well under a frame, and cost must grow linearly with the text.
#include "common/textfile.h"
#include "convert/convertinfotext.h"
#include "residentmemory.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <cstdio>
#include <cstdlib>

using namespace tapewright;

namespace {

QString fixture(const char *name)
{
    const QString path = QStringLiteral(TAPEWRIGHT_TEST_DATA "/") + QString::fromUtf8(name);
    const Result<DecodedText> r = ReadTextFile(path);
    if (!r) {
        std::fprintf(stderr, "benchmark fixture missing: %s\n", qPrintable(r.error()));
        std::abort();
    }
    return r->text;
}

ConvertOptions usOptions()
{
    ConvertOptions o;
    o.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return o;
}

void runConversion(benchmark::State &state, const QString &text)
{
    const ConvertOptions options = usOptions();
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertInfoText(text, options));
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}

void BM_WorkedExample(benchmark::State &state)
{
    static const QString text = fixture("worked-example.txt");
    runConversion(state, text);
}

// A 294-line info text with a checksum list, as collectors pass them around.
void BM_Realistic300Lines(benchmark::State &state)
{
    static const QString text =
        fixture("corpus/26-dylan-1987-07-lbdir-listing-md5-shntool-long.txt");
    runConversion(state, text);
}

// The real-world text repeated to the requested size: shows that cost is linear.
void BM_Scaled(benchmark::State &state)
{
    static const QString unit =
        fixture("corpus/26-dylan-1987-07-lbdir-listing-md5-shntool-long.txt");
    QString text;
    while (text.size() < state.range(0))
        text += unit;
    runConversion(state, text);
}

// Memory a conversion of 10 MB takes above what the text itself takes: the largest resident
// size during one conversion, less the resident size before it, per byte of the file (the
// realistic text is ASCII: a byte a character). The first conversion is measured, before any
// other has left memory behind for the next to reuse.
void BM_PeakMemory10MB(benchmark::State &state)
{
    static const QString unit =
        fixture("corpus/26-dylan-1987-07-lbdir-listing-md5-shntool-long.txt");
    const qsizetype size = 10'000'000;
    QString text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text += unit;
    const ConvertOptions options = usOptions();
    // Writing 5 to clear_refs sets the peak back to the present resident size.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const qint64 before = ResidentBytes("VmRSS:");
    if (before < 0 || !clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
        state.SkipWithError("no /proc/self to measure memory with");
        return;
    }
    clear.close();
    benchmark::DoNotOptimize(ConvertInfoText(text, options));
    const qint64 peak = ResidentBytes("VmHWM:");
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertInfoText(text, options));
    state.counters["bytes_per_input_byte"] = double(peak - before) / double(text.size());
}

} // namespace

BENCHMARK(BM_WorkedExample)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Realistic300Lines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Scaled)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeakMemory10MB)->Unit(benchmark::kMillisecond)->Iterations(3);
