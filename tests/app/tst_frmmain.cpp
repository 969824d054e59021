// The main window driven as a user would: menus, the file dialog and the message boxes answered
// through fakes, typing and mouse-style edits, saving, closing, resizing and focus keys.
#include "busyobserver.h"
#include "convertinfotext.h"
#include "documentfiles.h"
#include "formhelpers.h"
#include "frmmain.h"
#include "mainlayout.h"
#include "recogniseinfotext.h"
#include "settings.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

using namespace tapewright;
using namespace testsupport;

namespace {

// Answers the file dialog from a queue; an empty queue (or an empty answer) is Cancel.
class FakeDialogs final : public FileDialogs
{
public:
    struct SaveCall
    {
        QString proposed;
        FileDialogRequest request;
    };

    QStringList openAnswers;
    QStringList saveAnswers;
    int openCalls = 0;
    FileDialogRequest openRequest;
    QList<SaveCall> saveCalls;

    QString showOpen(QWidget *, const FileDialogRequest &request) override
    {
        ++openCalls;
        openRequest = request;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString showSave(QWidget *, const QString &proposed, const FileDialogRequest &request) override
    {
        saveCalls.append({proposed, request});
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
};

class FakeBoxes final : public MessageBoxes
{
public:
    QList<Answer> answers;
    QStringList questions;
    QStringList errors;
    QStringList notices;

    Answer askYesNoCancel(QWidget *, const QString &text) override
    {
        questions.append(text);
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    void showError(QWidget *, const QString &text) override { errors.append(text); }
    void showNotice(QWidget *, const QString &text) override { notices.append(text); }
    bool showNoticeWithAction(QWidget *, const QString &text, const QString &) override
    {
        notices.append(text);
        return false;
    }
};

QByteArray workedExample()
{
    return TestData(QStringLiteral("worked-example.txt"));
}

QLocale usEnglish()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

// One window with its fakes and a fresh folder.
struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<frmMain> window = std::make_unique<frmMain>();
    FakeDialogs *dialogs = new FakeDialogs;
    FakeBoxes *boxes = new FakeBoxes;

    Fixture()
    {
        window->setFileDialogs(std::unique_ptr<FileDialogs>(dialogs));
        window->setMessageBoxes(std::unique_ptr<MessageBoxes>(boxes));
        window->setConversionLocale(usEnglish());
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QPlainTextEdit *input() const { return child<QPlainTextEdit>("txtInput"); }
    QPlainTextEdit *output() const { return child<QPlainTextEdit>("txtOutput"); }
    QLabel *status() const { return child<QLabel>("lblStatus"); }
    QAction *action(const char *name) const { return child<QAction>(name); }

    // Opens a file through File, Open Info File.
    void open(const QString &fileName)
    {
        dialogs->openAnswers.append(fileName);
        action("mnuFileOpenInfoFile")->trigger();
    }
    QString openExample()
    {
        const QString file = path(QStringLiteral("gd77-05-08.txt"));
        WriteBytes(file, workedExample());
        open(file);
        return file;
    }
    bool saveXml(const QString &fileName)
    {
        dialogs->saveAnswers.append(fileName);
        return window->mnuFileSaveXMLFile_Click();
    }
};

// Records the status label's text whenever it is painted under the wait cursor.
class StatusPaints : public QObject
{
public:
    explicit StatusPaints(QLabel *status) : m_status(status) { status->installEventFilter(this); }
    QStringList busyTexts;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        if (watched == m_status && event->type() == QEvent::Paint && cursor &&
            cursor->shape() == Qt::WaitCursor)
            busyTexts.append(m_status->text());
        return false;
    }

private:
    QLabel *m_status;
};

QString converted(const QString &text)
{
    return ConvertInfoText(text, ConvertOptions{usEnglish(), nullptr});
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void startUp_state();
    void menus();
    void open_loadsAndConverts();
    void open_cancelled();
    void open_failure_data();
    void open_failure();
    void open_shortTextGivesEmptyXml();
    void open_paneKeepsLineContent();
    void open_longLineShownCut();
    void open_manyLinesGrouped_data();
    void open_manyLinesGrouped();
    void open_noAskingAboutUnsavedWork();
    void busy_observerShowsAndClears();
    void edit_data();
    void edit();
    void edit_typedBeforeAnyLoad();
    void edit_largeTextConvertedAfterPause();
    void save_infoKeepsEncoding_data();
    void save_infoKeepsEncoding();
    void save_xml();
    void save_underAnotherName();
    void save_cancelled();
    void save_failure_data();
    void save_failure();
    void save_dialogFitsDocument_data();
    void save_dialogFitsDocument();
    void saveDialog_keepsProposedName_data();
    void saveDialog_keepsProposedName();
    void unload_data();
    void unload();
    void resize_data();
    void resize();
    void accessKeys_moveFocus();
    void navigationKeys_data();
    void navigationKeys();
    void placement_remembered();
    void drop_fileLoads();
    void startupFiles_loadAsOpen();
    void dialogHooks();
    void smartRecognition_reconvertsAndIsKept();
};

void TestFrmMain::startUp_state()
{
    Fixture f;
    QCOMPARE(f.window->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright"));
    QVERIFY(f.input()->toPlainText().isEmpty());
    QVERIFY(f.output()->toPlainText().isEmpty());
    QVERIFY(f.status()->text().isEmpty());
    QVERIFY(f.window->infoFileName().isEmpty());
    QVERIFY(f.window->xmlFileName().isEmpty());
    QVERIFY(!f.window->infoChanged());
    QVERIFY(!f.window->xmlChanged());

    QCOMPARE(f.child<QLabel>("lblInput")->text(), QStringLiteral("&Input NFO File"));
    QCOMPARE(f.child<QLabel>("lblOutput")->text(), QStringLiteral("&Output XML File"));
    QCOMPARE(f.child<QLabel>("lblInput")->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(f.status()->foregroundRole(), QPalette::Highlight);
    for (QPlainTextEdit *pane : {f.input(), f.output()}) {
        QCOMPARE(pane->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(pane->lineWrapMode(), QPlainTextEdit::NoWrap);
    }
    QVERIFY(!f.input()->isReadOnly());
    QVERIFY(f.output()->isReadOnly());
    QCOMPARE(f.output()->viewport()->cursor().shape(), Qt::ArrowCursor);

    // The client area as designed.
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QWidget *client = f.window->centralWidget();
    QCOMPARE(client->width(), TwipsToPixelsX(DesignedClientWidth, f.window.get()));
    QCOMPARE(client->height(), TwipsToPixelsY(DesignedClientHeight, f.window.get()));
}

void TestFrmMain::menus()
{
    Fixture f;
    // Name, caption and shortcut of every entry in order; a separator shows as its name alone.
    QStringList entries;
    for (QAction *top : f.window->menuBar()->actions()) {
        entries << top->menu()->objectName() + u' ' + top->text();
        for (QAction *a : top->menu()->actions())
            entries << (a->isSeparator() ? a->objectName()
                                         : a->objectName() + u' ' + a->text() + u' ' +
                                               a->shortcut().toString(QKeySequence::PortableText))
                           .trimmed();
    }
    const QStringList expected = {
        u"mnuFile &File"_qs,
        u"mnuFileOpenInfoFile &Open Info File..."_qs,
        u"mnuFileSaveInfoFile &Save Info File... Ctrl+S"_qs,
        u"mnuFileSep1"_qs,
        u"mnuFileSaveXMLFile Sa&ve XML File..."_qs,
        u"mnuFileSep2"_qs,
        u"mnuFileSmartRecognition Smart &Recognition"_qs,
        u"mnuFileCreateCDRCover Create CDR Cover via &Word... Ctrl+W"_qs,
        u"mnuFileSep3"_qs,
        u"mnuFileExit E&xit"_qs,
        u"mnuHelp &Help"_qs,
        u"mnuHelpAbout &About..."_qs,
    };
    QCOMPARE(entries, expected);
}

void TestFrmMain::open_loadsAndConverts()
{
    Fixture f;
    const QString file = f.openExample();

    QCOMPARE(f.dialogs->openCalls, 1);
    QCOMPARE(f.dialogs->openRequest.title, QStringLiteral("Open Info File"));
    const QStringList filters{u"Info Texts (*.txt *.nfo)"_qs, u"Text Files (*.txt)"_qs,
                              u"Info Files (*.nfo)"_qs, u"All Files (*)"_qs};
    QCOMPARE(f.dialogs->openRequest.filters, filters);
    QCOMPARE(f.dialogs->openRequest.selectedFilter, filters.first());

    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright - gd77-05-08.txt"));
    QCOMPARE(f.window->inputText(), QString::fromUtf8(workedExample()));
    const QString golden = QString::fromUtf8(TestData(QStringLiteral("worked-example.en_US.xml")));
    QCOMPARE(f.window->outputText(), golden);
    QCOMPARE(f.output()->toPlainText(), QString(golden).replace(u"\r\n"_qs, u"\n"_qs));
    QCOMPARE(f.window->infoFileName(), file);
    QCOMPARE(f.window->xmlFileName(), f.path(QStringLiteral("gd77-05-08.xml")));
    QVERIFY(!f.window->infoChanged());
    QVERIFY(f.window->xmlChanged());
    QVERIFY(f.boxes->errors.isEmpty());
}

void TestFrmMain::open_cancelled()
{
    Fixture f;
    const QString file = f.openExample();
    f.saveXml(f.path(QStringLiteral("saved.xml")));
    const QString input = f.window->inputText();
    const QString output = f.window->outputText();

    f.open(QString()); // Cancel
    QCOMPARE(f.dialogs->openCalls, 2);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright - gd77-05-08.txt"));
    QCOMPARE(f.window->inputText(), input);
    QCOMPARE(f.window->outputText(), output);
    QCOMPARE(f.window->infoFileName(), file);
    QVERIFY(!f.window->infoChanged());
    QVERIFY(!f.window->xmlChanged());
    QVERIFY(f.boxes->errors.isEmpty());
}

void TestFrmMain::open_failure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    enum
    {
        Missing,
        Folder,
        Oversized,
        Unreadable,
        TooManyLines
    };

    QTest::newRow("missing file") << "missing.txt" << int(Missing);
    QTest::newRow("folder") << "folder.txt" << int(Folder);
    QTest::newRow("larger than 16 MiB") << "video.nfo" << int(Oversized);
    QTest::newRow("no read permission") << "locked.txt" << int(Unreadable);
    // Each line is a block of the pane; millions of them would take minutes and gigabytes.
    QTest::newRow("more lines than the window opens") << "lines.txt" << int(TooManyLines);
}

void TestFrmMain::open_failure()
{
    QFETCH(QString, name);
    QFETCH(int, kind);

    Fixture f;
    const QString path = f.path(name);
    switch (kind) {
    case 1:
        QVERIFY(QDir(f.dir.path()).mkdir(name));
        break;
    case 2: {
        QFile big(path);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(MaxTextFileSize + 1));
        break;
    }
    case 3:
        WriteBytes(path, "text\r\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("Permissions are not enforced for this user (root)");
        break;
    case 4:
        WriteBytes(path, QByteArray(1'000'001, '\n'));
        break;
    default:
        break;
    }

    const QString loaded = f.openExample();
    const QString input = f.window->inputText();
    const QString output = f.window->outputText();
    f.saveXml(f.path(QStringLiteral("saved.xml")));

    f.open(path);
    QCOMPARE(f.boxes->errors.size(), 1);
    QVERIFY2(f.boxes->errors.first().contains(path), qPrintable(f.boxes->errors.first()));
    // Nothing changed: the caption still names the show in the panes.
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright - gd77-05-08.txt"));
    QCOMPARE(f.window->inputText(), input);
    QCOMPARE(f.window->outputText(), output);
    QCOMPARE(f.window->infoFileName(), loaded);
    QCOMPARE(f.window->xmlFileName(), f.path(QStringLiteral("gd77-05-08.xml")));
    QVERIFY(!f.window->infoChanged());
    QVERIFY(!f.window->xmlChanged());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestFrmMain::open_shortTextGivesEmptyXml()
{
    Fixture f;
    const QString file = f.path(QStringLiteral("short.txt"));
    WriteBytes(file, "Band\r\nDate\r\nVenue\r\n");
    f.open(file);
    QCOMPARE(f.window->inputText(), QStringLiteral("Band\r\nDate\r\nVenue\r\n"));
    QVERIFY(f.window->outputText().isEmpty());
    QVERIFY(f.output()->toPlainText().isEmpty());
    QVERIFY(f.window->xmlChanged());
}

void TestFrmMain::open_paneKeepsLineContent()
{
    // Lone CR and LF both end lines; no-break spaces and tabs survive the pane.
    Fixture f;
    const QString file = f.path(QStringLiteral("mixed.txt"));
    WriteBytes(file, "Band\nVenue\xC2\xA0Hall\r1.\tSong\r\nlast");
    f.open(file);
    QCOMPARE(f.window->inputText(), u"Band\r\nVenue\u00A0Hall\r\n1.\tSong\r\nlast\r\n"_qs);
    QCOMPARE(f.input()->document()->blockCount(), 5);
}

// A line of megabytes would freeze the pane, which lays out every line it shows whole: a long
// line is shown cut into pieces, while the text the window converts and saves is the file's.
void TestFrmMain::open_longLineShownCut()
{
    Fixture f;
    const QByteArray longLine(2 * LongestPaneLine + 100, 'x');
    const QByteArray bytes = "Band\r\n" + longLine + "\r\nVenue Hall\r\n";
    const QString file = f.path(QStringLiteral("long.txt"));
    WriteBytes(file, bytes);
    f.open(file);
    const QTextDocument *document = f.input()->document();
    QCOMPARE(document->blockCount(), 6); // three lines, two cuts, the empty last line
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() - 1 <= LongestPaneLine);
    QCOMPARE(f.window->inputText(), QString::fromLatin1(bytes));
    f.dialogs->saveAnswers.append(f.path(QStringLiteral("saved.txt")));
    QVERIFY(f.window->mnuFileSaveInfoFile_Click());
    QCOMPARE(ReadBytes(f.path(QStringLiteral("saved.txt"))), bytes);

    // Typed at a cut the character joins the line; Enter there ends the line.
    QTextCursor cursor(document->findBlockByNumber(2));
    f.input()->setTextCursor(cursor);
    QTest::keyClick(f.input(), Qt::Key_Y);
    QTest::keyClick(f.input(), Qt::Key_Return);
    QByteArray edited = bytes;
    edited.insert(6 + LongestPaneLine, "y\r\n");
    QCOMPARE(f.window->inputText(), QString::fromLatin1(edited));
}

void TestFrmMain::open_manyLinesGrouped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("blocks");
    QByteArray lines = "Band\r\n";
    for (int n = 0; n < 25'000; ++n)
        lines += "line\r\n";
    // Eight lines to a block, and the empty line after the last.
    QTest::newRow("lines grouped") << lines << 25'001 / 8 + 1;
    // A U+2028 of the text's own would be read back as a line end: a block for every line.
    QTest::newRow("a line separator of the text's own")
        << QByteArray(lines).replace("Band", "Band\xE2\x80\xA8") << 25'002;
}

// Filling a pane costs per block: a text of many lines is shown several lines to a block.
void TestFrmMain::open_manyLinesGrouped()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, blocks);
    Fixture f;
    const QString file = f.path(QStringLiteral("lines.txt"));
    WriteBytes(file, bytes);
    f.open(file);
    QCOMPARE(f.input()->document()->blockCount(), blocks);
    QCOMPARE(f.window->inputText(), QString::fromUtf8(bytes));

    // Enter in a line ends it, whichever block holds it.
    const QTextCursor second = f.input()->document()->find(
        QStringLiteral("line"), f.input()->document()->find(QStringLiteral("line")));
    QTextCursor cursor = f.input()->textCursor();
    cursor.setPosition(second.selectionStart() + 2);
    f.input()->setTextCursor(cursor);
    QTest::keyClick(f.input(), Qt::Key_Return);
    QString expected = QString::fromUtf8(bytes);
    expected.insert(expected.indexOf(u"line"_qs, expected.indexOf(u"line"_qs) + 1) + 2, u"\r\n"_qs);
    QCOMPARE(f.window->inputText(), expected);
}

void TestFrmMain::open_noAskingAboutUnsavedWork()
{
    Fixture f;
    f.openExample();
    QTest::keyClicks(f.input(), QStringLiteral("x"));
    QVERIFY(f.window->infoChanged());

    const QString other = f.path(QStringLiteral("other.nfo"));
    WriteBytes(other, "Other Band\r\n");
    f.open(other);
    QVERIFY(f.boxes->questions.isEmpty());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright - other.nfo"));
    QCOMPARE(f.window->xmlFileName(), f.path(QStringLiteral("other.xml")));
    QVERIFY(!f.window->infoChanged());
}

void TestFrmMain::busy_observerShowsAndClears()
{
    QLabel status;
    {
        BusyObserver busy(&status);
        busy.busyOn();
        QCOMPARE(status.text(), QStringLiteral("Parsing..."));
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        busy.busyOff();
        QVERIFY(status.text().isEmpty());
        QVERIFY(!QGuiApplication::overrideCursor());
        busy.busyOff(); // a second end is harmless
        QVERIFY(!QGuiApplication::overrideCursor());
        busy.busyOn();
    }
    // Destroyed while busy: the cursor comes back all the same.
    QVERIFY(!QGuiApplication::overrideCursor());

    // The window shows it while it converts: the label is repainted at once, since the
    // conversion holds the event loop.
    Fixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    StatusPaints paints(f.status());
    f.openExample();
    QTest::keyClicks(f.input(), QStringLiteral("x"));
    const QStringList busyTwice{QStringLiteral("Parsing..."), QStringLiteral("Parsing...")};
    QCOMPARE(paints.busyTexts, busyTwice);
    QVERIFY(f.status()->text().isEmpty());
    QVERIFY(!QGuiApplication::overrideCursor());
}

enum class Edit
{
    TypeIntoBand,
    TypeThenBackspace,
    ArrowKey,
    Paste,
    Undo,
};

void TestFrmMain::edit_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<bool>("infoChanged");
    QTest::addColumn<bool>("xmlChanged");
    QTest::addColumn<bool>("xmlDiffers"); // from the XML of the loaded text

    QTest::newRow("typing") << int(Edit::TypeIntoBand) << true << true << true;
    // The text and the XML are as before, but both were changed on the way.
    QTest::newRow("character then backspace")
        << int(Edit::TypeThenBackspace) << true << true << false;
    QTest::newRow("arrow key only") << int(Edit::ArrowKey) << false << false << false;
    QTest::newRow("paste") << int(Edit::Paste) << true << true << true;
    QTest::newRow("undo of a paste") << int(Edit::Undo) << true << true << false;
}

void TestFrmMain::edit()
{
    QFETCH(int, edit);
    QFETCH(bool, infoChanged);
    QFETCH(bool, xmlChanged);
    QFETCH(bool, xmlDiffers);

    Fixture f;
    f.openExample();
    QVERIFY(f.saveXml(f.path(QStringLiteral("saved.xml"))));
    QVERIFY(!f.window->xmlChanged());
    const QString before = f.window->outputText();

    QPlainTextEdit *pane = f.input();
    pane->setFocus();
    QTextCursor cursor = pane->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::EndOfLine); // after "Blue Lantern"
    pane->setTextCursor(cursor);

