// A picture on the front: its size in the layout's picture area, and covers made from the
// shipped templates of both formats read back as packages a word processor opens (the entry,
// its manifest or relationship and content type, the frame in the front); a template of no
// layout of ours gets no picture and a notice.
#include "common/paths.h"
#include "cover/document/zippackage.h"
#include "cover/fill/coverfiller.h"
#include "cover/fill/filecoverdocument.h"
#include "cover/layout/layouts.h"
#include "cover/layout/picturefit.h"
#include "testsupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

using namespace tapewright;
using namespace testsupport;

namespace {

QByteArray Png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

pugi::xml_document Parsed(const QByteArray &xml)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(xml.constData(), size_t(xml.size()));
    if (!parsed)
        qFatal("not well formed: %s", parsed.description());
    return doc;
}

// The element of that name (with its prefix) whose attribute has value; null when none.
pugi::xml_node Find(const pugi::xml_document &doc, const char *name, const char *attribute,
                    const QByteArray &value)
{
    return doc.find_node([&](const pugi::xml_node &n) {
        return std::strcmp(n.name(), name) == 0 && value == n.attribute(attribute).value();
    });
}

// The text of the paragraph after the one holding node.
QString NextParagraphText(pugi::xml_node node, const char *paragraph)
{
    while (node && std::strcmp(node.name(), paragraph) != 0)
        node = node.parent();
    QString text;
    for (const pugi::xpath_node &t : node.next_sibling(paragraph).select_nodes(".//text()"))
        text += QString::fromUtf8(t.node().value());
    return text;
}

} // namespace

