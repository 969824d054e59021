#include "clicommon.h"

#include "savefile.h"

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

std::optional<QLocale> localeOption(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("locale")))
        return QLocale();
    const QString name = parser.value(QStringLiteral("locale"));
    const QLocale locale(name);
    // QLocale falls back to "C" for names it does not know; only "C" itself may give "C".
    if (locale.language() == QLocale::C && name != u"C" && name != u"POSIX") {
        writeErr(QStringLiteral("tapewright-cli: unknown locale \"%1\"").arg(name));
        return std::nullopt;
    }
    return locale;
}

std::optional<int> parseArguments(QCommandLineParser &parser, const QStringList &arguments,
                                  const QString &command)
{
    if (!parser.parse(arguments)) {
        writeErr(QStringLiteral("tapewright-cli %1: %2").arg(command, parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        writeOut(parser.helpText().toUtf8());
        return 0;
    }
    return std::nullopt;
}

} // namespace tapewright::cli
