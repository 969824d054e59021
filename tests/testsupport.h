// Scaffolding the tests share: files in a temporary folder, the test data, programs run as a
// user runs them, PDF text read back with pdftotext, and a full disk.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace testsupport {

// The whole file, or nothing when it cannot be read.
inline QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the file or stops the test run: a test that cannot set up its input proves nothing.
inline QString WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

inline QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    return WriteBytes(dir.filePath(name), bytes);
}

inline QString TestDataPath(const QString &name)
{
    return QStringLiteral(TAPEWRIGHT_TEST_DATA "/") + name;
}

// A file below tests/data; a missing one stops the run.
inline QByteArray TestData(const QString &name)
{
    QFile f(TestDataPath(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(name));
    return f.readAll();
}

// The worked example's track list XML as the converter writes it under en_US.
inline QString WorkedExampleXml()
{
    return QString::fromUtf8(TestData(QStringLiteral("worked-example.en_US.xml")));
}

// Lines joined and ended by CR LF, as a loaded file gives them.
inline QString CrlfLines(const QStringList &lines)
{
    return lines.join(u"\r\n") + QStringLiteral("\r\n");
}

inline QLocale UnitedStatesLocale()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

// A table row whose cells are UTF-8 literals, each given to a QString column: the converter's
// and the smart recogniser's tables are mostly texts in, texts out.
template <class... Texts> void TextRow(const char *name, Texts... texts)
{
    (QTest::newRow(name) << ... << QString::fromUtf8(texts));
}

// Cases of a table kept in a file below tests/data: each is a line "== NAME => EXPECTED" and
// the lines of its text up to the next such line; lines before the first case are comments.
struct TextCase
{
    QString name;
    QString expected;
    QStringList lines;
};

inline QList<TextCase> TextCases(const QString &file)
{
    QList<TextCase> cases;
    for (const QString &line : QString::fromUtf8(TestData(file)).split(u'\n')) {
        if (line.startsWith(u"== "))
            cases.append({line.mid(3).section(u" => "_qs, 0, 0), line.section(u" => "_qs, 1), {}});
        else if (!cases.isEmpty())
            cases.last().lines.append(line);
    }
    if (!cases.isEmpty() && cases.last().lines.endsWith(QString()))
        cases.last().lines.removeLast(); // what follows the file's last line end
    return cases;
}

// The 36 bookmark names the cover filler writes, in its order: 26 rows, then the disc headings
// and track lists of four discs, the collection line and the creation date.
inline QStringList CoverBookmarkNames()
{
    QStringList names = {"LinerBand",      "Linerdate",       "LinerVenue",     "LinerCity",
                         "LinerState",     "LinerSource",     "LinerNotes",     "LinerCoverBand",
                         "LinerCoverDate", "LinerCoverVenue", "LinerCoverCity", "LinerCoverState",
                         "SpineBand",      "SpineDate",       "SpineCity",      "SpineState",
                         "CoverBand",      "CoverDate",       "CoverVenue",     "CoverCity",
                         "CoverState",     "CoverBand2",      "CoverDate2",     "TrayBand",
                         "TrayDate",       "TraySource"};
    for (int n = 1; n <= 4; ++n)
        names << QStringLiteral("TrayDisc%1").arg(n) << QStringLiteral("TrayDisc%1Tracks").arg(n);
    names << QStringLiteral("TrayCollection") << QStringLiteral("TrayCreationDate");
    return names;
}

struct ProcessRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end with input on its standard input; a program that cannot be
// started stops the run.
inline ProcessRun RunProcess(const QString &program, const QStringList &args,
                             const QByteArray &input = {})
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted())
        qFatal("cannot start %s", qPrintable(program));
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(-1);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// The text of a PDF as pdftotext reads it (extra arguments such as "-raw" first), or an empty
// text when pdftotext is missing or fails.
inline QString PdfText(const QString &pdf, const QStringList &options = {})
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return {};
    const ProcessRun run =
        RunProcess(pdftotext, options + QStringList{QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                    pdf, QStringLiteral("-")});
    return run.exitCode == 0 ? QString::fromUtf8(run.out) : QString();
}

// A full disk without root: RunOnSmallDisk runs work in a child process with a user and mount
// namespace of its own (as `unshare -rm` gives), where a tmpfs of kib KiB is mounted on folder
// (an empty folder of the test's), and returns what work returned. The tmpfs vanishes with the
// child. nullopt, with the reason in *whyNot, where the system allows no such namespace; a work
// that crashes stops the test run.
inline QByteArray EnterSmallDisk(const QByteArray &folder, int kib)
{
    const auto put = [](const char *path, const QByteArray &text) {
        QFile f(QString::fromLatin1(path));
        return f.open(QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered) &&
               f.write(text) == text.size();
    };
    const QByteArray uid = QByteArray::number(::getuid()), gid = QByteArray::number(::getgid());
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 || !put("/proc/self/setgroups", "deny") ||
        !put("/proc/self/uid_map", "0 " + uid + " 1") ||
        !put("/proc/self/gid_map", "0 " + gid + " 1") ||
        ::mount("none", folder.constData(), "tmpfs", 0, options.constData()) != 0)
        return "no user and mount namespace with a tmpfs: " + QByteArray(std::strerror(errno));
    return {};
}

inline std::optional<QByteArray> RunOnSmallDisk(const QString &folder, int kib,
                                                const std::function<QByteArray()> &work,
                                                QString *whyNot)
{
    int fds[2];
    if (::pipe(fds) != 0)
        qFatal("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        // Only the forking thread lives on in the child, as a new user namespace requires.
        ::close(fds[0]);
        const QByteArray refused = EnterSmallDisk(folder.toLocal8Bit(), kib);
        const QByteArray answer = refused.isEmpty() ? "+" + work() : "-" + refused;
        QFile out;
        ::_exit(out.open(fds[1], QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                        out.write(answer) == answer.size()
                    ? 0
                    : 1);
    }
    ::close(fds[1]);
    QFile in;
    const QByteArray answer =
        in.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? in.readAll() : "";
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        qFatal("no child process");
    if (answer.startsWith('-')) {
        *whyNot = QString::fromLocal8Bit(answer.mid(1));
        return std::nullopt;
    }
    if (!answer.startsWith('+') || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("the work on the small disk failed (status %d)", status);
    return answer.mid(1);
}

// Fills the rest of the disk that holds folder with one file named filler.
inline void FillDisk(const QString &folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    const QByteArray block(4096, 'f');
    if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        while (filler.write(block) > 0) {
        }
    }
}

} // namespace testsupport
