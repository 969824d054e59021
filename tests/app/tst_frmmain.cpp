// The main window driven as a user would, the file dialogs and message boxes answered through
// fakes. Most cases are a row of user actions and the state the window is left in.
#include "app/busyobserver.h"
#include "app/documentfiles.h"
#include "app/frmmain.h"
#include "app/mainlayout.h"
#include "common/formhelpers.h"
#include "common/settings.h"
#include "convert/convertinfotext.h"
#include "smart/recogniseinfotext.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

using namespace tapewright;
using namespace testsupport;

namespace {

// Answers the open and save dialogs in turn; an empty answer, or none left, is Cancel.
class FakeDialogs final : public FileDialogs
{
public:
    QStringList answers;
    QStringList folders; // where each dialog was to start
    QString showOpen(QWidget *, const FileDialogRequest &request) override { return next(request); }
    QString showSave(QWidget *, const QString &, const FileDialogRequest &request) override
    {
        return next(request);
    }
    QString next(const FileDialogRequest &request)
    {
        folders << request.folder;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

class FakeBoxes final : public MessageBoxes
{
public:
    QList<Answer> answers; // none left: Cancel
    QStringList questions;
    QStringList errors;
    Answer askYesNoCancel(QWidget *, const QString &text) override
    {
        questions.append(text);
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    void showError(QWidget *, const QString &text) override { errors.append(text); }
    void showNotice(QWidget *, const QString &) override {}
    bool showNoticeWithAction(QWidget *, const QString &, const QString &) override
    {
        return false;
    }
};

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
        window->setConversionLocale(UnitedStatesLocale());
    }
    QString path(const QString &name) const
    {
        return name.isEmpty() ? name : QDir(dir.path()).filePath(name);
    }
    QPlainTextEdit *input() const { return window->findChild<QPlainTextEdit *>(u"txtInput"_qs); }
    QPlainTextEdit *output() const { return window->findChild<QPlainTextEdit *>(u"txtOutput"_qs); }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }
    // File, Open Recent as it opens: each entry's file.
    QStringList recentFiles() const
    {
        emit window->findChild<QMenu *>(u"mnuFileRecent"_qs)->aboutToShow();
        QStringList files;
        for (int n = 1; QAction *entry = action(u"mnuFileRecent%1"_qs.arg(n)); ++n)
            files << entry->statusTip().remove(dir.path() + u'/');
        return files;
    }
    QString converted() const
    {
        const ConvertOptions options{UnitedStatesLocale(), nullptr};
        return action(u"mnuFileSmartRecognition"_qs)->isChecked()
                   ? RecogniseInfoText(window->inputText(), options)
                   : ConvertInfoText(window->inputText(), options);
    }
    void open(const QString &name)
    {
        dialogs->answers.append(path(name));
        action(u"mnuFileOpenInfoFile"_qs)->trigger();
    }
    // A file the tests open: the worked example, unless its name says otherwise.
    QString prepare(const QString &name)
    {
        if (name == u"missing.txt" || QFileInfo::exists(path(name)))
            return path(name);
        // Each line is a block of the pane; millions of them would take minutes and gigabytes.
        return WriteFile(dir, name,
                         name == u"lines.txt" ? QByteArray(1'000'001, '\n')
                                              : TestData(u"worked-example.txt"_qs));
    }
    void moveCaret(QPlainTextEdit *pane, int block, int column)
    {
        QTextCursor cursor = pane->textCursor();
        cursor.setPosition(pane->document()->findBlockByNumber(block).position() + column);
        pane->setTextCursor(cursor);
    }

