// The main window's document rules, kept apart from the window so tests can call them: the
// name it shows, the text a pane holds, and the bytes a save writes. The XML file's name comes
// from ProposedXmlFileName (paths.h), shared with tapewright-cli.
#pragma once

#include "common/textfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tapewright {

// Names the unload question shows for a text that has no file yet.
inline constexpr char16_t UntitledInfoName[] = u"<untitled>";
inline constexpr char16_t UntitledXmlName[] = u"untitled.xml";

// The program's name ("Tapewright"), or it, " - " and the file's name without its folder.
QString WindowCaption(const QString &infoFileName);

// A pane holds lines; the documents separate them by CR LF. Text for a pane has its line ends
// (CR LF, or a lone CR or LF) as plain line breaks; text taken from a pane
// (QTextDocument::toRawText, whose block breaks are U+2029) has every line break as CR LF.
// Everything else passes unchanged: the pane's toPlainText() would turn no-break spaces into
// spaces, a common character in info texts.
QString PaneTextFromDocument(const QString &documentText);
QString DocumentTextFromPane(const QString &rawPaneText);
// The same for a pane whose lines are grouped into blocks (PaneContent): there U+2028 ends a
// line too.
QString DocumentTextFromPane(const QString &rawPaneText, bool lineSeparatorsEndLines);

// The longest line a pane shows as one line. A pane lays out a whole line whenever it shows it
// or an edit touches it, so a line of megabytes (a file that is one line, an XML element of a
// whole file's notes) would freeze the window; longer lines are shown cut into pieces.
inline constexpr qsizetype LongestPaneLine = 8192;

// A document as a pane shows it: PaneTextFromDocument's text, with a line longer than
// longestLine cut into pieces of that length (never between the halves of a surrogate pair),
// each piece a block of the pane. The pieces after the first of a cut line are listed by their
// block number, so that the text can be read back without the cuts.
//
// With linesPerBlock above 1, that many lines share a block, U+2028 (which a pane shows as a
// line break) between them instead of LF; a cut line ends its block, and its pieces after the
// first are blocks of their own. Only for a document without a U+2028 of its own, which would
// be read back as a line end.
struct PaneContent
{
    QString text;
    QList<int> continuations;
};
PaneContent PaneContentFromDocument(const QString &documentText,
                                    qsizetype longestLine = LongestPaneLine, int linesPerBlock = 1);

// The one edit that turns before into after: from position, `removed` characters of before give
// way to `inserted` characters of after, which keeps the longest head and tail the two share.
// The XML pane is rebuilt after every edit, which mostly changes a line or two: replacing only
// what differs keeps the pane from laying out more, and the reader's place where it was.
struct TextSplice
{
    qsizetype position = 0;
    qsizetype removed = 0;
    qsizetype inserted = 0;
};
TextSplice SpliceBetween(QStringView before, QStringView after);

// The question asked on closing about unsaved work.
QString UnloadQuestionText(const QString &fileName);

// The bytes a save of the info text writes: in the encoding the file was read in when every
// character fits, else UTF-8 (also for a text that was never loaded from a file).
QByteArray EncodeInfoText(const QString &text, std::optional<TextEncoding> loadedEncoding);
// The track list XML is always written as UTF-8 (no byte-order mark). In both, what UTF-8 cannot
// hold (half of a pair of UTF-16 units) is written as U+FFFD.
QByteArray EncodeXmlText(const QString &xml);

} // namespace tapewright
