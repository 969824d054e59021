// Finding the templates beside the program or in the share folder of an installed program, and
// the name of the track list XML for an info file.
#include "common/paths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void templateFolder_data()
    {
        QTest::addColumn<QStringList>("made"); // under the temporary root; folders end in "/"
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("expected");
        const QString share = u"share/tapewright/template"_qs;
        QTest::newRow("beside the program")
            << QStringList{u"bin/template/"_qs} << u"bin"_qs << u"bin/template"_qs;
        QTest::newRow("installed") << QStringList{u"bin/"_qs, share + u'/'} << "bin" << share;
        QTest::newRow("beside wins over installed")
            << QStringList{u"bin/template/"_qs, share + u'/'} << u"bin"_qs << u"bin/template"_qs;
        QTest::newRow("neither: the installed place") << QStringList{u"bin/"_qs} << "bin" << share;
        QTest::newRow("program dir with trailing slash")
            << QStringList{u"bin/"_qs, share + u'/'} << "bin/" << share;
        // A file named "template" is not a folder of templates.
        QTest::newRow("a file beside the program")
            << QStringList{u"bin/"_qs, u"bin/template"_qs} << "bin" << share;
    }
    void templateFolder()
    {
        QFETCH(QStringList, made);
        QFETCH(QString, programDir);
        QFETCH(QString, expected);
        QTemporaryDir root;
        for (const QString &path : made) {
            if (path.endsWith(u'/'))
                QVERIFY(QDir(root.path()).mkpath(path));
            else
                QVERIFY(QFile(root.filePath(path)).open(QIODevice::WriteOnly));
        }
        QCOMPARE(TemplateFolderFor(root.path() + u'/' + programDir),
                 QDir::cleanPath(root.filePath(expected)));
    }

    void proposedXmlFileName_data()
    {
        QTest::addColumn<QString>("info");
        QTest::addColumn<QString>("xml");

        QTest::newRow("txt") << u"/shows/gd77-05-08.txt"_qs << u"/shows/gd77-05-08.xml"_qs;
        // Cutting three characters would give "/x/reaxml", a file the save could replace.
        QTest::newRow("no extension") << u"/x/readme"_qs << u"/x/readme.xml"_qs;
        QTest::newRow("dot only in a folder name") << u"/x.y/readme"_qs << u"/x.y/readme.xml"_qs;
        QTest::newRow("two dots") << u"/x/show.flac.txt"_qs << u"/x/show.flac.xml"_qs;
        QTest::newRow("trailing dot") << u"/x/show."_qs << u"/x/show.xml"_qs;
        QTest::newRow("name that is only an extension") << u"/x/.nfo"_qs << u"/x/.xml"_qs;
        QTest::newRow("nothing loaded") << QString() << QString();
    }
    void proposedXmlFileName()
    {
        QFETCH(QString, info);
        QFETCH(QString, xml);
        QCOMPARE(ProposedXmlFileName(info), xml);
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
