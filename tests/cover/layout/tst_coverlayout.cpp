// Fitting the type of a filled cover, read back from the written file without a word
// processor: the shipped templates get the sizes the show needs and keep their bookmarks; any
// other template, and anything a template holds beside the discs, is left as filled.
#include "common/paths.h"
#include "cover/document/zippackage.h"
#include "cover/fill/coverfiller.h"
#include "cover/fill/filecoverdocument.h"
#include "cover/fill/tagreader.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

#include <sstream>
#include <string_view>

using namespace tapewright;
using namespace testsupport;

namespace {

QString ShippedFolder()
{
    return TemplateFolderFor(QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin"_qs));
}

// A show of discs of tracks each, short titles or long ones that wrap in a narrow column,
// after the elements in head.
QString ShowXml(int discs, int tracks, bool longTitles,
                const QString &head = u"<BAND>Blue Lantern</BAND>"_qs)
{
    QString xml = head + u"<DISCS>%1</DISCS>"_qs.arg(discs);
    for (int d = 1; d <= discs; ++d) {
        xml += u"<TRACKSD%1>%2</TRACKSD%1>"_qs.arg(d).arg(tracks);
        for (int t = 1; t <= tracks; ++t)
            xml += u"<D%1T%2>%2. %3</D%1T%2>\r\n"_qs.arg(d).arg(t).arg(
                longTitles ? u"A long improvisation that segues into another"_qs : u"Song"_qs);
    }
    return u"<CDR_Track_List>\r\n"_qs + xml + u"</CDR_Track_List>"_qs;
}

ZipPackage ReadPackage(const QString &path)
{
    Result<ZipPackage> package = ReadZipPackage(ReadBytes(path));
    if (!package)
        qFatal("%s: %s", qPrintable(path), qPrintable(package.error()));
    return *std::move(package);
}

// A cover of show made from the template at path with MakeCover, written to out.
Result<MadeCover> Make(FileCoverDocument &document, const QString &path, const QString &xml,
                       const QString &out)
{
    CoverJob job;
    job.templateFolder = QFileInfo(path).absolutePath();
    job.choices = {QFileInfo(path).fileName(), 1, u"Jane Doe"_qs};
    job.xml = xml;
    job.fill = {UnitedStatesLocale(), QDate(2024, 3, 9)};
    job.outputPath = out;
    return MakeCover(document, job);
}

// The main part of a written cover or template, parsed.
struct MainPart
{
    bool odf = false;
    pugi::xml_document doc;

    explicit MainPart(const QString &path) : odf(path.endsWith(u".odt"_qs))
    {
        const ZipPackage package = ReadPackage(path);
        const ZipEntry *entry = package.find(odf ? "content.xml" : "word/document.xml");
        if (!entry || !doc.load_buffer(entry->data.constData(), std::size_t(entry->data.size())))
            qFatal("%s has no main part", qPrintable(path));
    }

    pugi::xml_node paragraphOf(const char *bookmark) const
    {
        const std::string query =
            odf ? "//text:bookmark-start[@text:name='" : "//w:bookmarkStart[@w:name='";
        const char *paragraph = odf ? "']/ancestor::text:p[1]" : "']/ancestor::w:p[1]";
        return doc.select_node((query + bookmark + paragraph).c_str()).node();
    }

    // The type size of the paragraph that holds the bookmark: its automatic style
    // (OpenDocument), its first run or else its paragraph mark (Word).
    double sizeAt(const char *bookmark) const
    {
        const pugi::xml_node paragraph = paragraphOf(bookmark);
        if (!odf) {
            pugi::xml_node rPr = paragraph.child("w:r").child("w:rPr");
            if (!rPr)
                rPr = paragraph.child("w:pPr").child("w:rPr");
            return rPr.child("w:sz").attribute("w:val").as_double() / 2;
        }
        const std::string style = paragraph.attribute("text:style-name").value();
        const pugi::xml_node props =
            doc.select_node(
                   ("//style:style[@style:name='" + style + "']/style:text-properties").c_str())
                .node();
        return QString::fromUtf8(props.attribute("fo:font-size").value()).chopped(2).toDouble();
    }

    // How many bookmarks start in the part, and under how many names.
    std::pair<int, int> bookmarkCount() const
    {
        const auto starts = doc.select_nodes(odf ? "//text:bookmark-start" : "//w:bookmarkStart");
        QSet<QString> names;
        for (const pugi::xpath_node &n : starts)
            names.insert(
                QString::fromUtf8(n.node().attribute(odf ? "text:name" : "w:name").value()));
        return {int(starts.size()), int(names.size())};
    }

    // The text of the paragraph that holds the bookmark.
    QString textAt(const char *bookmark) const
    {
        QString text;
        const char *query = odf ? ".//text() | .//text:s | .//text:line-break" : ".//text()";
        for (const pugi::xpath_node &n : paragraphOf(bookmark).select_nodes(query)) {
            if (n.node().type() == pugi::node_pcdata)
                text += QString::fromUtf8(n.node().value());
            else if (std::string_view(n.node().name()) == "text:s")
                text += QString(n.node().attribute("text:c").as_int(1), u' ');
            else
                text += u'\n';
        }
        return text;
    }
};

// Word refuses a file whose property elements are out of their schema's order. The names the
// templates and the fitting write, in that order:
const QStringList ParagraphPropertyOrder =
    u"pStyle keepNext pageBreakBefore pBdr tabs spacing ind jc rPr"_qs.split(u' ');
const QStringList RunPropertyOrder = u"rStyle rFonts b bCs i iCs color sz szCs"_qs.split(u' ');

// The first property element out of order in a Word main part, or an empty text.
QString OutOfOrder(const pugi::xml_document &doc)
{
    for (const auto &[element, order] :
         {std::pair{"//w:pPr", &ParagraphPropertyOrder}, std::pair{"//w:rPr", &RunPropertyOrder}}) {
        for (const pugi::xpath_node &n : doc.select_nodes(element)) {
            qsizetype last = -1;
            for (const pugi::xml_node &c : n.node().children()) {
                const qsizetype at = order->indexOf(QString::fromUtf8(c.name()).sliced(2));
                if (at <= last)
                    return QString::fromUtf8(c.name());
                last = at;
            }
        }
    }
    return {};
}

// A bookmark's start, or its end, in a main part of either format.
pugi::xml_node Marker(const pugi::xml_document &doc, bool odf, const char *name, bool end = false)
{
    const QString query =
        odf   ? u"//text:bookmark-%1[@text:name='%2']"_qs.arg(end ? u"end"_qs : u"start"_qs, name)
        : end ? u"//w:bookmarkEnd[@w:id=//w:bookmarkStart[@w:name='%1']/@w:id]"_qs.arg(name)
              : u"//w:bookmarkStart[@w:name='%1']"_qs.arg(name);
    return doc.select_node(query.toUtf8().constData()).node();
}

pugi::xml_node Ancestor(pugi::xml_node n, const char *name)
{
    while (n && std::string_view(n.name()) != name)
        n = n.parent();
    return n;
}

// A bookmark named name around nothing, appended to paragraph (a point in OpenDocument).
void AppendBookmark(pugi::xml_node paragraph, bool odf, const char *name, int id)
{
    if (odf) {
        paragraph.append_child("text:bookmark").append_attribute("text:name") = name;
        return;
    }
    pugi::xml_node start = paragraph.append_child("w:bookmarkStart");
    start.append_attribute("w:id") = id;
    start.append_attribute("w:name") = name;
    paragraph.append_child("w:bookmarkEnd").append_attribute("w:id") = id;
}

// The shipped template's main part damaged as the row says.
void Damage(pugi::xml_document &doc, bool odf, const QString &damage)
{
    const char *paragraphName = odf ? "text:p" : "w:p";
    const auto paragraphOf = [&](const char *bookmark) {
        return Ancestor(Marker(doc, odf, bookmark), paragraphName);
    };
    pugi::xml_node heading = paragraphOf("TrayDisc1");
    pugi::xml_node cell = heading.parent();
    pugi::xml_node table = Ancestor(cell, odf ? "table:table" : "w:tbl");
    if (damage == u"stretched") {
        pugi::xml_node end3 = Marker(doc, odf, "TrayDisc3Tracks", true);
        end3.parent().insert_move_after(Marker(doc, odf, "TrayDisc1Tracks", true), end3);
    } else if (damage == u"stripped") {
        for (pugi::xml_node p = cell.child(paragraphName); p; p = cell.child(paragraphName))
            table.parent().insert_move_before(p, table);
        cell.append_child(paragraphName);
    } else if (damage == u"more") {
        pugi::xml_node p = cell.insert_child_before(paragraphName, heading);
        (odf ? p : p.append_child("w:r").append_child("w:t")).text().set("Keep me");
    } else if (damage == u"twice") {
        AppendBookmark(doc.select_node(odf ? "//text:p[@text:style-name='TwCell']"
                                           : "//w:p[w:pPr/w:pStyle/@w:val='TwCell']")
                           .node(),
                       odf, "TraySource", 998);
    } else if (damage == u"missing") {
        for (const bool end : {false, true}) {
            pugi::xml_node marker = Marker(doc, odf, "LinerNotes", end);
            marker.parent().remove_child(marker);
        }
    } else if (damage == u"foreign") {
        AppendBookmark(heading, odf, "Mine", 999);
    } else if (damage == u"shared") {
        pugi::xml_node band = paragraphOf("CoverBand");
        band.append_move(Marker(doc, odf, "CoverDate"));
        band.append_move(Marker(doc, odf, "CoverDate", true));
    } else if (damage == u"outside") {
        table.parent().insert_move_before(paragraphOf("TrayDisc4"), table);
    } else if (damage == u"swallowed") {
        // The spine's date starts before its band: filling the date takes the band with it.
        pugi::xml_node paragraph = paragraphOf("SpineBand");
        pugi::xml_node band = Marker(doc, odf, "SpineBand");
        while (band.parent() != paragraph)
            band = band.parent();
        paragraph.insert_move_before(Marker(doc, odf, "SpineDate"), band);
    }
}

// The two shipped A4 templates, one of each format.
void Formats()
{
    QTest::addColumn<QString>("templateName");
    QTest::newRow("odt") << u"Jewel Case A4.odt"_qs;
    QTest::newRow("docx") << u"Jewel Case A4.docx"_qs;
}

} // namespace

class TestCoverLayout : public QObject
{
    Q_OBJECT

private slots:
    void shipped_data()
    {
        QTest::addColumn<QString>("templateName");
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("sizes");   // "bookmark smallest largest", comma-separated
        QTest::addColumn<QString>("notices"); // "|"-separated
        const QStringList shipped = ListCoverTemplates(ShippedFolder());
        QVERIFY(!shipped.isEmpty());
        const QString crowded = ShowXml(
            4, 50, true,
            u"<BAND>"_qs + QString(u"The Midnight Lantern Orchestra and Friends "_qs).repeated(4) +
                u"</BAND><SOURCE>"_qs +
                QString(u"SBD > MR > DAT > CD-R > EAC > FLAC level 8 > "_qs).repeated(15) +
                u"</SOURCE><NOTES>"_qs +
                QString(u"A line of notes about the show and its taping.\r\n"_qs).repeated(80) +
                u"</NOTES>"_qs);
        for (const QString &name : shipped) {
            QTest::addRow("%s, one short disc", qPrintable(name))
                << name << ShowXml(1, 8, false)
                << u"TrayDisc1Tracks 9 9, SpineBand 8 8, CoverBand2 8 8, CoverBand 12 12, "
                   "LinerCoverBand 26 26, TraySource 6.5 6.5, LinerSource 7.5 7.5"_qs
                << QString();
            QTest::addRow("%s, four discs of 25 long titles", qPrintable(name))
                << name << ShowXml(4, 25, true) << u"TrayDisc1Tracks 4.5 8.5"_qs << QString();
            QTest::addRow("%s, too much of everything", qPrintable(name))
                << name << crowded
                << u"TrayDisc1Tracks 4.5 4.5, SpineBand 2 4.4, CoverBand 2 4.4, LinerCoverBand 12 "
                   "25.5, TraySource 4.5 4.5, LinerSource 4.5 4.5"_qs
                << u"of the 200 tracks do not fit on the tray card|the source line of the tray "
                   "card|the source and notes on the back of the booklet"_qs;
        }
    }

