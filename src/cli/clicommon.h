// What the subcommands of tapewright-cli share: output streams and option helpers.
#pragma once

#include <QByteArray>
#include <QCommandLineParser>
#include <QLocale>
#include <QString>

#include <optional>

namespace tapewright::cli {

void writeOut(const QByteArray &bytes);
void writeErr(const QString &message); // a line on standard error

// The locale named by --locale, or the user's locale. Empty optional (and a message on standard
// error) when the name is not a locale Qt knows.
std::optional<QLocale> localeOption(const QCommandLineParser &parser);

} // namespace tapewright::cli
