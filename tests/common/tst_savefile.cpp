// Saving a file in one step: what a save writes, and what a failed save leaves behind.
#include "common/savefile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tapewright;
using namespace testsupport;

class TestSaveFile : public QObject
{
    Q_OBJECT

private slots:
    // A save replaces a longer file wholly and leaves no temporary file; it writes through a
    // link and keeps the link. A failed one names the file and the reason and leaves the folder
    // as it was: what is no regular file is never replaced.
    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason"); // empty: saved
        QTest::newRow("new file") << u"new.xml"_qs << QString();
        QTest::newRow("replaces a longer file") << u"show.xml"_qs << QString();
        QTest::newRow("through a link") << u"link.xml"_qs << QString();
        QTest::newRow("missing folder") << u"missing/show.xml"_qs << u"No such file"_qs;
        QTest::newRow("a folder in the way") << u"folder"_qs << u"it is a folder, not a file"_qs;
        QTest::newRow("named pipe") << u"pipe.xml"_qs << u"it is a named pipe, not a file"_qs;
        QTest::newRow("link to a device") << u"device.xml"_qs << u"it is a device, not a file"_qs;
    }
    void save()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
        WriteFile(dir, u"show.xml"_qs, "a much longer previous text");
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.xml"_qs)).constData(), 0600), 0);
        QVERIFY(QFile::link(u"/dev/null"_qs, dir.filePath(u"device.xml"_qs)));
        QVERIFY(QFile::link(u"show.xml"_qs, dir.filePath(u"link.xml"_qs)));
        QStringList files{u"device.xml"_qs, u"folder"_qs, u"link.xml"_qs, u"pipe.xml"_qs,
                          u"show.xml"_qs};
        const QString path = dir.filePath(name);
        const Result<void> result = SaveFile(path, "new\r\n");
        QCOMPARE(result.ok(), reason.isEmpty());
        if (!result) {
            QVERIFY2(result.error().contains(QuotedPath(path)), qPrintable(result.error()));
            QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
        } else {
            QCOMPARE(ReadBytes(path), QByteArray("new\r\n"));
            if (!files.contains(name))
                files << name;
            files.sort();
        }
        QVERIFY(QFileInfo(dir.filePath(u"link.xml"_qs)).isSymLink());
        QCOMPARE(
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            files);
    }

    // A full disk fails the save, in the user's words, and leaves the previous file whole and
    // no temporary file behind. The save is small: Qt's own buffer would hold all of it.
    void save_fullDisk()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(u"disk"_qs);
        QVERIFY(QDir().mkdir(disk));
        const QString path = disk + u"/show.xml"_qs;
        const auto work = [&] {
            WriteBytes(path, "old contents");
            FillDisk(disk);
            const Result<void> saved = SaveFile(path, QByteArray(16 * 1024, 'n'));
            return (saved ? QByteArray("saved") : saved.error().toUtf8()) + '\n' + ReadBytes(path) +
                   '\n' + QDir(disk).entryList(QDir::Files | QDir::Hidden).join(u',').toUtf8();
        };
        QString whyNot;
        const std::optional<QByteArray> answer = RunOnSmallDisk(disk, 64, work, &whyNot);
        if (!answer)
            QSKIP(qPrintable(whyNot));
        QCOMPARE(QString::fromUtf8(*answer),
                 u"Cannot save "_qs + QuotedPath(path) +
                     u": the disk is full.\nold contents\nfiller,show.xml"_qs);
    }
};

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