    // The sizes lie in the ranges the show calls for, every bookmark is still there and reads
    // as filled, and what does not fit is told.
    void shipped()
    {
        QFETCH(QString, templateName);
        QFETCH(QString, xml);
        QFETCH(QString, sizes);
        QFETCH(QString, notices);
        QTemporaryDir dir;
        FileCoverDocument document({dir.path(), QString()});
        const QString out = dir.filePath(u"cover."_qs + QFileInfo(templateName).suffix());
        const Result<MadeCover> made =
            Make(document, QDir(ShippedFolder()).filePath(templateName), xml, out);
        QVERIFY2(made, qPrintable(made.error()));
        for (const QString &notice : notices.split(u'|'))
            QVERIFY2(made->notice.contains(notice), qPrintable(made->notice));
        if (notices.isEmpty())
            QCOMPARE(made->notice, QString());

        QCOMPARE(document.bookmarkText(u"TrayDisc1"_qs), std::optional<QString>(u"Disc 1"_qs));
        QVERIFY(document.bookmarkText(u"TrayDisc1Tracks"_qs)->startsWith(u"1. "_qs));
        QCOMPARE(document.bookmarkText(u"TrayCollection"_qs),
                 std::optional<QString>(u"From the collection of Jane Doe"_qs));

        const MainPart part(out);
        // Each bookmark once, the discs' as much as the others.
        const int all = int(CoverBookmarkNames().size());
        QCOMPARE(part.bookmarkCount(), std::make_pair(all, all));
        for (const QString &range : sizes.split(u", "_qs)) {
            const QStringList r = range.split(u' ');
            const double size = part.sizeAt(r.at(0).toLatin1().constData());
            QVERIFY2(size >= r.at(1).toDouble() && size <= r.at(2).toDouble(),
                     qPrintable(range + u": %1 pt"_qs.arg(size)));
        }
        // The blanks between the spine's fields go with the missing date and place.
        QCOMPARE(part.textAt("SpineBand"), GetTagValue(u"<band>", xml));
        if (!part.odf)
            QVERIFY2(OutOfOrder(part.doc).isEmpty(), qPrintable(OutOfOrder(part.doc)));
    }

