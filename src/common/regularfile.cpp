#include "common/regularfile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tapewright {

namespace {

QString notAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    return QStringLiteral("it is not a regular file");
}

Failure cannotOpen(int errorCode)
{
    if (errorCode == ENOENT)
        return Failure{QStringLiteral("there is no such file")};
    return Failure{QStringLiteral("it cannot be opened (%1)").arg(qt_error_string(errorCode))};
}

} // namespace

QString NotARegularFile(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    return notAFile(info.st_mode);
}

Result<void> OpenRegularFile(QFile &file)
{
    const QByteArray path = QFile::encodeName(file.fileName());
    // Asked first, so that a device is not even opened (opening some has effects of its own).
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return cannotOpen(errno);
    if (!S_ISREG(info.st_mode))
        return Failure{notAFile(info.st_mode)};
    // Asked again of what was opened, since the name may lead elsewhere by now; O_NONBLOCK keeps
    // the opening of a pipe from waiting for a writer.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return cannotOpen(errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Failure{notAFile(info.st_mode)};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure{QStringLiteral("it cannot be opened (%1)").arg(file.errorString())};
    }
    return {};
}

} // namespace tapewright
