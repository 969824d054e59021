// Disc and track recognition on a long show: four discs of 50 numbered tracks with times, set
// breaks, an encore and a notes block, converted as on every key release.
#include "convert/convertinfotext.h"
#include "convert/discs.h"
#include "convert/infolines.h"

#include <benchmark/benchmark.h>

using namespace tapewright;

namespace {

QString fourDiscShow()
{
    QStringList lines{
        u"Blue Lantern"_qs,
        u"May 8th, 1977"_qs,
        u"Venue Town Hall"_qs,
        u"City Springfield"_qs,
        u"State Illinois"_qs,
        u"Source: SBD > Reel > DAT > CD-R > EAC > FLAC"_qs,
        u"Lineage: transferred by a friend of the band, 2004"_qs,
        u""_qs,
    };
    int track = 0;
    for (int disc = 1; disc <= 4; ++disc) {
        lines << QStringLiteral("Disc %1 (total 71:20)").arg(disc);
        for (int t = 1; t <= 50; ++t) {
            ++track;
            if (t == 26)
                lines << u"Set II"_qs << u"-------"_qs;
            const QString title = t % 7 == 0 ? QStringLiteral("Jam > Drums > Space")
                                             : QStringLiteral("Song Number %1 (live)").arg(track);
            lines << QStringLiteral("%1. %2 [%3:%4]")
                         .arg(t, 2, 10, QLatin1Char('0'))
                         .arg(title)
                         .arg(3 + t % 9)
                         .arg(t % 60, 2, 10, QLatin1Char('0'));
        }
        lines << u""_qs;
    }
    lines << u"Notes:"_qs << u"Soundboard recording, minor hiss on disc 2."_qs
          << u"Closer was played as the encore."_qs << u""_qs << u"Traded freely, never sold."_qs;
    return lines.join(u"\r\n") + QStringLiteral("\r\n");
}

const QString &fixture()
{
    static const QString text = fourDiscShow();
    return text;
}

void BM_FourDiscs200Tracks(benchmark::State &state)
{
    ConvertOptions options;
    options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    const QString &text = fixture();
    if (!ConvertInfoText(text, options).contains(u"<TRACKSD4>50</TRACKSD4>"_qs))
        state.SkipWithError("the four-disc show no longer gives 50 tracks on disc 4");
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertInfoText(text, options));
}

// Only this file's part of the conversion: headers, ranges and track records.
void BM_FindDiscsFourDiscs200Tracks(benchmark::State &state)
{
    const InfoLines lines = InfoLines::cut(fixture());
    for (auto _ : state)
        benchmark::DoNotOptimize(FindDiscs(lines));
}

} // namespace

BENCHMARK(BM_FourDiscs200Tracks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindDiscsFourDiscs200Tracks)->Unit(benchmark::kMicrosecond);
