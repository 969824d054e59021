// Finding the templates beside the program or in the share folder of an installed program, and
// the name of the track list XML for an info file.
#include "paths.h"

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
        QTest::newRow("beside the program") << QStringList{u"bin/template/"_qs} << "bin"
                                            << "bin/template";
        QTest::newRow("installed") << QStringList{u"bin/"_qs, share + u'/'} << "bin" << share;
        QTest::newRow("beside wins over installed")
            << QStringList{u"bin/template/"_qs, share + u'/'} << "bin"
            << "bin/template";
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

        QTest::newRow("txt") << "/shows/gd77-05-08.txt"
                             << "/shows/gd77-05-08.xml";
        // Cutting three characters would give "/x/reaxml", a different file the save could
        // replace.
        QTest::newRow("no extension") << "/x/readme"
                                      << "/x/readme.xml";
        QTest::newRow("dot only in a folder name") << "/x.y/readme"
                                                   << "/x.y/readme.xml";
        QTest::newRow("two dots") << "/x/show.flac.txt"
                                  << "/x/show.flac.xml";
        QTest::newRow("trailing dot") << "/x/show."
                                      << "/x/show.xml";
        QTest::newRow("name that is only an extension") << "/x/.nfo"
                                                        << "/x/.xml";
        QTest::newRow("nothing loaded") << ""
                                        << "";
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