    switch (static_cast<Edit>(edit)) {
    case Edit::TypeIntoBand:
        QTest::keyClicks(pane, QStringLiteral(" Band"));
        break;
    case Edit::TypeThenBackspace:
        QTest::keyClick(pane, Qt::Key_S);
        QTest::keyClick(pane, Qt::Key_Backspace);
        break;
    case Edit::ArrowKey:
        QTest::keyClick(pane, Qt::Key_Down);
        QTest::keyClick(pane, Qt::Key_Right);
        break;
    case Edit::Paste:
        QGuiApplication::clipboard()->setText(QStringLiteral(" Band"));
        pane->paste();
        break;
    case Edit::Undo:
        QGuiApplication::clipboard()->setText(QStringLiteral(" Band"));
        pane->paste();
        QVERIFY(f.saveXml(f.path(QStringLiteral("saved.xml"))));
        // The saved XML holds the pasted text; after the undo it is stale again.
        pane->undo();
        break;
    }

    QCOMPARE(f.window->infoChanged(), infoChanged);
    QCOMPARE(f.window->xmlChanged(), xmlChanged);
    // The output pane always holds the conversion of what the input pane holds now.
    QCOMPARE(f.window->outputText(), converted(f.window->inputText()));
    QCOMPARE(f.output()->toPlainText(),
             QString(f.window->outputText()).replace(u"\r\n"_qs, u"\n"_qs));
    QCOMPARE(f.window->outputText() != before, xmlDiffers);
}

void TestFrmMain::edit_typedBeforeAnyLoad()
{
    Fixture f;
    f.input()->setFocus();
    const QString text = QString::fromUtf8(workedExample()).replace(u"\r\n"_qs, u"\n"_qs);
    f.input()->insertPlainText(text);
    QVERIFY(f.window->infoChanged());
    QVERIFY(f.window->xmlChanged());
    QVERIFY(f.window->outputText().contains(u"<BAND>Blue Lantern</BAND>"_qs));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright"));
    QVERIFY(f.window->infoFileName().isEmpty());

    // Saved as UTF-8, proposing no name.
    f.dialogs->saveAnswers.append(f.path(QStringLiteral("typed.txt")));
    QVERIFY(f.window->mnuFileSaveInfoFile_Click());
    QVERIFY(f.dialogs->saveCalls.first().proposed.isEmpty());
    QCOMPARE(ReadBytes(f.path(QStringLiteral("typed.txt"))), workedExample());
}

// A large text is converted once typing pauses, not on every key; whatever takes the XML (a
// save, the cover, the closing question) takes that of the text as it stands.
void TestFrmMain::edit_largeTextConvertedAfterPause()
{
    Fixture f;
    f.window->setDeferredConversionSize(100); // the worked example counts as large
    f.openExample();
    const QString before = f.window->outputText();
    QTextCursor cursor = f.input()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::EndOfLine);
    f.input()->setTextCursor(cursor);
    QTest::keyClicks(f.input(), QStringLiteral(" Band"));
    QVERIFY(f.window->infoChanged());
    QCOMPARE(f.window->outputText(), before);
    QTRY_COMPARE(f.window->outputText(), converted(f.window->inputText()));
    QVERIFY(f.window->xmlChanged());
    QVERIFY(f.window->outputText().contains(u"<BAND>Blue Lantern Band</BAND>"_qs));

