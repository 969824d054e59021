// The main window's document rules, kept apart from the window so tests can call them: the
// name it shows, the text a pane holds, and the bytes a save writes. The XML file's name comes
// from ProposedXmlFileName (paths.h), shared with tapewright-cli.
#pragma once

#include "textfile.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tapewright {

// Names the unload question shows for a text that has no file yet.
inline constexpr char16_t UntitledInfoName[] = u"<untitled>";
inline constexpr char16_t UntitledXmlName[] = u"untitled.xml";

// The program's name ("Tapewright"), or it, " - " and the file's name without its folder.
QString WindowCaption(const QString &infoFileName);

// A pane holds lines; the documents separate them by CR LF. Text for a pane has its CR LF
// pairs as plain line breaks; text taken from a pane (QTextDocument::toRawText, whose block
// breaks are U+2029) has every line break as CR LF. Everything else passes unchanged: the
// pane's toPlainText() would turn no-break spaces into spaces, a common character in info texts.
QString PaneTextFromDocument(const QString &documentText);
QString DocumentTextFromPane(const QString &rawPaneText);

// The question asked on closing about unsaved work.
QString UnloadQuestionText(const QString &fileName);

// The bytes a save of the info text writes: in the encoding the file was read in when every
// character fits, else UTF-8 (also for a text that was never loaded from a file).
QByteArray EncodeInfoText(const QString &text, std::optional<TextEncoding> loadedEncoding);
// The track list XML is always written as UTF-8 (no byte-order mark).
QByteArray EncodeXmlText(const QString &xml);

} // namespace tapewright
