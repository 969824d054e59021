// Filling a cover: the dialog's OK button opens a shipped template, fills all 36 bookmarks from
// a track list, fits the type of the tray card, spines and booklet to it and writes the cover,
// while the user waits. And the largest cover a template may ask for: a box set of 500 discs
// filled into a template with a heading and a track list for as many discs as its 1,000
// bookmarks allow.
#include "common/textfile.h"
#include "convert/convertinfotext.h"
#include "cover/document/zippackage.h"
#include "cover/fill/coverfiller.h"
#include "cover/fill/filecoverdocument.h"

#include <benchmark/benchmark.h>

#include <QFile>
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

// The 26 show rows, TrayDisc1 to TrayDisc486 with their track lists, the collection line and
// the creation date: 1,000 bookmarks, each in a paragraph of its own between paragraphs of
// template text; about 90 KB as a file.
QByteArray boxSetTemplate(bool word)
{
    QStringList names;
    for (const char16_t *row :
         {u"LinerBand",      u"Linerdate",       u"LinerVenue",     u"LinerCity",
          u"LinerState",     u"LinerSource",     u"LinerNotes",     u"LinerCoverBand",
          u"LinerCoverDate", u"LinerCoverVenue", u"LinerCoverCity", u"LinerCoverState",
          u"SpineBand",      u"SpineDate",       u"SpineCity",      u"SpineState",
          u"CoverBand",      u"CoverDate",       u"CoverVenue",     u"CoverCity",
          u"CoverState",     u"CoverBand2",      u"CoverDate2",     u"TrayBand",
          u"TrayDate",       u"TraySource"})
        names << QString::fromUtf16(row);
    // Two for each disc, and the two lines that close the tray card.
    for (int disc = 1; names.size() + 2 + 2 <= MaxCoverBookmarks; ++disc)
        names << QStringLiteral("TrayDisc%1").arg(disc)
              << QStringLiteral("TrayDisc%1Tracks").arg(disc);
    names << QStringLiteral("TrayCollection") << QStringLiteral("TrayCreationDate");

    QByteArray body;
    int id = 0;
    quint32 seed = 1977;
    for (const QString &name : names) {
        const QByteArray n = name.toUtf8();
        const QByteArray i = QByteArray::number(++id);
        // Template text that differs from paragraph to paragraph, so that the package is as
        // large as a template with real text and pictures' captions.
        QByteArray filler;
        for (int w = 0; w < 20; ++w) {
            seed = seed * 1103515245u + 12345u;
            filler += QByteArray::number(seed >> 8, 36) + ' ';
        }
        if (word)
            body += "<w:p><w:r><w:t>" + filler + "</w:t></w:r></w:p><w:p><w:bookmarkStart w:id=\"" +
                    i + "\" w:name=\"" + n + "\"/><w:r><w:rPr><w:b/></w:rPr><w:t>[" + n +
                    "]</w:t></w:r><w:bookmarkEnd w:id=\"" + i + "\"/></w:p>";
        else
            body += "<text:p>" + filler + "</text:p><text:p><text:bookmark-start text:name=\"" + n +
                    "\"/><text:span text:style-name=\"T1\">[" + n +
                    "]</text:span><text:bookmark-end text:name=\"" + n + "\"/></text:p>";
    }
    ZipPackage package;
    if (word) {
        package.entries.push_back(
            {"[Content_Types].xml",
             "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/"
             "2006/content-types\"><Override PartName=\"/word/document.xml\" ContentType=\""
             "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
             "</Types>",
             false, 0});
        package.entries.push_back(
            {"word/document.xml",
             "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/"
             "wordprocessingml/2006/main\"><w:body>" +
                 body + "</w:body></w:document>",
             false, 0});
    } else {
        package.entries.push_back({"mimetype", "application/vnd.oasis.opendocument.text", true, 0});
        package.entries.push_back(
            {"content.xml",
             "<?xml version=\"1.0\"?><office:document-content xmlns:office=\"urn:oasis:names:"
             "tc:opendocument:xmlns:office:1.0\" xmlns:text=\"urn:oasis:names:tc:opendocument:"
             "xmlns:text:1.0\"><office:body><office:text>" +
                 body + "</office:text></office:body></office:document-content>",
             false, 0});
    }
    const Result<QByteArray> bytes = WriteZipPackage(package);
    if (!bytes) {
        std::fprintf(stderr, "benchmark fixture: %s\n", qPrintable(bytes.error()));
        std::abort();
    }
    return *bytes;
}

// A track list of 500 discs of 12 tracks each.
QString boxSetXml()
{
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"
                                 "<BAND>Blue Lantern</BAND>\r\n<DATE>1977-05-08</DATE>\r\n"
                                 "<DISCS>500</DISCS>\r\n");
    for (int d = 1; d <= 500; ++d) {
        xml += QStringLiteral("<TRACKSD%1>12</TRACKSD%1>\r\n").arg(d);
        for (int t = 1; t <= 12; ++t)
            xml += QStringLiteral("<D%1T%2>%2. A song of disc %1 4:30</D%1T%2>\r\n").arg(d).arg(t);
    }
    return xml + QStringLiteral("</CDR_Track_List>");
}

// Open, zoom, fill and write the box set's cover from a template of range(0): 0 .odt, 1 .docx.
void BM_FillBoxSet500Discs(benchmark::State &state)
{
    static const QString xml = boxSetXml();
    const bool word = state.range(0) == 1;
    QTemporaryDir dir;
    const QString templatePath =
        dir.filePath(word ? QStringLiteral("box.docx") : QStringLiteral("box.odt"));
    {
        QFile f(templatePath);
        const QByteArray bytes = boxSetTemplate(word);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the template");
            return;
        }
        state.counters["template_KB"] = double(bytes.size()) / 1024;
    }
    FileCoverOptions options;
    options.cacheFolder = dir.path();
    options.officeProgram = QString();
    const QString out =
        dir.filePath(word ? QStringLiteral("cover.docx") : QStringLiteral("cover.odt"));
    const CoverChoices choices{QStringLiteral("box"), 1, QStringLiteral("A. Trader")};
    const CoverFillOptions fill{QLocale(QLocale::English, QLocale::UnitedStates),
                                QDate(2024, 5, 8)};
    for (auto _ : state) {
        FileCoverDocument document(options);
        if (auto r = FillCover(document, templatePath, xml, choices, fill); !r) {
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

BENCHMARK(BM_FillShippedTemplate)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillBoxSet500Discs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