    QTest::keyClicks(f.input(), QStringLiteral("s"));
    QVERIFY(f.saveXml(f.path(QStringLiteral("saved.xml"))));
    QCOMPARE(ReadBytes(f.path(QStringLiteral("saved.xml"))),
             converted(f.window->inputText()).toUtf8());
}

void TestFrmMain::save_infoKeepsEncoding_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("saved");

    const QByteArray lines = "Caf\xC3\xA9 Band\r\nline 2\r\n";
    QTest::newRow("utf-8 unchanged") << lines << "" << lines;
    QTest::newRow("utf-8 with mark unchanged")
        << QByteArray("\xEF\xBB\xBF") + lines << "" << QByteArray("\xEF\xBB\xBF") + lines;
    QTest::newRow("utf-16 le unchanged")
        << QByteArray("\xFF\xFE", 2) + QByteArray("A\0\r\0\n\0", 6) << ""
        << QByteArray("\xFF\xFE", 2) + QByteArray("A\0\r\0\n\0", 6);
    QTest::newRow("utf-16 be typed")
        << QByteArray("\xFE\xFF", 2) + QByteArray("\0A\0\r\0\n", 6) << "B"
        << QByteArray("\xFE\xFF", 2) + QByteArray("\0B\0A\0\r\0\n", 8);
    QTest::newRow("windows-1252 typed") << QByteArray("Caf\xE9\r\n") << "\u20AC"
                                        << QByteArray("\x80"
                                                      "Caf\xE9\r\n");
    QTest::newRow("windows-1252 typed a character it lacks")
        << QByteArray("Caf\xE9\r\n") << "\u2192"
        << QByteArray("\xE2\x86\x92"
                      "Caf\xC3\xA9\r\n");
    QTest::newRow("lone line ends saved as CR LF")
        << QByteArray("a\nb\rc") << "" << QByteArray("a\r\nb\r\nc\r\n");
}

