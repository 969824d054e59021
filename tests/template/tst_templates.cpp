// The shipped cover templates: sound packages holding every bookmark the cover filler writes,
// exactly once and empty, and covers that LibreOffice prints on two A4 or Letter pages with every
// track on the tray card, in type no smaller than the show needs, nothing in place of the fields
// a show lacks, and the same from the .odt as from the .docx.
#include "coverfiller.h"
#include "filecoverdocument.h"
#include "office.h"

#include <pugixml.hpp>
#include <zip.h>

#include <cmath>

#include "testsupport.h"

#include <QFile>
#include <QMap>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

const QStringList ShippedTemplates{u"Jewel Case A4.odt"_qs, u"Jewel Case A4.docx"_qs,
                                   u"Jewel Case Letter.odt"_qs, u"Jewel Case Letter.docx"_qs};

QString TemplatePath(const QString &fileName)
{
    return QStringLiteral(TAPEWRIGHT_TEMPLATE_DIR "/") + fileName;
}

// The entries of a zip package, in their order, with their contents.
struct PackageEntry
{
    QString name;
    bool stored = false;
    QByteArray data;
};

QList<PackageEntry> ReadPackage(const QString &path, QString *error)
{
    QList<PackageEntry> entries;
    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        *error = QStringLiteral("not a zip package (libzip error %1)").arg(code);
        return entries;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_file_t *file = nullptr;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0 ||
            (file = zip_fopen_index(archive, zip_uint64_t(i), 0)) == nullptr) {
            *error = QStringLiteral("entry %1 cannot be read").arg(i);
            break;
        }
        PackageEntry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.stored = stat.comp_method == ZIP_CM_STORE;
        entry.data.resize(qsizetype(stat.size));
        const zip_int64_t read = zip_fread(file, entry.data.data(), stat.size);
        zip_fclose(file);
        if (read != zip_int64_t(stat.size)) {
            *error = QStringLiteral("entry %1 is truncated").arg(entry.name);
            break;
        }
        entries << entry;
    }
    zip_discard(archive);
    return entries;
}

// How often each bookmark name starts in an XML part: OpenDocument text:bookmark (a point) and
// text:bookmark-start, Word w:bookmarkStart.
void CountBookmarks(const pugi::xml_node &node, QMap<QString, int> &counts)
{
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "text:bookmark" || name == "text:bookmark-start")
            ++counts[QString::fromUtf8(child.attribute("text:name").value())];
        else if (name == "w:bookmarkStart")
            ++counts[QString::fromUtf8(child.attribute("w:name").value())];
        CountBookmarks(child, counts);
    }
}

// Every bookmark range has its end: text:bookmark-end by name, w:bookmarkEnd by id.
void CollectBookmarkEnds(const pugi::xml_node &node, QStringList &starts, QStringList &ends)
{
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "text:bookmark-start")
            starts << QString::fromUtf8(child.attribute("text:name").value());
        else if (name == "text:bookmark-end")
            ends << QString::fromUtf8(child.attribute("text:name").value());
        else if (name == "w:bookmarkStart")
            starts << QString::fromUtf8(child.attribute("w:id").value());
        else if (name == "w:bookmarkEnd")
            ends << QString::fromUtf8(child.attribute("w:id").value());
        CollectBookmarkEnds(child, starts, ends);
    }
}

const QStringList Songs{u"Morning Dew"_qs,
                        u"Scarlet Begonias"_qs,
                        u"Fire on the Mountain"_qs,
                        u"Sugar Magnolia"_qs,
                        u"Eyes of the World"_qs,
                        u"Help on the Way"_qs,
                        u"Slipknot!"_qs,
                        u"Franklin's Tower"_qs,
                        u"Playing in the Band"_qs,
                        u"Uncle John's Band"_qs,
                        u"The Other One"_qs,
                        u"Wharf Rat"_qs,
                        u"Dark Star"_qs,
                        u"St. Stephen"_qs,
                        u"Not Fade Away"_qs,
                        u"Going Down the Road Feeling Bad"_qs};

