// Smart recognition speed and memory. It runs on every key release like the classic converter,
// so a real info text must be read in a few tens of microseconds, the cost must grow linearly
// with the text, and the worst first lines must not freeze the window. Whatever the text, what
// it holds while reading stays under 3 bytes a byte of the text.
#include "common/textfile.h"
#include "hostilelines.h"
#include "residentmemory.h"
#include "smart/recogniseinfotext.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>

using namespace tapewright;
using namespace benchfixtures;

namespace {

ConvertOptions usOptions()
{
    ConvertOptions o;
    o.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return o;
}

// The 30 real info texts of the labelled corpus.
const QStringList &corpus()
{
    static const QStringList texts = [] {
        const QDir dir(QStringLiteral(TAPEWRIGHT_TEST_DATA "/corpus"));
        QStringList out;
        for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            const Result<DecodedText> r = ReadTextFile(dir.filePath(name));
            if (!r) {
                std::fprintf(stderr, "benchmark fixture missing: %s\n", qPrintable(r.error()));
                std::abort();
            }
            out.append(r->text);
        }
        if (out.size() != 30) {
            std::fprintf(stderr, "benchmark corpus: %d files instead of 30\n", int(out.size()));
            std::abort();
        }
        return out;
    }();
    return texts;
}

// The whole corpus, 30 files, in each iteration: a thirtieth of the time is the average per file.
void BM_SmartCorpus(benchmark::State &state)
{
    const QStringList &texts = corpus();
    const ConvertOptions options = usOptions();
    int64_t bytes = 0;
    for (const QString &text : texts)
        bytes += text.size() * 2;
    for (auto _ : state) {
        for (const QString &text : texts)
            benchmark::DoNotOptimize(RecogniseInfoText(text, options));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * texts.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

// The whole corpus joined and repeated to the requested size: the cost per character stays.
void BM_SmartScaled(benchmark::State &state)
{
    const QString unit = corpus().join(u"\r\n");
    QString text;
    while (text.size() < state.range(0))
        text += unit;
    const ConvertOptions options = usOptions();
    for (auto _ : state)
        benchmark::DoNotOptimize(RecogniseInfoText(text, options));
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}

// Six first lines of 32,000 characters made to keep the date search busy.
void BM_SmartHostileFirstLines(benchmark::State &state)
{
    static const QString text = hostileText();
    const ConvertOptions options = usOptions();
    const QString xml = RecogniseInfoText(text, options);
    if (xml.isEmpty() || xml.contains(u"<DATE>")) {
        std::fprintf(stderr, "hostile lines must convert and hold no date\n");
        std::abort();
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(RecogniseInfoText(text, options));
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}

// Texts of 16 MiB, the most a file may hold, in the shapes that cost the most to read: the
// real corpus over and over, numbering that restarts every two tracks (a disc every twelve
// bytes), a line a word, the restarts with tabs, and a single line.
QString generatedText(int shape)
{
    static const QString units[] = {corpus().join(u"\r\n"), u"1. a\r\n2. b\r\n"_qs, u"a\r\n"_qs,
                                    u"1.\ta\r\n2.\tb\r\n"_qs, u"word "_qs};
    return repeatedTo(units[shape], 16 * 1024 * 1024);
}

// What one conversion holds above the text it is given and the document it returns: the
// largest resident size during the conversion, less the resident size before it and the
// document's size, per byte of the text (ASCII: a byte a character). The target is 3. The
// first conversion is measured.
void BM_SmartPeakMemory(benchmark::State &state)
{
    const QString text = generatedText(int(state.range(0)));
    const ConvertOptions options = usOptions();
    // Memory the benchmarks before have freed goes back to the system, so that what the
    // conversion reuses of it counts. Writing 5 to clear_refs sets the peak back to the present
    // resident size.
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const qint64 before = ResidentBytes("VmRSS:");
    if (before < 0 || !clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
        state.SkipWithError("no /proc/self to measure memory with");
        return;
    }
    clear.close();
    const qint64 document = RecogniseInfoText(text, options).size() * 2;
    const qint64 peak = ResidentBytes("VmHWM:");
    for (auto _ : state)
        benchmark::DoNotOptimize(RecogniseInfoText(text, options));
    const double perByte = double(peak - before - document) / double(text.size());
    state.counters["bytes_per_input_byte"] = perByte;
    state.counters["document_bytes_per_input_byte"] = double(document) / double(text.size());
    if (perByte > 3)
        state.SkipWithError("over 3 bytes a byte of the text");
}

} // namespace

BENCHMARK(BM_SmartCorpus)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmartScaled)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmartHostileFirstLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmartPeakMemory)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(1);
