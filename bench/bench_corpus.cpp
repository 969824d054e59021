// The 30 real info texts of tests/data/corpus, side by side: reading their bytes (the floor any
// program pays), converting texts read beforehand, and reading and converting together. Each
// iteration takes the next file, so a figure is the time per file averaged over the corpus.
#include "common/textfile.h"
#include "convert/convertinfotext.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tapewright;

namespace {

const QStringList &corpusFiles()
{
    static const QStringList files = [] {
        const QDir dir(QStringLiteral(TAPEWRIGHT_TEST_DATA "/corpus"));
        QStringList paths;
        for (const QString &name :
             dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
            paths << dir.filePath(name);
        if (paths.size() != 30) {
            std::fprintf(stderr, "benchmark fixture: expected 30 corpus texts in %s, found %d\n",
                         qPrintable(dir.path()), int(paths.size()));
            std::abort();
        }
        return paths;
    }();
    return files;
}

const std::vector<QString> &corpusTexts()
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> out;
        for (const QString &path : corpusFiles()) {
            const Result<DecodedText> r = ReadTextFile(path);
            if (!r) {
                std::fprintf(stderr, "benchmark fixture missing: %s\n", qPrintable(r.error()));
                std::abort();
            }
            out.push_back(r->text);
        }
        return out;
    }();
    return texts;
}

ConvertOptions usOptions()
{
    ConvertOptions o;
    o.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return o;
}

// The locale's date data is built on first use; that belongs to no file's conversion.
void warmUp(const ConvertOptions &options)
{
    for (const QString &text : corpusTexts())
        benchmark::DoNotOptimize(ConvertInfoText(text, options));
}

// Open, read and close of each file's bytes, nothing more.
void BM_CorpusRawRead(benchmark::State &state)
{
    const QStringList &files = corpusFiles();
    qsizetype i = 0;
    for (auto _ : state) {
        QFile file(files[i]);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("a corpus file cannot be opened");
            break;
        }
        benchmark::DoNotOptimize(file.readAll());
        i = (i + 1) % files.size();
    }
}

void BM_CorpusConvert(benchmark::State &state)
{
    const std::vector<QString> &texts = corpusTexts();
    const ConvertOptions options = usOptions();
    warmUp(options);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertInfoText(texts[i], options));
        i = (i + 1) % texts.size();
    }
}

void BM_CorpusReadConvert(benchmark::State &state)
{
    const QStringList &files = corpusFiles();
    const ConvertOptions options = usOptions();
    warmUp(options);
    qsizetype i = 0;
    for (auto _ : state) {
        const Result<DecodedText> r = ReadTextFile(files[i]);
        benchmark::DoNotOptimize(ConvertInfoText(r->text, options));
        i = (i + 1) % files.size();
    }
}

} // namespace

BENCHMARK(BM_CorpusRawRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CorpusConvert)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CorpusReadConvert)->Unit(benchmark::kMicrosecond);
