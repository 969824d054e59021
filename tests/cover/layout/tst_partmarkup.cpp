// The layout's markup, the same calls on an OpenDocument and a Word part: what it reads as a
// paragraph's text, and the sizes, spacing and columns it writes, read back in points and twips
// from where each format keeps them.
#include "cover/layout/partmarkup.h"

#include <QTest>

#include <cmath>

using namespace tapewright;

namespace {

const char *OdfPart =
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\"><office:body>"
    "<office:text><text:p text:style-name=\"Body\">@</text:p></office:text></office:body>"
    "</office:document-content>";
const char *WordPart =
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"><w:body>"
    "<w:p>@</w:p></w:body></w:document>";

// A part of the format holding one paragraph with content.
struct Part
{
    pugi::xml_document doc;
    XmlNames names;
    std::unique_ptr<PartMarkup> markup;
    pugi::xml_node paragraph;

    Part(bool odf, const QString &content)
    {
        QByteArray xml(odf ? OdfPart : WordPart);
        xml.replace("@", content.toUtf8());
        if (!ParseXmlPart(xml, &doc))
            qFatal("not a part: %s", xml.constData());
        names = XmlNames::forPart(
            odf ? DocumentFlavor::OpenDocument : DocumentFlavor::OfficeOpenXml, doc);
        markup = PartMarkup::of(doc, names);
        paragraph = doc.select_node(odf ? "//text:p" : "//w:p").node();
    }

    // An OpenDocument automatic style's property.
    QString styleProperty(const QString &style, const char *property) const
    {
        const QString xpath = u"//style:style[@style:name='%1']//@%2"_qs.arg(style).arg(property);
        return QString::fromUtf8(doc.select_node(xpath.toUtf8().constData()).attribute().value());
    }
};

// "7pt" or Word's twips and half points, as points without trailing zeros.
QString Pt(const QString &value, double unit = 1)
{
    if (value.isEmpty())
        return {};
    return QString::number(std::abs(QString(value).remove(u"pt"_qs).toDouble()) * unit);
}

// "size 6.5 pitch 7.5 indent 6.5 above 0 runs 6.5": what a paragraph was formatted with.
QString FormatOf(const Part &part, const pugi::xml_node &paragraph)
{
    QStringList said;
    auto say = [&said](const char *what, const QString &value) {
        if (!value.isEmpty())
            said << QString::fromLatin1(what) + u' ' + value;
    };
    if (part.names.flavor == DocumentFlavor::OpenDocument) {
        const QString style = QString::fromUtf8(paragraph.attribute("text:style-name").value());
        say("size", Pt(part.styleProperty(style, "fo:font-size")));
        say("pitch", Pt(part.styleProperty(style, "fo:line-height")));
        const QString indent = Pt(part.styleProperty(style, "fo:margin-left"));
        if (indent == Pt(part.styleProperty(style, "fo:text-indent")))
            say("indent", indent);
        say("above", Pt(part.styleProperty(style, "fo:margin-top")));
        return said.join(u' ');
    }
    const pugi::xml_node pPr = paragraph.child("w:pPr");
    say("size", Pt(pPr.child("w:rPr").child("w:sz").attribute("w:val").value(), 0.5));
    const pugi::xml_node spacing = pPr.child("w:spacing");
    if (spacing.attribute("w:line") &&
        QLatin1String(spacing.attribute("w:lineRule").value()) == QLatin1String("exact"))
        say("pitch", Pt(spacing.attribute("w:line").value(), 0.05));
    const QString indent = Pt(pPr.child("w:ind").attribute("w:left").value(), 0.05);
    if (indent == Pt(pPr.child("w:ind").attribute("w:hanging").value(), 0.05))
        say("indent", indent);
    say("above", Pt(spacing.attribute("w:before").value(), 0.05));
    QStringList runs;
    for (pugi::xml_node r = paragraph.child("w:r"); r; r = r.next_sibling("w:r"))
        runs << Pt(r.child("w:rPr").child("w:sz").attribute("w:val").value(), 0.5);
    say("runs", runs.join(u','));
    return said.join(u' ');
}

// The table's columns, each as "width/gap" in twips: "1200/200 1000/0".
QString Columns(const Part &part)
{
    QStringList columns;
    if (part.names.flavor == DocumentFlavor::OpenDocument) {
        QStringList widths;
        for (const pugi::xpath_node &c : part.doc.select_nodes("//table:table-column")) {
            const QString style = QString::fromUtf8(c.node().attribute("table:style-name").value());
            for (int i = 0; i < c.node().attribute("table:number-columns-repeated").as_int(1); ++i)
                widths << Pt(part.styleProperty(style, "style:column-width"), 20);
        }
        for (const pugi::xpath_node &c : part.doc.select_nodes("//table:table-cell")) {
            const QString style = QString::fromUtf8(c.node().attribute("table:style-name").value());
            columns << widths.value(columns.size()) + u'/' +
                           Pt(part.styleProperty(style, "fo:padding-right"), 20);
        }
        return columns.join(u' ');
    }
    const pugi::xpath_node_set grid = part.doc.select_nodes("//w:gridCol");
    for (const pugi::xpath_node &c : part.doc.select_nodes("//w:tc")) {
        const pugi::xml_node tcPr = c.node().child("w:tcPr");
        const QString width = QString::fromUtf8(tcPr.child("w:tcW").attribute("w:w").value());
        const QString gridWidth =
            columns.size() < qsizetype(grid.size())
                ? QString::fromUtf8(grid[columns.size()].node().attribute("w:w").value())
                : QString();
        const int gap = tcPr.child("w:tcMar").child("w:right").attribute("w:w").as_int(0);
        columns << (width == gridWidth ? width : width + u"≠grid"_qs) + u'/' + QString::number(gap);
    }
    return columns.join(u' ');
}

} // namespace