    // What a user sees, in one line: the caption, the proposed XML name, which texts are
    // unsaved (I info, X XML), the files in the folder, the count of error messages, the
    // names the closing question asked about, and whether the window closed.
    QString state() const
    {
        const QString changed = QLatin1String(window->infoChanged() ? "I" : "") +
                                QLatin1String(window->xmlChanged() ? "X" : "");
        QStringList fields{window->windowTitle().remove(u"[*]"_qs),
                           QDir(dir.path()).relativeFilePath(window->xmlFileName()),
                           changed.isEmpty() ? u"-"_qs : changed,
                           QDir(dir.path()).entryList(QDir::Files).join(u',')};
        if (!boxes->errors.isEmpty())
            fields << u"E%1"_qs.arg(boxes->errors.size());
        QStringList asked;
        for (const QString &question : boxes->questions)
            asked << question.section(u'\n', 0, 0).remove(dir.path() + u'/');
        if (!asked.isEmpty())
            fields << u'?' + asked.join(u',');
        if (!window->isVisible())
            fields << u"closed"_qs;
        return fields.join(u" | "_qs);
    }

    // What holds after every action: the output pane shows the XML of the text as it stands,
    // nothing to undo there, the window is not busy, the caption marks an unsaved info text, and
    // every message names its file.
    void checkInvariants() const
    {
        QVERIFY(window->windowTitle().endsWith(u"[*]"_qs));
        QCOMPARE(window->isWindowModified(), window->infoChanged());
        QCOMPARE(window->outputText(), converted());
        QCOMPARE(output()->toPlainText(),
                 QString(window->outputText()).replace(u"\r\n"_qs, u"\n"_qs));
        QVERIFY(!output()->document()->isUndoAvailable());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(window->findChild<QLabel *>(u"lblStatus"_qs)->text().isEmpty());
        for (const QString &error : boxes->errors)
            QVERIFY2(error.contains(dir.path()), qPrintable(error));
    }
};

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    // The output pane is patched where its text changed: a cursor sent out of its text means the
    // patch went wrong, even where the text came out right.
    void init() { QTest::failOnWarning(QRegularExpression(u"out of range"_qs)); }