    void shipped_keepsMoreInTheTrackCell_data() { Formats(); }

    // A template that names the layout but holds more than the discs where they are set keeps
    // it all: the track lists stay as filled.
    void shipped_keepsMoreInTheTrackCell()
    {
        QFETCH(QString, templateName);
        QTemporaryDir dir;
        ZipPackage package = ReadPackage(QDir(ShippedFolder()).filePath(templateName));
        const bool odf = templateName.endsWith(u".odt"_qs);
        ZipEntry *main = package.find(odf ? "content.xml" : "word/document.xml");
        main->data.replace(
            odf ? "<text:p text:style-name=\"TwDiscHeading\">"
                : "<w:p><w:pPr><w:pStyle w:val=\"TwDiscHeading\"/>",
            odf ? "<text:p>Keep me</text:p><text:p text:style-name=\"TwDiscHeading\">"
                : "<w:p><w:r><w:t>Keep me</w:t></w:r></w:p><w:p><w:pPr><w:pStyle "
                  "w:val=\"TwDiscHeading\"/>");
        const Result<QByteArray> bytes = WriteZipPackage(package);
        QVERIFY(bytes);
        const QString path = WriteFile(dir, templateName, *bytes);

        FileCoverDocument document({dir.path(), QString()});
        const QString out = dir.filePath(u"cover."_qs + QFileInfo(templateName).suffix());
        QVERIFY(Make(document, path, ShowXml(4, 25, true), out));
        // Still one paragraph of 25 lines, not a paragraph a track in columns.
        const MainPart part(out);
        QVERIFY(part.textAt("TrayDisc1Tracks").contains(u"25. A long"_qs));
        QVERIFY(part.doc.select_node("//text()[.='Keep me']"));
    }

