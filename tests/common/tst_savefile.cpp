// Saving a file in one step: what a save writes, and what a failed save leaves behind.
#include "savefile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

class TestSaveFile : public QObject
{
    Q_OBJECT

private slots:
    void save_data()
    {
        QTest::addColumn<QByteArray>("previous"); // a null array: no file before
        QTest::newRow("new file") << QByteArray();
        QTest::newRow("replaces a longer file") << QByteArray("a much longer previous text");
    }
    void save()
    {
        QFETCH(QByteArray, previous);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"show.xml"_qs);
        if (!previous.isNull())
            WriteBytes(path, previous);
        QVERIFY(SaveFile(path, "new\r\n"));
        QCOMPARE(ReadBytes(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"show.xml"_qs});
    }

    void save_failureKeepsPreviousFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << u"missing/show.xml"_qs;
        QTest::newRow("a folder in the way") << u"folder"_qs;
    }
    void save_failureKeepsPreviousFile()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
        const QString path = dir.filePath(name);
        const Result<void> saved = SaveFile(path, "new");
        QVERIFY(!saved);
        QVERIFY2(saved.error().contains(QuotedPath(path)), qPrintable(saved.error()));
        QVERIFY(QFileInfo(dir.filePath(u"folder"_qs)).isDir());
        QVERIFY(!QFile::exists(dir.filePath(u"missing"_qs)));
    }
};

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
