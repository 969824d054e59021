#include "cli/clicommon.h"

#include "common/savefile.h"
#include "convert/daterecogniser.h"

#include <cerrno>
#include <cstdio>

namespace tapewright::cli {

bool writeOut(const QByteArray &bytes)
{
    static bool failed = false;
    if (failed)
        return false;
    errno = 0;
    failed =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
        std::fflush(stdout) != 0;
    if (failed)
        writeErr(
            QStringLiteral("Cannot write to standard output: %1.")
                .arg(errno != 0 ? WriteErrorReason(errno) : QStringLiteral("the write failed")));
    return !failed;
}

void writeErr(const QString &message)
{
    const QByteArray line = message.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

QString quoted(const QString &name)
{
    return u'\u201C' + name + u'\u201D';
}

std::optional<QLocale> localeOption(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("locale")))
        return UserDateLocale();
    const QString name = parser.value(QStringLiteral("locale"));
    const QLocale locale(name);
    // QLocale falls back to "C" for names it does not know; only "C" itself may give "C".
    if (locale.language() == QLocale::C && name != u"C" && name != u"POSIX") {
        writeErr(QStringLiteral("tapewright-cli: unknown locale %1").arg(quoted(name)));
        return std::nullopt;
    }
    return DateLocaleFor(locale);
}

void addHelpOption(QCommandLineParser &parser)
{
    // Not QCommandLineParser::addHelpOption: that one also offers --help-all, for the Qt
    // options of a program with windows, which mean nothing here.
    parser.addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")});
}

std::optional<int> parseArguments(QCommandLineParser &parser, const QStringList &arguments,
                                  const QString &command, const QString &usage)
{
    if (!parser.parse(arguments)) {
        // Qt quotes option names in single quotes, in pairs; every other message of the program
        // quotes the other way. No option name holds a quote of its own.
        QString error = parser.errorText();
        bool opening = true;
        for (QChar &c : error) {
            if (c == u'\'') {
                c = opening ? QChar(0x201C) : QChar(0x201D);
                opening = !opening;
            }
        }
        writeErr(QStringLiteral("tapewright-cli %1: %2").arg(command, error));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Qt's first line names the program by the path it was started with, without the
        // command; the rest (description, options, arguments) is kept.
        QString help = parser.helpText();
        help.remove(0, help.indexOf(u'\n'));
        help.prepend(QStringLiteral("Usage: tapewright-cli %1 %2").arg(command, usage));
        writeOut(help.toUtf8());
        return 0;
    }
    return std::nullopt;
}

} // namespace tapewright::cli