    void damaged_filledWithoutFitting_data()
    {
        QTest::addColumn<QString>("templateName");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        const std::pair<const char *, const char *> rows[] = {
            {"stretched", "its bookmark “TrayDisc1Tracks” does not lie within one paragraph"},
            {"stripped", "its track lists are not in a table cell"},
            {"more", "the table cell of its track lists holds more than the discs'"},
            {"twice", "its bookmark “TraySource” is there 2 times"},
            {"missing", "its bookmark “LinerNotes” is missing"},
            {"foreign", "its bookmark “Mine” reaches into the table cell of the track lists"},
            {"shared", "its bookmarks “CoverBand” and “CoverDate” share a paragraph"},
            {"outside", "its bookmark “TrayDisc4” is not in the table cell of the track lists"},
            {"swallowed", "its bookmark “SpineBand” is missing"},
        };
        for (const char *name : {"Jewel Case A4.odt", "Jewel Case A4.docx"}) {
            for (const auto &[damage, reason] : rows)
                QTest::addRow("%s, %s", name, damage)
                    << QString::fromUtf8(name) << QString::fromUtf8(damage)
                    << QString::fromUtf8(reason);
        }
    }

    // A template that names the layout but is not laid out as it: a bookmark stretched over
    // others, a track area without its table cell or with more in it, a place gone, twice or
    // sharing its paragraph, another bookmark reaching into the track area, and a place the
    // filling takes with another bookmark. The cover is filled and left as filled, and the
    // user is told what is wrong with which template.
    void damaged_filledWithoutFitting()
    {
        QFETCH(QString, templateName);
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        ZipPackage package = ReadPackage(QDir(ShippedFolder()).filePath(templateName));
        const bool odf = templateName.endsWith(u".odt"_qs);
        ZipEntry *main = package.find(odf ? "content.xml" : "word/document.xml");
        pugi::xml_document doc;
        QVERIFY(doc.load_buffer(main->data.constData(), std::size_t(main->data.size())));
        Damage(doc, odf, damage);
        std::ostringstream xml;
        doc.save(xml, "", pugi::format_raw);
        main->data = QByteArray::fromStdString(xml.str());
        const Result<QByteArray> bytes = WriteZipPackage(package);
        QVERIFY(bytes);
        const QString ext = templateName.mid(templateName.lastIndexOf(u'.'));
        const QString path = WriteFile(dir, u"Damaged"_qs + ext, *bytes);

        FileCoverDocument document({dir.path(), QString()});
        QVERIFY(document.open(path));
        FillCoverBookmarks(
            document, ShowXml(4, 25, true, u"<BAND>Blue Lantern</BAND><DATE>1977-05-08</DATE>"_qs),
            {QString(), 1, u"Jane"_qs}, {UnitedStatesLocale(), QDate(2024, 3, 9)});
        const QString before = dir.filePath(u"before"_qs + ext);
        const QString after = dir.filePath(u"after"_qs + ext);
        QVERIFY(document.saveAs(before));
        const QString notice = document.fitLayout();
        QVERIFY2(
            notice.contains(u"“Damaged"_qs + ext + u"” says it has the layout “Jewel Case 1”"_qs) &&
                notice.contains(reason),
            qPrintable(notice));
        QVERIFY(document.saveAs(after));
        QCOMPARE(ReadPackage(after).find(odf ? "content.xml" : "word/document.xml")->data,
                 ReadPackage(before).find(odf ? "content.xml" : "word/document.xml")->data);
    }

