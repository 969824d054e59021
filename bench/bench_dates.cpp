// Date search speed. The search for a date inside a line runs on every key release over the
// first six lines whenever they hold no date, so long lines made to look almost like dates must
// still convert quickly: the search has to stay linear in the line's length.
#include "convert/convertinfotext.h"
#include "convert/daterecogniser.h"
#include "convert/textterms.h"
#include "hostilelines.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace tapewright;
using namespace benchfixtures;

namespace {

QLocale unitedStates()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

// Six first lines of 32,000 characters that hold no date: the whole conversion.
void BM_HostileFirstLines(benchmark::State &state)
{
    static const QString text = hostileText();
    ConvertOptions options;
    options.locale = unitedStates();
    const QString xml = ConvertInfoText(text, options);
    if (xml.isEmpty() || xml.contains(u"<DATE>")) {
        std::fprintf(stderr, "hostile lines must convert and hold no date\n");
        std::abort();
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertInfoText(text, options));
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}

// The search alone on one hostile line, to see which shape costs most.
void BM_DateInsideOneLine(benchmark::State &state)
{
    static const QStringList lines = hostileLines();
    const QString lower = LowerCased(lines.at(state.range(0)));
    const DateLocale &locale = DateLocale::of(unitedStates());
    if (FindDateInside(lower, locale)) {
        std::fprintf(stderr, "hostile line %d holds a date\n", int(state.range(0)));
        std::abort();
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(FindDateInside(lower, locale));
    state.SetBytesProcessed(int64_t(state.iterations()) * lower.size() * 2);
}

// The recogniser as the cover filler and pass 2 use it: whole short texts.
void BM_RecogniseShortTexts(benchmark::State &state)
{
    const QStringList texts = {u"5/8/1977"_qs,     u"May 8th, 1977"_qs, u"augu 8, 1977"_qs,
                               u"Blue Lantern"_qs, u"1977-05-08"_qs,    u"Venue Town Hall"_qs};
    const DateLocale &locale = DateLocale::of(unitedStates());
    for (auto _ : state) {
        for (const QString &t : texts)
            benchmark::DoNotOptimize(RecogniseDate(t, locale));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * texts.size());
}

} // namespace

BENCHMARK(BM_HostileFirstLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DateInsideOneLine)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecogniseShortTexts)->Unit(benchmark::kNanosecond);