struct Show
{
    QList<int> discs;  // tracks per disc
    bool bare = false; // the band and the tracks only
};

// A show as the converter writes it. Every third title is a long segue that wraps in its
// column; each title starts with its disc and number, so that it can be found on the page.
QString ShowXml(const Show &show)
{
    QStringList lines{u"<?xml version=\"1.0\"?>"_qs, u"<CDR_Track_List>"_qs};
    if (show.bare) {
        lines << u"<BAND>Blue Lantern</BAND>"_qs;
    } else {
        lines << u"<BAND>The Midnight Lantern Orchestra</BAND>"_qs << u"<DATE>9/24/1976</DATE>"_qs
              << u"<VENUE>Municipal Auditorium and Convention Center</VENUE>"_qs
              << u"<CITY>Williamsburg</CITY>"_qs << u"<STATE>VA</STATE>"_qs
              << u"<SOURCE>Source: SBD > MR (master reel) > DAT (48 kHz) > CD-R > EAC (secure) > "
                 u"FLAC level 8</SOURCE>"_qs;
    }
    lines << QStringLiteral("<DISCS>%1</DISCS>").arg(show.discs.size());
    for (qsizetype d = 0; d < show.discs.size(); ++d)
        lines << QStringLiteral("<TRACKSD%1>%2</TRACKSD%1>").arg(d + 1).arg(show.discs.at(d));
    int song = 0;
    for (qsizetype d = 0; d < show.discs.size(); ++d) {
        for (int t = 1; t <= show.discs.at(d); ++t) {
            QString title = Songs.at(song++ % Songs.size());
            if (!show.bare && t % 3 == 0) {
                title += u" > "_qs + Songs.at(song % Songs.size()) + u" > "_qs +
                         Songs.at((song + 1) % Songs.size());
                song += 2;
            }
            lines << QStringLiteral("<D%1T%2>%1-%3 %4</D%1T%2>")
                         .arg(d + 1)
                         .arg(t)
                         .arg(t, 2, 10, QChar(u'0'))
                         .arg(title);
        }
    }
    if (!show.bare)
        lines << u"<NOTES>Disc 1 track 3: a short cut in the first minute, patched."_qs
              << u"Thanks to the taper.</NOTES>"_qs;
    lines << u"</CDR_Track_List>"_qs;
    return lines.join(u"\r\n"_qs);
}

// The track titles of a track list XML, in order.
QStringList TrackTitles(const QString &xml)
{
    static const QRegularExpression track(u"<D\\d+T\\d+>([^<]*)</D\\d+T\\d+>"_qs);
    QStringList titles;
    for (const QRegularExpressionMatch &m : track.globalMatch(xml))
        titles << m.captured(1);
    return titles;
}

struct PdfWord
{
    int page;
    QString text;
    QRectF box;  // points
    double size; // of the type
};

// The words of a PDF as pdftotext -bbox gives them. Poppler makes a word's box 1.3 em high
// (0.95 above the baseline, 0.35 below) in these fonts, which gives the type size.
QList<PdfWord> Words(const QString &pdf)
{
    static const QRegularExpression token(
        u"<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
        u"yMax=\"([\\d.]+)\">([^<]*)</word>"_qs);
    QList<PdfWord> words;
    int page = 0;
    for (const QRegularExpressionMatch &m : token.globalMatch(PdfText(pdf, {u"-bbox"_qs}))) {
        if (m.captured(5).isNull() && m.captured(1).isNull()) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(u"&amp;"_qs, u"&"_qs)
            .replace(u"&apos;"_qs, u"'"_qs)
            .replace(u"&quot;"_qs, u"\""_qs)
            .replace(u"&lt;"_qs, u"<"_qs)
            .replace(u"&gt;"_qs, u">"_qs);
        const QRectF box(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                         QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        words.append({page, text, box, box.height() / 1.3});
    }
    return words;
}

} // namespace

Q_DECLARE_METATYPE(Show)