    void otherTemplate_data() { Formats(); }

    // A template without the layout property: the fitting step changes nothing at all.
    void otherTemplate()
    {
        QFETCH(QString, templateName);
        const QString ext = templateName.mid(templateName.lastIndexOf(u'.'));
        QTemporaryDir dir;
        const QString path = WriteFile(dir, u"mine"_qs + ext, TemplateBytes(ext, CoverMarks()));
        FileCoverDocument document({dir.path(), QString()});
        QVERIFY(document.open(path));
        FillCoverBookmarks(document, ShowXml(4, 50, true), {QString(), 1, u"Jane"_qs},
                           {UnitedStatesLocale(), QDate(2024, 3, 9)});
        const QString before = dir.filePath(u"before"_qs + ext);
        const QString after = dir.filePath(u"after"_qs + ext);
        QVERIFY(document.saveAs(before));
        QCOMPARE(document.fitLayout(), QString());
        QVERIFY(document.saveAs(after));
        const ZipPackage a = ReadPackage(before);
        const ZipPackage b = ReadPackage(after);
        QCOMPARE(a.entries.size(), b.entries.size());
        for (std::size_t i = 0; i < a.entries.size(); ++i)
            QVERIFY2(a.entries[i].data == b.entries[i].data, a.entries[i].name.c_str());
    }
};

QTEST_GUILESS_MAIN(TestCoverLayout)
#include "tst_coverlayout.moc"
