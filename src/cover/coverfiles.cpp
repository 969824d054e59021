#include "coverfiles.h"

#include "templateformats.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

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
        name = QStringLiteral("Tapewright");
    return name + QStringLiteral(" cover");
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

QString FindOfficeProgram()
{
    for (const QString &name : {QStringLiteral("soffice"), QStringLiteral("libreoffice")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

OfficeConversion ConvertWithOffice(const QString &officeProgram, const QString &inputPath,
                                   const QString &format, const QString &outDir, int timeoutMs)
{
    const QString program =
        QStringLiteral("LibreOffice (“%1”)").arg(QDir::toNativeSeparators(officeProgram));
    QTemporaryDir profile;
    if (!profile.isValid())
        return {{}, QStringLiteral("no temporary folder for %1 could be made").arg(program)};
    // A private profile: LibreOffice hands a conversion over to an instance that already runs
    // with the same profile (the user's open one, or a parallel conversion), which then leaves
    // it undone.
    const QStringList args = {QStringLiteral("-env:UserInstallation=") +
                                  QUrl::fromLocalFile(profile.path()).toString(),
                              QStringLiteral("--headless"),
                              QStringLiteral("--norestore"),
                              QStringLiteral("--convert-to"),
                              format,
                              QStringLiteral("--outdir"),
                              outDir,
                              QFileInfo(inputPath).absoluteFilePath()};
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(officeProgram, args);
    if (!process.waitForStarted(30 * 1000))
        return {{}, QStringLiteral("%1 could not be started").arg(program)};
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return {
            {},
            QStringLiteral("LibreOffice did not finish within %1 seconds").arg(timeoutMs / 1000)};
    }
    // A format may name LibreOffice's filter after a colon ("doc:MS Word 97").
    const QString suffix = format.section(u':', 0, 0);
    const QString out =
        QDir(outDir).filePath(QFileInfo(inputPath).completeBaseName() + u'.' + suffix);
    if (!QFileInfo::exists(out))
        return {{}, QStringLiteral("LibreOffice could not convert it to .%1").arg(suffix)};
    return {out, {}};
}

} // namespace tapewright