class TestPartMarkup : public QObject
{
    Q_OBJECT

private slots:
    void runs_data()
    {
        QTest::addColumn<bool>("odf");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("runs"); // bold between stars

        QTest::newRow("odf counted blanks, tab, line break")
            << true << u"a<text:s text:c=\"3\"/>b<text:tab/>c<text:line-break/>d"_qs
            << u"a   b\tc\nd"_qs;
        QTest::newRow("odf bold style span")
            << true << u"<text:span text:style-name=\"TwBold\">Blue</text:span> Lantern"_qs
            << u"*Blue* Lantern"_qs;
        QTest::newRow("word bold run, and bold switched off")
            << false
            << u"<w:r><w:rPr><w:b/></w:rPr><w:t>Blue</w:t></w:r><w:r><w:rPr><w:b w:val=\"0\"/>"
               "</w:rPr><w:t xml:space=\"preserve\"> Lantern</w:t></w:r>"_qs
            << u"*Blue* Lantern"_qs;
        QTest::newRow("word tab and break in a hyperlink, fallback left out")
            << false
            << u"<w:hyperlink><w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/></w:r></w:hyperlink>"
               "<mc:AlternateContent><mc:Choice><w:r><w:t>c</w:t></w:r></mc:Choice><mc:Fallback>"
               "<w:r><w:t>c</w:t></w:r></mc:Fallback></mc:AlternateContent>"_qs
            << u"a\tb\nc"_qs;
    }
    void runs()
    {
        QFETCH(bool, odf);
        QFETCH(QString, content);
        QFETCH(QString, runs);
        const Part part(odf, content);
        QString read;
        for (const TextRun &run : part.markup->runs(part.paragraph))
            read += run.bold ? u'*' + run.text + u'*' : run.text;
        QCOMPARE(read, runs);
    }

    // What a line's blanks may be trimmed past: markers print nothing, blanks only blanks.
    void edges_data()
    {
        QTest::addColumn<bool>("odf");
        QTest::addColumn<QString>("content"); // the paragraph's first child
        QTest::addColumn<QString>("prints");

        QTest::newRow("odf bookmark")
            << true << u"<text:bookmark-end text:name=\"B\"/>"_qs << u"nothing"_qs;
        QTest::newRow("odf span of a bookmark")
            << true << u"<text:span><text:bookmark-start text:name=\"B\"/></text:span>"_qs
            << u"nothing"_qs;
        QTest::newRow("odf span of text") << true << u"<text:span>x</text:span>"_qs << u"text"_qs;
        QTest::newRow("odf counted blanks") << true << u"<text:s text:c=\"2\"/>"_qs << u"blanks"_qs;
        QTest::newRow("odf blank text") << true << u" \t "_qs << u"blanks"_qs;
        QTest::newRow("word properties") << false << u"<w:pPr/>"_qs << u"nothing"_qs;
        QTest::newRow("word run of blanks")
            << false << u"<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">  </w:t></w:r>"_qs
            << u"blanks"_qs;
        QTest::newRow("word run of text") << false << u"<w:r><w:t>x</w:t></w:r>"_qs << u"text"_qs;
    }
    void edges()
    {
        QFETCH(bool, odf);
        QFETCH(QString, content);
        QFETCH(QString, prints);
        const Part part(odf, content);
        const pugi::xml_node n = part.paragraph.first_child();
        const QString read = part.markup->printsNothing(n)  ? u"nothing"_qs
                             : part.markup->printsBlanks(n) ? u"blanks"_qs
                                                            : u"text"_qs;
        QCOMPARE(read, prints);
    }

