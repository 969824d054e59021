// The cover documents on any template: no crash, no hang, and a filled cover that is written
// and opens again. The seeds include the shipped templates, whose layout property makes the
// check of the layout's shape and the type fitting run on the mutated parts too.
//
// The first input byte chooses the format (OpenDocument or Word) and how the rest is read: as
// the template file's bytes, or as its parts ("@@ name" lines, each followed by the part's
// bytes) packed into a zip here. Deflated parts hide their XML from the mutator, so the packed
// form is what reaches the bookmark code with mutated templates.
#include "cover/document/zippackage.h"
#include "cover/fill/coverfiller.h"
#include "cover/fill/filecoverdocument.h"

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tapewright;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

const QTemporaryDir &workDir()
{
    // In memory where the system has it: every input is written and saved (with an fsync),
    // and a disk would set the pace.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/tapewright-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tapewright-fuzz-XXXXXX"));
    return dir;
}

ZipPackage unpacked(const QByteArray &bytes)
{
    ZipPackage package;
    const QByteArray marker = "@@ ";
    qsizetype at = bytes.startsWith(marker) ? 0 : bytes.indexOf("\n" + marker);
    while (at >= 0) {
        if (bytes[at] == '\n')
            ++at;
        const qsizetype nameEnd = bytes.indexOf('\n', at);
        if (nameEnd < 0)
            break;
        ZipEntry entry;
        entry.name = bytes.mid(at + marker.size(), nameEnd - at - marker.size()).toStdString();
        const qsizetype next = bytes.indexOf("\n" + marker, nameEnd + 1);
        entry.data = bytes.mid(nameEnd + 1, next < 0 ? -1 : next - nameEnd - 1);
        entry.stored = entry.name == "mimetype";
        package.entries.push_back(std::move(entry));
        at = next;
    }
    return package;
}

// A track list of four full discs, so that every bookmark of a cover gets text, with line
// breaks and characters that need escaping in XML.
QString trackList()
{
    QString xml =
        QStringLiteral("<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"
                       "<BAND>Blue & \"Lantern\" <x></BAND>\r\n<DATE>1977-05-08</DATE>\r\n"
                       "<VENUE>Barton Hall</VENUE>\r\n<CITY>Ithaca</CITY>\r\n"
                       "<STATE>NY</STATE>\r\n<SOURCE>SBD > cass\r\nline 2</SOURCE>\r\n"
                       "<NOTES>]]> notes</NOTES>\r\n<DISCS>4</DISCS>\r\n");
    for (int d = 1; d <= 4; ++d) {
        xml += QStringLiteral("<TRACKSD%1>25</TRACKSD%1>\r\n").arg(d);
        for (int t = 1; t <= 25; ++t)
            xml += QStringLiteral("<D%1T%2>Song %2 ü</D%1T%2>\r\n")
                       .arg(d)
                       .arg(t, 2, 10, QLatin1Char('0'));
    }
    return xml + QStringLiteral("</CDR_Track_List>");
}

FileCoverOptions options()
{
    FileCoverOptions o;
    o.cacheFolder = workDir().filePath(QStringLiteral("cache"));
    o.officeProgram = QString(); // never start LibreOffice on fuzzed bytes
    return o;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool word = data[0] & 1;
    const bool packed = data[0] & 2;
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (packed) {
        const Result<QByteArray> zip = WriteZipPackage(unpacked(bytes));
        if (!zip)
            return 0;
        bytes = *zip;
    }
    const QString extension = word ? QStringLiteral(".docx") : QStringLiteral(".odt");
    const QString path = workDir().filePath(QStringLiteral("template") + extension);
    {
        QFile f(path);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    }

    FileCoverDocument document(options());
    const Result<void> opened = document.open(path);
    if (!opened) {
        check(!opened.error().isEmpty());
        return 0;
    }
    const QStringList names = document.bookmarkNames();
    for (const QString &name : names)
        (void)document.bookmarkText(name);

    // Every bookmark of a cover, then whatever other bookmarks the template holds.
    static const QString xml = trackList();
    FillCoverBookmarks(
        document, xml, CoverChoices{QStringLiteral("t.odt"), 1, u"Me"_qs},
        CoverFillOptions{QLocale(QLocale::English, QLocale::UnitedStates), QDate(2024, 2, 29)});
    // A template that names the shipped layout has its type fitted when it has the layout's
    // shape, and is left as filled when not (a seed's track list bookmark is stretched).
    (void)document.fitLayout();
    for (const QString &name : names) {
        if (document.lookUpBookmark(name))
            (void)document.setBookmarkText(name, QStringLiteral("a\r\nb <&> \t c"));
    }
    (void)document.setZoom(CoverZoomPercent);

    QString saved = workDir().filePath(QStringLiteral("cover") + extension);
    QFile::remove(saved);
    Result<void> written = document.saveAs(saved);
    if (!written && word) {
        // A package whose main part says it holds macros is saved only under a macro name.
        saved = workDir().filePath(QStringLiteral("cover.docm"));
        QFile::remove(saved);
        written = document.saveAs(saved);
    }
    check(written.ok());
    FileCoverDocument again(options());
    check(again.open(saved).ok());
    return 0;
}
