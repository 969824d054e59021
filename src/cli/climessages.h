// How tapewright-cli words what it writes on standard error: one form for every message, as GNU
// programs write them, so that a user (or a script) reads them the same way everywhere.
//
//   tapewright-cli: show.txt: there is no such file          a file, named as it was typed
//   tapewright-cli convert: unknown option '--frobnicate'    the command line, and then
//   Try 'tapewright-cli convert --help'.
//   tapewright-cli: cover.odt: warning: ...                  a warning about a file
//
// Names inside a message are quoted one way, 'like this'; no message ends in a full stop.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace tapewright::cli {

// 'name': an option, a value, a command or a file inside a message.
QString quoted(const QString &name);

// "tapewright-cli: FILE: reason" for what went wrong with one file.
QString fileMessage(const QString &file, const QString &reason);

// "tapewright-cli: text", for what concerns no one file.
QString programMessage(const QString &text);

// A failure as the libraries word it for a window ("Cannot read “show.txt”: it is a folder, not
// a file."), in the form above: a message that begins by naming a file and then gives the reason
// after a colon becomes fileMessage(file, reason) ("tapewright-cli: show.txt: it is a folder,
// not a file"), any other one programMessage. Its quotes become ours, its last full stop goes.
QString failureMessage(const QString &libraryMessage);

// A notice the libraries give a window ("The cover was made, but ..."), as warnings about file:
// "tapewright-cli: FILE: warning: the cover was made, but ...", a line for each paragraph.
QString warningMessage(const QString &file, const QString &libraryNotice);

// A usage error: "tapewright-cli COMMAND: problem", then "Try 'tapewright-cli COMMAND --help'."
// on a line of its own. An empty command is the program's own command line.
QString usageMessage(const QString &command, const QString &problem);

// The problem of a command line the parser refused, for usageMessage, with the option named as
// it was typed: "unknown option '--frobnicate'", "option '--locale' needs a value".
QString parserProblem(const QCommandLineParser &parser);

} // namespace tapewright::cli
