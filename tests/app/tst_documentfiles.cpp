// The main window's document rules without the window: the text its panes hold, the bytes
// its saves write and its save dialogs.
#include "app/documentfiles.h"
#include "app/prompts.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;

class TestDocumentFiles : public QObject
{
    Q_OBJECT

private slots:
    void paneContent_data();
    void paneContent();
    void encode_data();
    void encode();
    void saveDialog_data();
    void saveDialog();
};

// Long lines cut and many lines grouped for the pane; each pane says which blocks continue a
// cut line (the window reads the pane back through them).
void TestDocumentFiles::paneContent_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("linesPerBlock");
    QTest::addColumn<QString>("pane"); // with the longest line 4 units
    QTest::addColumn<QList<int>>("continuations");

    const auto row = [](const char *name, const QString &document, int linesPerBlock,
                        const QString &pane, const QList<int> &continuations) {
        QTest::newRow(name) << document << linesPerBlock << pane << continuations;
    };
    row("short lines as they are", u"ab\r\ncd\r\n"_qs, 1, u"ab\ncd\n"_qs, {});
    row("a long line cut", u"abcdefghij\r\nk\r\n"_qs, 1, u"abcd\nefgh\nij\nk\n"_qs, {1, 2});
    row("exactly the longest", u"abcd\r\nefghi"_qs, 1, u"abcd\nefgh\ni"_qs, {2});
    row("a surrogate pair is not cut", u"abc\U0001F3B8d\r\n"_qs, 1, u"abc\n\U0001F3B8d\n"_qs, {1});
    row("every line end one break", u"a\rb\nc\r\r\nd"_qs, 1, u"a\nb\nc\n\nd"_qs, {});
    row("lines grouped", u"a\r\nb\r\nc\r\nd\r\ne"_qs, 2, u"a\u2028b\nc\u2028d\ne"_qs, {});
    row("a cut line ends its group", u"a\r\nbcdefg\r\nh\r\ni\r\n"_qs, 3,
        u"a\u2028bcde\nfg\nh\u2028i\u2028"_qs, {1});
    row("other breaks end a group", u"a\u2029b\r\nc"_qs, 2, u"a\u2029b\u2028c"_qs, {});
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
    const QByteArray replaced = "a\xEF\xBF\xBD\x62";
    QTest::newRow("xml") << true << -1 << lone << replaced;
    QTest::newRow("info text of no file") << false << -1 << lone << replaced;
    QTest::newRow("loaded as utf-8") << false << int(TextEncoding::Utf8) << lone << replaced;
    QTest::newRow("loaded as utf-16") << false << int(TextEncoding::Utf16LE) << lone
                                      << QByteArray("\xFF\xFE\x61\0\x3D\xD8\x62\0", 8);
    QTest::newRow("loaded as utf-16 be without a mark")
        << false << int(TextEncoding::Utf16BENoBom) << u"é"_qs << QByteArray("\0\xE9", 2);
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
// selected; the dialog keeps the proposed name whichever filter is selected, and starts in its
// folder, or without a name in the last folder used.
void TestDocumentFiles::saveDialog_data()
{
    QTest::addColumn<bool>("xml");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("selected");
    QTest::newRow("info text from a .txt") << false << u"show.txt"_qs << u"Text Files (*.txt)"_qs;
    QTest::newRow("info text from a .NFO") << false << u"show.NFO"_qs << u"Info Files (*.nfo)"_qs;
    QTest::newRow("info text without extension") << false << u"readme"_qs << u"All Files (*)"_qs;
    QTest::newRow("info text of no file") << false << QString() << u"Text Files (*.txt)"_qs;
    QTest::newRow("xml") << true << u"show.xml"_qs << u"XML Files (*.xml)"_qs;
    QTest::newRow("xml of no file") << true << QString() << u"XML Files (*.xml)"_qs;
    QTest::newRow("xml named otherwise") << true << u"show.txt"_qs << u"All Files (*)"_qs;
}

void TestDocumentFiles::saveDialog()
{
    QFETCH(bool, xml);
    QFETCH(QString, proposed);
    QFETCH(QString, selected);
    QTemporaryDir dir;
    const QString path = proposed.isEmpty() ? proposed : dir.filePath(proposed);
    const FileDialogRequest request =
        xml ? SaveXmlFileDialog(path, dir.path()) : SaveInfoFileDialog(path, dir.path());
    QCOMPARE(request.title, xml ? u"Save XML File"_qs : u"Save Info File"_qs);
    QCOMPARE(request.selectedFilter, selected);
    QFileDialog dialog; // set up, never shown
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    PrepareSaveDialog(dialog, path,
                      {request.title, request.filters, request.filters.first(), request.folder});
    if (!path.isEmpty())
        QCOMPARE(dialog.selectedFiles().value(0), path);
    QCOMPARE(dialog.directory().path(), dir.path());
    QCOMPARE(dialog.selectedNameFilter(), request.filters.first());
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
}

QTEST_MAIN(TestDocumentFiles)
#include "tst_documentfiles.moc"
