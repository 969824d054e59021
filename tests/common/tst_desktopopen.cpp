// The desktop's opener run as a process: its exit code says whether the document was opened,
// told once, also when it fails to start or takes longer than the answer may wait.
#include "common/desktopopen.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

class TestDesktopOpen : public QObject
{
    Q_OBJECT

private slots:
    void openWith_data()
    {
        QTest::addColumn<QString>("script"); // the opener's body; "" for none at all
        QTest::addColumn<bool>("opened");
        QTest::newRow("opened") << u"exit 0"_qs << true;
        // xdg-open's "no application for the type" and "the application failed".
        QTest::newRow("no application") << u"exit 3"_qs << false;
        QTest::newRow("application failed") << u"exit 4"_qs << false;
        QTest::newRow("no opener") << QString() << false;
        // Still running the application when the answer is due: opened, and its failure a
        // second later is not told.
        QTest::newRow("still running") << u"sleep 1; exit 3"_qs << true;
    }
    void openWith()
    {
        QFETCH(QString, script);
        QFETCH(bool, opened);
        QTemporaryDir dir;
        const QString opener = dir.filePath(u"opener"_qs);
        if (!script.isEmpty()) {
            WriteFile(dir, u"opener"_qs,
                      "#!/bin/sh\n[ \"$1\" = cover.ott ] || exit 1\n" + script.toUtf8() + '\n');
            QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner));
        }
        const bool slow = script.startsWith(u"sleep");
        // However loaded the machine, the quick openers answer long before the time is up.
        const int answerMs = slow ? 100 : 60000;
        QList<bool> answers;
        OpenDocumentWith(
            opener, u"cover.ott"_qs, [&](bool o) { answers << o; }, answerMs);
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 60000);
        QCOMPARE(answers.first(), opened);
        if (slow)
            QTest::qWait(2000); // the opener ends, and its process is deleted
        QCOMPARE(answers.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDesktopOpen)
#include "tst_desktopopen.moc"
