// The main window's document rules without the window: the name it shows, the text its panes
// hold, the bytes its saves write and its save dialogs.
#include "documentfiles.h"
#include "prompts.h"

#include <QFileDialog>
#include <QTemporaryDir>
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
    void paneContent_data();
    void paneContent();
    void encode_data();
    void encode();
    void saveDialog_data();
    void saveDialog();
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

// Long lines cut and many lines grouped for the pane; each pane says which blocks continue a
// cut line, and reading the blocks back gives the document again.
void TestDocumentFiles::paneContent_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("linesPerBlock");
    QTest::addColumn<QString>("pane"); // with the longest line 4 units
    QTest::addColumn<QList<int>>("continuations");

    QTest::newRow("short lines as they are") << "ab\r\ncd\r\n" << 1 << "ab\ncd\n" << QList<int>{};
    QTest::newRow("a long line cut") << "abcdefghij\r\nk\r\n"
                                     << 1 << "abcd\nefgh\nij\nk\n"
                                     << QList<int>{1, 2};
    QTest::newRow("exactly the longest")
        << "abcd\r\nefghi" << 1 << "abcd\nefgh\ni" << QList<int>{2};
    QTest::newRow("a surrogate pair is not cut") << "abc\U0001F3B8d\r\n"
                                                 << 1 << "abc\n\U0001F3B8d\n"
                                                 << QList<int>{1};
    QTest::newRow("every line end one break")
        << "a\rb\nc\r\r\nd" << 1 << "a\nb\nc\n\nd" << QList<int>{};
    QTest::newRow("lines grouped")
        << "a\r\nb\r\nc\r\nd\r\ne" << 2 << "a\u2028b\nc\u2028d\ne" << QList<int>{};
    QTest::newRow("a cut line ends its group")
        << "a\r\nbcdefg\r\nh\r\ni\r\n"
        << 3 << "a\u2028bcde\nfg\nh\u2028i\u2028" << QList<int>{1};
    QTest::newRow("other breaks end a group")
        << "a\u2029b\r\nc" << 2 << "a\u2029b\u2028c" << QList<int>{};
}

void TestDocumentFiles::paneContent()
{
    QFETCH(QString, document);
    QFETCH(int, linesPerBlock);
    QFETCH(QString, pane);
    QFETCH(QList<int>, continuations);
    const PaneContent content = PaneContentFromDocument(document, 4, linesPerBlock);
    QCOMPARE(content.text, pane);
    QCOMPARE(content.continuations, continuations);

    // Read back as the window reads its pane: blocks joined by U+2029, but those that continue
    // a cut line joined without.
    const QStringList blocks =
        QString(pane).replace(u'\n', QChar::ParagraphSeparator).split(QChar::ParagraphSeparator);
    QString raw;
    for (int n = 0; n < blocks.size(); ++n) {
        if (n > 0 && !continuations.contains(n))
            raw += QChar::ParagraphSeparator;
        raw += blocks[n];
    }
    const QString back = DocumentTextFromPane(raw, linesPerBlock > 1);
    // Every line end is CR LF again; a U+2029 of the document was a line end for the pane too.
    QCOMPARE(back, QString(document)
                       .replace(u"\r\n"_qs, u"\n"_qs)
                       .replace(u'\r', u'\n')
                       .replace(QChar::ParagraphSeparator, u'\n')
                       .replace(u"\n"_qs, u"\r\n"_qs));
}

// What a save writes: the info text in the encoding it was read in while every character fits,
// else UTF-8; half of a pair of UTF-16 units as U+FFFD in UTF-8, never "?", and as itself in
// the UTF-16 file it came from.
void TestDocumentFiles::encode_data()
{
    QTest::addColumn<bool>("xml");
    QTest::addColumn<int>("loaded"); // the info text's encoding, -1 when never loaded
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const QString lone = u"a"_qs + QChar(0xD83D) + u"b"_qs;
    const QByteArray replaced = "a\xEF\xBF\xBD"
                                "b";
    QTest::newRow("xml") << true << -1 << lone << replaced;
    QTest::newRow("info text of no file") << false << -1 << lone << replaced;
    QTest::newRow("loaded as utf-8") << false << int(TextEncoding::Utf8) << lone << replaced;
    QTest::newRow("loaded as utf-16") << false << int(TextEncoding::Utf16LE) << lone
                                      << QByteArray("\xFF\xFE"
                                                    "a\0\x3D\xD8"
                                                    "b\0",
                                                    8);
    QTest::newRow("loaded with a utf-8 mark")
        << false << int(TextEncoding::Utf8Bom) << u"é"_qs << QByteArray("\xEF\xBB\xBF\xC3\xA9");
    QTest::newRow("windows-1252") << false << int(TextEncoding::Windows1252) << u"€é"_qs
                                  << QByteArray("\x80\xE9");
    QTest::newRow("windows-1252 lacking a character")
        << false << int(TextEncoding::Windows1252) << u"→é"_qs
        << QByteArray("\xE2\x86\x92\xC3\xA9");
}

void TestDocumentFiles::encode()
{
    QFETCH(bool, xml);
    QFETCH(int, loaded);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const std::optional<TextEncoding> encoding =
        loaded < 0 ? std::nullopt : std::optional(TextEncoding(loaded));
    QCOMPARE(xml ? EncodeXmlText(text) : EncodeInfoText(text, encoding), bytes);
}

// Each save dialog offers the filters of what it saves, the one that fits the proposed name
// selected; the dialog keeps the proposed name whichever filter is selected.
void TestDocumentFiles::saveDialog_data()
{
    QTest::addColumn<bool>("xml");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("selected");
    QTest::newRow("info text from a .txt") << false << "show.txt"
                                           << "Text Files (*.txt)";
    QTest::newRow("info text from a .NFO") << false << "show.NFO"
                                           << "Info Files (*.nfo)";
    QTest::newRow("info text without extension") << false << "readme"
                                                 << "All Files (*)";
    QTest::newRow("info text of no file") << false << ""
                                          << "Text Files (*.txt)";
    QTest::newRow("xml") << true << "show.xml"
                         << "XML Files (*.xml)";
    QTest::newRow("xml of no file") << true << ""
                                    << "XML Files (*.xml)";
    QTest::newRow("xml named otherwise") << true << "show.txt"
                                         << "All Files (*)";
}

void TestDocumentFiles::saveDialog()
{
    QFETCH(bool, xml);
    QFETCH(QString, proposed);
    QFETCH(QString, selected);
    QTemporaryDir dir;
    const QString path = proposed.isEmpty() ? proposed : dir.filePath(proposed);
    const FileDialogRequest request = xml ? SaveXmlFileDialog(path) : SaveInfoFileDialog(path);
    QCOMPARE(request.title, xml ? u"Save XML File"_qs : u"Save Info File"_qs);
    QCOMPARE(request.selectedFilter, selected);
    QFileDialog dialog; // set up, never shown
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    PrepareSaveDialog(dialog, path, {request.title, request.filters, request.filters.first()});
    if (!path.isEmpty())
        QCOMPARE(dialog.selectedFiles().value(0), path);
    QCOMPARE(dialog.selectedNameFilter(), request.filters.first());
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
}

QTEST_MAIN(TestDocumentFiles)
#include "tst_documentfiles.moc"
