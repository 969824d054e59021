// Filling a cover: the dialog's OK button opens a shipped template, fills all 36 bookmarks from
// a track list, fits the type of the tray card, spines and booklet to it and writes the cover,
// while the user waits.
#include "convertinfotext.h"
#include "coverfiller.h"
#include "filecoverdocument.h"
#include "textfile.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace tapewright;

namespace {

QString workedExampleXml()
{
    const Result<DecodedText> r =
        ReadTextFile(QStringLiteral(TAPEWRIGHT_TEST_DATA "/worked-example.txt"));
    if (!r) {
        std::fprintf(stderr, "benchmark fixture missing: %s\n", qPrintable(r.error()));
        std::abort();
    }
    ConvertOptions options;
    options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return ConvertInfoText(r->text, options);
}

// The heaviest show the tray card is made for: four discs of 25 tracks, every third title a
// long segue that wraps in its column.
QString fourDiscXml()
{
    const QStringList songs{QStringLiteral("Morning Dew"), QStringLiteral("Scarlet Begonias"),
                            QStringLiteral("Fire on the Mountain"),
                            QStringLiteral("Going Down the Road Feeling Bad"),
                            QStringLiteral("Uncle John's Band")};
    QStringList lines{QStringLiteral("<?xml version=\"1.0\"?>"), QStringLiteral("<CDR_Track_List>"),
                      QStringLiteral("<BAND>The Midnight Lantern Orchestra</BAND>"),
                      QStringLiteral("<DATE>9/24/1976</DATE>"), QStringLiteral("<DISCS>4</DISCS>")};
    int song = 0;
    for (int d = 1; d <= 4; ++d) {
        lines << QStringLiteral("<TRACKSD%1>25</TRACKSD%1>").arg(d);
        for (int t = 1; t <= 25; ++t) {
            QString title = songs.at(song++ % songs.size());
            if (t % 3 == 0) {
                const QString second = songs.at(song++ % songs.size());
                const QString third = songs.at(song++ % songs.size());
                title += QStringLiteral(" > ") + second + QStringLiteral(" > ") + third;
            }
            lines << QStringLiteral("<D%1T%2>%2. %3</D%1T%2>").arg(d).arg(t).arg(title);
        }
    }
    lines << QStringLiteral("</CDR_Track_List>");
    return lines.join(QStringLiteral("\r\n"));
}

// MakeCover as the dialog's OK runs it: open, zoom, fill every bookmark, fit the type and write
// the filled cover as a template file, for the shipped A4 template of range(0) (0 the .odt, 1 the
// .docx) and the show of range(1) (0 the worked example, 1 four discs of 25 tracks). The fonts
// are loaded once per process, by the first run, as in the program.
void BM_FillShippedTemplate(benchmark::State &state)
{
    static const QString workedExample = workedExampleXml();
    static const QString fourDiscs = fourDiscXml();
    const bool word = state.range(0) == 1;
    const QString &xml = state.range(1) == 1 ? fourDiscs : workedExample;
    QTemporaryDir dir;
    FileCoverOptions options;
    options.cacheFolder = dir.path();
    options.officeProgram = QString();
    CoverJob job;
    job.templateFolder = QStringLiteral(TAPEWRIGHT_TEMPLATE_DIR);
    job.choices = {word ? QStringLiteral("Jewel Case A4.docx")
                        : QStringLiteral("Jewel Case A4.odt"),
                   1, QStringLiteral("A. Trader")};
    job.xml = xml;
    job.fill = {QLocale(QLocale::English, QLocale::UnitedStates), QDate(2024, 5, 8)};
    job.outputPath = dir.filePath(QStringLiteral("cover") +
                                  (word ? QStringLiteral(".dotx") : QStringLiteral(".ott")));
    for (auto _ : state) {
        FileCoverDocument document(options);
        if (const Result<MadeCover> r = MakeCover(document, job); !r) {
            state.SkipWithError(qPrintable(r.error()));
            break;
        }
    }
}

} // namespace

BENCHMARK(BM_FillShippedTemplate)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
