// What the subcommands of tapewright-cli share: output streams and option helpers.
#pragma once

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

// A command, option or locale name in a message, quoted as QuotedPath quotes files: “convert”.
QString quoted(const QString &name);

// The locale dates are read and written in: the one named by --locale, or the user's, through
// DateLocaleFor (C and POSIX write dates as en_US does). Empty optional (and a message on standard
// error) when the name is not a locale Qt knows.
std::optional<QLocale> localeOption(const QCommandLineParser &parser);

// -h, --help for a subcommand; add it first, so that the help lists it first.
void addHelpOption(QCommandLineParser &parser);

// Parses a subcommand's arguments. An exit code when the command ends here: 2 after a usage
// error (reported on standard error), 0 after printing the help, which begins
// "Usage: tapewright-cli COMMAND USAGE"; empty when it goes on.
std::optional<int> parseArguments(QCommandLineParser &parser, const QStringList &arguments,
                                  const QString &command, const QString &usage);

} // namespace tapewright::cli
