// The worked example's track list XML filled into real templates through the real cover
// documents, the cover file opened again and every bookmark read back.
#include "coverfiller.h"
#include "covertemplates.h"
#include "filecoverdocument.h"
#include "paths.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

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
        if (templatePath.isEmpty())
            templatePath = WriteFile(
                dir, u"Small.odt"_qs,
                covertest::buildTemplate(covertest::Format::Odt, covertest::coverMarks()));

        FileCoverOptions options;
        options.cacheFolder = dir.filePath(u"cache"_qs);
        options.officeProgram = QString();

        // The template's own texts, for the bookmarks the example leaves alone.
        FileCoverDocument original(options);
        QVERIFY(original.open(templatePath));
        if (shipped)
            QCOMPARE(original.bookmarkNames().size(), CoverBookmarkNames().size());

        const QString xml = WorkedExampleXml();
        const QLocale us = UnitedStatesLocale();
        FileCoverDocument document(options);
        CoverJob job;
        job.templateFolder = QFileInfo(templatePath).absolutePath();
        job.choices = {QFileInfo(templatePath).fileName(), 1, u"Jane Doe"_qs};
        job.xml = xml;
        job.fill = {us, QDate(2024, 3, 9)};
        job.coversFolder = dir.filePath(u"covers"_qs);
        const Result<MadeCover> cover = MakeCover(document, job);
        QVERIFY2(cover, qPrintable(cover.error()));
        QVERIFY(cover->path.contains(u"Blue Lantern 1977-05-08"_qs));
        QCOMPARE(cover->notice, QString());

        FileCoverDocument back(options);
        QVERIFY(back.open(cover->path));
        const QHash<QString, QString> expected = WorkedExampleCover();
        for (const QString &name : CoverBookmarkNames()) {
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
