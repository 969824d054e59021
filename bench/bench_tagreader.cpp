// Reading the track list XML by tag: every field of a realistic cover, and the worst the cover
// filler can be asked for, a hand-edited track count of 32,767 in a large text.
#include "cover/fill/tagreader.h"

#include <benchmark/benchmark.h>

#include <QString>

using namespace tapewright;

namespace {

// Four discs of 25 tracks with times, as the converter writes them.
QString FourDiscXml()
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"
                                 "<BAND>Blue Lantern</BAND>\r\n<DATE>5/8/1977</DATE>\r\n"
                                 "<VENUE>Town Hall</VENUE>\r\n<DISCS>4</DISCS>\r\n");
    for (int n = 1; n <= 4; ++n)
        xml += QStringLiteral("<TRACKSD%1>25</TRACKSD%1>\r\n").arg(n);
    for (int n = 1; n <= 4; ++n) {
        for (int t = 1; t <= 25; ++t)
            xml += QStringLiteral("<D%1T%2>%2. Song title number %2</D%1T%2><D%1T%2Time>4:56"
                                  "</D%1T%2Time>\r\n")
                       .arg(n)
                       .arg(t);
    }
    return xml + QStringLiteral("</CDR_Track_List>");
}

// Every tag the filler reads for a four-disc cover: the seven fields, the counts, 100 tracks.
void BM_ReadCoverFields(benchmark::State &state)
{
    const QString xml = FourDiscXml();
    QStringList tags = {u"<band>"_qs,  u"<date>"_qs,   u"<venue>"_qs, u"<city>"_qs,
                        u"<state>"_qs, u"<source>"_qs, u"<notes>"_qs, u"<discs>"_qs};
    for (int n = 1; n <= 4; ++n) {
        tags << QStringLiteral("<TracksD%1>").arg(n);
        for (int t = 1; t <= 25; ++t)
            tags << QStringLiteral("<D%1T%2>").arg(n).arg(t);
    }
    for (auto _ : state) {
        const TagText text(xml);
        qsizetype total = 0;
        for (const QString &tag : tags)
            total += text.value(tag).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadCoverFields)->Unit(benchmark::kMicrosecond);

// 32,767 track tags asked of a 3.5-million-character text that holds none of them: one plain
// search per tag would scan the text 32,767 times.
void BM_ReadHugeTrackCount(benchmark::State &state)
{
    QString xml;
    for (int i = 0; i < 200000; ++i)
        xml += QStringLiteral("<D1T%1>x</D1T%1>\r\n").arg(i % 40);
    for (auto _ : state) {
        const TagText text(xml);
        qsizetype total = 0;
        for (int t = 1; t <= 32767; ++t)
            total += text.value(QStringLiteral("<D9T%1>").arg(t)).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadHugeTrackCount)->Unit(benchmark::kMillisecond);

} // namespace
