// A full disk for the tests, without root: work runs in a child process that has a user and
// mount namespace of its own (as `unshare -rm` gives), where a tmpfs of a few pages is mounted
// on a folder of the test's.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace testsupport {

namespace smalldisk {

inline bool writeWhole(int fd, const QByteArray &bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
    }
    return true;
}

inline bool writeFile(const char *path, const char *text)
{
    const int fd = ::open(path, O_WRONLY);
    const bool ok = fd >= 0 && writeWhole(fd, QByteArray(text));
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// In the child: the namespaces, the tmpfs on folder; a reason when the system forbids them.
inline QByteArray enter(const QByteArray &folder, int kib)
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return "no user and mount namespace: " + QByteArray(std::strerror(errno));
    const QByteArray uidMap = "0 " + QByteArray::number(uid) + " 1";
    const QByteArray gidMap = "0 " + QByteArray::number(gid) + " 1";
    if (!writeFile("/proc/self/setgroups", "deny") ||
        !writeFile("/proc/self/uid_map", uidMap.constData()) ||
        !writeFile("/proc/self/gid_map", gidMap.constData()))
        return "no user mapping in the namespace: " + QByteArray(std::strerror(errno));
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    if (::mount("none", folder.constData(), "tmpfs", 0, options.constData()) != 0)
        return "no tmpfs in the namespace: " + QByteArray(std::strerror(errno));
    return {};
}

} // namespace smalldisk

// Fills the rest of the disk that holds folder with one file named filler.
inline void FillDisk(const QString &folder)
{
    const QByteArray path = QString(folder + QStringLiteral("/filler")).toLocal8Bit();
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray block(4096, 'f');
    while (fd >= 0 && ::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    if (fd >= 0)
        ::close(fd);
}

// Runs work in a child process that sees a tmpfs of kib KiB on folder (an empty folder of the
// test's), and returns what work returned. The tmpfs and what work wrote on it vanish with the
// child. nullopt, with the reason in *whyNot, where the system allows no such namespace; a work
// that crashes stops the test run.
inline std::optional<QByteArray> RunOnSmallDisk(const QString &folder, int kib,
                                                const std::function<QByteArray()> &work,
                                                QString *whyNot)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        *whyNot = QStringLiteral("no pipe");
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        // Only the forking thread lives on in the child, as a new user namespace requires.
        ::close(pipeFds[0]);
        const QByteArray refused = smalldisk::enter(folder.toLocal8Bit(), kib);
        const QByteArray answer = refused.isEmpty() ? "+" + work() : "-" + refused;
        ::_exit(smalldisk::writeWhole(pipeFds[1], answer) ? 0 : 1);
    }
    ::close(pipeFds[1]);
    QByteArray answer;
    char buffer[4096];
    for (;;) {
        const ssize_t n = child > 0 ? ::read(pipeFds[0], buffer, sizeof buffer) : 0;
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        answer.append(buffer, n);
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    if (answer.startsWith('-')) {
        *whyNot = QString::fromLocal8Bit(answer.mid(1));
        return std::nullopt;
    }
    // What work does must not go unnoticed when it crashes.
    if (!answer.startsWith('+') || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("the work on the small disk failed (status %d)", status);
    return answer.mid(1);
}

} // namespace testsupport