class tst_PictureFit : public QObject
{
    Q_OBJECT

private slots:
    void fit_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("expectedWidth");
        QTest::addColumn<double>("expectedHeight");
        // In an area of 300 × 150 points.
        QTest::newRow("wide: as wide as the area") << 3000 << 1000 << 300.0 << 100.0;
        QTest::newRow("tall: as tall as the area") << 1000 << 4000 << 37.5 << 150.0;
        QTest::newRow("huge square") << 10000 << 10000 << 150.0 << 150.0;
        QTest::newRow("tiny: not enlarged") << 24 << 16 << 24.0 << 16.0;
        QTest::newRow("one pixel a point") << 300 << 150 << 300.0 << 150.0;
        QTest::newRow("one pixel high: a line") << 10000 << 1 << 300.0 << LeastPictureSide;
    }
    void fit()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(double, expectedWidth);
        QFETCH(double, expectedHeight);
        const PictureSize size = FitPicture(width, height, 300, 150);
        QCOMPARE(size.width, expectedWidth);
        QCOMPARE(size.height, expectedHeight);
    }

    void embed_roundTrip_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::newRow("odt") << u"odt"_qs;
        QTest::newRow("docx") << u"docx"_qs;
    }
    void embed_roundTrip()
    {
        QFETCH(QString, ext);
        const bool odf = ext == u"odt";
        QTemporaryDir dir;
        const QByteArray png = Png(400, 300);
        CoverJob job;
        job.templateFolder =
            TemplateFolderFor(QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin"_qs));
        job.choices = {u"Jewel Case A4."_qs + ext, 1, u"Jane Doe"_qs,
                       WriteFile(dir, u"front.png"_qs, png)};
        job.xml = WorkedExampleXml();
        job.fill = {UnitedStatesLocale(), QDate(2024, 3, 9)};
        job.outputPath = dir.filePath(u"cover."_qs + ext);
        FileCoverDocument document;
        const Result<MadeCover> made = MakeCover(document, job);
        QVERIFY2(made, qPrintable(made.error()));
        QVERIFY2(made->notice.isEmpty(), qPrintable(made->notice));

        const QString &out = job.outputPath;
        const char *entry = odf ? "Pictures/TapewrightFront.png" : "word/media/TapewrightFront.png";
        QCOMPARE(PackageEntry(out, entry), png);
        const pugi::xml_document main =
            Parsed(PackageEntry(out, odf ? "content.xml" : "word/document.xml"));
        const PictureArea &area = FindLayout(u"Jewel Case 1"_qs)->picture;
        const PictureSize fitted = FitPicture(400, 300, area.width, area.height);
        QVERIFY(fitted.width < 400 && fitted.height == area.height); // scaled down to fit
        pugi::xml_node frame;
        if (odf) {
            const pugi::xml_document manifest = Parsed(PackageEntry(out, "META-INF/manifest.xml"));
            QVERIFY(Find(manifest, "manifest:file-entry", "manifest:full-path", entry)
                        .attribute("manifest:media-type")
                        .value() == QByteArray("image/png"));
            frame = Find(main, "draw:image", "xlink:href", entry).parent();
            QCOMPARE(frame.attribute("text:anchor-type").value(), "as-char");
            QCOMPARE(frame.attribute("svg:width").as_string(),
                     QByteArray::number(fitted.width, 'f', 3) + "pt");
            QCOMPARE(frame.attribute("svg:height").as_string(),
                     QByteArray::number(fitted.height, 'f', 3) + "pt");
        } else {
            const pugi::xml_document rels =
                Parsed(PackageEntry(out, "word/_rels/document.xml.rels"));
            const pugi::xml_node r =
                Find(rels, "Relationship", "Target", "media/TapewrightFront.png");
            QVERIFY(QByteArray(r.attribute("Type").value()).endsWith("/image"));
            const pugi::xml_document types = Parsed(PackageEntry(out, "[Content_Types].xml"));
            QCOMPARE(Find(types, "Default", "Extension", "png").attribute("ContentType").value(),
                     "image/png");
            frame = Find(main, "a:blip", "r:embed", r.attribute("Id").value());
            while (frame && std::strcmp(frame.name(), "wp:inline") != 0)
                frame = frame.parent();
            QCOMPARE(frame.child("wp:extent").attribute("cx").as_llong(),
                     std::llround(fitted.width * 12700));
            QCOMPARE(frame.child("wp:extent").attribute("cy").as_llong(),
                     std::llround(fitted.height * 12700));
        }
        // Above the band, on the front.
        QCOMPARE(NextParagraphText(frame, odf ? "text:p" : "w:p"), u"Blue Lantern"_qs);
    }

    // A template of no layout of ours is filled without the picture, and the user is told.
    void embed_templateWithoutLayout()
    {
        QTemporaryDir dir;
        CoverJob job;
        job.templateFolder = dir.path();
        WriteFile(dir, u"plain.odt"_qs, TemplateBytes(u".odt"_qs, CoverMarks()));
        job.choices = {u"plain.odt"_qs, 1, QString(), WriteFile(dir, u"f.png"_qs, Png(8, 8))};
        job.xml = WorkedExampleXml();
        job.fill = {UnitedStatesLocale(), QDate(2024, 3, 9)};
        job.outputPath = dir.filePath(u"cover.odt"_qs);
        FileCoverDocument document;
        const Result<MadeCover> made = MakeCover(document, job);
        QVERIFY2(made, qPrintable(made.error()));
        QVERIFY2(made->notice.contains(u"is not on the cover"), qPrintable(made->notice));
        QVERIFY(!PackageEntry(job.outputPath, "META-INF/manifest.xml").contains("Pictures/Tape"));
        QVERIFY(PackageEntry(job.outputPath, "Pictures/TapewrightFront.png").isEmpty());

        // A picture that cannot be used stops the cover before anything is written.
        const QByteArray before = ReadBytes(job.outputPath);
        job.choices.picturePath = WriteFile(dir, u"scan.png"_qs, "GIF89a");
        const Result<MadeCover> refused = MakeCover(document, job);
        QVERIFY(!refused && refused.error().contains(QuotedPath(job.choices.picturePath)));
        QCOMPARE(ReadBytes(job.outputPath), before);
    }
};

QTEST_GUILESS_MAIN(tst_PictureFit)
#include "tst_picturefit.moc"
