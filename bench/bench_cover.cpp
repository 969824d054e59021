// Filling a cover: the dialog's OK button opens a shipped template, fills all 36 bookmarks from
// the worked example's track list (four discs of 25 tracks) and writes the cover, while the
// user waits.
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

// Open, zoom, fill every bookmark and write the filled cover as a template file (what the dialog
// hands to the desktop), for the shipped template of range(0): 0 the .odt, 1 the .docx.
void BM_FillShippedTemplate(benchmark::State &state)
{
    static const QString xml = workedExampleXml();
    const bool word = state.range(0) == 1;
    const QString templatePath = QStringLiteral(TAPEWRIGHT_TEMPLATE_DIR "/Jewel Case") +
                                 (word ? QStringLiteral(".docx") : QStringLiteral(".odt"));
    QTemporaryDir dir;
    FileCoverOptions options;
    options.cacheFolder = dir.path();
    options.officeProgram = QString();
    const QString out = dir.filePath(QStringLiteral("cover") +
                                     (word ? QStringLiteral(".dotx") : QStringLiteral(".ott")));
    const CoverChoices choices{QStringLiteral("Jewel Case.odt"), 1, QStringLiteral("A. Trader")};
    const CoverFillOptions fill{QLocale(QLocale::English, QLocale::UnitedStates),
                                QDate(2024, 5, 8)};
    for (auto _ : state) {
        FileCoverDocument document(options);
        if (Result<void> r = FillCover(document, templatePath, xml, choices, fill); !r) {
            state.SkipWithError(qPrintable(r.error()));
            break;
        }
        if (Result<void> r = document.saveAs(out); !r) {
            state.SkipWithError(qPrintable(r.error()));
            break;
        }
    }
}

} // namespace

BENCHMARK(BM_FillShippedTemplate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