class TestTemplates : public QObject
{
    Q_OBJECT

private slots:
    void package_data()
    {
        QTest::addColumn<QString>("fileName");
        for (const QString &name : ShippedTemplates)
            QTest::newRow(qPrintable(name)) << name;
    }

    void package()
    {
        QFETCH(QString, fileName);
        QString error;
        const QList<PackageEntry> entries = ReadPackage(TemplatePath(fileName), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!entries.isEmpty());

        QMap<QString, int> counts;
        QStringList starts;
        QStringList ends;
        for (const PackageEntry &entry : entries) {
            if (!entry.name.endsWith(u".xml"_qs) && !entry.name.endsWith(u".rels"_qs))
                continue;
            pugi::xml_document document;
            const pugi::xml_parse_result parsed =
                document.load_buffer(entry.data.constData(), size_t(entry.data.size()));
            QVERIFY2(parsed,
                     qPrintable(entry.name + u": "_qs + QString::fromUtf8(parsed.description())));
            CountBookmarks(document, counts);
            CollectBookmarkEnds(document, starts, ends);
        }
        if (fileName.endsWith(u".odt"_qs)) {
            // Readers find the type at a fixed offset: first entry, uncompressed.
            QCOMPARE(entries.first().name, u"mimetype"_qs);
            QVERIFY(entries.first().stored);
            QCOMPARE(entries.first().data, QByteArray("application/vnd.oasis.opendocument.text"));
        } else {
            const bool hasTypes = std::any_of(entries.begin(), entries.end(), [](const auto &e) {
                return e.name == u"[Content_Types].xml"_qs;
            });
            QVERIFY(hasTypes);
        }

        for (const QString &name : CoverBookmarkNames())
            QVERIFY2(
                counts.value(name) == 1,
                qPrintable(QStringLiteral("%1 occurs %2 times").arg(name).arg(counts.value(name))));
        const QStringList expected = CoverBookmarkNames();
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            QVERIFY2(expected.contains(it.key()), qPrintable(u"stray bookmark "_qs + it.key()));
        starts.sort();
        ends.sort();
        QCOMPARE(ends, starts);

        // Nothing of the template's own is printed for a field the show lacks.
        FileCoverOptions options;
        options.officeProgram = QString();
        FileCoverDocument document(options);
        QVERIFY(document.open(TemplatePath(fileName)));
        for (const QString &name : CoverBookmarkNames())
            QCOMPARE(document.bookmarkText(name), std::optional<QString>(QString()));
    }

