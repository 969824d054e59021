// The main window's document rules without the window: the name it shows and the text its
// panes hold.
#include "documentfiles.h"

#include <QTest>

using namespace tapewright;

class TestDocumentFiles : public QObject
{
    Q_OBJECT

private slots:
    void caption_data();
    void caption();
    void paneText_data();
    void paneText();
};

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
