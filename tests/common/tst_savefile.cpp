// Saving a file in one step: what a save writes, and what a failed save leaves behind.
#include "savefile.h"
#include "smalldisk.h"
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

    // A full disk fails the save, in the user's words, and leaves the previous file whole and
    // no temporary file behind. The save is small: Qt's own buffer would hold all of it.
    void save_fullDisk()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(u"disk"_qs);
        QVERIFY(QDir().mkdir(disk));
        const QString path = disk + u"/show.xml"_qs;
        QString whyNot;
        const std::optional<QByteArray> answer = RunOnSmallDisk(
            disk, 64,
            [&] {
                WriteBytes(path, "old contents");
                FillDisk(disk);
                const Result<void> saved = SaveFile(path, QByteArray(16 * 1024, 'n'));
                return (saved ? QByteArray("saved") : saved.error().toUtf8()) + '\n' +
                       ReadBytes(path) + '\n' +
                       QDir(disk).entryList(QDir::Files | QDir::Hidden).join(u',').toUtf8();
            },
            &whyNot);
        if (!answer)
            QSKIP(qPrintable(whyNot));
        const QList<QByteArray> lines = answer->split('\n');
        QCOMPARE(QString::fromUtf8(lines.value(0)),
                 u"Cannot save "_qs + QuotedPath(path) + u": the disk is full."_qs);
        QCOMPARE(lines.value(1), QByteArray("old contents"));
        QCOMPARE(lines.value(2), QByteArray("filler,show.xml"));
    }
};

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