void TestFrmMain::save_infoKeepsEncoding()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, typed);
    QFETCH(QByteArray, saved);

    Fixture f;
    const QString file = f.path(QStringLiteral("show.txt"));
    WriteBytes(file, original);
    f.open(file);
    QVERIFY(f.boxes->errors.isEmpty());
    if (!typed.isEmpty()) {
        f.input()->moveCursor(QTextCursor::Start);
        f.input()->textCursor().insertText(typed);
    }
    QCOMPARE(f.window->infoChanged(), !typed.isEmpty());

    f.dialogs->saveAnswers.append(file);
    QVERIFY(f.window->mnuFileSaveInfoFile_Click());
    QCOMPARE(f.dialogs->saveCalls.size(), 1);
    QCOMPARE(f.dialogs->saveCalls.first().proposed, file);
    QCOMPARE(ReadBytes(file), saved);
    QVERIFY(!f.window->infoChanged());
    QVERIFY(f.window->xmlChanged()); // the XML was not saved
}

void TestFrmMain::save_xml()
{
    Fixture f;
    f.openExample();
    QTest::keyClicks(f.input(), QStringLiteral("x"));
    const QString target = f.path(QStringLiteral("gd77-05-08.xml"));
    QVERIFY(f.saveXml(target));
    QCOMPARE(f.dialogs->saveCalls.first().proposed, target);
    QCOMPARE(ReadBytes(target), f.window->outputText().toUtf8());
    QVERIFY(!ReadBytes(target).endsWith("\r\n"));
    QVERIFY(!f.window->xmlChanged());
    QVERIFY(f.window->infoChanged());
}

