// Filling cover templates of both formats: every bookmark shape and place, values that are
// text and never markup, saving, the cover file of a made cover, zoom, and templates that are
// broken or hostile.
#include "cover/document/bookmarkxml.h"
#include "cover/fill/coverfiller.h"
#include "cover/fill/filecoverdocument.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

#include <tuple>

using namespace tapewright;
using namespace testsupport;

namespace {

// Values with lists, markup characters, quotes, non-ASCII text, blanks and tabs; name i gets
// pattern i mod 9, prefixed with its own name so that no two are alike.
QString ValueFor(int i, const QString &name)
{
    static const QStringList patterns = {
        u"Blue Lantern & <Friends>"_qs,
        u"1. Intro\r\n2. Song \"One\"\r\n3. It's <done> & dusted"_qs,
        QString(),
        u"Café Zürich – Señor Ñandú, Łódź 日本"_qs,
        u"two  blanks,  trailing "_qs,
        u"tab\there"_qs,
        u"Köln\r\n\r\nafter an empty line"_qs,
        u"<b>&amp;</b> ]]> &#65;"_qs,
        u"ends with a line end\r\n"_qs,
    };
    const QString &p = patterns.at(i % patterns.size());
    return p.isEmpty() ? p : name + u": "_qs + p;
}

FileCoverOptions Options(const QTemporaryDir &dir)
{
    return {dir.filePath(u"cache"_qs), QString()};
}

QString Text(const FileCoverDocument &doc, const QString &name)
{
    return doc.bookmarkText(name).value_or(u"<missing>"_qs);
}

QByteArray MainPart(const QString &path)
{
    return PackageEntry(path, IsOdf(u'.' + QFileInfo(path).suffix()) ? "content.xml"
                                                                     : "word/document.xml");
}

void AddFormats()
{
    QTest::addColumn<QString>("ext");
    for (const char *ext : {".odt", ".ott", ".docx", ".dotx"})
        QTest::newRow(ext + 1) << QString::fromLatin1(ext);
}

// count opening tags, an "x", and count closing tags.
QByteArray Nested(const QByteArray &open, const QByteArray &close, int count)
{
    return open.repeated(count) + "x" + close.repeated(count);
}

// Overwrites bytes at an offset of the entry's local and central headers, as a crafted package
// would: the uncompressed size (22, 24) or the flags (6, 8).
QByteArray PatchHeaders(QByteArray zip, const QByteArray &name, int localAt, int centralAt,
                        const QByteArray &bytes)
{
    const struct
    {
        const char *signature;
        int at, nameAt;
    } headers[] = {{"PK\x03\x04", localAt, 30}, {"PK\x01\x02", centralAt, 46}};
    for (const auto &h : headers) {
        for (qsizetype at = zip.indexOf(h.signature); at >= 0;
             at = zip.indexOf(h.signature, at + 4)) {
            if (zip.mid(at + h.nameAt, name.size()) == name)
                zip.replace(at + h.at, bytes.size(), bytes);
        }
    }
    return zip;
}

} // namespace

