// Date search speed. The search for a date inside a line runs on every key release over the
// first six lines whenever they hold no date, so long lines made to look almost like dates must
// still convert quickly: the search has to stay linear in the line's length.
#include "convertinfotext.h"
#include "daterecogniser.h"
#include "textterms.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace tapewright;

namespace {

constexpr qsizetype LineLength = 32'000;

QLocale unitedStates()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QString repeatedTo(const QString &unit, qsizetype length)
{
    QString line;
    line.reserve(length + unit.size());
    while (line.size() < length)
        line += unit;
    line.truncate(length);
    return line;
}

// Lines that hold no date but keep every start busy: long runs of blanks between month words
// and numbers, digit runs, separators of every kind and month-name prefixes. Days and months of
// zero make every near date invalid, so nothing prunes the search early.
QStringList hostileLines()
{
    const QString blanks(40, u' ');
    return {
        repeatedTo(u"Augu"_qs + blanks + u"00"_qs + blanks + u" , "_qs + blanks + u"00 "_qs,
                   LineLength),
        repeatedTo(u"00/00/1000/00-00-1000-00.00.1000.0/0/10/"_qs, LineLength),
        repeatedTo(u"Sept/00/1990/augu-00-00-May/00/00 Mar 0,"_qs, LineLength),
        repeatedTo(u"0"_qs + blanks + u"may"_qs + blanks + u",1000"_qs + blanks + u"0 jun, "_qs,
                   LineLength),
        repeatedTo(u"01234567890000000000000000000000/-.,"_qs, LineLength),
        repeatedTo(u"augaugaugseptembe decembe 0 octob "_qs, LineLength),
    };
}

QString hostileText()
{
    QString text = hostileLines().join(u"\r\n");
    text += u"\r\nVenue Town Hall\r\n\r\nDisc 1\r\n1. Opener 4:56\r\n"_qs;
    return text;
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
