#include "app/panes.h"

#include "app/documentfiles.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tapewright {

namespace {

// The user state of a pane block that continues the line before it (a long line shown cut).
constexpr int ContinuesLine = 1;

// A text of more lines than this is shown LinesPerGroupedBlock lines to a block of the pane,
// the lines of a block separated by U+2028 (which the pane shows as line breaks): a text of
// 10 MB fills the pane in a sixth of the time and half the memory. Smaller texts, and any text
// that holds a U+2028 of its own, are shown a line to a block.
constexpr qsizetype GroupedFrom = 20'000;
constexpr int LinesPerGroupedBlock = 8;

} // namespace

TextPane::TextPane(const QString &name, QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(name);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void InfoPane::setDocumentText(const QString &text)
{
    // A text of many lines is shown several lines to a block of the pane: filling a pane costs
    // per block, a few microseconds each, and a block holds a line of each of its lines.
    const qsizetype lines = text.count(u'\n');
    m_linesPerBlock =
        lines > GroupedFrom && !text.contains(QChar::LineSeparator) ? LinesPerGroupedBlock : 1;
    const PaneContent pane = PaneContentFromDocument(text, LongestPaneLine, m_linesPerBlock);
    const QSignalBlocker quiet(this);
    setPlainText(pane.text);
    for (int n : pane.continuations)
        document()->findBlockByNumber(n).setUserState(ContinuesLine);
    m_hasCutLines = !pane.continuations.isEmpty();
}

QString InfoPane::documentText() const
{
    // toPlainText() would turn no-break spaces into spaces.
    const QTextDocument *document = this->document();
    const bool grouped = m_linesPerBlock > 1;
    if (!m_hasCutLines)
        return DocumentTextFromPane(document->toRawText(), grouped);
    // The blocks that continue a cut line join the one before them without a line break.
    QString raw;
    raw.reserve(document->characterCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin() && block.userState() != ContinuesLine)
            raw.append(QChar::ParagraphSeparator);
        raw.append(block.text());
    }
    return DocumentTextFromPane(raw, grouped);
}

qsizetype InfoPane::lineCount() const
{
    return qsizetype(document()->blockCount()) * m_linesPerBlock;
}

XmlPane::XmlPane(const QString &name, QWidget *parent) : TextPane(name, parent)
{
    setReadOnly(true);
    // Its text is replaced in pieces after every edit of the info text; nothing to undo there.
    setUndoRedoEnabled(false);
    // A read-only pane only scrolls on plain keys; with a keyboard caret Ctrl+Home, Ctrl+End
    // and Shift selection work there as in the input pane.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    viewport()->setCursor(Qt::ArrowCursor);
}

void XmlPane::showDocument(const QString &text)
{
    // The pane is never read back, so long lines are cut for it without keeping where. Pane
    // positions are those of the text: each line end is one character, as in the pane.
    const QString pane = PaneContentFromDocument(text).text;
    const TextSplice splice = SpliceBetween(m_shown, pane);
    const int h = horizontalScrollBar()->value();
    const int v = verticalScrollBar()->value();
    QTextCursor cursor(document());
    cursor.setPosition(int(splice.position));
    cursor.setPosition(int(splice.position + splice.removed), QTextCursor::KeepAnchor);
    cursor.insertText(pane.mid(splice.position, splice.inserted));
    m_shown = pane;
    horizontalScrollBar()->setValue(h);
    verticalScrollBar()->setValue(v);
}

} // namespace tapewright