class TestFileCoverDocument : public QObject
{
    Q_OBJECT

private slots:
    // Every bookmark filled, read back, written out and read again, then filled a second time:
    // the bookmarks stay around the new text. What XML cannot hold becomes U+FFFD. Names match
    // exactly, as Word's do: a bookmark the template lacks fails alone, with the template's name
    // in its message.
    void fill_allBookmarksReadBack_data() { AddFormats(); }
    void fill_allBookmarksReadBack()
    {
        QFETCH(QString, ext);
        QTemporaryDir dir;
        const QStringList absent = {u"LinerNotes"_qs, u"TrayDisc3"_qs, u"linerband"_qs,
                                    u"LinerDate"_qs};
        QStringList names = CoverBookmarkNames();
        names.removeAll(u"LinerNotes"_qs);
        names.removeAll(u"TrayDisc3"_qs);
        const QString path =
            WriteFile(dir, u"Partial"_qs + ext, TemplateBytes(ext, CoverMarks(names)));
        QStringList sorted = names;
        sorted.sort();
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.start());
        const Result<void> opened = doc.open(path);
        QVERIFY2(opened, qPrintable(opened.error()));
        QCOMPARE(doc.bookmarkNames(), sorted);
        for (const QString &name : absent) {
            const Result<void> looked = doc.lookUpBookmark(name);
            QVERIFY(!looked && looked.error().contains(name) &&
                    looked.error().contains(u"Partial"_qs));
            QVERIFY(!doc.scrollIntoView(name) && !doc.setBookmarkText(name, name));
        }
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(doc.lookUpBookmark(names.at(i)));
            QVERIFY(doc.scrollIntoView(names.at(i)));
            const Result<void> r = doc.setBookmarkText(names.at(i), ValueFor(i, names.at(i)));
            QVERIFY2(r, qPrintable(r.error()));
        }
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(Text(doc, names.at(i)), ValueFor(i, names.at(i)));

        const QString saved = dir.filePath(u"filled"_qs + ext);
        QVERIFY(doc.saveAs(saved));
        FileCoverDocument again(Options(dir));
        QVERIFY(again.open(saved));
        QCOMPARE(again.bookmarkNames(), sorted);
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(Text(again, names.at(i)), ValueFor(i, names.at(i)));
            QVERIFY(again.setBookmarkText(names.at(i), u"second "_qs + names.at(i)));
        }
        QVERIFY(again.setBookmarkText(names.at(0), u"\u0001b\u0007c"_qs + QChar(0xD83D) + u'd'));
        QVERIFY(again.saveAs(dir.filePath(u"third"_qs + ext)));
        FileCoverDocument third(Options(dir));
        QVERIFY(third.open(dir.filePath(u"third"_qs + ext)));
        QCOMPARE(Text(third, names.at(0)), u"\uFFFDb\uFFFDc\uFFFDd"_qs);
        for (const QString &name : names.mid(1))
            QCOMPARE(Text(third, name), u"second "_qs + name);
    }

    void fill_keepsTextAroundBookmark_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("place");
        const char *shapes[] = {"point", "range", "across runs", "across paragraphs"};
        const char *places[] = {"body", "table cell", "frame", "header", "footer"};
        for (const char *ext : {".odt", ".docx"}) {
            for (int s = 0; s < 4; ++s) {
                for (int p = 0; p < 5; ++p)
                    QTest::addRow("%s, %s, %s", ext + 1, shapes[s], places[p])
                        << QString::fromLatin1(ext) << s << p;
            }
        }
    }
    // Refilled, the text around the bookmark and the bookmark around it stay. In body text the
    // new text takes the formatting of the run where the bookmark starts (a bold span or run),
    // and markup in a value is escaped, never taken as markup.
    void fill_keepsTextAroundBookmark()
    {
        QFETCH(QString, ext);
        QFETCH(int, shape);
        QFETCH(int, place);
        QTemporaryDir dir;
        const QString path =
            WriteFile(dir, u"t"_qs + ext,
                      TemplateBytes(ext, {{u"TrayBand"_qs, Place(place), Shape(shape), true}}));
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(path));
        if (Place(place) == Place::Body) {
            QVERIFY(doc.setBookmarkText(u"TrayBand"_qs, u"<b>&amp;\r\nC"_qs));
            const QString saved = dir.filePath(u"out"_qs + ext);
            QVERIFY(doc.saveAs(saved));
            const QByteArray part = MainPart(saved);
            QVERIFY(part.contains("&lt;b&gt;&amp;amp;"));
            pugi::xml_document xml;
            QVERIFY(xml.load_buffer(part.constData(), size_t(part.size())));
            const bool bold =
                Shape(shape) == Shape::Range || Shape(shape) == Shape::AcrossParagraphs;
            pugi::xml_node next =
                xml.select_node(IsOdf(ext) ? "//*[@text:name='TrayBand']"
                                           : "//w:bookmarkStart[@w:name='TrayBand']")
                    .node()
                    .next_sibling();
            if (IsOdf(ext)) {
                QCOMPARE(QByteArray(next.attribute("text:style-name").value()), bold ? "T1" : "");
                next = bold ? next.first_child() : next;
            } else {
                QCOMPARE(bool(next.child("w:rPr").child("w:b")), bold);
                next = next.child("w:t").first_child();
            }
            QCOMPARE(QByteArray(next.value()), QByteArray("<b>&amp;"));
        }
        for (const QString &value : {u"A & B\r\nC"_qs, QString(), u"<b>&amp;\r\nC"_qs}) {
            const Result<void> r = doc.setBookmarkText(u"TrayBand"_qs, value);
            QVERIFY2(r, qPrintable(r.error()));
            QCOMPARE(Text(doc, u"TrayBand"_qs), value);
            QCOMPARE(Text(doc, u"OuterTrayBand"_qs), u'[' + value + u']');
        }
    }

    // A bookmark that starts inside a span: the new text sits in that span, not in a second.
    void fill_startInsideSpan()
    {
        QTemporaryDir dir;
        const QString path = WriteFile(
            dir, u"t.odt"_qs,
            ZipBytes(TemplatePackage(u".odt"_qs, "<text:p><text:span text:style-name=\"T1\">"
                                                 "<text:bookmark-start text:name=\"TrayBand\"/>"
                                                 "old</text:span><text:bookmark-end "
                                                 "text:name=\"TrayBand\"/></text:p>")));
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(path) && doc.setBookmarkText(u"TrayBand"_qs, u"new"_qs));
        QVERIFY(doc.saveAs(dir.filePath(u"out.odt"_qs)));
        QCOMPARE(MainPart(dir.filePath(u"out.odt"_qs)).count("<text:span"), 1);
    }

    // Filling a bookmark whose old text holds another removes that one; the other is then
    // missing, as a bookmark the template lacks, and its removal leaves nothing stale behind.
    void fill_bookmarkInsideAnother_data() { AddFormats(); }
    void fill_bookmarkInsideAnother()
    {
        QFETCH(QString, ext);
        QTemporaryDir dir;
        const QString path =
            WriteFile(dir, u"t"_qs + ext,
                      TemplateBytes(ext, {{u"TrayBand"_qs, Place::Body, Shape::AcrossRuns, true},
                                          {u"TrayDate"_qs}}));
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(path));
        QVERIFY(doc.setBookmarkText(u"OuterTrayBand"_qs, u"outer"_qs));
        QCOMPARE(doc.bookmarkNames(), (QStringList{u"OuterTrayBand"_qs, u"TrayDate"_qs}));
        QVERIFY(!doc.setBookmarkText(u"TrayBand"_qs, u"inner"_qs));
        QVERIFY(doc.setBookmarkText(u"TrayDate"_qs, u"date"_qs));
        const QString saved = dir.filePath(u"out"_qs + ext);
        QVERIFY(doc.saveAs(saved));
        FileCoverDocument again(Options(dir));
        QVERIFY(again.open(saved));
        QCOMPARE(Text(again, u"OuterTrayBand"_qs), u"outer"_qs);
        QCOMPARE(Text(again, u"TrayDate"_qs), u"date"_qs);
    }

    // Word may put a bookmark's start before the paragraph and its end after it. One that
    // starts before a table, or spans two table cells, is refused and left as it was.
    void bookmarkBetweenParagraphs_wordPlacesMarkersInParagraphs()
    {
        QTemporaryDir dir;
        const QByteArray body =
            "<w:bookmarkStart w:id=\"1\" w:name=\"SpineBand\"/>"
            "<w:p><w:r><w:t>old</w:t></w:r></w:p><w:p><w:r><w:t>more</w:t></w:r></w:p>"
            "<w:bookmarkEnd w:id=\"1\"/>"
            "<w:bookmarkStart w:id=\"2\" w:name=\"SpineDate\"/><w:bookmarkEnd w:id=\"2\"/>"
            "<w:p><w:r><w:t>after</w:t></w:r></w:p>"
            "<w:bookmarkStart w:id=\"3\" w:name=\"SpineCity\"/><w:tbl><w:tr><w:tc><w:p/></w:tc>"
            "</w:tr></w:tbl><w:p><w:r><w:t>x</w:t></w:r><w:bookmarkEnd w:id=\"3\"/></w:p>"
            "<w:tbl><w:tr><w:tc><w:p><w:bookmarkStart w:id=\"4\" w:name=\"SpineState\"/><w:r>"
            "<w:t>a</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>b</w:t></w:r><w:bookmarkEnd "
            "w:id=\"4\"/></w:p></w:tc></w:tr></w:tbl>";
        const QString path =
            WriteFile(dir, u"b.docx"_qs, ZipBytes(TemplatePackage(u".docx"_qs, body)));
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(path));
        QCOMPARE(Text(doc, u"SpineBand"_qs), u"old\r\nmore\r\n"_qs);
        QVERIFY(doc.setBookmarkText(u"SpineBand"_qs, u"new"_qs));
        QCOMPARE(Text(doc, u"SpineBand"_qs), u"new"_qs);
        QVERIFY(doc.setBookmarkText(u"SpineDate"_qs, u"1977"_qs));
        QCOMPARE(Text(doc, u"SpineDate"_qs), u"1977"_qs);
        for (const QString &name : {u"SpineCity"_qs, u"SpineState"_qs}) {
            const QString before = Text(doc, name);
            QVERIFY(!doc.setBookmarkText(name, u"y"_qs));
            QCOMPARE(Text(doc, name), before);
        }
    }

    void zoom_writtenToSettings_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<bool>("withSettings");
        for (const char *ext : {".odt", ".docx"}) {
            QTest::addRow("%s with settings", ext + 1) << QString::fromLatin1(ext) << true;
            QTest::addRow("%s without settings", ext + 1) << QString::fromLatin1(ext) << false;
        }
    }
    void zoom_writtenToSettings()
    {
        QFETCH(QString, ext);
        QFETCH(bool, withSettings);
        QTemporaryDir dir;
        const QString path =
            WriteFile(dir, u"z"_qs + ext, TemplateBytes(ext, {{u"TrayBand"_qs}}, withSettings));
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(path));
        QVERIFY(!doc.setZoom(0));
        QVERIFY(doc.setZoom(75));
        const QString saved = dir.filePath(u"out"_qs + ext);
        QVERIFY(doc.saveAs(saved));
        // The part is written anew, or added with its references when the template lacks it.
        const QByteArray settings = IsOdf(ext) ? PackageEntry(saved, "settings.xml")
                                               : PackageEntry(saved, "word/settings.xml");
        for (const QByteArray &wanted :
             IsOdf(ext) ? QList<QByteArray>{"\"ZoomType\" config:type=\"short\">0<",
                                            "\"ZoomFactor\" config:type=\"short\">75<"}
                        : QList<QByteArray>{"<w:zoom w:percent=\"75\"/>"})
            QVERIFY2(settings.contains(wanted), settings.constData());
        QVERIFY(PackageEntry(saved,
                             IsOdf(ext) ? "META-INF/manifest.xml" : "word/_rels/document.xml.rels")
                    .contains("settings.xml\""));
        QVERIFY(IsOdf(ext) ||
                PackageEntry(saved, "[Content_Types].xml").contains("/word/settings.xml"));
        FileCoverDocument reread(Options(dir));
        QVERIFY(reread.open(saved));
    }

    // A cover made for the dialog is a template copy in the covers folder, which opens as a
    // new document; a second cover of the same show does not replace the first, covers of
    // long ago are cleared away, and no cover is written over the template.
    void makeCover_writesTemplateCopy_data() { AddFormats(); }
    void makeCover_writesTemplateCopy()
    {
        QFETCH(QString, ext);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"template"_qs));
        QVERIFY(QDir(dir.path()).mkpath(u"covers"_qs));
        const QString path =
            WriteFile(dir, u"template/Jewel"_qs + ext, TemplateBytes(ext, CoverMarks()));
        const QByteArray before = ReadBytes(path);
        const CoverJob job{dir.filePath(u"template"_qs),
                           {u"Jewel"_qs + ext, 1, u"Jane"_qs},
                           u"<BAND>Blue Lantern</BAND><DATE>5/8/1977</DATE>"_qs,
                           {UnitedStatesLocale(), QDate(2024, 3, 9)},
                           QString(),
                           dir.filePath(u"covers"_qs)};
        // Only covers a week old go: no other files, no younger covers.
        const struct
        {
            const char *name;
            int ageDays;
            bool removed;
        } files[] = {{"Old cover.ott", 8, true},     {"Old cover (3).dotx", 30, true},
                     {"Old cover.dotm", 30, true},   {"Old cover.doc", 30, false},
                     {"Recent cover.ott", 6, false}, {"Old notes.txt", 30, false},
                     {"cover.ott", 30, false}};
        for (const auto &f : files) {
            QFile file(WriteFile(dir, u"covers/"_qs + QString::fromUtf8(f.name), "x"));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-f.ageDays),
                                     QFileDevice::FileModificationTime));
        }
        QStringList written;
        for (int run = 0; run < 2; ++run) {
            FileCoverDocument doc(Options(dir));
            const Result<MadeCover> cover = MakeCover(doc, job);
            QVERIFY2(cover, qPrintable(cover.error()));
            written << QFileInfo(cover->path).fileName();
        }
        const QString kind = IsOdf(ext) ? u".ott"_qs : u".dotx"_qs;
        QCOMPARE(written, (QStringList{u"Blue Lantern 1977-05-08 cover"_qs + kind,
                                       u"Blue Lantern 1977-05-08 cover (2)"_qs + kind}));
        for (const auto &f : files)
            QCOMPARE(QFile::exists(dir.filePath(u"covers/"_qs + QString::fromUtf8(f.name))),
                     !f.removed);
        // Parts the cover does not fill go along unchanged.
        QCOMPARE(PackageEntry(QDir(job.coversFolder).filePath(written.first()),
                              IsOdf(ext) ? "Pictures/blob.bin" : "word/media/blob.bin"),
                 TestData(u"cover/odt/Pictures/blob.bin"_qs));
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(path));
        QVERIFY(!doc.saveAs(path));
        QCOMPARE(ReadBytes(path), before);
    }

    void saveAs_extensionMustFitFormat_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("type"); // empty when refused
        QTest::newRow("ott as odt") << u".ott"_qs << "c.odt" << QByteArray("opendocument.text");
        QTest::newRow("odt as ott")
            << u".odt"_qs << "c.ott" << QByteArray("opendocument.text-template");
        QTest::newRow("dotx as docx") << u".dotx"_qs << "c.docx" << QByteArray("document.main+xml");
        QTest::newRow("docx as dotx") << u".docx"_qs << "c.dotx" << QByteArray("template.main+xml");
        QTest::newRow("odt as docx") << u".odt"_qs << "c.docx" << QByteArray();
        QTest::newRow("docx as docm") << u".docx"_qs << "c.docm" << QByteArray();
        QTest::newRow("docx as pdf") << u".docx"_qs << "c.pdf" << QByteArray();
    }
    void saveAs_extensionMustFitFormat()
    {
        QFETCH(QString, ext);
        QFETCH(QString, target);
        QFETCH(QByteArray, type);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, u"t"_qs + ext, TemplateBytes(ext, {{u"TrayBand"_qs}}));
        FileCoverDocument doc(Options(dir));
        QVERIFY(doc.open(path));
        const Result<void> r = doc.saveAs(dir.filePath(target));
        QCOMPARE(r.ok(), !type.isEmpty());
        QCOMPARE(QFile::exists(dir.filePath(target)), !type.isEmpty());
        if (type.isEmpty())
            QVERIFY(r.error().contains(target));
        else if (IsOdf(ext))
            QCOMPARE(PackageEntry(dir.filePath(target), "mimetype"),
                     "application/vnd.oasis." + type);
        else
            QVERIFY(PackageEntry(dir.filePath(target), "[Content_Types].xml").contains(type));
    }

    void coverFileBaseName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &title, const QString &expected) {
            QTest::newRow(name) << title << expected;
        };
        row("plain", u"Blue Lantern 1977-05-08"_qs, u"Blue Lantern 1977-05-08 cover"_qs);
        row("slashes in date", u"Band 10/04/2000"_qs, u"Band 10-04-2000 cover"_qs);
        row("reserved characters", u"A<B>C\"D|E?F*G:H\\I"_qs, u"A_B_C_D_E_F_G-H-I cover"_qs);
        row("control characters", u"A\tB\r\nC"_qs, u"A B C cover"_qs);
        row("dots and blanks at ends", u" ..Band.. "_qs, u"Band cover"_qs);
        row("empty", QString(), u"Tapewright cover"_qs);
        row("only dots", u"..."_qs, u"Tapewright cover"_qs);
        row("non-ascii kept", u"Motörhead Zürich"_qs, u"Motörhead Zürich cover"_qs);
        row("long", QString(150, u'x'), QString(100, u'x') + u" cover"_qs);
    }
    void coverFileBaseName()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(CoverFileBaseName(title), expected);
    }

    // Broken and hostile templates: each is refused with a message that names the file and
    // the reason, or, where `error` is empty, opens safely with TrayBand reading `text`, is
    // filled and saved without anything from outside.
    void hostile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("text");
        const auto refused = [](const char *name, const char *file, const QByteArray &bytes,
                                const QString &error) {
            QTest::newRow(name) << QString::fromLatin1(file) << bytes << error << QString();
        };
        const auto without = [](const QString &ext, const char *part) {
            ZipPackage p = TemplatePackage(ext, {});
            std::erase_if(p.entries, [part](const ZipEntry &e) { return e.name == part; });
            return ZipBytes(p);
        };
        const auto with = [](const QString &ext, const char *part, const QByteArray &data) {
            ZipPackage p = TemplatePackage(ext, {});
            p.findOrAdd(part).data = data;
            return ZipBytes(p);
        };
        refused("not a zip", "a.odt", "just some text", u"not a zip package"_qs);
        refused("empty file", "a.docx", {}, u"the file is empty"_qs);
        refused("truncated zip", "a.odt", TemplateBytes(u".odt"_qs, CoverMarks()).left(300),
                u"zip package"_qs);
        refused("unsupported extension", "a.rtf", "{\\rtf1}",
                u"Word (.docx, .dotx, .docm, .dotm) templates"_qs);
        refused("odt without content.xml", "a.odt", without(u".odt"_qs, "content.xml"),
                u"no content.xml"_qs);
        refused("docx without document part", "a.docx", without(u".docx"_qs, "word/document.xml"),
                u"main document part"_qs);
        refused("docx without content types", "a.docx", without(u".docx"_qs, "[Content_Types].xml"),
                u"[Content_Types].xml"_qs);
        refused("malformed content.xml", "a.odt",
                with(u".odt"_qs, "content.xml",
                     "<office:document-content>\n<office:body></office:document-content>"),
                u"not well-formed XML|, line 2)"_qs);
        refused("malformed header", "a.docx",
                with(u".docx"_qs, "word/header1.xml", "<w:hdr xmlns:w=\"x\"><w:p>"),
                u"word/header1.xml"_qs);
        refused("spreadsheet named odt", "a.odt",
                with(u".odt"_qs, "mimetype", "application/vnd.oasis.opendocument.spreadsheet"),
                u"not an OpenDocument text"_qs);
        QByteArray manifest = TestData(u"cover/odt/META-INF/manifest.xml"_qs).replace("@KIND@", "");
        manifest.replace(
            "\"content.xml\" manifest:media-type=\"text/xml\"/>",
            "\"content.xml\" manifest:media-type=\"text/xml\"><manifest:encryption-data "
            "manifest:checksum-type=\"SHA1/1K\"/></manifest:file-entry>");
        refused("odf encrypted by its manifest", "a.odt",
                with(u".odt"_qs, "META-INF/manifest.xml", manifest), u"encrypted"_qs);
        const QByteArray compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        refused("compound file named docx", "a.docx", compound + QByteArray(504, '\0'),
                u"password-protected"_qs);
        refused("encrypted zip entry", "a.odt",
                PatchHeaders(TemplateBytes(u".odt"_qs, {}), "content.xml", 6, 8,
                             QByteArray("\x01\0", 2)),
                u"encrypted"_qs);
        const QByteArray bomb =
            with(u".odt"_qs, "Pictures/huge.bin", QByteArray(MaxZipEntrySize + 1, '\0'));
        refused("entry inflating beyond 64 MiB", "a.odt", bomb, u"inflates to more than 64 MiB"_qs);
        refused("entry lying about its size", "a.odt",
                PatchHeaders(bomb, "Pictures/huge.bin", 22, 24, QByteArray("\xE8\x03\0\0", 4)),
                u"Pictures/huge.bin"_qs);
        ZipPackage twice = TemplatePackage(u".odt"_qs, {});
        twice.entries.push_back({"contenT.xml", "<x/>", false, 0});
        refused("two entries of one name", "a.odt",
                ZipBytes(twice).replace("contenT.xml", "content.xml"),
                u"two entries named “content.xml”"_qs);
        // Names a zip tool would unpack outside its folder, or over another entry where case
        // does not count (as in Word's own package names).
        for (const auto &[name, entry, error] :
             {std::tuple{"entries differing only in case", "Content.xml",
                         u"its entries “content.xml” and “Content.xml” differ only in case"_qs},
              std::tuple{"absolute entry name", "/Pictures/a.bin", u"has an absolute name"_qs},
              std::tuple{"entry name stepping up", "Pictures/../../a.bin",
                         u"“Pictures/../../a.bin” leads out of the package"_qs},
              std::tuple{"backslash in entry name", "Pictures\\a.bin",
                         u"“Pictures\\a.bin” names its folders with a backslash"_qs}}) {
            ZipPackage p = TemplatePackage(u".odt"_qs, {});
            p.entries.push_back({entry, "<x/>", false, 0});
            refused(name, "a.odt", ZipBytes(p), u"damaged zip package|"_qs + error);
        }
        // Word opens no document whose styles are not XML; they are checked though they hold
        // no bookmarks.
        ZipPackage styled = TemplatePackage(u".docx"_qs, {});
        styled.find("word/_rels/document.xml.rels")
            ->data.replace(
                "</Relationships>",
                "<Relationship Id=\"rIdStyles\" Type=\"http://schemas.openxmlformats.org/"
                "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
                "</Relationships>");
        styled.findOrAdd("word/styles.xml").data = "";
        refused("docx with empty styles", "a.docx", ZipBytes(styled),
                u"its part “word/styles.xml” is not well-formed XML"_qs);
        QByteArray many;
        for (int i = 0; i <= MaxCoverBookmarks; ++i)
            many +=
                "<text:p><text:bookmark text:name=\"B" + QByteArray::number(i) + "\"/></text:p>";
        refused("thousands of bookmarks", "a.ott", ZipBytes(TemplatePackage(u".ott"_qs, many)),
                u"bookmarks"_qs);
        // The removal of a bookmark's old text once overflowed the stack on these.
        refused("odt nested 200000 deep in a bookmark", "a.odt",
                ZipBytes(TemplatePackage(
                    u".odt"_qs, "<text:p><text:bookmark-start text:name=\"TrayBand\"/>" +
                                    Nested("<text:span>", "</text:span>", 200000) +
                                    "<text:bookmark-end text:name=\"TrayBand\"/></text:p>")),
                u"its part “content.xml” nests its elements more than 1000 levels deep"_qs);
        // The header's paragraph lies at level 2, its text at 3 + 2 * 499.
        refused("docx header nested 1001 deep", "a.docx",
                ZipBytes(TemplatePackage(
                    u".docx"_qs, {},
                    "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"TrayBand\"/>" +
                        Nested("<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>", 499) +
                        "<w:bookmarkEnd w:id=\"1\"/></w:p>")),
                u"its part “word/header1.xml” nests its elements more than 1000 levels deep"_qs);
        // A .doc that is none: refused before LibreOffice would make an empty text of it.
        QByteArray noise(2000, '\0');
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        refused("random bytes named doc", "a.doc", noise, u"it is not a Word 97–2003 document"_qs);
        refused("web page named doc", "a.doc",
                "\r\n<!DOCTYPE html>\r\n<html><body><p>Cover</p></body></html>",
                u"it is a web page (HTML)"_qs);
        refused("docx named doc", "a.doc", TemplateBytes(u".docx"_qs, CoverMarks()),
                u"a zip package, not a Word 97–2003 document"_qs);
        refused("missing file", "", {}, u"does not exist"_qs);
        refused("legacy doc without LibreOffice", "a.doc", compound,
                u"Tapewright fills .odt and .docx templates"_qs);

        // Entities are never expanded, nor anything outside read (a billion laughs, a system
        // entity): the DTD must precede the root element, so it goes into the part by hand.
        const QByteArray dtd = TestData(u"cover/entities.dtd"_qs);
        const auto opens = [dtd](const char *name, const QString &ext, const QByteArray &body,
                                 const QString &text, bool withDtd = false) {
            ZipPackage p = TemplatePackage(ext, body);
            QByteArray &part = p.find(IsOdf(ext) ? "content.xml" : "word/document.xml")->data;
            if (withDtd)
                part.insert(part.indexOf("?>") + 2, dtd);
            QTest::newRow(name) << u"h"_qs + ext << ZipBytes(p) << QString() << text;
        };
        opens("entities and a DTD", u".odt"_qs,
              "<text:p><text:bookmark-start text:name=\"TrayBand\"/>&d;&xxe;"
              "<text:bookmark-end text:name=\"TrayBand\"/></text:p>",
              u"&d;&xxe;"_qs, true);
        // Just inside the limit: the paragraph lies four levels deep, the text one below the
        // innermost span.
        opens("odt nested 1000 deep", u".odt"_qs,
              "<text:p><text:bookmark-start text:name=\"TrayBand\"/>" +
                  Nested("<text:span>", "</text:span>", MaxXmlDepth - 5) +
                  "<text:bookmark-end text:name=\"TrayBand\"/></text:p>",
              u"x"_qs);
        opens("end before start, start never ended", u".odt"_qs,
              "<text:p><text:bookmark-end text:name=\"TrayBand\"/>a"
              "<text:bookmark-start text:name=\"TrayBand\"/>b</text:p>",
              QString());
        opens("huge space count", u".odt"_qs,
              "<text:p><text:bookmark-start text:name=\"TrayBand\"/><text:s text:c=\"2000000000\"/>"
              "<text:bookmark-end text:name=\"TrayBand\"/></text:p>",
              QString(1000, u' '));
        // Paragraph properties (their tab stops) and the alternate copies Word keeps for old
        // readers are no text of the bookmark.
        opens("docx tab stops and fallback", u".docx"_qs,
              "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"TrayBand\"/><w:r><w:rPr><w:b/>"
              "<w:rPrChange w:id=\"9\" w:author=\"x\"><w:rPr/></w:rPrChange></w:rPr><w:t>a</w:t>"
              "</w:r><mc:AlternateContent><mc:Choice><w:r><w:t>c</w:t></w:r></mc:Choice>"
              "<mc:Fallback><w:r><w:t>f</w:t></w:r></mc:Fallback></mc:AlternateContent></w:p>"
              "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr><w:r>"
              "<w:t>b</w:t></w:r><w:bookmarkEnd w:id=\"1\"/></w:p>",
              u"ac\r\nb"_qs);
        // The main namespace under a prefix of the part's own choosing.
        ZipPackage prefixed = TemplatePackage(u".docx"_qs, {});
        prefixed.find("word/document.xml")->data = TestData(u"cover/docx-prefixed.xml"_qs);
        QTest::newRow("docx with its own prefix")
            << u"h.docx"_qs << ZipBytes(prefixed) << QString() << u"prefixed"_qs;
        // A part the cover adds (the type, in its own spelling) replaces one named alike but for
        // case, which would leave two such names in the cover.
        ZipPackage capitals =
            TemplatePackage(u".odt"_qs, "<text:p><text:bookmark text:name=\"TrayBand\"/></text:p>");
        capitals.find("mimetype")->name = "MimeType";
        QTest::newRow("odt whose type is named in capitals")
            << u"h.odt"_qs << ZipBytes(capitals) << QString() << QString();
        // Read in its own encoding, written as UTF-8.
        ZipPackage latin1 = TemplatePackage(
            u".odt"_qs, "<text:p><text:bookmark-start text:name=\"TrayBand\"/>Caf\xE9"
                        "<text:bookmark-end text:name=\"TrayBand\"/></text:p>");
        latin1.find("content.xml")->data.replace("UTF-8", "ISO-8859-1");
        QTest::newRow("odt in Latin-1")
            << u"h.odt"_qs << ZipBytes(latin1) << QString() << u"Café"_qs;
    }
    void hostile()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path =
            fileName.isEmpty() ? dir.filePath(u"gone.odt"_qs) : WriteFile(dir, fileName, bytes);
        FileCoverDocument doc(Options(dir));
        const Result<void> r = doc.open(path);
        const QString saved = dir.filePath(u"out."_qs + QFileInfo(fileName).suffix());
        if (!error.isEmpty()) {
            QVERIFY(!r);
            for (const QString &part : error.split(u'|'))
                QVERIFY2(r.error().contains(part), qPrintable(r.error()));
            QVERIFY2(r.error().contains(QDir::toNativeSeparators(path)), qPrintable(r.error()));
            // A failed open leaves no document behind.
            QVERIFY(!doc.lookUpBookmark(u"TrayBand"_qs));
            QVERIFY(!doc.saveAs(dir.filePath(u"x.odt"_qs)));
            return;
        }
        QVERIFY2(r, qPrintable(r.error()));
        QCOMPARE(Text(doc, u"TrayBand"_qs), text);
        QVERIFY(doc.setBookmarkText(u"TrayBand"_qs, u"filled é"_qs));
        QVERIFY(doc.saveAs(saved));
        // Nothing from outside, no tracked change of the old run on the new text, and a part
        // written in UTF-8 says so.
        QVERIFY(!MainPart(saved).contains("root:") && !MainPart(saved).contains("rPrChange"));
        FileCoverDocument again(Options(dir));
        QVERIFY(again.open(saved));
        QCOMPARE(Text(again, u"TrayBand"_qs), u"filled é"_qs);
    }
};

QTEST_GUILESS_MAIN(TestFileCoverDocument)
#include "tst_filecoverdocument.moc"