void TestFrmMain::save_underAnotherName()
{
    Fixture f;
    const QString file = f.openExample();
    QVERIFY(f.saveXml(f.path(QStringLiteral("elsewhere.xml"))));
    f.dialogs->saveAnswers.append(f.path(QStringLiteral("copy.txt")));
    QVERIFY(f.window->mnuFileSaveInfoFile_Click());

    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright - gd77-05-08.txt"));
    QCOMPARE(f.window->infoFileName(), file);
    QCOMPARE(f.window->xmlFileName(), f.path(QStringLiteral("gd77-05-08.xml")));

    f.window->mnuFileSaveXMLFile_Click(); // cancelled
    f.window->mnuFileSaveInfoFile_Click();
    QCOMPARE(f.dialogs->saveCalls.size(), 4);
    QCOMPARE(f.dialogs->saveCalls.at(2).proposed, f.path(QStringLiteral("gd77-05-08.xml")));
    QCOMPARE(f.dialogs->saveCalls.at(3).proposed, file);
}

void TestFrmMain::save_cancelled()
{
    Fixture f;
    f.openExample();
    QTest::keyClicks(f.input(), QStringLiteral("x"));
    QVERIFY(!f.window->mnuFileSaveInfoFile_Click());
    QVERIFY(!f.window->mnuFileSaveXMLFile_Click());
    QVERIFY(f.window->infoChanged());
    QVERIFY(f.window->xmlChanged());
    QVERIFY(f.boxes->errors.isEmpty());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"gd77-05-08.txt"});
}

void TestFrmMain::save_failure_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<bool>("readOnlyFolder");

    QTest::newRow("missing folder") << "gone/show.xml" << false;
    QTest::newRow("folder is a file") << "gd77-05-08.txt/show.xml" << false;
    QTest::newRow("read-only folder") << "locked/show.xml" << true;
    QTest::newRow("target is a folder") << "folder" << false;
}

void TestFrmMain::save_failure()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, readOnlyFolder);

    Fixture f;
    f.openExample();
    QTest::keyClicks(f.input(), QStringLiteral("x"));
    const QString target = f.path(relativePath);
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("folder")));
    if (readOnlyFolder) {
        const QString folder = f.path(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(folder));
        WriteBytes(target, "previous");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(folder + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
            QSKIP("Permissions are not enforced for this user (root)");
        }
    }

    f.dialogs->saveAnswers = QStringList{target, target};
    QVERIFY(!f.window->mnuFileSaveInfoFile_Click());
    QVERIFY(!f.window->mnuFileSaveXMLFile_Click());
    QCOMPARE(f.boxes->errors.size(), 2);
    for (const QString &error : std::as_const(f.boxes->errors))
        QVERIFY2(error.contains(target), qPrintable(error));
    QVERIFY(f.window->infoChanged());
    QVERIFY(f.window->xmlChanged());
    QVERIFY(!QGuiApplication::overrideCursor());
    if (readOnlyFolder) {
        QCOMPARE(ReadBytes(target), QByteArray("previous"));
        QFile::setPermissions(f.path(QStringLiteral("locked")), QFileDevice::ReadOwner |
                                                                    QFileDevice::WriteOwner |
                                                                    QFileDevice::ExeOwner);
    }
}

