// The main window's document rules without the window: names, pane text and saving.
#include "documentfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;

class TestDocumentFiles : public QObject
{
    Q_OBJECT

private slots:
    void proposedXmlFileName_data();
    void proposedXmlFileName();
    void caption_data();
    void caption();
    void paneText_data();
    void paneText();
    void encodeInfoText_data();
    void encodeInfoText();
    void saveTextFile_replacesExisting();
    void saveTextFile_failure_data();
    void saveTextFile_failure();
};

void TestDocumentFiles::proposedXmlFileName_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("xml");

    QTest::newRow("txt") << "/shows/gd77-05-08.txt"
                         << "/shows/gd77-05-08.xml";
    QTest::newRow("nfo") << "/shows/gd77-05-08.nfo"
                         << "/shows/gd77-05-08.xml";
    // Cutting three characters would give "/x/reaxml", a different file the save could replace.
    QTest::newRow("no extension") << "/x/readme"
                                  << "/x/readme.xml";
    QTest::newRow("dot only in a folder name") << "/x.y/readme"
                                               << "/x.y/readme.xml";
    QTest::newRow("long extension") << "/x/show.info"
                                    << "/x/show.xml";
    QTest::newRow("two dots") << "/x/show.flac.txt"
                              << "/x/show.flac.xml";
    QTest::newRow("trailing dot") << "/x/show."
                                  << "/x/show.xml";
    QTest::newRow("no folder") << "show.txt"
                               << "show.xml";
    QTest::newRow("nothing loaded") << ""
                                    << "";
}

void TestDocumentFiles::proposedXmlFileName()
{
    QFETCH(QString, info);
    QFETCH(QString, xml);
    QCOMPARE(ProposedXmlFileName(info), xml);
}

void TestDocumentFiles::caption_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("caption");

    QTest::newRow("nothing loaded") << ""
                                    << "Tapewright";
    QTest::newRow("full path") << "/shows/gd77-05-08.txt"
                               << "Tapewright - gd77-05-08.txt";
    QTest::newRow("bare name") << "gd.txt"
                               << "Tapewright - gd.txt";
}

void TestDocumentFiles::caption()
{
    QFETCH(QString, info);
    QFETCH(QString, caption);
    QCOMPARE(WindowCaption(info), caption);
}

void TestDocumentFiles::paneText_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("raw"); // what the pane's document gives back

    QTest::newRow("loaded lines") << "a\r\nb\r\n"
                                  << "a\nb\n"
                                  << "a\u2029b\u2029";
    QTest::newRow("no final line end") << "a\r\nb"
                                       << "a\nb"
                                       << "a\u2029b";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("no-break space and tab kept") << "Venue\u00A0Hall\tX\r\n"
                                                 << "Venue\u00A0Hall\tX\n"
                                                 << "Venue\u00A0Hall\tX\u2029";
    QTest::newRow("line separator inside a line") << "a\u2028b\r\n"
                                                  << "a\u2028b\n"
                                                  << "a\u2028b\u2029";
}

void TestDocumentFiles::paneText()
{
    QFETCH(QString, document);
    QFETCH(QString, pane);
    QFETCH(QString, raw);
    QCOMPARE(PaneTextFromDocument(document), pane);
    QCOMPARE(DocumentTextFromPane(raw), document);
}

void TestDocumentFiles::encodeInfoText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("loaded"); // -1: never loaded
    QTest::addColumn<QByteArray>("bytes");

    const int none = -1;
    QTest::newRow("typed, never loaded") << "Caf\u00E9\r\n"
                                         << none << QByteArray("Caf\xC3\xA9\r\n");
    QTest::newRow("utf-8") << "Caf\u00E9\r\n"
                           << int(TextEncoding::Utf8) << QByteArray("Caf\xC3\xA9\r\n");
    QTest::newRow("utf-8 with mark") << "Caf\u00E9\r\n"
                                     << int(TextEncoding::Utf8Bom)
                                     << QByteArray("\xEF\xBB\xBF"
                                                   "Caf\xC3\xA9\r\n");
    QTest::newRow("utf-16 le") << "A\r\n"
                               << int(TextEncoding::Utf16LE)
                               << QByteArray("\xFF\xFE\x41\0\r\0\n\0", 8);
    QTest::newRow("utf-16 be") << "A\r\n"
                               << int(TextEncoding::Utf16BE)
                               << QByteArray("\xFE\xFF\0\x41\0\r\0\n", 8);
    QTest::newRow("windows-1252") << "Caf\u00E9 \u20AC\r\n"
                                  << int(TextEncoding::Windows1252)
                                  << QByteArray("Caf\xE9 \x80\r\n");
    // The typed arrow does not exist in Windows-1252: the whole text goes out as UTF-8.
    QTest::newRow("windows-1252 with a character it lacks")
        << "Caf\u00E9 \u2192\r\n"
        << int(TextEncoding::Windows1252) << QByteArray("Caf\xC3\xA9 \xE2\x86\x92\r\n");
}

void TestDocumentFiles::encodeInfoText()
{
    QFETCH(QString, text);
    QFETCH(int, loaded);
    QFETCH(QByteArray, bytes);
    const std::optional<TextEncoding> encoding =
        loaded < 0 ? std::nullopt : std::optional(static_cast<TextEncoding>(loaded));
    QCOMPARE(EncodeInfoText(text, encoding), bytes);
}

void TestDocumentFiles::saveTextFile_replacesExisting()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("show.xml"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older and longer text");
    old.close();

    const SaveResult r = SaveTextFile(path, "new");
    QVERIFY(r.ok);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("new"));
}

void TestDocumentFiles::saveTextFile_failure_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("missing folder") << "no such folder/show.xml";
    QTest::newRow("folder is a file") << "plain.txt/show.xml";
    QTest::newRow("target is a folder") << "folder";
}

void TestDocumentFiles::saveTextFile_failure()
{
    QFETCH(QString, relativePath);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile plain(dir.filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("keep me");
    plain.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));

    const QString path = dir.filePath(relativePath);
    const SaveResult r = SaveTextFile(path, "text");
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(path), qPrintable(r.error));
    QVERIFY(plain.open(QIODevice::ReadOnly));
    QCOMPARE(plain.readAll(), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TestDocumentFiles)
#include "tst_documentfiles.moc"
