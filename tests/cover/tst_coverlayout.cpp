// Fitting the type of a filled cover, read back from the written file without a word
// processor: the shipped templates get the track size the show needs and keep their bookmarks;
// any other template is left exactly as filled.
#include "coverfiller.h"
#include "covertemplates.h"
#include "filecoverdocument.h"
#include "paths.h"
#include "testsupport.h"
#include "zippackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

using namespace tapewright;
using namespace testsupport;

namespace {

QString ShippedFolder()
{
    return TemplateFolderFor(QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin"_qs));
}

// discs × tracks, each title long enough to wrap in a narrow column when long is set.
QString ShowXml(int discs, int tracks, bool long_)
{
    QStringList lines{u"<?xml version=\"1.0\"?>"_qs, u"<CDR_Track_List>"_qs,
                      u"<BAND>Blue Lantern</BAND>"_qs,
                      QStringLiteral("<DISCS>%1</DISCS>").arg(discs)};
    for (int d = 1; d <= discs; ++d) {
        lines << QStringLiteral("<TRACKSD%1>%2</TRACKSD%1>").arg(d).arg(tracks);
        for (int t = 1; t <= tracks; ++t) {
            lines << QStringLiteral("<D%1T%2>%2. %3</D%1T%2>")
                         .arg(d)
                         .arg(t)
                         .arg(long_ ? u"A long improvisation that segues into another"_qs
                                    : u"Song"_qs);
        }
    }
    lines << u"</CDR_Track_List>"_qs;
    return lines.join(u"\r\n"_qs);
}

ZipPackage ReadPackage(const QString &path)
{
    ZipPackage package;
    const QString error = ReadZipPackage(ReadBytes(path), &package);
    if (!error.isEmpty())
        qFatal("%s: %s", qPrintable(path), qPrintable(error));
    return package;
}

// The type size of the first track of disc 1 as the written cover states it: the automatic
// style of its paragraph (OpenDocument), the size of its run (Word).
double FirstTrackSize(const QString &path)
{
    const ZipPackage package = ReadPackage(path);
    const bool odf = path.endsWith(u".odt"_qs);
    const ZipEntry *entry = package.find(odf ? "content.xml" : "word/document.xml");
    pugi::xml_document doc;
    if (!entry || !doc.load_buffer(entry->data.constData(), std::size_t(entry->data.size())))
        return 0;
    const pugi::xpath_node start =
        doc.select_node(odf ? "//text:bookmark-start[@text:name='TrayDisc1Tracks']"
                            : "//w:bookmarkStart[@w:name='TrayDisc1Tracks']");
    const pugi::xml_node paragraph = start.node().parent();
    if (!odf)
        return paragraph.child("w:r").child("w:rPr").child("w:sz").attribute("w:val").as_double() /
               2;
    const std::string style = paragraph.attribute("text:style-name").value();
    const pugi::xpath_node props = doc.select_node(
        ("//style:style[@style:name='" + style + "']/style:text-properties").c_str());
    return QString::fromUtf8(props.node().attribute("fo:font-size").value()).chopped(2).toDouble();
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
        QTest::addColumn<double>("smallest");
        QTest::addColumn<double>("largest");
        QTest::addColumn<QString>("notice");
        const QStringList shipped = ListCoverTemplates(ShippedFolder());
        if (shipped.isEmpty())
            QSKIP("the shipped templates are not built");
        for (const QString &name : shipped) {
            QTest::addRow("%s, one short disc", qPrintable(name))
                << name << ShowXml(1, 8, false) << 9.0 << 9.0 << QString();
            QTest::addRow("%s, four discs of 25 long titles", qPrintable(name))
                << name << ShowXml(4, 25, true) << 4.5 << 8.5 << QString();
            QTest::addRow("%s, four discs of 50 long titles", qPrintable(name))
                << name << ShowXml(4, 50, true) << 4.5 << 4.5
                << u" of the 200 tracks do not fit on the tray card"_qs;
        }
    }

    // The track size lies in the range the show calls for, every bookmark is still there and
    // reads as filled, and only what does not fit is told.
    void shipped()
    {
        QFETCH(QString, templateName);
        QFETCH(QString, xml);
        QFETCH(double, smallest);
        QFETCH(double, largest);
        QFETCH(QString, notice);
        QTemporaryDir dir;
        FileCoverOptions options;
        options.cacheFolder = dir.path();
        options.officeProgram.clear();
        FileCoverDocument document(options);
        const CoverResult filled =
            FillCover(document, QDir(ShippedFolder()).filePath(templateName), xml,
                      {templateName, 1, u"Jane Doe"_qs}, {UnitedStatesLocale(), QDate(2024, 3, 9)});
        QVERIFY2(filled, qPrintable(filled.error));
        if (notice.isEmpty())
            QCOMPARE(filled.notice, QString());
        else
            QVERIFY2(filled.notice.contains(notice), qPrintable(filled.notice));

        QCOMPARE(document.bookmarkNames().size(), CoverBookmarkNames().size());
        QCOMPARE(document.bookmarkText(u"TrayDisc1"_qs), std::optional<QString>(u"Disc 1"_qs));
        QVERIFY(document.bookmarkText(u"TrayDisc1Tracks"_qs)->startsWith(u"1. "_qs));
        QCOMPARE(document.bookmarkText(u"TrayCollection"_qs),
                 std::optional<QString>(u"From the collection of Jane Doe"_qs));

        const QString out = dir.filePath(u"cover."_qs + QFileInfo(templateName).suffix());
        QVERIFY(document.saveAs(out));
        const double size = FirstTrackSize(out);
        QVERIFY2(size >= smallest && size <= largest, qPrintable(QString::number(size)));
    }

    void otherTemplate_data()
    {
        QTest::addColumn<covertest::Format>("format");
        QTest::newRow("odt") << covertest::Format::Odt;
        QTest::newRow("docx") << covertest::Format::Docx;
    }

    // A template without the layout property: the fitting step changes nothing at all.
    void otherTemplate()
    {
        QFETCH(covertest::Format, format);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, u"mine"_qs + covertest::extension(format),
                                       covertest::buildTemplate(format, covertest::coverMarks()));
        FileCoverOptions options;
        options.cacheFolder = dir.path();
        options.officeProgram.clear();
        FileCoverDocument document(options);
        QVERIFY(document.open(path));
        FillCoverBookmarks(document, ShowXml(4, 50, true), {QString(), 1, u"Jane"_qs},
                           {UnitedStatesLocale(), QDate(2024, 3, 9)});
        const QString before = dir.filePath(u"before"_qs + covertest::extension(format));
        const QString after = dir.filePath(u"after"_qs + covertest::extension(format));
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