    // Each row is actions separated by "; ", a verb and its words each: open NAME (no name:
    // Cancel); start NAME... (the command line); type TEXT and paste TEXT ("*": the worked
    // example) at the end of the first line; key KEY; undo; save-info NAME and save-xml NAME (no
    // name: Cancel); exit ANSWERS NAME... (the closing question's answers, Y N or C, then the
    // save dialogs' names). "~" in a state stands for the loaded show.txt.
    void actions_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("state");
        const auto row = [](const char *name, const char *actions, const char *state) {
            QTest::newRow(name) << QString::fromUtf8(actions)
                                << QString::fromUtf8(state).replace(
                                       u'~', u"Tapewright - show.txt | show.xml"_qs);
        };
        row("start up", "", "Tapewright |  | - | ");
        row("open", "open show.txt", "~ | X | show.txt");
        row("command line: the first file loads", "start named.txt other.txt",
            "Tapewright - named.txt | named.xml | X | named.txt,other.txt");
        row("command line without files", "start", "Tapewright |  | - | ");
        // A failed or cancelled open changes nothing.
        row("open cancelled", "open show.txt; save-xml saved.xml; open",
            "~ | - | saved.xml,show.txt");
        row("open a text of too many lines", "open show.txt; save-xml s.xml; open lines.txt",
            "~ | - | lines.txt,s.xml,show.txt | E1");
        row("open over unsaved work asks nothing", "open show.txt; type x; open other.nfo",
            "Tapewright - other.nfo | other.xml | X | other.nfo,show.txt");
        // Both texts count as changed when an edit changed them on the way, even back.
        row("typing", "open show.txt; save-xml s.xml; type  Band", "~ | IX | s.xml,show.txt");
        row("arrow keys only", "open show.txt; save-xml s.xml; key Down; key Right",
            "~ | - | s.xml,show.txt");
        row("undo of a saved paste", "open show.txt; paste  Band; save-xml s.xml; undo",
            "~ | IX | s.xml,show.txt");
        row("typed before any load", "paste *; save-info typed.txt",
            "Tapewright |  | X | typed.txt");
        // Saving under another name changes neither the proposed names nor the caption.
        row("saved under other names", "open show.txt; save-xml x.xml; save-info copy.txt",
            "~ | - | copy.txt,show.txt,x.xml");
        row("saves cancelled", "open show.txt; type x; save-info; save-xml", "~ | IX | show.txt");
        row("saves failing", "open show.txt; type x; save-info gone/a.txt; save-xml gone/a.xml",
            "~ | IX | show.txt | E2");
        row("xml saved", "open show.txt; type x; save-xml show.xml", "~ | I | show.txt,show.xml");
        // Closing asks about the info text first, then the XML; Exit asks as the close box does.
        row("close untouched", "exit", "Tapewright |  | - |  | closed");
        row("close loaded", "open show.txt; exit N", "~ | X | show.txt | ?show.xml | closed");
        row("close typed", "open show.txt; type x; exit NN",
            "~ | IX | show.txt | ?show.txt,show.xml | closed");
        row("close typed without a file", "paste *; exit NN",
            "Tapewright |  | IX |  | ?<untitled>,untitled.xml | closed");
        row("close saving both", "open show.txt; type x; exit YY show.txt show.xml",
            "~ | - | show.txt,show.xml | ?show.txt,show.xml | closed");
        row("close: cancel info, save XML", "open show.txt; type x; exit CY show.xml",
            "~ | I | show.txt,show.xml | ?show.txt,show.xml");
        row("close: save fails", "open show.txt; type x; exit YN gone/a.txt",
            "~ | IX | show.txt | E1 | ?show.txt,show.xml");
        row("close cancelled", "open show.txt; exit C", "~ | X | show.txt | ?show.xml");
    }

    void actions()
    {
        QFETCH(QString, actions);
        QFETCH(QString, state);
        Fixture f;
        f.window->show();
        for (const QString &action : actions.split(u"; "_qs, Qt::SkipEmptyParts)) {
            const QString verb = action.section(u' ', 0, 0);
            const QString rest = action.section(u' ', 1);
            const QStringList words = rest.split(u' ', Qt::SkipEmptyParts);
            QPlainTextEdit *input = f.input();
            if (verb == u"type" || verb == u"paste") // at the end of the first line
                f.moveCaret(input, 0, input->document()->firstBlock().length() - 1);
            if (verb == u"open") {
                f.open(rest.isEmpty() ? rest : f.prepare(rest));
            } else if (verb == u"start") {
                QStringList files;
                for (const QString &name : words)
                    files << f.prepare(name);
                f.window->OpenStartupFiles(files);
            } else if (verb == u"type") {
                QTest::keyClicks(input, rest);
            } else if (verb == u"key") {
                const QKeyCombination key = QKeySequence::fromString(rest)[0];
                QTest::keyClick(input, key.key(), key.keyboardModifiers());
            } else if (verb == u"paste") {
                QGuiApplication::clipboard()->setText(
                    rest == u"*" ? QString::fromUtf8(TestData(u"worked-example.txt"_qs)) : rest);
                input->paste();
            } else if (verb == u"undo") {
                input->undo();
            } else if (verb == u"save-info" || verb == u"save-xml") {
                f.dialogs->answers.append(f.path(rest));
                const bool xml = verb == u"save-xml";
                const bool saved = xml ? f.window->mnuFileSaveXMLFile_Click()
                                       : f.window->mnuFileSaveInfoFile_Click();
                QCOMPARE(saved, QFileInfo::exists(f.path(rest)));
                if (saved && xml)
                    QCOMPARE(ReadBytes(f.path(rest)), f.window->outputText().toUtf8());
            } else if (verb == u"exit") {
                for (const QChar answer : words.value(0))
                    f.boxes->answers << (answer == u'Y'   ? Answer::Yes
                                         : answer == u'N' ? Answer::No
                                                          : Answer::Cancel);
                for (const QString &name : words.mid(1))
                    f.dialogs->answers << f.path(name);
                f.action(u"mnuFileExit"_qs)->trigger();
            } else {
                QFAIL(qPrintable(u"unknown action "_qs + action));
            }
            f.checkInvariants();
        }
        QCOMPARE(f.state(), state);
    }

    // What the input pane shows of a file, and what it gives back and saves after Enter at a
    // place: every line end is one, no-break spaces and tabs survive. A line of megabytes would
    // freeze the pane, so a long line is shown cut into pieces; a text of many lines is shown
    // several lines to a block (filling a pane costs per block), unless it holds a U+2028 of its
    // own, which would be read back as a line end.
    void pane_keepsLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("block"); // where Enter is pressed, after typing "y"
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("offset"); // the same place in the text
        QByteArray lines = "Band\r\n";
        for (int n = 0; n < 25'000; ++n)
            lines += "line\r\n";
        const int longest = int(LongestPaneLine);
        QTest::newRow("mixed line ends")
            << QByteArray("Band\nVenue\xC2\xA0Hall\r1.\tSong\r\nlast") << 5 << 1 << 5 << 11;
        QTest::newRow("long line cut")
            << "Band\r\n" + QByteArray(2 * longest + 100, 'x') + "\r\nEnd\r\n"
            << 6 << 2 << 0 << 6 + longest;
        QTest::newRow("utf-16") << QByteArray("\xFE\xFF\0A\0\r\0\n", 8) << 2 << 0 << 1 << 1;
        QTest::newRow("lines grouped") << lines << 25'001 / 8 + 1 << 0 << 12 << 14;
        QTest::newRow("a line separator of the text's own")
            << QByteArray(lines).replace("Band", "Band\xE2\x80\xA8") << 25'002 << 2 << 2 << 15;
    }

    void pane_keepsLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, blocks);
        QFETCH(int, block);
        QFETCH(int, column);
        QFETCH(int, offset);
        Fixture f;
        f.open(WriteFile(f.dir, u"show.txt"_qs, bytes));
        const QString text = DecodeTextFile(bytes).text;
        QCOMPARE(f.window->inputText(), text);
        const QTextDocument *document = f.input()->document();
        QCOMPARE(document->blockCount(), blocks);
        f.moveCaret(f.input(), block, column);
        QTest::keyClick(f.input(), Qt::Key_Y);
        QTest::keyClick(f.input(), Qt::Key_Return);
        const QString edited = QString(text).insert(offset, u"y\r\n"_qs);
        QCOMPARE(f.window->inputText(), edited);
        // Saved whole, in the encoding the file was read in.
        f.dialogs->answers << f.path(u"show.txt"_qs);
        QVERIFY(f.window->mnuFileSaveInfoFile_Click());
        QCOMPARE(ReadBytes(f.path(u"show.txt"_qs)),
                 *EncodeText(edited, DecodeTextFile(bytes).encoding));
    }

    // A dropped file loads as File, Open Info File loads it, on the panes and on the rest of the
    // window; dragged text goes into the input pane as text.
    void drop_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("carried"); // "file" or "text"
        QTest::addColumn<bool>("accepted");
        QTest::newRow("file on the input pane") << u"txtInput"_qs << u"file"_qs << true;
        QTest::newRow("file on the window") << u"frmMain"_qs << u"file"_qs << true;
        QTest::newRow("text on the input pane") << u"txtInput"_qs << u"text"_qs << true;
        QTest::newRow("text on the window") << u"frmMain"_qs << u"text"_qs << false;
    }

    void drop()
    {
        QFETCH(QString, target);
        QFETCH(QString, carried);
        QFETCH(bool, accepted);
        Fixture f;
        const QUrl url = QUrl::fromLocalFile(f.prepare(u"dropped.txt"_qs));
        auto *pane = f.window->findChild<QPlainTextEdit *>(target);
        QWidget *widget = pane ? pane->viewport() : f.window.get();
        QMimeData mime;
        if (carried == u"file")
            mime.setUrls({url});
        mime.setText(carried == u"file" ? url.toString() : u"Blue Lantern"_qs);

        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        for (QDropEvent *event :
             {static_cast<QDropEvent *>(&enter), static_cast<QDropEvent *>(&move), &drop}) {
            QApplication::sendEvent(widget, event);
            QCOMPARE(event->isAccepted(), accepted);
        }
        // The file loads once the drop has ended; its name never goes into the pane.
        if (carried == u"file")
            QVERIFY(f.window->inputText().isEmpty());
        const bool inserted = carried == u"text" && accepted;
        QTRY_COMPARE(f.window->windowTitle(),
                     carried == u"file" ? u"Tapewright - dropped.txt[*]"_qs : u"Tapewright[*]"_qs);
        QCOMPARE(f.window->inputText(), carried == u"file"
                                            ? QString::fromUtf8(TestData(u"worked-example.txt"_qs))
                                        : inserted ? u"Blue Lantern"_qs
                                                   : QString());
        QCOMPARE(f.window->infoChanged(), inserted);
    }

    // The client area as designed at first; after a resize the status label ends where the output
    // pane ends, above it its label, the panes of one size. Under the menu bar runs an etched
    // groove: a dark line, a light one below it, across the whole width.
    void window_layoutAndSeparator()
    {
        Fixture f;
        frmMain *w = f.window.get();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QWidget *client = w->centralWidget();
        QCOMPARE(client->size(), QSize(TwipsToPixelsX(DesignedClientWidth, w),
                                       TwipsToPixelsY(DesignedClientHeight, w)));
        w->resize(w->width() + 301, w->height() + 100);
        QTRY_COMPARE(client->width(), TwipsToPixelsX(DesignedClientWidth, w) + 301);
        const QRect in = f.input()->geometry(), out = f.output()->geometry();
        const QRect status = w->findChild<QLabel *>(u"lblStatus"_qs)->geometry();
        QCOMPARE(in.size(), out.size());
        QCOMPARE(in.height(), client->height() - in.top() - TwipsToPixelsY(120, w));
        QCOMPARE(w->findChild<QLabel *>(u"lblOutput"_qs)->x(), out.x());
        QCOMPARE(status.right(), out.right());

        const QImage image = client->grab().toImage();
        const int dark = TwipsToPixelsY(SeparatorTop, w);
        const QPalette palette = client->palette();
        for (const int x : {0, image.width() - 1}) {
            QCOMPARE(image.pixel(x, dark - 1), palette.color(QPalette::Window).rgb());
            QCOMPARE(image.pixel(x, dark), palette.color(QPalette::Dark).rgb());
            QCOMPARE(image.pixel(x, dark + 1), palette.color(QPalette::Light).rgb());
            QCOMPARE(image.pixel(x, dark + 2), palette.color(QPalette::Window).rgb());
        }
    }

    // "Parsing..." and the wait cursor while a conversion runs, gone after, also when the observer
    // goes while busy; the window repaints the label at once, since the conversion holds the event
    // loop.
    void busy_shownWhileConverting()
    {
        {
            QLabel status;
            BusyObserver busy(&status);
            busy.busyOn();
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        } // destroyed while busy
        QVERIFY(!QGuiApplication::overrideCursor());

        struct Paints : QObject
        {
            QStringList busyTexts;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                const QCursor *cursor = QGuiApplication::overrideCursor();
                if (event->type() == QEvent::Paint && cursor && cursor->shape() == Qt::WaitCursor)
                    busyTexts << static_cast<QLabel *>(watched)->text();
                return false;
            }
        } paints;
        Fixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.window->findChild<QLabel *>(u"lblStatus"_qs)->installEventFilter(&paints);
        f.open(f.prepare(u"show.txt"_qs));
        QTest::keyClicks(f.input(), u"x"_qs);
        QCOMPARE(paints.busyTexts, QStringList(2, u"Parsing..."_qs));
        f.checkInvariants();
    }

    // A text larger than the deferred size is converted once typing pauses, not on every key;
    // whatever takes the XML (a save, the cover, the closing question) takes that of the text as
    // it stands. A text of exactly that size is still converted at once.
    void edit_largeTextConvertedAfterPause()
    {
        Fixture f;
        f.open(f.prepare(u"show.txt"_qs));
        f.moveCaret(f.input(), 0, 12); // after "Blue Lantern"
        f.window->setDeferredConversionSize(f.input()->document()->characterCount() + 1);
        QTest::keyClicks(f.input(), u"s"_qs);
        f.checkInvariants();
        const QString before = f.window->outputText();
        QTest::keyClicks(f.input(), u" Band"_qs);
        QCOMPARE(f.window->outputText(), before);
        QTRY_COMPARE(f.window->outputText(), f.converted());
        QVERIFY(f.window->outputText().contains(u"<BAND>Blue Lanterns Band</BAND>"_qs));

        QTest::keyClicks(f.input(), u"s"_qs);
        f.dialogs->answers << f.path(u"saved.xml"_qs);
        QVERIFY(f.window->mnuFileSaveXMLFile_Click());
        QCOMPARE(ReadBytes(f.path(u"saved.xml"_qs)), f.converted().toUtf8());
        QTest::keyClicks(f.input(), u"!"_qs);
        QString given;
        f.window->setCoverDialog([&](QWidget *) { given = f.window->outputText(); });
        f.action(u"mnuFileCreateCDRCover"_qs)->trigger();
        QCOMPARE(given, f.converted());
        f.checkInvariants();
    }

    // The status bar shows the cover check of the XML as it stands, from the XML the window
    // already shows when the check is given, and none for a text that makes no XML.
    void coverCheck_followsTheXml()
    {
        Fixture f;
        f.open(f.prepare(u"show.txt"_qs));
        f.window->setCoverCheck([](const QString &xml) {
            const QString band = xml.section(u"<BAND>"_qs, 1).section(u"</BAND>"_qs, 0, 0);
            return std::pair{band, band.isEmpty() ? QString() : u"details"_qs};
        });
        auto *label = f.window->findChild<QLabel *>(u"lblCoverCheck"_qs);
        QTRY_COMPARE(label->text(), u"Blue Lantern"_qs);
        QCOMPARE(label->toolTip(), u"details"_qs);
        f.moveCaret(f.input(), 0, 12); // after "Blue Lantern"
        QTest::keyClicks(f.input(), u"s"_qs);
        QTRY_COMPARE(label->text(), u"Blue Lanterns"_qs);
        QVERIFY(!label->isHidden());
        f.input()->clear();
        QTRY_VERIFY(label->isHidden());
    }

    // The read-only XML pane has a keyboard caret: Shift selection, Ctrl+Home and Ctrl+End work
    // there as in the input pane. The pane is patched only where the XML changed, so a reader's
    // caret above or below an edit stays where it was.
    void xmlPane_caret()
    {
        Fixture f;
        f.open(f.prepare(u"show.txt"_qs));
        QPlainTextEdit *pane = f.output();
        f.moveCaret(pane, 1, 0);
        QTest::keyClick(pane, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(pane->textCursor().selectedText(), u"<CDR_Track_List>\u2029"_qs);
        QTest::keyClick(pane, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(pane->textCursor().position(), pane->document()->characterCount() - 1);
        QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(pane->textCursor().position(), 0);
        const int last = pane->document()->blockCount() - 1;
        f.moveCaret(pane, last, 0);
        QTest::keyClicks(f.input(), u"x"_qs);
        QCOMPARE(pane->textCursor().blockNumber(), last);
        QCOMPARE(pane->textCursor().positionInBlock(), 0);
        f.moveCaret(pane, 0, 1); // and one above an edit too
        QTest::keyClicks(f.input(), u"y"_qs);
        QCOMPARE(pane->textCursor().position(), 1);
    }

    // The settings file keeps File, Smart Recognition (which converts the text anew at once;
    // off is the classic conversion, as on a first start; the toggle by the XML pane is the same
    // choice, and the status bar names the one that made the XML), the window's place and the
    // panes' zoom, in a section of their own, for the next window. A choice that cannot be kept
    // is reported and holds.
    void settings_keptForNextWindow()
    {
        const QString golden = WorkedExampleXml();
        QTemporaryDir dir;
        const QString ini = dir.filePath(u"tapewright.ini"_qs);
        {
            Fixture f;
            f.window->setSettingsFile(ini);
            f.window->RestorePlacement();
            f.window->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
            f.window->setGeometry(40, 30, 500, 300);
            QTRY_COMPARE(f.window->geometry(), QRect(40, 30, 500, 300));
            f.open(f.prepare(u"show.txt"_qs));
            QCOMPARE(f.window->outputText(), golden);
            f.dialogs->answers << f.path(u"saved.xml"_qs);
            QVERIFY(f.window->mnuFileSaveXMLFile_Click());
            f.action(u"mnuFileSmartRecognition"_qs)->trigger();
            QVERIFY(f.window->outputText() != golden);
            QVERIFY(f.window->findChild<QCheckBox *>(u"chkSmartRecognition"_qs)->isChecked());
            QCOMPARE(f.window->findChild<QLabel *>(u"lblRecognition"_qs)->text(),
                     u"XML by smart recognition"_qs);
            f.action(u"mnuViewZoomIn"_qs)->trigger();
            f.action(u"mnuViewZoomIn"_qs)->trigger();
            f.checkInvariants();
            QCOMPARE(f.state(), u"Tapewright - show.txt | show.xml | X | saved.xml,show.txt"_qs);
            f.boxes->answers = {Answer::No};
            QVERIFY(f.window->close());
        }
        QCOMPARE(GetINIString(u"Window"_qs, u"Width"_qs, QString(), ini), u"500"_qs);
        Fixture f;
        f.window->setSettingsFile(ini);
        f.window->RestorePlacement();
        QCOMPARE(f.window->geometry(), QRect(40, 30, 500, 300));
        QVERIFY(!f.window->isMaximized());
        QCOMPARE(f.output()->font().pointSizeF(), 10.25);
        QAction *toggle = f.action(u"mnuFileSmartRecognition"_qs);
        QVERIFY(toggle->isChecked());
        f.open(f.prepare(u"show.txt"_qs));
        f.checkInvariants();
        f.window->findChild<QCheckBox *>(u"chkSmartRecognition"_qs)->click();
        QVERIFY(!toggle->isChecked());
        QCOMPARE(f.window->outputText(), golden);
        QCOMPARE(GetINIString(u"Tapewright"_qs, u"SmartRecognition"_qs, QString(), ini), u"0"_qs);
        f.window->setSettingsFile(f.dir.path()); // a folder
        toggle->trigger();
        QVERIFY(toggle->isChecked());
        QCOMPARE(f.boxes->errors.size(), 1);
        f.checkInvariants();
    }

    // File, Open Recent lists the files opened last, latest first and each once, up to eight,
    // kept for the next window whatever the length of their paths; a file no longer there is
    // taken off with a message. Open and Save start in the folder of the file last opened or
    // saved, also in the next window.
    void recentFilesAndLastFolder()
    {
        QTemporaryDir home;
        const QString ini = home.filePath(u"tapewright.ini"_qs);
        const QString deep = QString(120, u'd') + u'/';
        QString folder;
        {
            Fixture f;
            f.window->setSettingsFile(ini);
            QVERIFY(QDir(f.dir.path()).mkpath(deep));
            for (const char *name : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "3"})
                f.open(f.prepare(deep + QLatin1String(name) + u".txt"_qs));
            QStringList expected;
            for (const char *name : {"3", "9", "8", "7", "6", "5", "4", "2"})
                expected << deep + QLatin1String(name) + u".txt"_qs;
            QCOMPARE(f.recentFiles(), expected);
            QCOMPARE(f.dialogs->folders.first(), QString());
            QCOMPARE(f.dialogs->folders.last(), f.path(deep).chopped(1));
            f.dialogs->answers << f.path(u"copy.txt"_qs);
            QVERIFY(f.window->mnuFileSaveInfoFile_Click());
            f.open(QString());
            folder = f.dir.path();
            QCOMPARE(f.dialogs->folders.last(), folder);

            QVERIFY(QFile::remove(f.path(expected.at(1))));
            f.action(u"mnuFileRecent2"_qs)->trigger();
            QCOMPARE(f.boxes->errors.size(), 1);
            expected.removeAt(1);
            QCOMPARE(f.recentFiles(), expected);
            f.action(u"mnuFileRecent2"_qs)->trigger(); // 8.txt
            QCOMPARE(f.window->infoFileName(), f.path(expected.at(1)));
            expected.move(1, 0);
            QCOMPARE(f.recentFiles(), expected);
            folder = f.path(deep).chopped(1);
            f.checkInvariants();
            f.boxes->answers = {Answer::No};
            QVERIFY(f.window->close());
            expected.replaceInStrings(deep, f.path(deep));
            Fixture g;
            g.window->setSettingsFile(ini);
            QCOMPARE(g.recentFiles(), expected);
        }
        Fixture f;
        f.window->setSettingsFile(ini);
        f.open(QString());
        QCOMPARE(f.dialogs->folders, QStringList{folder});
    }

    // Find goes on from the place found, round the end of the text in either direction.
    void find_goesRoundTheEnd()
    {
        Fixture f;
        f.open(f.prepare(u"show.txt"_qs));
        f.action(u"mnuEditFind"_qs)->trigger();
        QTest::keyClicks(f.window->findChild<QLineEdit *>(u"txtFind"_qs), u"song"_qs);
        QStringList found; // the lines of the places found, after each step
        const auto place = [&] {
            const QTextCursor at = f.input()->textCursor();
            found
                << u"%1%2"_qs.arg(at.blockNumber()).arg(at.selectedText() == u"Song" ? u"" : u"?");
        };
        place();
        for (const char *step : {"Next", "Next", "Previous", "Previous", "Previous"}) {
            f.action(u"mnuEditFind"_qs + QLatin1String(step))->trigger();
            place();
        }
        QCOMPARE(found.join(u' '), u"8 11 8 11 8 11"_qs);
    }

    // No two commands share a shortcut, and no two access keys of the menu bar and the window's
    // controls, nor of the items of one menu, are the same letter.
    void shortcuts_noneShared()
    {
        Fixture f;
        QList<QKeySequence> shortcuts;
        for (const QAction *action : f.window->findChildren<QAction *>()) {
            for (const QKeySequence &shortcut : action->shortcuts()) {
                QVERIFY2(!shortcuts.contains(shortcut), qPrintable(shortcut.toString()));
                shortcuts << shortcut;
            }
        }
        QStringList captions;
        for (const QAction *menu : f.window->menuBar()->actions())
            captions << menu->text();
        for (const QLabel *label : f.window->findChildren<QLabel *>())
            captions << label->text();
        for (const QAbstractButton *button : f.window->findChildren<QAbstractButton *>())
            captions << button->text();
        QList<QStringList> groups{captions}; // and each menu's items among themselves
        for (QMenu *menu : f.window->findChildren<QMenu *>()) {
            emit menu->aboutToShow();
            groups.append(QStringList());
            for (const QAction *item : menu->actions())
                groups.last() << item->text();
        }
        for (const QStringList &group : groups) {
            QList<QKeySequence> keys;
            for (const QString &caption : group) {
                const QKeySequence key = QKeySequence::mnemonic(caption);
                QVERIFY2(key.isEmpty() || !keys.contains(key), qPrintable(caption));
                keys << key;
            }
        }
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
