// The check before a cover is made. The cover dialog runs it with a dry run of the chosen
// shipped template (filled and fitted in memory) when it opens and when another template is
// chosen, while the user waits; the main window runs it without a template on every XML the
// converter makes, on another thread, and an XML of megabytes must be checked in the time of
// a pause in typing.
#include "cover/fill/covercheck.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <cstdio>
#include <cstdlib>

using namespace tapewright;

namespace {

// discs discs of tracks tracks, each a title of about titleLength characters and a time.
QString showXml(int discs, int tracks, int titleLength)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>The "
                                 "Midnight Lantern Orchestra</BAND>\r\n<DATE>9/24/1976</DATE>\r\n"
                                 "<VENUE>Town Hall</VENUE>\r\n<DISCS>%1</DISCS>\r\n")
                      .arg(discs);
    const QString title(titleLength, u'x');
    for (int d = 1; d <= discs; ++d) {
        xml += QStringLiteral("<TRACKSD%1>%2</TRACKSD%1>\r\n").arg(d).arg(tracks);
        for (int t = 1; t <= tracks; ++t)
            xml += QStringLiteral("<D%1T%2>%2. %3</D%1T%2><D%1T%2Time>4:56</D%1T%2Time>\r\n")
                       .arg(d)
                       .arg(t)
                       .arg(title);
    }
    return xml + QStringLiteral("</CDR_Track_List>");
}

QString shippedTemplate()
{
    const QString path = QStringLiteral(TAPEWRIGHT_TEMPLATE_DIR "/Jewel Case A4.odt");
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "benchmark fixture missing: %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

// The dialog's check: four discs of 25 tracks, the shipped template filled and fitted.
void BM_CoverCheckDryRun(benchmark::State &state)
{
    const QString xml = showXml(4, 25, 30);
    CoverCheckOptions options;
    options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    options.templatePath = shippedTemplate();
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckCover(xml, options));
}
BENCHMARK(BM_CoverCheckDryRun)->Unit(benchmark::kMillisecond);

// The status bar's check of an XML of about 4 MB (4,000 tracks of 1,000 characters).
void BM_CoverCheckStatusLargeXml(benchmark::State &state)
{
    const QString xml = showXml(40, 100, 1000);
    CoverCheckOptions options;
    options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    options.dryRun = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(CoverCheckStatus(CheckCover(xml, options)));
    state.SetBytesProcessed(state.iterations() * xml.size() * 2);
}
BENCHMARK(BM_CoverCheckStatusLargeXml)->Unit(benchmark::kMillisecond);

} // namespace
