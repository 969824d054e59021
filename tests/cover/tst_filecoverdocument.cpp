// Filling cover templates of both formats: every bookmark shape and place, values that are
// text and never markup, saving, the cover file of a made cover, zoom, and templates that are
// broken or hostile.
#include "bookmarkxml.h"
#include "coverfiller.h"
#include "covertemplates.h"
#include "filecoverdocument.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>
#include <zip.h>

using namespace tapewright;
using namespace covertest;
using namespace testsupport;

Q_DECLARE_METATYPE(covertest::Format)

namespace {

// Values with lists, markup characters, quotes, non-ASCII text, blanks and tabs; name i gets
// pattern i mod 9, prefixed with its own name so that no two are alike.
QString valueFor(int i, const QString &name)
{
    static const QStringList patterns = {
        QStringLiteral("Blue Lantern & <Friends>"),
        QStringLiteral("1. Intro\r\n2. Song \"One\"\r\n3. It's <done> & dusted"),
        QString(),
        QStringLiteral("Café Zürich – Señor Ñandú, Łódź 日本"),
        QStringLiteral("two  blanks,  trailing "),
        QStringLiteral("tab\there"),
        QStringLiteral("Köln\r\n\r\nafter an empty line"),
        QStringLiteral("<b>&amp;</b> ]]> &#65;"),
        QStringLiteral("ends with a line end\r\n"),
    };
    const QString &p = patterns.at(i % patterns.size());
    return p.isEmpty() ? p : name + QStringLiteral(": ") + p;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

FileCoverOptions testOptions(const QTemporaryDir &dir)
{
    FileCoverOptions o;
    o.cacheFolder = dir.filePath(QStringLiteral("cache"));
    o.officeProgram = QString();
    return o;
}

// One entry of a written package, inflated.
QByteArray entryOf(const QString &zipPath, const char *name, int *index = nullptr,
                   bool *stored = nullptr)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &err);
    if (!z)
        return {};
    QByteArray data;
    const zip_int64_t i = zip_name_locate(z, name, 0);
    if (i >= 0) {
        zip_stat_t st;
        zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st);
        if (index)
            *index = static_cast<int>(i);
        if (stored)
            *stored = st.comp_method == ZIP_CM_STORE;
        zip_file_t *f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        data.resize(static_cast<qsizetype>(st.size));
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
    }
    zip_discard(z);
    return data;
}

QByteArray sha1Of(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

void addFormats()
{
    QTest::addColumn<Format>("format");
    QTest::newRow("odt") << Format::Odt;
    QTest::newRow("ott") << Format::Ott;
    QTest::newRow("docx") << Format::Docx;
    QTest::newRow("dotx") << Format::Dotx;
}

} // namespace

