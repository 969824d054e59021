// The main window's document rules without the window: the names it proposes and shows, and
// the text its panes hold.
#include "documentfiles.h"

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
};

void TestDocumentFiles::proposedXmlFileName_data()
{
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("xml");

    QTest::newRow("txt") << "/shows/gd77-05-08.txt"
                         << "/shows/gd77-05-08.xml";
    // Cutting three characters would give "/x/reaxml", a different file the save could replace.
    QTest::newRow("no extension") << "/x/readme"
                                  << "/x/readme.xml";
    QTest::newRow("dot only in a folder name") << "/x.y/readme"
                                               << "/x.y/readme.xml";
    QTest::newRow("two dots") << "/x/show.flac.txt"
                              << "/x/show.flac.xml";
    QTest::newRow("trailing dot") << "/x/show."
                                  << "/x/show.xml";
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

QTEST_GUILESS_MAIN(TestDocumentFiles)
#include "tst_documentfiles.moc"
