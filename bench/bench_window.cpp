// The main window with a large info text: loading it, a keystroke, and the reading of the pane
// that a conversion after a pause in typing does on the window's thread. The realistic corpus
// text repeated to 1 MB or 10 MB, the window offscreen.
#include "app/frmmain.h"
#include "common/messageboxes.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace tapewright;

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "window benchmark: %s\n", what);
    std::abort();
}

QApplication &application()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tapewright-bench";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Errors end the run: a benchmark of a window that refused its file measures nothing.
class FailingBoxes final : public MessageBoxes
{
public:
    Answer askYesNoCancel(QWidget *, const QString &) override { return Answer::No; }
    void showError(QWidget *, const QString &text) override { fail(qPrintable(text)); }
    void showNotice(QWidget *, const QString &) override {}
    bool showNoticeWithAction(QWidget *, const QString &, const QString &) override
    {
        return false;
    }
};

// The realistic info text repeated to `megabytes` MB, written once per process.
QString fixtureFile(int megabytes)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show-%1mb.txt").arg(megabytes));
    if (QFile::exists(path))
        return path;
    QFile unitFile(QStringLiteral(TAPEWRIGHT_TEST_DATA
                                  "/corpus/26-dylan-1987-07-lbdir-listing-md5-shntool-long.txt"));
    if (!unitFile.open(QIODevice::ReadOnly))
        fail("the corpus text is missing");
    const QByteArray unit = unitFile.readAll();
    QByteArray bytes;
    const qsizetype size = qsizetype(megabytes) * 1000 * 1000;
    bytes.reserve(size + unit.size());
    while (bytes.size() < size)
        bytes += unit;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        fail("cannot write the text");
    return path;
}

struct Window
{
    explicit Window(int megabytes)
    {
        window.setMessageBoxes(std::make_unique<FailingBoxes>());
        window.setConversionLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        window.show();
        QApplication::processEvents();
        if (!window.ProcessFile(fixtureFile(megabytes)))
            fail("the text did not load");
        QApplication::processEvents();
        pane = window.findChild<QPlainTextEdit *>(QStringLiteral("txtInput"));
        // At the end of the first line, the band: every character typed there changes the XML.
        QTextCursor cursor(pane->document());
        cursor.movePosition(QTextCursor::EndOfLine);
        pane->setTextCursor(cursor);
    }
    QApplication &app = application(); // before any widget
    frmMain window;
    QPlainTextEdit *pane = nullptr;
};

// One character typed into the band line, until the window has handled it: at 1 MB the XML is
// converted anew and shown within that; at 10 MB the conversion waits for a pause in typing.
void BM_WindowKeystroke(benchmark::State &state)
{
    Window w(int(state.range(0)));
    const QString before = w.window.outputText();
    for (auto _ : state) {
        w.pane->textCursor().insertText(QStringLiteral("x"));
        QApplication::processEvents();
    }
    if (state.range(0) == 1 && w.window.outputText() == before)
        state.SkipWithError("the keystroke did not convert the text");
}

// What a conversion after a pause does on the window's thread: the pane's text read whole (the
// conversion itself runs on another thread).
void BM_WindowReadPane(benchmark::State &state)
{
    Window w(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(w.window.inputText());
}

// Loading the file: reading, converting and filling both panes, and the first paint.
void BM_WindowLoad(benchmark::State &state)
{
    Window w(int(state.range(0)));
    const QString file = fixtureFile(int(state.range(0)));
    for (auto _ : state) {
        w.window.ProcessFile(file);
        w.window.repaint();
        QApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_WindowKeystroke)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowReadPane)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowLoad)->Arg(10)->Unit(benchmark::kMillisecond);
