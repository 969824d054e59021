// tapewright-cli: the command-line companion, for converting a shelf of shows at once.
#include "cli/clicommon.h"
#include "cli/climessages.h"
#include "cli/convertcommand.h"
#include "cli/covercommand.h"
#include "common/productinfo.h"

#include <QCoreApplication>

using namespace tapewright::cli;

namespace {

const char *const kUsage = "Usage: tapewright-cli COMMAND [OPTIONS]\n"
                           "\n"
                           "Commands:\n"
                           "  convert   Convert info texts into track list XML.\n"
                           "  cover     Fill a cover template from a track list XML.\n"
                           "\n"
                           "Options:\n"
                           "  -h, --help     Show this help.\n"
                           "  -v, --version  Show the version.\n"
                           "\n"
                           "tapewright-cli COMMAND --help shows the options of a command.\n";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tapewright-cli"));
    QCoreApplication::setApplicationVersion(QString::fromUtf16(tapewright::ProductVersion));

    QStringList args = QCoreApplication::arguments();
    const QString command = args.size() > 1 ? args.at(1) : QString();
    if (command == u"--help" || command == u"-h") {
        writeOut(kUsage);
        return 0;
    }
    if (command == u"--version" || command == u"-v") {
        writeOut(QStringLiteral("tapewright-cli %1\n")
                     .arg(QString::fromUtf16(tapewright::ProductVersion))
                     .toUtf8());
        return 0;
    }
    if (command == u"convert") {
        args.removeAt(1);
        return runConvert(args);
    }
    if (command == u"cover") {
        args.removeAt(1);
        return runCover(args);
    }
    if (command.startsWith(u'-')) {
        writeErr(usageMessage(QString(), QStringLiteral("unknown option %1").arg(quoted(command))));
        return 2;
    }
    // One line, not the whole help: what was wrong and what would be right.
    const QString commands = QStringLiteral("the commands are %1 and %2")
                                 .arg(quoted(u"convert"_qs), quoted(u"cover"_qs));
    writeErr(programMessage(
        command.isEmpty()
            ? QStringLiteral("no command given; ") + commands
            : QStringLiteral("unknown command %1; %2").arg(quoted(command), commands)));
    return 2;
}
