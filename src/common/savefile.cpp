#include "common/savefile.h"

#include "common/regularfile.h"

#include <QSaveFile>

#include <cerrno>

#include <unistd.h>

namespace tapewright {

namespace {

// Qt's text for a failed open or rename is the system's (strerror); the two that a user can do
// something about are put in plain words.
QString readable(const QString &systemText)
{
    for (const int code : {ENOSPC, EDQUOT}) {
        if (systemText == qt_error_string(code))
            return WriteErrorReason(code);
    }
    return systemText;
}

// Writes all of bytes to fd: the error code of the write that failed, or 0.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        at += written;
        left -= written;
    }
    return 0;
}

} // namespace

QString WriteErrorReason(int errorCode)
{
    switch (errorCode) {
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("the disk quota is used up");
    default:
        return qt_error_string(errorCode);
    }
}

Result<void> SaveFile(const QString &fileName, const QByteArray &bytes)
{
    const auto failure = [&fileName](const QString &reason) {
        return Failure{QStringLiteral("Cannot save %1: %2.").arg(QuotedPath(fileName), reason)};
    };
    // QSaveFile would rename its file over whatever stands at the name (or at the end of a link):
    // a named pipe that another program reads, or, run as root, a device node.
    if (const QString notAFile = NotARegularFile(fileName); !notAFile.isEmpty())
        return failure(notAFile);
    QSaveFile file(fileName);
    // Qt 6.4 buffers small writes and flushes them in commit(), which does not report a flush
    // that failed: on a full disk the old file was replaced by an empty one. So the bytes go
    // to the descriptor directly, and reach the disk (fsync) before the new file replaces the
    // old. A save that fails here leaves the old file as it was: the destructor removes the
    // temporary file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(readable(file.errorString()));
    if (const int error = writeAll(file.handle(), bytes))
        return failure(WriteErrorReason(error));
    if (::fsync(file.handle()) != 0)
        return failure(WriteErrorReason(errno));
    if (!file.commit())
        return failure(readable(file.errorString()));
    return {};
}

} // namespace tapewright
