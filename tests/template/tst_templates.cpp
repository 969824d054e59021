// The shipped cover templates, and covers as LibreOffice prints them: sound packages holding
// every bookmark the cover filler writes, empty; the worked example filled into each
// and read back; covers made with tapewright-cli on two pages of their paper with every track
// on the tray card, in type no smaller than the show needs, nothing in place of the fields a
// show lacks, and the same from the .odt as from the .docx; every bookmark shape and place of
// a small template on the printed page; the legacy .doc route. What needs LibreOffice is
// skipped where it is not installed.
#include "cover/document/office.h"
#include "cover/fill/coverfiller.h"
#include "cover/fill/filecoverdocument.h"
#include "testsupport.h"

#include <QDir>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

#include <cmath>

using namespace tapewright;
using namespace testsupport;

namespace {

QString TemplatePath(const QString &fileName)
{
    return QStringLiteral(TAPEWRIGHT_TEMPLATE_DIR "/") + fileName;
}

FileCoverOptions Options(const QTemporaryDir &dir, const QString &office = {})
{
    return {dir.filePath(u"cache"_qs), office};
}

// A show as the converter writes it, its tracks per disc ("14 19"), with every field or, when
// bare, the band alone. Every third title is a long segue that wraps in its column; each
// title starts with its disc and number, so that it can be found on the page.
QString ShowXml(const QList<int> &discs, bool bare, QStringList *titles)
{
    static const QStringList Songs =
        QString::fromUtf8(TestData(u"cover/songs.txt"_qs)).split(u'\n', Qt::SkipEmptyParts);
    QString xml = bare ? u"<BAND>Blue Lantern</BAND>"_qs
                       : QString::fromUtf8(TestData(u"cover/full-show.xml"_qs));
    xml += QStringLiteral("<DISCS>%1</DISCS>").arg(discs.size());
    int song = 0;
    for (qsizetype d = 1; d <= discs.size(); ++d) {
        xml += QStringLiteral("<TRACKSD%1>%2</TRACKSD%1>").arg(d).arg(discs.at(d - 1));
        for (int t = 1; t <= discs.at(d - 1); ++t) {
            QString title = Songs.at(song++ % Songs.size());
            if (!bare && t % 3 == 0) {
                title += u" > "_qs + Songs.at(song % Songs.size()) + u" > "_qs +
                         Songs.at((song + 1) % Songs.size());
                song += 2;
            }
            *titles << QStringLiteral("%1-%2 %3").arg(d).arg(t, 2, 10, QChar(u'0')).arg(title);
            xml += QStringLiteral("<D%1T%2>%3</D%1T%2>\r\n").arg(d).arg(t).arg(titles->last());
        }
    }
    return u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"_qs + xml + u"</CDR_Track_List>"_qs;
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
        if (m.captured(1).isNull()) {
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

// Values that a PDF can show with the fonts LibreOffice brings (no CJK), with lists, markup
// characters, quotes, non-ASCII letters and empty values.
QString PdfValueFor(int i, const QString &name)
{
    static const QStringList patterns = {
        u"Blue Lantern & <Friends>"_qs,
        u"1. Intro\r\n2. Song \"One\"\r\n3. It's <done> & dusted"_qs,
        QString(),
        u"Café Zürich, Señor Ñandú, Łódź"_qs,
        u"<b>&amp;</b> ]]>"_qs,
        u"Köln\r\n\r\nafter an empty line"_qs,
    };
    const QString &p = patterns.at(i % patterns.size());
    return p.isEmpty() ? p : name + u' ' + p;
}

QString Collapsed(QString text)
{
    return text.replace(QChar(0xFB01), u"fi"_qs).replace(QChar(0xFB02), u"fl"_qs).simplified();
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

    QString m_office;

private slots:
    void initTestCase() { m_office = FindOfficeProgram(); }

    // Each shipped template filled with the worked example as the cover dialog fills it; the
    // cover is opened again and every bookmark read back.
    void workedExample_data()
    {
        QTest::addColumn<QString>("fileName");
        for (const char *paper : {"A4", "Letter"}) {
            for (const char *format : {"odt", "docx"})
                QTest::addRow("%s %s", paper, format)
                    << QStringLiteral("Jewel Case %1.%2").arg(paper, format);
        }
    }
    void workedExample()
    {
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        const QString path = TemplatePath(fileName);
        const QByteArray before = ReadBytes(path);
        FileCoverDocument original(Options(dir));
        QVERIFY(original.open(path));
        // Sound packages: readers find an OpenDocument's type at a fixed offset, the first
        // entry, uncompressed; every part is well-formed; every bookmark is there, and
        // nothing is printed for a field the show lacks. (That each is there once, the
        // cover layout test counts.)
        const Result<ZipPackage> package = ReadZipPackage(before);
        QVERIFY2(package, qPrintable(package.error()));
        QCOMPARE(package->entries.front().name == "mimetype", fileName.endsWith(u".odt"_qs));
        QCOMPARE(package->entries.front().stored, fileName.endsWith(u".odt"_qs));
        for (const ZipEntry &entry : package->entries) {
            pugi::xml_document xml;
            QVERIFY2(!QByteArray::fromStdString(entry.name).endsWith("xml") ||
                         xml.load_buffer(entry.data.constData(), size_t(entry.data.size())),
                     entry.name.c_str());
        }
        QCOMPARE(original.bookmarkNames().size(), CoverBookmarkNames().size());
        for (const QString &name : CoverBookmarkNames())
            QCOMPARE(original.bookmarkText(name), std::optional<QString>(QString()));

        FileCoverDocument document(Options(dir));
        const CoverJob job{QFileInfo(path).absolutePath(),
                           {QFileInfo(path).fileName(), 1, u"Jane Doe"_qs},
                           WorkedExampleXml(),
                           {UnitedStatesLocale(), QDate(2024, 3, 9)},
                           QString(),
                           dir.filePath(u"covers"_qs)};
        const Result<MadeCover> cover = MakeCover(document, job);
        QVERIFY2(cover, qPrintable(cover.error()));
        QVERIFY(cover->path.contains(u"Blue Lantern 1977-05-08"_qs));
        QCOMPARE(cover->notice, QString());
        QHash<QString, QString> expected;
        for (const QByteArray &line : TestData(u"worked-example.cover.txt"_qs).split('\n')) {
            const QString text = QString::fromUtf8(line);
            if (text.contains(u'|'))
                expected.insert(text.section(u'|', 0, 0), text.section(u'|', 1)
                                                              .replace(u"\\r\\n"_qs, u"\r\n"_qs)
                                                              .replace(u"\\t"_qs, u"\t"_qs));
        }
        FileCoverDocument back(Options(dir));
        QVERIFY(back.open(cover->path));
        for (const QString &name : CoverBookmarkNames()) {
            // The show has no state: those bookmarks keep the template's own text.
            const std::optional<QString> want =
                expected.contains(name) ? expected.value(name) : original.bookmarkText(name);
            QVERIFY2(back.bookmarkText(name) == want, qPrintable(name));
        }
        QCOMPARE(ReadBytes(path), before);
    }

    // Each show through both templates of a paper size, as a user makes a cover
    // (tapewright-cli cover to PDF with LibreOffice), read back: two pages of that paper, every
    // title on the tray card at no less than the smallest size the show should get, and the
    // .odt and .docx covers alike to a fraction of a point.
    void print_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QList<int>>("discs");
        QTest::addColumn<bool>("bare");
        QTest::addColumn<double>("smallest");
        for (const char *paper : {"A4", "Letter"}) {
            const QString p = QString::fromLatin1(paper);
            QTest::addRow("%s, 4 x 25", paper) << p << QList<int>{25, 25, 25, 25} << false << 4.5;
            QTest::addRow("%s, 14 and 19", paper) << p << QList<int>{14, 19} << false << 5.5;
            QTest::addRow("%s, 40", paper) << p << QList<int>{40} << false << 5.5;
            QTest::addRow("%s, bare 8", paper) << p << QList<int>{8} << true << 7.0;
        }
    }
    void print()
    {
        QFETCH(QString, paper);
        QFETCH(QList<int>, discs);
        QFETCH(bool, bare);
        QFETCH(double, smallest);
        if (m_office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        const QString pdfinfo = QStandardPaths::findExecutable(u"pdfinfo"_qs);
        QVERIFY2(!pdfinfo.isEmpty(), "poppler-utils are not installed beside LibreOffice");

        QTemporaryDir dir;
        QStringList titles;
        const QString xmlFile =
            WriteFile(dir, u"show.xml"_qs, ShowXml(discs, bare, &titles).toUtf8());
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
            // Everything fits: no warning but the check's of what a bare show lacks.
            QVERIFY2(bare ? !run.err.contains("fit") && run.err.contains("no date was found")
                          : run.err.isEmpty(),
                     run.err.constData());

            const QString info = QString::fromUtf8(RunProcess(pdfinfo, {pdf}).out);
            QVERIFY2(info.contains(QRegularExpression(u"^Pages:\\s+2$"_qs,
                                                      QRegularExpression::MultilineOption)),
                     qPrintable(info));
            QVERIFY2(info.contains(u"("_qs + paper + u")"_qs, Qt::CaseInsensitive),
                     qPrintable(info));

            // Each title as a run of words on the tray card, found by its first word ("2-05").
            const QList<PdfWord> words = Words(pdf);
            QList<PdfWord> tray;
            std::copy_if(words.begin(), words.end(), std::back_inserter(tray),
                         [](const PdfWord &w) { return w.page == 2; });
            for (const QString &title : titles) {
                const QStringList expected = title.split(u' ', Qt::SkipEmptyParts);
                auto at = std::find_if(tray.begin(), tray.end(), [&](const PdfWord &w) {
                    return w.text == expected.first();
                });
                for (const QString &word : expected) {
                    QVERIFY2(at != tray.end() && at->text == word,
                             qPrintable(fileName + u": "_qs + title + u" is not printed whole"_qs));
                    QVERIFY2(at->size >= smallest - 0.05,
                             qPrintable(
                                 u"%1: %2 is set at %3 pt"_qs.arg(fileName, title).arg(at->size)));
                    ++at;
                }
            }
            if (bare) {
                // Nothing in place of the fields the show lacks, and no separator left over.
                const QString printed = PdfText(pdf, {u"-raw"_qs});
                const QRegularExpression placeholder(
                    u"\\b(venue|city|state|date|source|notes)\\b|,"_qs,
                    QRegularExpression::CaseInsensitiveOption);
                QVERIFY2(!printed.contains(placeholder),
                         qPrintable(placeholder.match(printed).captured()));
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
                     qPrintable(u"“%1” on page %2 of the .odt, “%3” on page %4 of the .docx"_qs
                                    .arg(odt.text)
                                    .arg(odt.page)
                                    .arg(docx.text)
                                    .arg(docx.page)));
        }
    }

    // A small template of each format with every bookmark shape and place, filled and
    // printed: every value appears on the page, the template's own text at the bookmarks is
    // gone. Templates, as the cover dialog writes them, open as new documents.
    void printedBookmarks_data()
    {
        QTest::addColumn<QString>("ext");
        for (const char *ext : {".odt", ".docx", ".ott", ".dotx"})
            QTest::newRow(ext + 1) << QString::fromLatin1(ext);
    }
    void printedBookmarks()
    {
        QFETCH(QString, ext);
        if (m_office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QVERIFY2(!QStandardPaths::findExecutable(u"pdftotext"_qs).isEmpty(),
                 "pdftotext (poppler-utils) is missing beside LibreOffice");
        QTemporaryDir dir;
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(WriteFile(dir, u"Cover"_qs + ext, TemplateBytes(ext, CoverMarks()))));
        QVERIFY(doc.setZoom(75));
        const QStringList names = CoverBookmarkNames();
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(doc.setBookmarkText(names.at(i), PdfValueFor(i, names.at(i))));
        const QString filled = dir.filePath(u"Filled"_qs + ext);
        QVERIFY(doc.saveAs(filled));
        const Result<QString> pdf =
            ConvertWithOffice(m_office, filled, u"pdf"_qs, dir.path(), OfficeConversionTimeoutMs);
        QVERIFY2(pdf, qPrintable(pdf.error()));
        const QString page = Collapsed(PdfText(*pdf));
        for (int i = 0; i < names.size(); ++i) {
            const QString value = PdfValueFor(i, names.at(i));
            for (const QString &line : value.split(u"\r\n"_qs))
                QVERIFY2(page.contains(Collapsed(line)), qPrintable(names.at(i) + u": "_qs + line));
            QVERIFY2(value.isEmpty() || !page.contains(u"old "_qs + names.at(i)),
                     qPrintable(names.at(i)));
        }
    }

    // Covers of several shows made with tapewright-cli cover --out-dir, printed by one run of
    // LibreOffice: each PDF named after its show holds that show, and no other.
    void batch_eachShowItsPdf()
    {
        if (m_office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QTemporaryDir dir;
        const QStringList bands = {u"Amber Lantern"_qs, u"Blue Lantern"_qs, u"Cobalt Lantern"_qs};
        QStringList args = {
            u"cover"_qs,     u"--template"_qs,           TemplatePath(u"Jewel Case Letter.docx"_qs),
            u"--out-dir"_qs, dir.filePath(u"covers"_qs), u"--format"_qs,
            u"pdf"_qs};
        for (const QString &band : bands)
            args << WriteFile(dir, band.section(u' ', 0, 0) + u".xml"_qs,
                              u"<CDR_Track_List><BAND>%1</BAND><DATE>1977</DATE><VENUE>Hall</VENUE>"
                              u"<DISCS>1</DISCS><TRACKSD1>1"
                              u"</TRACKSD1><D1T1>1. Opener</D1T1></CDR_Track_List>"_qs.arg(band)
                                  .toUtf8());
        const ProcessRun run = RunProcess(QStringLiteral(TAPEWRIGHT_CLI), args);
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), run.err.constData());
        for (const QString &band : bands) {
            const QString text =
                PdfText(dir.filePath(u"covers/"_qs + band.section(u' ', 0, 0) + u".pdf"_qs));
            for (const QString &other : bands)
                QVERIFY2(text.contains(other) == (other == band),
                         qPrintable(band + u": "_qs + text));
        }
    }

    // A legacy .doc template is converted by LibreOffice once, into the cache, and filled;
    // the second open uses the stored conversion, and the template folder is left alone.
    void legacyDoc_convertedOnceThenFilled()
    {
        if (m_office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QTemporaryDir dir;
        const QString docx = WriteFile(
            dir, u"Legacy.docx"_qs,
            TemplateBytes(u".docx"_qs, {{u"LinerBand"_qs},
                                        {u"TrayDisc1Tracks"_qs, Place::TableCell, Shape::Point}}));
        QVERIFY(QDir(dir.path()).mkdir(u"template"_qs));
        const Result<QString> legacy =
            ConvertWithOffice(m_office, docx, u"doc:MS Word 97"_qs, dir.filePath(u"template"_qs),
                              OfficeConversionTimeoutMs);
        QVERIFY2(legacy, qPrintable(legacy.error()));

        FileCoverDocument first(Options(dir, m_office));
        const Result<void> opened = first.open(*legacy);
        QVERIFY2(opened, qPrintable(opened.error()));
        QVERIFY(first.setBookmarkText(u"LinerBand"_qs, u"Blue & Lantern"_qs));
        QVERIFY(first.setBookmarkText(u"TrayDisc1Tracks"_qs, u"A\r\nB"_qs));
        QCOMPARE(first.bookmarkText(u"LinerBand"_qs), std::optional(u"Blue & Lantern"_qs));
        QCOMPARE(first.bookmarkText(u"TrayDisc1Tracks"_qs), std::optional(u"A\r\nB"_qs));

        FileCoverDocument second(Options(dir, dir.filePath(u"no-such-soffice"_qs)));
        QVERIFY(second.open(*legacy));
        QVERIFY(second.lookUpBookmark(u"LinerBand"_qs));
        QCOMPARE(QDir(dir.filePath(u"cache/converted"_qs)).entryList(QDir::Files).size(), 1);
        QCOMPARE(QDir(dir.filePath(u"template"_qs)).entryList(QDir::Files),
                 QStringList{u"Legacy.doc"_qs});
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
