// Saving a file in one step: what a save writes, and what a failed save leaves behind.
#include "common/savefile.h"
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
    // A save replaces a longer file wholly and leaves no temporary file; a failed one names the
    // file and leaves the folder as it was.
    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("saved");
        QTest::newRow("new file") << u"new.xml"_qs << true;
        QTest::newRow("replaces a longer file") << u"show.xml"_qs << true;
        QTest::newRow("missing folder") << u"missing/show.xml"_qs << false;
        QTest::newRow("a folder in the way") << u"folder"_qs << false;
    }
    void save()
    {
        QFETCH(QString, name);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_qs));
        WriteFile(dir, u"show.xml"_qs, "a much longer previous text");
        const QString path = dir.filePath(name);
        const Result<void> result = SaveFile(path, "new\r\n");
        QCOMPARE(result.ok(), saved);
        if (!saved)
            QVERIFY2(result.error().contains(QuotedPath(path)), qPrintable(result.error()));
        else
            QCOMPARE(ReadBytes(path), QByteArray("new\r\n"));
        QStringList files{u"folder"_qs, u"show.xml"_qs};
        if (saved && !files.contains(name))
            files = QStringList{u"folder"_qs, name, u"show.xml"_qs};
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
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
