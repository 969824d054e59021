#include "cli/clicommon.h"

#include "cli/climessages.h"
#include "common/regularfile.h"
#include "common/savefile.h"
#include "convert/daterecogniser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <filesystem>

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
            fileMessage(QStringLiteral("standard output"),
                        errno != 0 ? WriteErrorReason(errno) : QStringLiteral("the write failed")));
    return !failed;
}

void writeErr(const QString &message)
{
    const QByteArray line = message.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

Result<DecodedText> readText(const QString &name, const QString &what)
{
    const bool standardInput = name == u"-";
    const QString shown = standardInput ? QStringLiteral("standard input") : name;
    QFile in(name);
    if (standardInput) {
        if (!in.open(stdin, QIODevice::ReadOnly))
            return Failure{fileMessage(shown, in.errorString())};
    } else if (const Result<void> opened = OpenRegularFile(in); !opened) {
        return Failure{fileMessage(shown, opened.error())};
    }
    // Read at most one byte past the limit, so a huge file (or an endless device) costs nothing.
    const QByteArray bytes = ReadAtMost(in, MaxTextFileSize);
    if (in.error() != QFileDevice::NoError)
        return Failure{fileMessage(shown, in.errorString())};
    if (bytes.size() > MaxTextFileSize)
        return Failure{fileMessage(
            shown, QStringLiteral("it is larger than 16 MiB, too large for %1").arg(what))};
    return DecodeTextFile(bytes);
}

std::optional<QLocale> localeOption(const QCommandLineParser &parser, const QString &command)
{
    if (!parser.isSet(QStringLiteral("locale")))
        return UserDateLocale();
    const QString name = parser.value(QStringLiteral("locale"));
    const QLocale locale(name);
    // QLocale falls back to "C" for names it does not know; only "C" itself may give "C".
    if (locale.language() == QLocale::C && name != u"C" && name != u"POSIX") {
        writeErr(usageMessage(command, QStringLiteral("unknown locale %1").arg(quoted(name))));
        return std::nullopt;
    }
    return DateLocaleFor(locale);
}

QString fileIdentity(const QString &path)
{
    const QFileInfo info(path);
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + u'/' + info.fileName();
}

Result<void> makeOutputFolder(const QString &dir)
{
    // The nearest part of the path that exists must be a folder.
    QString existing = QDir::cleanPath(dir);
    while (!QFileInfo::exists(existing) && QFileInfo(existing).path() != existing)
        existing = QFileInfo(existing).path();
    if (QFileInfo::exists(existing) && !QFileInfo(existing).isDir()) {
        return Failure{fileMessage(
            dir,
            existing == QDir::cleanPath(dir)
                ? QStringLiteral("it is a file; --out-dir needs a folder")
                : QStringLiteral("the folder cannot be made: %1 is a file").arg(quoted(existing)))};
    }
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(dir).toStdString(), error);
    if (error)
        return Failure{fileMessage(dir, QStringLiteral("the folder cannot be made: %1")
                                            .arg(QString::fromStdString(error.message())))};
    return {};
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
        writeErr(usageMessage(command, parserProblem(parser)));
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