    // Each show through both templates of a paper size, as a user makes a cover
    // (tapewright-cli cover to PDF with LibreOffice), read back: two pages of that paper, every
    // title on the tray card at no less than the smallest size the show should get, and the
    // .odt and .docx covers alike to a fraction of a point.
    void print_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<Show>("show");
        QTest::addColumn<double>("smallest");
        const struct
        {
            const char *name;
            Show show;
            double smallest;
        } shows[] = {
            {"four discs of 25 long titles", {{25, 25, 25, 25}}, 4.5},
            {"two discs of 14 and 19", {{14, 19}}, 5.5},
            {"one disc of 40", {{40}}, 5.5},
            {"a bare show of 8 tracks", {{8}, true}, 7},
        };
        for (const char *paper : {"A4", "Letter"}) {
            for (const auto &s : shows)
                QTest::addRow("%s, %s", paper, s.name)
                    << QString::fromLatin1(paper) << s.show << s.smallest;
        }
    }

    void print()
    {
        QFETCH(QString, paper);
        QFETCH(Show, show);
        QFETCH(double, smallest);
        if (FindOfficeProgram().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        const QString pdfinfo = QStandardPaths::findExecutable(u"pdfinfo"_qs);
        QVERIFY2(!pdfinfo.isEmpty(), "poppler-utils are not installed");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString xml = ShowXml(show);
        const QString xmlFile = WriteFile(dir, u"show.xml"_qs, xml.toUtf8());
        QList<QList<PdfWord>> covers;
        for (const QString &format : {u"odt"_qs, u"docx"_qs}) {
            const QString fileName = u"Jewel Case "_qs + paper + u"."_qs + format;
            const QString pdf = dir.filePath(format + u".pdf"_qs);
            const ProcessRun run =
                RunProcess(QStringLiteral(TAPEWRIGHT_CLI),
                           {u"cover"_qs, u"--template"_qs, TemplatePath(fileName), u"--xml"_qs,
                            xmlFile, u"--locale"_qs, u"en_US"_qs, u"--collector"_qs,
                            u"Pat Keeper"_qs, u"--out"_qs, pdf});
            QVERIFY2(run.exitCode == 0, run.err.constData());
            QVERIFY2(run.err.isEmpty(), run.err.constData()); // everything fits: no warning

            const QString info = QString::fromUtf8(RunProcess(pdfinfo, {pdf}).out);
            QVERIFY2(info.contains(QRegularExpression(u"^Pages:\\s+2$"_qs,
                                                      QRegularExpression::MultilineOption)),
                     qPrintable(info));
            QVERIFY2(info.contains(u"("_qs + paper.toLower() + u")"_qs) ||
                         info.contains(u"("_qs + paper + u")"_qs),
                     qPrintable(info));

            // Each title as a run of words on the tray card, found by its first word ("2-05").
            QList<PdfWord> words = Words(pdf);
            QList<PdfWord> tray;
            std::copy_if(words.begin(), words.end(), std::back_inserter(tray),
                         [](const PdfWord &w) { return w.page == 2; });
            for (const QString &title : TrackTitles(xml)) {
                const QStringList expected = title.split(u' ', Qt::SkipEmptyParts);
                const auto first = std::find_if(tray.begin(), tray.end(), [&](const PdfWord &w) {
                    return w.text == expected.first();
                });
                QVERIFY2(first != tray.end(),
                         qPrintable(fileName + u": "_qs + title + u" is not printed"_qs));
                for (qsizetype i = 0; i < expected.size(); ++i) {
                    const auto at = first + i;
                    QVERIFY2(at != tray.end() && at->text == expected.at(i),
                             qPrintable(fileName + u": "_qs + title + u" is not printed whole"_qs));
                    QVERIFY2(at->size >= smallest - 0.05,
                             qPrintable(QStringLiteral("%1: %2 is set at %3 pt")
                                            .arg(fileName, title)
                                            .arg(at->size)));
                }
            }

            if (show.bare) {
                // Nothing in place of the fields the show lacks, and no separator left over.
                const QString printed = PdfText(pdf, {u"-raw"_qs});
                const QRegularExpression placeholder(
                    u"\\b(venue|city|state|date|source|notes)\\b"_qs,
                    QRegularExpression::CaseInsensitiveOption);
                QVERIFY2(!printed.contains(placeholder),
                         qPrintable(placeholder.match(printed).captured()));
                QVERIFY2(!printed.contains(u','), qPrintable(printed));
            }
            covers << words;
        }

        // The same words at the same places from both formats.
        QCOMPARE(covers.at(1).size(), covers.at(0).size());
        for (qsizetype i = 0; i < covers.at(0).size(); ++i) {
            const PdfWord &odt = covers.at(0).at(i);
            const PdfWord &docx = covers.at(1).at(i);
            const QPointF moved = docx.box.topLeft() - odt.box.topLeft();
            QVERIFY2(odt.text == docx.text && odt.page == docx.page && std::abs(moved.x()) <= 0.5 &&
                         std::abs(moved.y()) <= 0.5 && std::abs(docx.size - odt.size) <= 0.05,
                     qPrintable(QStringLiteral("“%1” on page %2 of the .odt, “%3” on page %4 of "
                                               "the .docx, %5 pt apart")
                                    .arg(odt.text)
                                    .arg(odt.page)
                                    .arg(docx.text)
                                    .arg(docx.page)
                                    .arg(std::hypot(moved.x(), moved.y()))));
        }
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
