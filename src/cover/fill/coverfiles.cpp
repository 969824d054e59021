#include "cover/fill/coverfiles.h"

#include "common/productinfo.h"
#include "cover/document/templateformats.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tapewright {

namespace {
// Long enough for band, venue and date; short enough for every file system with room for the
// folder and the " cover (99).dotx" that follow.
constexpr qsizetype MaxTitleLength = 100;
} // namespace

QString DefaultCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/tapewright");
}

QString CoverFileBaseName(const QString &title)
{
    QString name;
    name.reserve(title.size());
    for (const QChar ch : title) {
        const char16_t c = ch.unicode();
        if (c < 0x20 || c == 0x7F)
            name += u' ';
        else if (c == u'/' || c == u'\\' || c == u':')
            name += u'-'; // dates such as 10/04/2000 stay readable
        else if (QStringView(u"<>\"|?*").contains(ch))
            name += u'_';
        else
            name += ch;
    }
    name = name.simplified();
    // Windows drops trailing dots and blanks, and a leading dot hides the file elsewhere.
    while (!name.isEmpty() && (name.front() == u'.' || name.front() == u' '))
        name.remove(0, 1);
    if (name.size() > MaxTitleLength) {
        name.truncate(MaxTitleLength);
        if (name.back().isHighSurrogate())
            name.chop(1);
    }
    while (!name.isEmpty() && (name.back() == u'.' || name.back() == u' '))
        name.chop(1);
    if (name.isEmpty())
        name = QString::fromUtf16(ProductName);
    return name + QStringLiteral(" cover");
}

QString NewCoverFilePath(const QString &folder, const QString &title, const QString &extension)
{
    const QString base = QDir(folder).filePath(CoverFileBaseName(title));
    QString path = base + extension;
    for (int n = 2; QFileInfo::exists(path) && n < 1000; ++n)
        path = base + QStringLiteral(" (%1)").arg(n) + extension;
    return path;
}

bool IsCoverFileName(const QString &fileName)
{
    // Covers are written in the formats that are filled, never as .doc.
    static const QRegularExpression pattern = [] {
        QStringList extensions;
        for (const TemplateFormat &format : TemplateFormats) {
            if (format.family != FormatFamily::LegacyWord)
                extensions << QString::fromUtf16(format.extension);
        }
        return QRegularExpression(
            QStringLiteral("^.+ cover( \\(\\d+\\))?\\.(%1)$").arg(extensions.join(u'|')));
    }();
    return pattern.match(fileName).hasMatch();
}

int RemoveOldCovers(const QString &folder, const QDateTime &now)
{
    const QDateTime limit = now.addDays(-CoverKeepDays);
    int removed = 0;
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo &fi : files) {
        if (fi.isSymLink() || !IsCoverFileName(fi.fileName()))
            continue;
        if (fi.lastModified() < limit && QFile::remove(fi.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace tapewright
