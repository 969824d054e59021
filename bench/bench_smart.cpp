// Smart recognition speed. It runs on every key release like the classic converter, so a real
// info text must be read in a few tens of microseconds, the cost must grow linearly with the
// text, and the worst first lines must not freeze the window.
#include "common/textfile.h"
#include "hostilelines.h"
#include "smart/recogniseinfotext.h"

#include <benchmark/benchmark.h>

#include <QDir>

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

} // namespace

BENCHMARK(BM_SmartCorpus)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmartScaled)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmartHostileFirstLines)->Unit(benchmark::kMillisecond);