// Each save dialog says what it saves and offers the filters of that kind of file, with the
// one that fits the proposed name selected.
void TestFrmMain::save_dialogFitsDocument_data()
{
    QTest::addColumn<QString>("loaded"); // "" for nothing loaded
    QTest::addColumn<bool>("xml");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("selectedFilter");

    const QStringList info{u"Text Files (*.txt)"_qs, u"Info Files (*.nfo)"_qs, u"All Files (*)"_qs};
    const QStringList xml{u"XML Files (*.xml)"_qs, u"All Files (*)"_qs};
    QTest::newRow("info text from a .txt")
        << "show.txt" << false << "Save Info File" << info << info.at(0);
    QTest::newRow("info text from a .NFO")
        << "show.NFO" << false << "Save Info File" << info << info.at(1);
    QTest::newRow("info text without extension")
        << "readme" << false << "Save Info File" << info << info.at(2);
    QTest::newRow("xml") << "show.nfo" << true << "Save XML File" << xml << xml.at(0);
    QTest::newRow("xml before any load") << "" << true << "Save XML File" << xml << xml.at(0);
}

void TestFrmMain::save_dialogFitsDocument()
{
    QFETCH(QString, loaded);
    QFETCH(bool, xml);
    QFETCH(QString, title);
    QFETCH(QStringList, filters);
    QFETCH(QString, selectedFilter);

    Fixture f;
    if (!loaded.isEmpty()) {
        WriteBytes(f.path(loaded), workedExample());
        f.open(f.path(loaded));
    }
    if (xml)
        f.window->mnuFileSaveXMLFile_Click();
    else
        f.window->mnuFileSaveInfoFile_Click();
    QCOMPARE(f.dialogs->saveCalls.size(), 1);
    const FileDialogRequest &request = f.dialogs->saveCalls.at(0).request;
    QCOMPARE(request.title, title);
    QCOMPARE(request.filters, filters);
    QCOMPARE(request.selectedFilter, selectedFilter);
}

void TestFrmMain::saveDialog_keepsProposedName_data()
{
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("selectedFilter");

    QTest::newRow("xml name under the text files filter") << "show.xml"
                                                          << "Text Files (*.txt)";
    QTest::newRow("info name under the info files filter") << "show.txt"
                                                           << "Info Files (*.nfo)";
}

void TestFrmMain::saveDialog_keepsProposedName()
{
    QFETCH(QString, proposed);
    QFETCH(QString, selectedFilter);

    // Set up, never shown.
    QTemporaryDir dir;
    const FileDialogRequest request{
        u"Save"_qs, {u"Text Files (*.txt)"_qs, u"Info Files (*.nfo)"_qs}, selectedFilter};
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QString path = dir.filePath(proposed);
    PrepareSaveDialog(dialog, path, request);
    QCOMPARE(dialog.windowTitle(), u"Save"_qs);
    QCOMPARE(dialog.selectedFiles().value(0), path);
    QCOMPARE(dialog.selectedNameFilter(), selectedFilter);
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
}

void TestFrmMain::unload_data()
{
    QTest::addColumn<bool>("load");
    QTest::addColumn<bool>("type");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("saveAnswers"); // names under the folder; "" cancels
    QTest::addColumn<QStringList>("questionNames");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QStringList>("written");

    using L = QList<Answer>;
    const Answer Y = Answer::Yes, N = Answer::No, C = Answer::Cancel;
    const QString info = QStringLiteral("gd77-05-08.txt");
    const QString xml = QStringLiteral("gd77-05-08.xml");

    QTest::newRow("untouched after start asks nothing")
        << false << false << L{} << QStringList{} << QStringList{} << true << QStringList{};
    QTest::newRow("loaded: the XML counts as unsaved")
        << true << false << L{N} << QStringList{} << QStringList{xml} << true << QStringList{};
    QTest::newRow("typed: info first, then XML") << true << true << L{N, N} << QStringList{}
                                                 << QStringList{info, xml} << true << QStringList{};
    QTest::newRow("typed without a file: untitled names")
        << false << true << L{N, N} << QStringList{} << QStringList{"<untitled>", "untitled.xml"}
        << true << QStringList{};
    QTest::newRow("yes to both saves both and closes")
        << true << true << L{Y, Y} << QStringList{info, xml} << QStringList{info, xml} << true
        << QStringList{info, xml};
    QTest::newRow("cancel info, yes XML: XML saved, window stays")
        << true << true << L{C, Y} << QStringList{xml} << QStringList{info, xml} << false
        << QStringList{xml};
    QTest::newRow("yes info, save dialog cancelled: window stays")
        << true << true << L{Y, N} << QStringList{""} << QStringList{info, xml} << false
        << QStringList{};
    QTest::newRow("yes info, save fails: window stays")
        << true << true << L{Y, N} << QStringList{"gone/x.txt"} << QStringList{info, xml} << false
        << QStringList{};
    QTest::newRow("cancel XML: window stays")
        << true << false << L{C} << QStringList{} << QStringList{xml} << false << QStringList{};
}

