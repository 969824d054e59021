// What the subcommands of tapewright-cli share: output streams, reading texts and option
// helpers. What they write on standard error is worded by climessages.h.
#pragma once

#include "common/result.h"
#include "common/textfile.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QLocale>
#include <QString>

#include <optional>

namespace tapewright::cli {

// Writes bytes on standard output. A failed write (a full disk, a closed terminal) is told on
// standard error, once, and this and every later call give false.
bool writeOut(const QByteArray &bytes);
void writeErr(const QString &message); // a line on standard error

// Reads and decodes a text: the file name, or standard input for "-". A failure carries the
// message to write, naming the file as given; a text over 16 MiB is refused as too large for
// `what` ("an info text").
Result<DecodedText> readText(const QString &name, const QString &what);

// The locale dates are read and written in: the one named by --locale, or the user's, through
// DateLocaleFor (C and POSIX write dates as en_US does). Empty optional (and a usage error of
// command on standard error) when the name is not a locale Qt knows.
std::optional<QLocale> localeOption(const QCommandLineParser &parser, const QString &command);

// What a name leads to, for telling whether two names are one file: the file itself when it
// exists (a link is followed, as a save follows it), else the name in its folder's real path.
QString fileIdentity(const QString &path);

// The --out-dir folder, made when it is missing; when it cannot be made, the message says why.
Result<void> makeOutputFolder(const QString &dir);

// -h, --help for a subcommand; add it first, so that the help lists it first.
void addHelpOption(QCommandLineParser &parser);

// Parses a subcommand's arguments. An exit code when the command ends here: 2 after a usage
// error (reported on standard error), 0 after printing the help, which begins
// "Usage: tapewright-cli COMMAND USAGE"; empty when it goes on.
std::optional<int> parseArguments(QCommandLineParser &parser, const QStringList &arguments,
                                  const QString &command, const QString &usage);

} // namespace tapewright::cli