class TestFileCoverDocument : public QObject
{
    Q_OBJECT

private slots:
    void fill_allBookmarksReadBack_data() { addFormats(); }
    void fill_allBookmarksReadBack()
    {
        QFETCH(Format, format);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("Cover") + extension(format),
                                       buildTemplate(format, coverMarks()));
        const QStringList names = CoverBookmarkNames();
        QCOMPARE(names.size(), 36);

        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.start());
        const Result<void> opened = doc.open(path);
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
        QStringList sorted = names;
        sorted.sort();
        QCOMPARE(doc.bookmarkNames(), sorted);

        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(doc.lookUpBookmark(names.at(i)));
            QVERIFY(doc.scrollIntoView(names.at(i)));
            const Result<void> r = doc.setBookmarkText(names.at(i), valueFor(i, names.at(i)));
            QVERIFY2(r.ok(), qPrintable(r.error()));
        }
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(doc.bookmarkText(names.at(i)).value_or(QStringLiteral("<missing>")),
                     valueFor(i, names.at(i)));

        // Written out and read again, then filled a second time: the bookmarks stay around the
        // new text.
        const QString saved = dir.filePath(QStringLiteral("filled") + extension(format));
        const Result<void> s = doc.saveAs(saved);
        QVERIFY2(s.ok(), qPrintable(s.error()));
        FileCoverDocument again(testOptions(dir));
        const Result<void> reopened = again.open(saved);
        QVERIFY2(reopened.ok(), qPrintable(reopened.error()));
        QCOMPARE(again.bookmarkNames(), sorted);
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(again.bookmarkText(names.at(i)).value_or(QStringLiteral("<missing>")),
                     valueFor(i, names.at(i)));
            QVERIFY(again.setBookmarkText(names.at(i), QStringLiteral("second ") + names.at(i)));
        }
        for (const QString &name : names)
            QCOMPARE(again.bookmarkText(name).value_or(QString()),
                     QStringLiteral("second ") + name);

        // Half of a pair of UTF-16 units is written as U+FFFD, never as "?".
        QVERIFY(again.setBookmarkText(names.at(0), QStringLiteral("a") + QChar(0xD83D) + u'b'));
        QCOMPARE(again.bookmarkText(names.at(0)).value_or(QString()), QStringLiteral("a\uFFFDb"));
    }

    void fill_keepsTextAroundBookmark_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("place");
        const std::pair<const char *, Format> formats[] = {{"odt", Format::Odt},
                                                           {"docx", Format::Docx}};
        const char *shapes[] = {"point", "range", "across runs", "across paragraphs"};
        const char *places[] = {"body", "table cell", "frame", "header", "footer"};
        for (const auto &[fname, f] : formats) {
            for (int s = 0; s < 4; ++s) {
                for (int p = 0; p < 5; ++p)
                    QTest::addRow("%s, %s, %s", fname, shapes[s], places[p]) << f << s << p;
            }
        }
    }
    void fill_keepsTextAroundBookmark()
    {
        QFETCH(Format, format);
        QFETCH(int, shape);
        QFETCH(int, place);
        const Mark mark{QStringLiteral("TrayBand"), static_cast<Place>(place),
                        static_cast<Shape>(shape), true};
        QTemporaryDir dir;
        const QString path =
            writeFile(dir, QStringLiteral("t") + extension(format), buildTemplate(format, {mark}));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        for (const QString &value :
             {QStringLiteral("A & B\r\nC"), QString(), QStringLiteral("x")}) {
            const Result<void> r = doc.setBookmarkText(QStringLiteral("TrayBand"), value);
            QVERIFY2(r.ok(), qPrintable(r.error()));
            QCOMPARE(doc.bookmarkText(QStringLiteral("TrayBand")).value_or(QStringLiteral("?")),
                     value);
            QCOMPARE(
                doc.bookmarkText(QStringLiteral("OuterTrayBand")).value_or(QStringLiteral("?")),
                QStringLiteral("[") + value + QStringLiteral("]"));
        }
    }

    // Filling a bookmark whose old text holds another removes that one; the other is then
    // missing, as a bookmark the template lacks, and its removal leaves nothing stale behind.
    void fill_bookmarkInsideAnother_data() { addFormats(); }
    void fill_bookmarkInsideAnother()
    {
        QFETCH(Format, format);
        QTemporaryDir dir;
        const Mark inner{QStringLiteral("TrayBand"), Place::Body, Shape::AcrossRuns, true};
        const Mark after{QStringLiteral("TrayDate"), Place::Body, Shape::Range, false};
        const QString path = writeFile(dir, QStringLiteral("t") + extension(format),
                                       buildTemplate(format, {inner, after}));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        QVERIFY(doc.setBookmarkText(QStringLiteral("OuterTrayBand"), QStringLiteral("outer")));
        QCOMPARE(doc.bookmarkNames(),
                 (QStringList{QStringLiteral("OuterTrayBand"), QStringLiteral("TrayDate")}));
        QVERIFY(!doc.setBookmarkText(QStringLiteral("TrayBand"), QStringLiteral("inner")));
        QVERIFY(doc.setBookmarkText(QStringLiteral("TrayDate"), QStringLiteral("date")));
        const QString saved = dir.filePath(QStringLiteral("out") + extension(format));
        QVERIFY(doc.saveAs(saved));
        FileCoverDocument again(testOptions(dir));
        QVERIFY(again.open(saved));
        QCOMPARE(again.bookmarkText(QStringLiteral("OuterTrayBand")), u"outer"_qs);
        QCOMPARE(again.bookmarkText(QStringLiteral("TrayDate")), u"date"_qs);
    }

    void fill_takesFormattingOfStartRun_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<int>("shape");
        QTest::addColumn<QByteArray>("expected"); // the element or style the new text must carry
        QTest::newRow("odt range") << Format::Odt << int(Shape::Range) << QByteArray("T1");
        QTest::newRow("odt across paragraphs")
            << Format::Odt << int(Shape::AcrossParagraphs) << QByteArray("T1");
        QTest::newRow("odt across runs, plain start")
            << Format::Odt << int(Shape::AcrossRuns) << QByteArray();
        QTest::newRow("docx range") << Format::Docx << int(Shape::Range) << QByteArray("w:b");
        QTest::newRow("docx across paragraphs")
            << Format::Docx << int(Shape::AcrossParagraphs) << QByteArray("w:b");
        QTest::newRow("docx across runs, plain start")
            << Format::Docx << int(Shape::AcrossRuns) << QByteArray();
    }
    void fill_takesFormattingOfStartRun()
    {
        QFETCH(Format, format);
        QFETCH(int, shape);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const Mark mark{QStringLiteral("CoverBand"), Place::Body, static_cast<Shape>(shape), false};
        const QString path =
            writeFile(dir, QStringLiteral("t") + extension(format), buildTemplate(format, {mark}));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        QVERIFY(doc.setBookmarkText(QStringLiteral("CoverBand"), QStringLiteral("NEW")));
        const QString saved = dir.filePath(QStringLiteral("out") + extension(format));
        QVERIFY(doc.saveAs(saved));

        pugi::xml_document xml;
        const QByteArray part = entryOf(saved, isOdf(format) ? "content.xml" : "word/document.xml");
        QVERIFY(xml.load_buffer(part.constData(), static_cast<size_t>(part.size())));
        const char *startName = isOdf(format) ? "text:bookmark-start" : "w:bookmarkStart";
        const pugi::xml_node start = xml.find_node(
            [startName](pugi::xml_node n) { return std::strcmp(n.name(), startName) == 0; });
        QVERIFY(start);
        const pugi::xml_node next = start.next_sibling();
        if (isOdf(format)) {
            if (expected.isEmpty()) {
                QCOMPARE(QByteArray(next.value()), QByteArray("NEW"));
            } else {
                QCOMPARE(QByteArray(next.name()), QByteArray("text:span"));
                QCOMPARE(QByteArray(next.attribute("text:style-name").value()), expected);
                QCOMPARE(QByteArray(next.child_value()), QByteArray("NEW"));
            }
        } else {
            QCOMPARE(QByteArray(next.name()), QByteArray("w:r"));
            QCOMPARE(QByteArray(next.child("w:t").child_value()), QByteArray("NEW"));
            QCOMPARE(
                bool(next.child("w:rPr").child(expected.isEmpty() ? "w:b" : expected.constData())),
                !expected.isEmpty());
        }
        // Markup in a value is escaped by the writer, never taken as markup.
        QVERIFY(doc.setBookmarkText(QStringLiteral("CoverBand"), QStringLiteral("<b>&amp;")));
        QVERIFY(doc.saveAs(saved));
        const QByteArray again =
            entryOf(saved, isOdf(format) ? "content.xml" : "word/document.xml");
        QVERIFY(again.contains("&lt;b&gt;&amp;amp;"));
    }

    void fill_controlCharactersBecomeReplacement()
    {
        QTemporaryDir dir;
        const QString path =
            writeFile(dir, QStringLiteral("t.docx"),
                      buildTemplate(Format::Docx, coverMarks({QStringLiteral("TrayBand")})));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        QVERIFY(doc.setBookmarkText(QStringLiteral("TrayBand"), QString(u"a\u0000b\u0007c"_qs)));
        const QString saved = dir.filePath(QStringLiteral("o.docx"));
        QVERIFY(doc.saveAs(saved));
        FileCoverDocument reread(testOptions(dir));
        QVERIFY(reread.open(saved));
        QCOMPARE(reread.bookmarkText(QStringLiteral("TrayBand")).value_or(QString()),
                 u"a\uFFFDb\uFFFDc"_qs);
    }

    void missingBookmarks_failAlone_data() { addFormats(); }
    void missingBookmarks_failAlone()
    {
        QFETCH(Format, format);
        QTemporaryDir dir;
        QStringList present = CoverBookmarkNames();
        const QStringList absent = {QStringLiteral("LinerNotes"), QStringLiteral("TrayDisc3"),
                                    QStringLiteral("TrayDisc4Tracks")};
        for (const QString &a : absent)
            present.removeAll(a);
        const QString path = writeFile(dir, QStringLiteral("Partial") + extension(format),
                                       buildTemplate(format, coverMarks(present)));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        const QStringList all = CoverBookmarkNames();
        for (const QString &name : all) {
            const Result<void> looked = doc.lookUpBookmark(name);
            const Result<void> set = doc.setBookmarkText(name, name + QStringLiteral(" value"));
            QCOMPARE(looked.ok(), present.contains(name));
            QCOMPARE(set.ok(), present.contains(name));
            if (!looked.ok()) {
                QVERIFY(looked.error().contains(name));
                QVERIFY(looked.error().contains(QStringLiteral("Partial")));
                QVERIFY(!doc.scrollIntoView(name).ok());
            }
        }
        for (const QString &name : present)
            QCOMPARE(doc.bookmarkText(name).value_or(QString()), name + QStringLiteral(" value"));
        // Names match exactly, as Word's do.
        QVERIFY(!doc.lookUpBookmark(QStringLiteral("linerband")).ok());
        QVERIFY(!doc.lookUpBookmark(QStringLiteral("LinerDate")).ok());
    }

    void bookmarkBetweenParagraphs_wordPlacesMarkersInParagraphs()
    {
        // Word may put a bookmark's start before the paragraph and its end after it.
        QTemporaryDir dir;
        const QByteArray body =
            "<w:bookmarkStart w:id=\"1\" w:name=\"SpineBand\"/>"
            "<w:p><w:r><w:t>old</w:t></w:r></w:p><w:p><w:r><w:t>more</w:t></w:r></w:p>"
            "<w:bookmarkEnd w:id=\"1\"/>"
            "<w:bookmarkStart w:id=\"2\" w:name=\"SpineDate\"/><w:bookmarkEnd w:id=\"2\"/>"
            "<w:p><w:r><w:t>after</w:t></w:r></w:p>";
        const QString path = writeFile(dir, QStringLiteral("b.docx"),
                                       zipBytes(packageFromParts(Format::Docx, body, {}, {})));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        QCOMPARE(doc.bookmarkText(QStringLiteral("SpineBand")).value_or(QString()),
                 QStringLiteral("old\r\nmore\r\n"));
        QVERIFY(doc.setBookmarkText(QStringLiteral("SpineBand"), QStringLiteral("new")));
        QCOMPARE(doc.bookmarkText(QStringLiteral("SpineBand")).value_or(QString()),
                 QStringLiteral("new"));
        QVERIFY(doc.setBookmarkText(QStringLiteral("SpineDate"), QStringLiteral("1977")));
        QCOMPARE(doc.bookmarkText(QStringLiteral("SpineDate")).value_or(QString()),
                 QStringLiteral("1977"));
    }

    void zoom_writtenToSettings_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<bool>("withSettings");
        QTest::newRow("odt with settings") << Format::Odt << true;
        QTest::newRow("odt without settings") << Format::Odt << false;
        QTest::newRow("docx with settings") << Format::Docx << true;
        QTest::newRow("docx without settings") << Format::Docx << false;
    }
    void zoom_writtenToSettings()
    {
        QFETCH(Format, format);
        QFETCH(bool, withSettings);
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, QStringLiteral("z") + extension(format),
            buildTemplate(format, coverMarks({QStringLiteral("TrayBand")}), withSettings));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        QVERIFY(!doc.setZoom(0).ok());
        QVERIFY(doc.setZoom(75));
        const QString saved = dir.filePath(QStringLiteral("out") + extension(format));
        QVERIFY(doc.saveAs(saved));

        pugi::xml_document xml;
        const QByteArray settings =
            entryOf(saved, isOdf(format) ? "settings.xml" : "word/settings.xml");
        QVERIFY(xml.load_buffer(settings.constData(), static_cast<size_t>(settings.size())));
        if (isOdf(format)) {
            auto item = [&xml](const char *name) {
                return QByteArray(xml.find_node([name](pugi::xml_node n) {
                                         return std::strcmp(n.attribute("config:name").value(),
                                                            name) == 0;
                                     })
                                      .child_value());
            };
            QCOMPARE(item("ZoomType"), QByteArray("0"));
            QCOMPARE(item("ZoomFactor"), QByteArray("75"));
            QVERIFY(entryOf(saved, "META-INF/manifest.xml").contains("full-path=\"settings.xml\""));
        } else {
            const pugi::xml_node zoom = xml.document_element().child("w:zoom");
            QCOMPARE(QByteArray(zoom.attribute("w:percent").value()), QByteArray("75"));
            QVERIFY(!zoom.attribute("w:val"));
            QVERIFY(
                entryOf(saved, "word/_rels/document.xml.rels").contains("Target=\"settings.xml\""));
            QVERIFY(entryOf(saved, "[Content_Types].xml").contains("/word/settings.xml"));
        }
        FileCoverDocument reread(testOptions(dir));
        QVERIFY(reread.open(saved));
    }

    // A cover made for the dialog is a template copy in the covers folder, which opens as a
    // new document; a second cover of the same show does not replace the first, and covers of
    // long ago are cleared away.
    void makeCover_writesTemplateCopy_data() { addFormats(); }
    void makeCover_writesTemplateCopy()
    {
        QFETCH(Format, format);
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("template")));
        const QString path = writeFile(dir, QStringLiteral("template/Jewel") + extension(format),
                                       buildTemplate(format, coverMarks()));
        const QByteArray before = sha1Of(path);
        CoverJob job;
        job.templateFolder = dir.filePath(QStringLiteral("template"));
        job.choices = {QStringLiteral("Jewel") + extension(format), 1, QStringLiteral("Jane")};
        job.xml = QStringLiteral("<BAND>Blue Lantern</BAND><DATE>5/8/1977</DATE>");
        job.fill = {UnitedStatesLocale(), QDate(2024, 3, 9)};
        job.coversFolder = dir.filePath(QStringLiteral("cache/covers"));
        QDir().mkpath(job.coversFolder);
        QFile old(writeFile(dir, QStringLiteral("cache/covers/Old cover.ott"), "x"));
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTimeUtc().addDays(-CoverKeepDays - 1),
                                QFileDevice::FileModificationTime));
        old.close();
        QStringList written;
        for (int run = 0; run < 2; ++run) {
            FileCoverDocument doc(testOptions(dir));
            const Result<MadeCover> cover = MakeCover(doc, job);
            QVERIFY2(cover, qPrintable(cover.error()));
            written << cover->path;
        }

        const QString folder = job.coversFolder + u'/';
        const QString ext = isOdf(format) ? QStringLiteral(".ott") : QStringLiteral(".dotx");
        const QStringList expected = {
            folder + QStringLiteral("Blue Lantern 1977-05-08 cover") + ext,
            folder + QStringLiteral("Blue Lantern 1977-05-08 cover (2)") + ext};
        QCOMPARE(written, expected);
        QVERIFY(!old.exists());

        if (isOdf(format)) {
            int index = -1;
            bool stored = false;
            QCOMPARE(entryOf(expected.at(0), "mimetype", &index, &stored),
                     QByteArray("application/vnd.oasis.opendocument.text-template"));
            QCOMPARE(index, 0);
            QVERIFY(stored);
            QVERIFY(
                entryOf(expected.at(0), "META-INF/manifest.xml")
                    .contains("media-type=\"application/vnd.oasis.opendocument.text-template\""));
            QCOMPARE(entryOf(expected.at(0), "Pictures/blob.bin"),
                     QByteArray("\x89PNG\r\n\x1a\n not really", 20));
        } else {
            QVERIFY(entryOf(expected.at(0), "[Content_Types].xml")
                        .contains("wordprocessingml.template.main+xml"));
            QCOMPARE(entryOf(expected.at(0), "word/media/blob.bin"),
                     QByteArray("\x89PNG\r\n\x1a\n not really", 20));
        }
        FileCoverDocument shown(testOptions(dir));
        QVERIFY(shown.open(expected.at(0)));
        QCOMPARE(shown.bookmarkText(QStringLiteral("CoverBand")).value_or(QString()),
                 QStringLiteral("Blue Lantern"));
        QCOMPARE(shown.bookmarkText(QStringLiteral("TrayCollection")).value_or(QString()),
                 QStringLiteral("From the collection of Jane"));

        // The template is never changed, and nothing is written beside it.
        QCOMPARE(sha1Of(path), before);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("template")))
                     .entryList(QDir::Files | QDir::Hidden)
                     .size(),
                 1);
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        QVERIFY(!doc.saveAs(path).ok());
        QCOMPARE(sha1Of(path), before);
    }

    void saveAs_extensionMustFitFormat_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("typeText");
        QTest::newRow("odt as odt")
            << Format::Ott << "c.odt" << true << QByteArray("opendocument.text");
        QTest::newRow("ott as ott")
            << Format::Odt << "c.ott" << true << QByteArray("opendocument.text-template");
        QTest::newRow("docx as docx")
            << Format::Dotx << "c.docx" << true << QByteArray("document.main+xml");
        QTest::newRow("docx as dotx")
            << Format::Docx << "c.dotx" << true << QByteArray("template.main+xml");
        QTest::newRow("odt as docx") << Format::Odt << "c.docx" << false << QByteArray();
        QTest::newRow("docx as macro-enabled docm")
            << Format::Docx << "c.docm" << false << QByteArray();
        QTest::newRow("docx as pdf") << Format::Docx << "c.pdf" << false << QByteArray();
    }
    void saveAs_extensionMustFitFormat()
    {
        QFETCH(Format, format);
        QFETCH(QString, target);
        QFETCH(bool, ok);
        QFETCH(QByteArray, typeText);
        QTemporaryDir dir;
        const QString path =
            writeFile(dir, QStringLiteral("t") + extension(format),
                      buildTemplate(format, coverMarks({QStringLiteral("TrayBand")})));
        FileCoverDocument doc(testOptions(dir));
        QVERIFY(doc.open(path));
        const Result<void> r = doc.saveAs(dir.filePath(target));
        QCOMPARE(r.ok(), ok);
        QCOMPARE(QFile::exists(dir.filePath(target)), ok);
        if (ok) {
            const QByteArray type = isOdf(format)
                                        ? entryOf(dir.filePath(target), "mimetype")
                                        : entryOf(dir.filePath(target), "[Content_Types].xml");
            QVERIFY(type.contains(typeText));
            if (isOdf(format))
                QCOMPARE(type.endsWith("template"), typeText.endsWith("template"));
        } else {
            QVERIFY(r.error().contains(target));
        }
    }

    void coverFileBaseName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Blue Lantern 1977-05-08"
                               << "Blue Lantern 1977-05-08 cover";
        QTest::newRow("slashes in date") << "Band 10/04/2000"
                                         << "Band 10-04-2000 cover";
        QTest::newRow("reserved characters") << "A<B>C\"D|E?F*G:H\\I"
                                             << "A_B_C_D_E_F_G-H-I cover";
        QTest::newRow("control characters") << "A\tB\r\nC"
                                            << "A B C cover";
        QTest::newRow("dots and blanks at ends") << " ..Band.. "
                                                 << "Band cover";
        QTest::newRow("empty") << ""
                               << "Tapewright cover";
        QTest::newRow("only dots") << "..."
                                   << "Tapewright cover";
        QTest::newRow("non-ascii kept") << "Motörhead Zürich"
                                        << "Motörhead Zürich cover";
        QTest::newRow("long") << QString(150, u'x') << QString(100, u'x') + " cover";
    }
    void coverFileBaseName()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(CoverFileBaseName(title), expected);
    }

    void removeOldCovers_onlyOldCovers()
    {
        QTemporaryDir dir;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        struct File
        {
            const char *name;
            int ageDays;
            bool removed;
        };
        const File files[] = {{"Old cover.ott", 8, true},     {"Old cover (3).dotx", 30, true},
                              {"Old cover.dotm", 30, true},   {"Old cover.doc", 30, false},
                              {"Recent cover.ott", 6, false}, {"Old notes.txt", 30, false},
                              {"cover.ott", 30, false}};
        for (const File &f : files) {
            const QString path = writeFile(dir, QString::fromUtf8(f.name), "x");
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(now.addDays(-f.ageDays), QFileDevice::FileModificationTime));
        }
        QCOMPARE(RemoveOldCovers(dir.path(), now), 3);
        for (const File &f : files)
            QCOMPARE(QFile::exists(dir.filePath(QString::fromUtf8(f.name))), !f.removed);
    }

    void hostile_clearError_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");

        QTest::newRow("not a zip")
            << "a.odt" << QByteArray("just some text") << "not a zip package";
        QTest::newRow("empty file") << "a.docx" << QByteArray() << "the file is empty";
        QTest::newRow("truncated zip")
            << "a.odt" << buildTemplate(Format::Odt, coverMarks()).left(300) << "zip package";
        QTest::newRow("unsupported extension")
            << "a.rtf" << QByteArray("{\\rtf1}") << "Word (.docx, .dotx, .docm, .dotm) templates";

        ZipPackage noContent = packageFromParts(Format::Odt, {}, {}, {});
        noContent.entries.erase(noContent.entries.begin() + 2);
        QTest::newRow("odt without content.xml")
            << "a.odt" << zipBytes(noContent) << "no content.xml";

        ZipPackage noDocument = packageFromParts(Format::Docx, {}, {}, {});
        noDocument.entries.erase(noDocument.entries.begin() + 2);
        QTest::newRow("docx without document part")
            << "a.docx" << zipBytes(noDocument) << "main document part";

        ZipPackage noTypes = packageFromParts(Format::Docx, {}, {}, {});
        noTypes.entries.erase(noTypes.entries.begin());
        QTest::newRow("docx without content types")
            << "a.docx" << zipBytes(noTypes) << "[Content_Types].xml";

        ZipPackage badContent = packageFromParts(Format::Odt, {}, {}, {});
        badContent.entries[2].data =
            "<office:document-content><office:body></office:document-content>";
        QTest::newRow("malformed content.xml")
            << "a.odt" << zipBytes(badContent) << "not well-formed XML";

        ZipPackage badHeader = packageFromParts(Format::Docx, {}, {}, {});
        badHeader.entries[4].data = "<w:hdr xmlns:w=\"x\"><w:p>";
        QTest::newRow("malformed header") << "a.docx" << zipBytes(badHeader) << "word/header1.xml";

        ZipPackage sheet = packageFromParts(Format::Odt, {}, {}, {});
        sheet.entries[0].data = "application/vnd.oasis.opendocument.spreadsheet";
        QTest::newRow("spreadsheet named odt")
            << "a.odt" << zipBytes(sheet) << "not an OpenDocument text";

        ZipPackage odfEncrypted = packageFromParts(Format::Odt, {}, {}, {});
        odfEncrypted.entries[1].data.replace(
            "manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>",
            "manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\">"
            "<manifest:encryption-data manifest:checksum-type=\"SHA1/1K\"/></manifest:file-entry>");
        QTest::newRow("odf encrypted by its manifest")
            << "a.odt" << zipBytes(odfEncrypted) << "encrypted";

        QTest::newRow("compound file named docx")
            << "a.docx" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0')
            << "password-protected";

        // Zip-level encryption (a traditional PKWARE password on an entry).
        {
            zip_error_t err;
            zip_error_init(&err);
            zip_source_t *buf = zip_source_buffer_create(nullptr, 0, 0, &err);
            zip_source_keep(buf);
            zip_t *z = zip_open_from_source(buf, ZIP_TRUNCATE, &err);
            static const char content[] = "<office:document-content/>";
            zip_int64_t i = zip_file_add(z, "content.xml",
                                         zip_source_buffer(z, content, sizeof content - 1, 0), 0);
            const bool encrypted = zip_file_set_encryption(z, static_cast<zip_uint64_t>(i),
                                                           ZIP_EM_AES_256, "secret") == 0;
            zip_close(z);
            QByteArray bytes;
            zip_stat_t st;
            zip_source_stat(buf, &st);
            zip_source_open(buf);
            bytes.resize(static_cast<qsizetype>(st.size));
            zip_source_read(buf, bytes.data(), st.size);
            zip_source_close(buf);
            zip_source_free(buf);
            if (encrypted)
                QTest::newRow("encrypted zip entry") << "a.odt" << bytes << "encrypted";
        }

        ZipPackage bomb = packageFromParts(Format::Odt, {}, {}, {});
        bomb.entries.push_back(
            ZipEntry{"Pictures/huge.bin", QByteArray(MaxZipEntrySize + 1, '\0'), false, 0});
        const QByteArray bombBytes = zipBytes(bomb);
        QTest::newRow("entry inflating beyond 64 MiB")
            << "a.odt" << bombBytes << "inflates to more than 64 MiB";
        QTest::newRow("entry lying about its size")
            << "a.odt" << lieAboutSizes(bombBytes) << "Pictures/huge.bin";

        ZipPackage twice = packageFromParts(Format::Odt, {}, {}, {});
        twice.entries.push_back(ZipEntry{"contenT.xml", "<x/>", false, 0});
        QTest::newRow("two entries of one name")
            << "a.odt" << zipBytes(twice).replace("contenT.xml", "content.xml")
            << "two entries named “content.xml”";

        QByteArray many;
        for (int i = 0; i <= MaxCoverBookmarks; ++i)
            many +=
                "<text:p><text:bookmark text:name=\"B" + QByteArray::number(i) + "\"/></text:p>";
        QTest::newRow("thousands of bookmarks")
            << "a.ott" << zipBytes(packageFromParts(Format::Ott, many, {}, {})) << "bookmarks";

        // The removal of a bookmark's old text once overflowed the stack on these.
        QTest::newRow("odt nested 200000 deep in a bookmark")
            << "a.odt"
            << zipBytes(packageFromParts(Format::Odt,
                                         "<text:p><text:bookmark-start text:name=\"TrayBand\"/>" +
                                             nested("<text:span>", "</text:span>", 200000) +
                                             "<text:bookmark-end text:name=\"TrayBand\"/></text:p>",
                                         {}, {}))
            << "its part “content.xml” nests its elements more than 1000 levels deep";
        // The header's paragraph lies at level 2, its text at 3 + 2 * 499.
        QTest::newRow("docx header nested 1001 deep")
            << "a.docx"
            << zipBytes(packageFromParts(
                   Format::Docx, {},
                   "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"TrayBand\"/>" +
                       nested("<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>", 499) +
                       "<w:bookmarkEnd w:id=\"1\"/></w:p>",
                   {}))
            << "its part “word/header1.xml” nests its elements more than 1000 levels deep";

        // A .doc that is none: refused before LibreOffice would make an empty text of it.
        QByteArray noise(2000, '\0');
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("random bytes named doc")
            << "a.doc" << noise << "it is not a Word 97–2003 document";
        QTest::newRow("web page named doc")
            << "a.doc"
            << QByteArray("\r\n<!DOCTYPE html>\r\n<html><body><p>Cover</p></body></html>")
            << "it is a web page (HTML)";
        QTest::newRow("docx named doc") << "a.doc" << buildTemplate(Format::Docx, coverMarks())
                                        << "a zip package, not a Word 97–2003 document";

        QTest::newRow("missing file") << "" << QByteArray() << "does not exist";
        QTest::newRow("legacy doc without LibreOffice")
            << "a.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)
            << "Tapewright fills .odt and .docx templates";
    }
    void hostile_clearError()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = fileName.isEmpty() ? dir.filePath(QStringLiteral("gone.odt"))
                                                : writeFile(dir, fileName, bytes);
        FileCoverDocument doc(testOptions(dir));
        const Result<void> r = doc.open(path);
        QVERIFY(!r.ok());
        QVERIFY2(r.error().contains(reason), qPrintable(r.error()));
        QVERIFY2(r.error().contains(QDir::toNativeSeparators(path)), qPrintable(r.error()));
        // A failed open leaves no document behind.
        QVERIFY(!doc.lookUpBookmark(QStringLiteral("TrayBand")).ok());
        QVERIFY(!doc.saveAs(dir.filePath(QStringLiteral("x.odt"))).ok());
    }

    void hostile_opensSafely_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("before"); // the bookmark's text as read

        const QByteArray laughs = "<!DOCTYPE office:document-content [<!ENTITY a \"aaaaaaaaaa\">"
                                  "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                                  "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                                  "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
                                  "<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>";
        QTest::newRow("odt entities and a DTD")
            << Format::Odt
            << laughs + "<text:p><text:bookmark-start text:name=\"TrayBand\"/>&d;&xxe;"
                        "<text:bookmark-end text:name=\"TrayBand\"/></text:p>"
            << "&d;&xxe;";
        QTest::newRow("docx entities and a DTD")
            << Format::Docx
            << laughs + "<w:p><w:bookmarkStart w:id=\"1\" "
                        "w:name=\"TrayBand\"/><w:r><w:t>&d;&xxe;</w:t></w:r>"
                        "<w:bookmarkEnd w:id=\"1\"/></w:p>"
            << "&d;&xxe;";

        // Just inside the limit: the paragraph lies four levels deep, the text one below the
        // innermost span.
        QTest::newRow("odt nested 1000 deep")
            << Format::Odt
            << "<text:p><text:bookmark-start text:name=\"TrayBand\"/>" +
                   nested("<text:span>", "</text:span>", MaxXmlDepth - 5) +
                   "<text:bookmark-end text:name=\"TrayBand\"/></text:p>"
            << "x";
        QTest::newRow("end before start, start never ended")
            << Format::Odt
            << QByteArray("<text:p><text:bookmark-end text:name=\"TrayBand\"/>a"
                          "<text:bookmark-start text:name=\"TrayBand\"/>b</text:p>")
            << "";
        QTest::newRow("huge space count")
            << Format::Odt
            << QByteArray("<text:p><text:bookmark-start text:name=\"TrayBand\"/>"
                          "<text:s text:c=\"2000000000\"/><text:bookmark-end "
                          "text:name=\"TrayBand\"/></text:p>")
            << QString(1000, u' ');
    }
    void hostile_opensSafely()
    {
        QFETCH(Format, format);
        QFETCH(QByteArray, body);
        QFETCH(QString, before);
        QTemporaryDir dir;
        ZipPackage p = packageFromParts(format, {}, {}, {});
        // The DTD must precede the root element, so the part is assembled by hand.
        QByteArray &part = p.entries[2].data;
        const qsizetype doctype = body.indexOf("]>");
        const QByteArray dtd = doctype >= 0 ? body.left(doctype + 2) : QByteArray();
        const QByteArray inner = doctype >= 0 ? body.mid(doctype + 2) : body;
        const QByteArray marker = isOdf(format) ? "<office:text>" : "<w:body>";
        part.insert(part.indexOf(marker) + marker.size(), inner);
        part.insert(part.indexOf("?>") + 2, dtd);
        const QString path = writeFile(dir, QStringLiteral("h") + extension(format), zipBytes(p));

        FileCoverDocument doc(testOptions(dir));
        const Result<void> r = doc.open(path);
        QVERIFY2(r.ok(), qPrintable(r.error()));
        QCOMPARE(doc.bookmarkText(QStringLiteral("TrayBand")).value_or(QStringLiteral("?")),
                 before);
        QVERIFY(doc.setBookmarkText(QStringLiteral("TrayBand"), QStringLiteral("filled")));
        QCOMPARE(doc.bookmarkText(QStringLiteral("TrayBand")).value_or(QStringLiteral("?")),
                 QStringLiteral("filled"));
        const QString saved = dir.filePath(QStringLiteral("out") + extension(format));
        QVERIFY(doc.saveAs(saved));
        QVERIFY(
            !entryOf(saved, isOdf(format) ? "content.xml" : "word/document.xml").contains("root:"));
    }