void TestFrmMain::unload()
{
    QFETCH(bool, load);
    QFETCH(bool, type);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, saveAnswers);
    QFETCH(QStringList, questionNames);
    QFETCH(bool, closed);
    QFETCH(QStringList, written);

    Fixture f;
    f.window->show();
    if (load) {
        f.openExample();
        QFile::remove(f.path(QStringLiteral("gd77-05-08.txt"))); // see what the close writes
    }
    if (type && load)
        QTest::keyClicks(f.input(), QStringLiteral("x"));
    else if (type) // a text long enough to give an XML
        f.input()->insertPlainText(QString::fromUtf8(workedExample()));
    f.boxes->answers = answers;
    for (const QString &name : saveAnswers)
        f.dialogs->saveAnswers.append(name.isEmpty() ? QString() : f.path(name));

    // Exit from the menu runs the same question as the close box.
    f.action("mnuFileExit")->trigger();

    QCOMPARE(f.boxes->questions.size(), questionNames.size());
    for (qsizetype i = 0; i < questionNames.size(); ++i) {
        const QString name = load && !questionNames.at(i).startsWith(u'<') &&
                                     questionNames.at(i) != u"untitled.xml"_qs
                                 ? f.path(questionNames.at(i))
                                 : questionNames.at(i);
        QCOMPARE(f.boxes->questions.at(i),
                 name + QStringLiteral("\n\nThis file has changed. Do you wish to save it?"));
    }
    QCOMPARE(f.window->isVisible(), !closed);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), written);
}

void TestFrmMain::resize_data()
{
    QTest::addColumn<QSize>("clientTwips");

    QTest::newRow("designed") << QSize(DesignedClientWidth, DesignedClientHeight);
    QTest::newRow("larger") << QSize(16000, 9000);
    QTest::newRow("taller only") << QSize(DesignedClientWidth, 9000);
    QTest::newRow("odd pixel width") << QSize(DesignedClientWidth + 15, DesignedClientHeight);
    QTest::newRow("almost nothing") << QSize(15, 15);
}

void TestFrmMain::resize()
{
    QFETCH(QSize, clientTwips);

    Fixture f;
    frmMain *w = f.window.get();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QWidget *client = w->centralWidget();
    const int designedPaneWidth = f.input()->width();
    const int extraHeight = w->height() - client->height();
    w->resize(TwipsToPixelsX(clientTwips.width(), w),
              TwipsToPixelsY(clientTwips.height(), w) + extraHeight);
    QTRY_COMPARE(client->width(), TwipsToPixelsX(clientTwips.width(), w));

    QPlainTextEdit *in = f.input();
    QPlainTextEdit *out = f.output();
    auto *lblOutput = f.child<QLabel>("lblOutput");
    QLabel *status = f.status();
    const int m = TwipsToPixelsX(60, w);
    const int top = TwipsToPixelsY(360, w);

    QCOMPARE(in->x(), m);
    QCOMPARE(in->y(), top);
    QCOMPARE(out->y(), top);
    QCOMPARE(in->width(), out->width());
    QCOMPARE(in->height(), out->height());
    QVERIFY(in->width() >= 0 && in->height() >= 0);
    QCOMPARE(lblOutput->x(), out->x());
    QCOMPARE(status->x() + status->width(), out->x() + out->width());
    QCOMPARE(status->width(), TwipsToPixelsX(1725, w));
    QCOMPARE(f.child<QLabel>("lblInput")->pos(),
             QPoint(TwipsToPixelsX(90, w), TwipsToPixelsY(120, w)));

    if (clientTwips.width() > 1000) {
        // Margins m left, between and right (within a pixel for an odd width); 2m below.
        QCOMPARE(out->x() - (in->x() + in->width()), m);
        QVERIFY(qAbs(client->width() - (out->x() + out->width()) - m) <= 1);
        QCOMPARE(client->height() - (in->y() + in->height()), 2 * m);
    } else {
        QCOMPARE(in->width(), 0);
        QCOMPARE(in->height(), 0);
    }
    if (clientTwips == QSize(DesignedClientWidth, DesignedClientHeight)) {
        QCOMPARE(in->width(), TwipsToPixelsX(5250, w));
        QCOMPARE(in->height(), TwipsToPixelsY(5310, w));
        QCOMPARE(out->x(), TwipsToPixelsX(5370, w));
        QCOMPARE(status->x(), TwipsToPixelsX(8895, w));
    }
    if (clientTwips.width() == DesignedClientWidth) // only the height changed
        QCOMPARE(in->width(), designedPaneWidth);
}

