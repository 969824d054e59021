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
        QTest::addColumn<QStringList>("folders"); // made under the temporary root
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("expected");

        QTest::newRow("beside the program") << QStringList{u"bin/template"_qs} << "bin"
                                            << "bin/template";
        QTest::newRow("installed")
            << QStringList{u"bin"_qs, u"share/tapewright/template"_qs} << "bin"
            << "share/tapewright/template";
        QTest::newRow("beside wins over installed")
            << QStringList{u"bin/template"_qs, u"share/tapewright/template"_qs} << "bin"
            << "bin/template";
        QTest::newRow("neither: the installed place") << QStringList{u"bin"_qs} << "bin"
                                                      << "share/tapewright/template";
        QTest::newRow("program dir with trailing slash")
            << QStringList{u"bin"_qs, u"share/tapewright/template"_qs} << "bin/"
            << "share/tapewright/template";
    }
    void templateFolder()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, programDir);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        for (const QString &folder : folders)
            QVERIFY(QDir(root.path()).mkpath(folder));

        const QString found = TemplateFolderFor(root.path() + u'/' + programDir);
        QCOMPARE(found, QDir::cleanPath(root.filePath(expected)));
    }

    // A file named "template" is not a folder of templates.
    void templateFolder_fileBesideProgram()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkpath(u"bin"_qs));
        QFile file(root.filePath(u"bin/template"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(TemplateFolderFor(root.filePath(u"bin"_qs)),
                 QDir::cleanPath(root.filePath(u"share/tapewright/template"_qs)));
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