private:
    // count opening tags, an "x", and count closing tags.
    static QByteArray nested(const QByteArray &open, const QByteArray &close, int count)
    {
        return open.repeated(count) + "x" + close.repeated(count);
    }

    // Rewrites the uncompressed size of the entry name to a small value in its local and
    // central headers, as a crafted bomb would.
    static QByteArray lieAboutSizes(QByteArray zip, const QByteArray &name = "Pictures/huge.bin")
    {
        const auto put32 = [&zip](qsizetype at, quint32 v) {
            for (int b = 0; b < 4; ++b)
                zip[at + b] = char((v >> (8 * b)) & 0xFF);
        };
        const struct
        {
            const char *signature;
            int sizeAt, nameAt;
        } headers[] = {{"PK\x03\x04", 22, 30}, {"PK\x01\x02", 24, 46}};
        for (const auto &h : headers) {
            for (qsizetype at = zip.indexOf(h.signature); at >= 0;
                 at = zip.indexOf(h.signature, at + 4)) {
                if (zip.mid(at + h.nameAt, name.size()) == name)
                    put32(at + h.sizeAt, 1000);
            }
        }
        return zip;
    }
};

QTEST_GUILESS_MAIN(TestFileCoverDocument)
#include "tst_filecoverdocument.moc"