void TestFrmMain::accessKeys_moveFocus()
{
    Fixture f;
    f.window->show();
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.output()->setFocus();

    QTest::keyClick(f.window.get(), Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY(f.input()->hasFocus());
    QTest::keyClick(f.window.get(), Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(f.output()->hasFocus());
    // The keys are not typed into the pane.
    QVERIFY(!f.window->infoChanged());
}

// Every navigation key works in both panes, the read-only XML pane included.
void TestFrmMain::navigationKeys_data()
{
    QTest::addColumn<bool>("output");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("line");   // where the caret ends, from the second line's start
    QTest::addColumn<int>("column"); // -1: the end of the line
    QTest::addColumn<bool>("selects");

    for (const bool output : {false, true}) {
        const char *pane = output ? "xml pane" : "info pane";
        QTest::addRow("%s: Ctrl+End", pane)
            << output << QKeySequence(Qt::CTRL | Qt::Key_End) << 16 << (output ? -1 : 0) << false;
        QTest::addRow("%s: Ctrl+Home", pane)
            << output << QKeySequence(Qt::CTRL | Qt::Key_Home) << 0 << 0 << false;
        QTest::addRow("%s: Down, End", pane)
            << output << QKeySequence(Qt::Key_Down, Qt::Key_End) << 2 << -1 << false;
        QTest::addRow("%s: Shift+Down", pane)
            << output << QKeySequence(Qt::SHIFT | Qt::Key_Down) << 2 << 0 << true;
    }
}

void TestFrmMain::navigationKeys()
{
    QFETCH(bool, output);
    QFETCH(QKeySequence, keys);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(bool, selects);

    Fixture f;
    f.openExample();
    QPlainTextEdit *pane = output ? f.output() : f.input();
    QTextCursor cursor = pane->textCursor();
    cursor.setPosition(pane->document()->findBlockByNumber(1).position());
    pane->setTextCursor(cursor);

    for (int i = 0; i < keys.count(); ++i)
        QTest::keyClick(pane, keys[i].key(), keys[i].keyboardModifiers());
    const QTextCursor moved = pane->textCursor();
    QCOMPARE(moved.blockNumber(), line);
    QCOMPARE(moved.positionInBlock(), column < 0 ? moved.block().length() - 1 : column);
    QCOMPARE(moved.hasSelection(), selects);
    QVERIFY(!f.window->infoChanged());
}

// The window reopens where it was closed; the place has a section of its own.
void TestFrmMain::placement_remembered()
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(u"tapewright.ini"_qs);
    QRect closedAt;
    {
        Fixture f;
        f.window->RestorePlacement(settings);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        // Nothing stored yet: the designed size.
        QCOMPARE(f.window->centralWidget()->width(),
                 TwipsToPixelsX(DesignedClientWidth, f.window.get()));
        f.window->setGeometry(40, 30, 500, 300);
        QTRY_COMPARE(f.window->geometry(), QRect(40, 30, 500, 300));
        closedAt = f.window->geometry();
        QVERIFY(f.window->close());
    }
    QCOMPARE(GetINIString(u"Window"_qs, u"Width"_qs, QString(), settings), u"500"_qs);

    Fixture f;
    f.window->RestorePlacement(settings);
    QCOMPARE(f.window->geometry(), closedAt);
}

void TestFrmMain::drop_fileLoads()
{
    Fixture f;
    const QString file = f.path(QStringLiteral("dropped.txt"));
    WriteBytes(file, workedExample());

    for (QWidget *target : {static_cast<QWidget *>(f.input()->viewport()),
                            static_cast<QWidget *>(f.output()->viewport())}) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        mime.setText(QUrl::fromLocalFile(file).toString());
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(f.window->windowTitle(), QStringLiteral("Tapewright - dropped.txt"));
        // Loaded as a file, not inserted as its name.
        QCOMPARE(f.window->inputText(), QString::fromUtf8(workedExample()));
        QVERIFY(!f.window->infoChanged());
        QVERIFY(f.window->xmlChanged());
        f.window->setWindowTitle(QString());
    }
}

void TestFrmMain::startupFiles_loadAsOpen()
{
    Fixture f;
    f.window->OpenStartupFiles({});
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright"));
    QVERIFY(f.window->inputText().isEmpty());

    const QString file = f.path(QStringLiteral("named.txt"));
    WriteBytes(file, workedExample());
    f.window->OpenStartupFiles({file, f.path(QStringLiteral("ignored.txt"))});
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Tapewright - named.txt"));
    QCOMPARE(f.window->infoFileName(), file);
    QCOMPARE(f.window->inputText(), QString::fromUtf8(workedExample()));
    QVERIFY(!f.window->outputText().isEmpty());
    QVERIFY(!f.window->infoChanged());
    QVERIFY(f.window->xmlChanged());
}

void TestFrmMain::dialogHooks()
{
    Fixture f;
    // Without hooks the commands do nothing.
    f.action("mnuFileCreateCDRCover")->trigger();
    f.action("mnuHelpAbout")->trigger();

    QList<QWidget *> coverParents;
    QList<QWidget *> aboutParents;
    f.window->setCoverDialog([&](QWidget *parent) { coverParents.append(parent); });
    f.window->setAboutDialog([&](QWidget *parent) { aboutParents.append(parent); });
    f.action("mnuFileCreateCDRCover")->trigger();
    f.action("mnuHelpAbout")->trigger();
    QCOMPARE(coverParents, QList<QWidget *>{f.window.get()});
    QCOMPARE(aboutParents, QList<QWidget *>{f.window.get()});
}

// File, Smart Recognition converts the text anew at once, and the settings file keeps the
// choice for the next start; off is the classic conversion, as on a first start.
void TestFrmMain::smartRecognition_reconvertsAndIsKept()
{
    const QString golden = QString::fromUtf8(TestData(QStringLiteral("worked-example.en_US.xml")));
    const QString smart =
        RecogniseInfoText(QString::fromUtf8(workedExample()), ConvertOptions{usEnglish(), nullptr});
    QVERIFY(smart != golden);

    Fixture f;
    const QString ini = f.path(QStringLiteral("tapewright.ini"));
    f.window->setSettingsFile(ini);
    QAction *toggle = f.action("mnuFileSmartRecognition");
    QVERIFY(toggle->isCheckable());
    QVERIFY(!toggle->isChecked());
    f.openExample();
    QCOMPARE(f.window->outputText(), golden);
    QVERIFY(f.saveXml(f.path(QStringLiteral("saved.xml"))));
    QVERIFY(!f.window->xmlChanged());

    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QCOMPARE(f.window->outputText(), smart);
    QCOMPARE(f.output()->toPlainText(), QString(smart).replace(u"\r\n"_qs, u"\n"_qs));
    QVERIFY(f.window->xmlChanged());
    QVERIFY(!f.window->infoChanged());
    QCOMPARE(GetINIString(u"Tapewright"_qs, u"SmartRecognition"_qs, QString(), ini), u"1"_qs);

    // The next window starts with the choice, and converts with it.
    Fixture next;
    next.window->setSettingsFile(ini);
    QVERIFY(next.action("mnuFileSmartRecognition")->isChecked());
    next.openExample();
    QCOMPARE(next.window->outputText(), smart);

    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QCOMPARE(f.window->outputText(), golden);
    QCOMPARE(GetINIString(u"Tapewright"_qs, u"SmartRecognition"_qs, QString(), ini), u"0"_qs);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
