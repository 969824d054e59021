// The worked example's track list XML filled into real templates through the real cover
// documents, the shown cover opened again and every bookmark read back.
#include "coverfiller.h"
#include "filecoverdocument.h"
#include "paths.h"
#include "zippackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;

namespace {

const QStringList CoverBookmarks = {
    u"LinerBand"_qs,      u"Linerdate"_qs,       u"LinerVenue"_qs,     u"LinerCity"_qs,
    u"LinerState"_qs,     u"LinerSource"_qs,     u"LinerNotes"_qs,     u"LinerCoverBand"_qs,
    u"LinerCoverDate"_qs, u"LinerCoverVenue"_qs, u"LinerCoverCity"_qs, u"LinerCoverState"_qs,
    u"SpineBand"_qs,      u"SpineDate"_qs,       u"SpineCity"_qs,      u"SpineState"_qs,
    u"CoverBand"_qs,      u"CoverDate"_qs,       u"CoverVenue"_qs,     u"CoverCity"_qs,
    u"CoverState"_qs,     u"CoverBand2"_qs,      u"CoverDate2"_qs,     u"TrayBand"_qs,
    u"TrayDate"_qs,       u"TraySource"_qs,      u"TrayDisc1"_qs,      u"TrayDisc1Tracks"_qs,
    u"TrayDisc2"_qs,      u"TrayDisc2Tracks"_qs, u"TrayDisc3"_qs,      u"TrayDisc3Tracks"_qs,
    u"TrayDisc4"_qs,      u"TrayDisc4Tracks"_qs, u"TrayCollection"_qs, u"TrayCreationDate"_qs};

// What the worked example puts at each bookmark; the state bookmarks are missing from it and
// keep the template's own text.
QHash<QString, QString> WorkedExampleCover()
{
    QHash<QString, QString> v;
    for (const char *b :
         {"LinerBand", "LinerCoverBand", "SpineBand", "CoverBand", "CoverBand2", "TrayBand"})
        v.insert(QString::fromLatin1(b), u"Blue Lantern"_qs);
    for (const char *b : {"Linerdate", "LinerCoverDate", "CoverDate", "TrayDate"})
        v.insert(QString::fromLatin1(b), u"May 8, 1977"_qs);
    v.insert(u"SpineDate"_qs, u"5/8/1977"_qs);
    v.insert(u"CoverDate2"_qs, u"5/8/1977"_qs);
    for (const char *b : {"LinerVenue", "LinerCoverVenue", "CoverVenue"})
        v.insert(QString::fromLatin1(b), u"Town Hall"_qs);
    for (const char *b : {"LinerCity", "LinerCoverCity", "SpineCity", "CoverCity"})
        v.insert(QString::fromLatin1(b), u"Springfield"_qs);
    v.insert(u"LinerSource"_qs, u"Source: SBD > Reel > DAT"_qs);
    v.insert(u"TraySource"_qs, u"Source: SBD > Reel > DAT"_qs);
    v.insert(u"LinerNotes"_qs, u":Great show. "_qs);
    v.insert(u"TrayDisc1"_qs, u"Disc 1"_qs);
    v.insert(u"TrayDisc1Tracks"_qs, u"1. Opener\r\n2. Second Song"_qs);
    v.insert(u"TrayDisc2"_qs, u"Disc 2"_qs);
    v.insert(u"TrayDisc2Tracks"_qs, u"1. Third Song\r\n2. Encore: Closer 3:30"_qs);
    for (const char *b : {"TrayDisc3", "TrayDisc3Tracks", "TrayDisc4", "TrayDisc4Tracks"})
        v.insert(QString::fromLatin1(b), QString());
    v.insert(u"TrayCollection"_qs, u"From the collection of Jane Doe"_qs);
    v.insert(u"TrayCreationDate"_qs, u"3/9/2024"_qs);
    return v;
}

// The smallest OpenDocument text with every cover bookmark as a range around a placeholder.
QByteArray SmallTemplate()
{
    QByteArray body;
    for (const QString &name : CoverBookmarks) {
        const QByteArray n = name.toUtf8();
        body += "<text:p><text:bookmark-start text:name=\"" + n + "\"/>[" + n +
                "]<text:bookmark-end text:name=\"" + n + "\"/></text:p>";
    }
    ZipPackage package;
    package.entries.push_back({"mimetype", "application/vnd.oasis.opendocument.text", true, 0});
    package.entries.push_back(
        {"META-INF/manifest.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
         " manifest:version=\"1.2\">"
         "<manifest:file-entry manifest:full-path=\"/\""
         " manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>"
         "<manifest:file-entry manifest:full-path=\"content.xml\" "
         "manifest:media-type=\"text/xml\"/>"
         "</manifest:manifest>",
         false, 0});
    package.entries.push_back(
        {"content.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<office:document-content"
         " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
         " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
         "<office:body><office:text>" +
             body + "</office:text></office:body></office:document-content>",
         false, 0});
    QByteArray bytes;
    if (const QString error = WriteZipPackage(package, &bytes); !error.isEmpty())
        qFatal("cannot build the template: %s", qPrintable(error));
    return bytes;
}

QString ReadXml()
{
    QFile file(QStringLiteral(TAPEWRIGHT_TEST_DATA "/worked-example.en_US.xml"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("worked example missing");
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestCoverEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void workedExample_data()
    {
        QTest::addColumn<QString>("templatePath");
        QTest::addColumn<bool>("shipped");
        // The build packs the shipped templates beside the programs; the tests run from a
        // folder next to that one.
        const QString shippedFolder =
            TemplateFolderFor(QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin"_qs));
        const QStringList shipped = ListCoverTemplates(shippedFolder);
        for (const QString &name : shipped) {
            QTest::addRow("shipped %s", qPrintable(name))
                << QDir(shippedFolder).filePath(name) << true;
        }
        if (shipped.isEmpty())
            qWarning("no shipped templates in %s; filling only the small one",
                     qPrintable(shippedFolder));
        QTest::newRow("small template made here") << QString() << false;
    }

    void workedExample()
    {
        QFETCH(QString, templatePath);
        QFETCH(bool, shipped);
        QTemporaryDir dir;
        if (templatePath.isEmpty()) {
            templatePath = dir.filePath(u"Small.odt"_qs);
            QFile f(templatePath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(SmallTemplate());
        }

        FileCoverOptions options;
        options.cacheFolder = dir.filePath(u"cache"_qs);
        options.officeProgram.clear();
        QStringList opened;
        options.opener = [&opened](const QString &path) {
            opened << path;
            return true;
        };

        // The template's own texts, for the bookmarks the example leaves alone.
        FileCoverDocument original(options);
        QVERIFY(original.open(templatePath));
        if (shipped)
            QCOMPARE(original.bookmarkNames().size(), CoverBookmarks.size());

        const QString xml = ReadXml();
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        FileCoverDocument document(options);
        const CoverResult filled = FillCover(
            document, templatePath, xml, {QFileInfo(templatePath).fileName(), 1, u"Jane Doe"_qs},
            {us, QDate(2024, 3, 9)});
        QVERIFY2(filled.ok, qPrintable(filled.error));
        const CoverResult shown = document.show(CoverTitle(xml, us));
        QVERIFY2(shown.ok, qPrintable(shown.error));
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().contains(u"Blue Lantern 1977-05-08"_qs));

        FileCoverDocument back(options);
        QVERIFY(back.open(opened.first()));
        const QHash<QString, QString> expected = WorkedExampleCover();
        for (const QString &name : CoverBookmarks) {
            const std::optional<QString> text = back.bookmarkText(name);
            QVERIFY2(text.has_value(), qPrintable(name));
            const QString want = expected.contains(name) ? expected.value(name)
                                                         : original.bookmarkText(name).value();
            QVERIFY2(*text == want, qPrintable(name + u": "_qs + *text));
        }
        // The template itself is never written.
        FileCoverDocument again(options);
        QVERIFY(again.open(templatePath));
        QCOMPARE(again.bookmarkText(u"LinerBand"_qs), original.bookmarkText(u"LinerBand"_qs));
    }
};

QTEST_GUILESS_MAIN(TestCoverEndToEnd)
#include "tst_coverendtoend.moc"
