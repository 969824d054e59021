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

// ---- Cover documents (tests/cover, tests/template, tapewright-cli cover) ----
#if __has_include("cover/fill/coverdocument.h") && __has_include("cover/document/zippackage.h")
#include "cover/document/zippackage.h"
#include "cover/fill/coverdocument.h"

#include <QHash>

#include <vector>

namespace testsupport {

// Small cover templates built from the parts under tests/data/cover with the product's own zip
// writer: the bookmarks as a point, a range, a range across runs or across paragraphs, in body
// text, a table cell, a frame or text box, a header or a footer.
enum class Shape
{
    Point,
    Range,
    AcrossRuns,
    AcrossParagraphs
};
enum class Place
{
    Body,
    TableCell,
    Frame,
    Header,
    Footer
};

struct Mark
{
    QString name;
    Place place = Place::Body;
    Shape shape = Shape::Range;
    bool enclosed = false; // inside an "Outer<name>" bookmark around "[" bookmark "]"
};

// The template extensions: .odt and .ott are OpenDocument, .docx and .dotx Word.
inline bool IsOdf(const QString &extension)
{
    return extension.startsWith(u".o");
}

// Every place with every shape: name i goes to place i mod 5 with shape (i / 5) mod 4.
inline std::vector<Mark> CoverMarks(const QStringList &names = CoverBookmarkNames())
{
    std::vector<Mark> marks;
    for (int i = 0; i < names.size(); ++i)
        marks.push_back({names.at(i), Place(i % 5), Shape((i / 5) % 4), false});
    return marks;
}

// A mark's paragraphs in its place; id numbers frames, tables and Word's bookmark ids.
inline QByteArray MarkXml(bool odf, const Mark &m, int id)
{
    static const auto read = [](const char *file) {
        QHash<QByteArray, QByteArray> snippets;
        for (const QByteArray &line : TestData(QString::fromLatin1(file)).split('\n')) {
            if (const qsizetype bar = line.indexOf('|'); bar > 0)
                snippets.insert(line.left(bar), line.mid(bar + 1));
        }
        return snippets;
    };
    static const QHash<QByteArray, QByteArray> odt = read("cover/odt-marks.txt");
    static const QHash<QByteArray, QByteArray> docx = read("cover/docx-marks.txt");
    const QHash<QByteArray, QByteArray> &s = odf ? odt : docx;
    static const char *shapes[] = {"point", "range", "across runs", "across paragraphs"};
    QByteArray xml = s.value("paragraph")
                         .replace("@OUTERSTART@", m.enclosed ? s.value("outer start") : "")
                         .replace("@OUTEREND@", m.enclosed ? s.value("outer end") : "")
                         .replace("@MARK@", s.value(shapes[int(m.shape)]));
    if (m.place == Place::TableCell || m.place == Place::Frame)
        xml =
            s.value(m.place == Place::Frame ? "frame" : "table cell").replace("@PARAGRAPHS@", xml);
    return xml.replace("@NAME@", m.name.toUtf8()).replace("@ID@", QByteArray::number(id));
}

// A package of the template format named by extension around the given body, header and
// footer content; without settings.xml and every reference to it when withSettings is false.
inline tapewright::ZipPackage TemplatePackage(const QString &extension, const QByteArray &body,
                                              const QByteArray &header = {},
                                              const QByteArray &footer = {},
                                              bool withSettings = true)
{
    const bool odf = IsOdf(extension);
    const bool isTemplate = extension == u".ott" || extension == u".dotx";
    const QByteArray kind =
        odf ? (isTemplate ? "-template" : "") : (isTemplate ? "template" : "document");
    const QStringList parts =
        odf ? QStringList{"mimetype",   "META-INF/manifest.xml", "content.xml",
                          "styles.xml", "settings.xml",          "Pictures/blob.bin"}
            : QStringList{"[Content_Types].xml", "_rels/.rels",
                          "word/document.xml",   "word/_rels/document.xml.rels",
                          "word/header1.xml",    "word/footer1.xml",
                          "word/settings.xml",   "word/media/blob.bin"};
    const QByteArray empty = odf ? "" : "<w:p/>";
    tapewright::ZipPackage package;
    for (const QString &name : parts) {
        if (!withSettings && name.endsWith(u"settings.xml"))
            continue;
        QByteArray data = TestData((odf ? u"cover/odt/"_qs : u"cover/docx/"_qs) + name);
        if (!withSettings) {
            QList<QByteArray> lines = data.split('\n');
            lines.removeIf([](const QByteArray &line) { return line.contains("settings"); });
            data = lines.join('\n');
        }
        data.replace("@KIND@", kind)
            .replace("@BODY@", body)
            .replace("@HEADER@", header.isEmpty() ? empty : header)
            .replace("@FOOTER@", footer.isEmpty() ? empty : footer);
        package.entries.push_back(
            {name.toStdString(), data, name == u"mimetype" || name.endsWith(u".bin"), 0});
    }
    return package;
}

inline QByteArray ZipBytes(const tapewright::ZipPackage &package)
{
    const tapewright::Result<QByteArray> bytes = tapewright::WriteZipPackage(package);
    if (!bytes)
        qFatal("cannot build a test package: %s", qPrintable(bytes.error()));
    return *bytes;
}

// A template holding the marks, each in its place.
inline QByteArray TemplateBytes(const QString &extension, const std::vector<Mark> &marks,
                                bool withSettings = true)
{
    QByteArray parts[3]; // body, header, footer
    int id = 1;
    for (const Mark &m : marks)
        parts[m.place == Place::Header   ? 1
              : m.place == Place::Footer ? 2
                                         : 0] += MarkXml(IsOdf(extension), m, id++);
    return ZipBytes(TemplatePackage(extension, parts[0], parts[1], parts[2], withSettings));
}

// One entry of a package file, or nothing.
inline QByteArray PackageEntry(const QString &path, const char *name)
{
    const tapewright::Result<tapewright::ZipPackage> package =
        tapewright::ReadZipPackage(ReadBytes(path));
    const tapewright::ZipEntry *entry = package ? package->find(name) : nullptr;
    return entry ? entry->data : QByteArray();
}

// A cover document that records every operation asked of it, in place of a word processor.
// Every bookmark starts with its name in brackets as the template's own text; a bookmark it
// was not given is absent, and the calls named in failing (a whole call, "scroll CoverBand",
// or its verb, "open") fail. One made with another's address records into that one.
class RecordingCoverDocument final : public tapewright::CoverDocument
{
    using Result = tapewright::Result<void>;

public:
    explicit RecordingCoverDocument(const QStringList &bookmarks = CoverBookmarkNames())
    {
        for (const QString &name : bookmarks)
            texts.insert(name, TemplateText(name));
    }
    explicit RecordingCoverDocument(RecordingCoverDocument *log) : m_log(log) {}
    RecordingCoverDocument(const RecordingCoverDocument &) = delete;
    RecordingCoverDocument &operator=(const RecordingCoverDocument &) = delete;

