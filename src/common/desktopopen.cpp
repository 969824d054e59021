#include "common/desktopopen.h"

#include "common/formhelpers.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <memory>
#include <utility>

namespace tapewright {

void OpenDocument(const QString &path, OpenDone done)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // The shell says at once when no application takes the document.
    done(ShellOpen(path));
#else
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        done(ShellOpen(path));
    else
        OpenDocumentWith(opener, path, std::move(done));
#endif
}

void OpenDocumentWith(const QString &opener, const QString &path, OpenDone done, int answerMs)
{
    // The process has no parent and is deleted when it ends: the program may quit while the
    // opener still runs the application (xdg-open does on desktops it does not know), and a
    // QProcess deleted then would kill it. Its output goes where the program's goes: an
    // application that outlives us must not write into a pipe nobody reads.
    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({path});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());

    // Whichever comes first (an error, the exit, the time up) answers; the rest are ignored.
    auto answer = std::make_shared<OpenDone>(std::move(done));
    const auto tell = [answer](bool opened) {
        if (*answer) {
            const OpenDone once = std::exchange(*answer, nullptr);
            once(opened);
        }
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, tell](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             tell(false);
                             process->deleteLater();
                         }
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, tell](int exitCode, QProcess::ExitStatus status) {
                         tell(status == QProcess::NormalExit && exitCode == 0);
                         process->deleteLater();
                     });
    QTimer::singleShot(answerMs, process, [tell] { tell(true); });
    process->start();
}

} // namespace tapewright