    // A place's paragraph formatted where it stands, and a track appended in a paragraph style
    // made of the same format, read back alike.
    void format_data()
    {
        QTest::addColumn<bool>("odf");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("pitch");
        QTest::addColumn<double>("indent");
        QTest::addColumn<double>("above");
        QTest::addColumn<QString>("written");

        for (const bool odf : {true, false}) {
            const char *format = odf ? "odf" : "word";
            // Word sets the size on each run as well.
            auto runs = [odf](double size) {
                return odf ? QString() : u" runs "_qs + QString::number(size);
            };
            QTest::addRow("%s size alone", format)
                << odf << 9.0 << 0.0 << 0.0 << -1.0 << u"size 9"_qs + runs(9);
            QTest::addRow("%s everything, no space above", format)
                << odf << 6.5 << 7.5 << 6.5 << 0.0
                << u"size 6.5 pitch 7.5 indent 6.5 above 0"_qs + runs(6.5);
            QTest::addRow("%s space above alone", format)
                << odf << 8.0 << 0.0 << 0.0 << 1.2 << u"size 8 above 1.2"_qs + runs(8);
        }
    }
    void format()
    {
        QFETCH(bool, odf);
        QFETCH(double, size);
        QFETCH(double, pitch);
        QFETCH(double, indent);
        QFETCH(double, above);
        QFETCH(QString, written);
        const ParagraphFormat f{size, pitch, indent, above};
        Part part(odf, odf ? u"Song"_qs : u"<w:r><w:t>Song</w:t></w:r>"_qs);
        part.markup->formatParagraph(part.paragraph, f);
        QCOMPARE(FormatOf(part, part.paragraph), written);

        const ParagraphStyle style = part.markup->paragraphStyle("TwTrackList", f);
        const pugi::xml_node appended =
            part.markup->appendParagraph(part.paragraph.parent(), style);
        part.markup->appendText(appended, u"Song"_qs, style);
        QCOMPARE(FormatOf(part, appended), written);
    }

    // A Word that meets a paragraph's or run's properties out of their schema's order calls the
    // file damaged.
    void format_wordKeepsPropertyOrder()
    {
        Part part(false, u"<w:pPr><w:pStyle w:val=\"X\"/><w:jc w:val=\"center\"/><w:rPr><w:b/>"
                         "</w:rPr></w:pPr><w:r><w:rPr><w:b/><w:lang w:val=\"en\"/></w:rPr>"
                         "<w:t>x</w:t></w:r>"_qs);
        part.markup->formatParagraph(part.paragraph, {7, 8, 1, 0});
        auto children = [](const pugi::xml_node &n) {
            QStringList names;
            for (pugi::xml_node c : n.children())
                names << QString::fromUtf8(c.name()).remove(u"w:"_qs);
            return names.join(u' ');
        };
        const pugi::xml_node pPr = part.paragraph.child("w:pPr");
        QCOMPARE(children(pPr), u"pStyle spacing ind jc rPr"_qs);
        QCOMPARE(children(pPr.child("w:rPr")), u"b sz szCs"_qs);
        QCOMPARE(children(part.paragraph.child("w:r").child("w:rPr")), u"b sz szCs lang"_qs);
    }

    void columnTable_data()
    {
        QTest::addColumn<bool>("odf");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("columns"); // width with the gap after it / the gap, in twips

        for (const bool odf : {true, false}) {
            const char *format = odf ? "odf" : "word";
            QTest::addRow("%s one column", format) << odf << 1 << u"1000/0"_qs;
            QTest::addRow("%s three columns", format) << odf << 3 << u"1200/200 1200/200 1000/0"_qs;
        }
    }
    void columnTable()
    {
        QFETCH(bool, odf);
        QFETCH(int, n);
        QFETCH(QString, columns);
        Part part(odf, {});
        const std::vector<pugi::xml_node> cells =
            part.markup->appendColumnTable(part.paragraph.parent(), n, 1000, 200);
        QCOMPARE(int(cells.size()), n);
        QCOMPARE(Columns(part), columns);
    }
};

QTEST_GUILESS_MAIN(TestPartMarkup)
#include "tst_partmarkup.moc"