    static QString TemplateText(const QString &name) { return u'[' + name + u']'; }

    Result start() override { return answer(u"start"_qs); }
    Result open(const QString &path) override { return answer(u"open "_qs + path); }
    Result setZoom(int percent) override { return answer(u"zoom %1"_qs.arg(percent)); }
    Result lookUpBookmark(const QString &name) override { return answer(u"lookUp "_qs + name); }
    Result scrollIntoView(const QString &name) override { return answer(u"scroll "_qs + name); }
    Result setBookmarkText(const QString &name, const QString &text) override
    {
        Result r = answer(u"set "_qs + name);
        if (r)
            m_log->texts[name] = text;
        return r;
    }
    bool hasLayout() override { return m_log->layout; }
    QString fitLayout() override
    {
        m_log->calls << u"fit"_qs;
        return m_log->fitNotice;
    }
    Result saveAs(const QString &path) override { return answer(u"saveAs "_qs + path); }

    QStringList calls;             // "lookUp LinerBand", "set LinerBand" ...
    QHash<QString, QString> texts; // bookmark name to its text
    QStringList failing;
    QString fitNotice;   // what fitLayout answers
    bool layout = false; // what hasLayout answers

private:
    Result answer(const QString &call)
    {
        m_log->calls << call;
        const QString verb = call.section(u' ', 0, 0);
        const bool absent = (verb == u"lookUp" || verb == u"scroll" || verb == u"set") &&
                            !m_log->texts.contains(call.section(u' ', 1));
        if (absent || m_log->failing.contains(call) || m_log->failing.contains(verb))
            return tapewright::Failure{u"failed: "_qs + call};
        return {};
    }

    RecordingCoverDocument *m_log = this;
};

} // namespace testsupport
#endif
