#include "cover/document/office.h"

#include "common/productinfo.h"
#include "common/regularfile.h"
#include "common/savefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace tapewright {

QString FindOfficeProgram()
{
    for (const QString &name : {QStringLiteral("soffice"), QStringLiteral("libreoffice")}) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

Result<void> ConvertAllWithOffice(const QString &officeProgram, const QStringList &inputPaths,
                                  const QString &format, const QString &outDir, int timeoutMs)
{
    const QString program = QStringLiteral("LibreOffice (%1)").arg(QuotedPath(officeProgram));
    QTemporaryDir profile;
    if (!profile.isValid())
        return Failure{QStringLiteral("no temporary folder for %1 could be made").arg(program)};
    // A private profile: LibreOffice hands a conversion over to an instance that already runs
    // with the same profile (the user's open one, or a parallel conversion), which then leaves
    // it undone.
    QStringList args = {QStringLiteral("-env:UserInstallation=") +
                            QUrl::fromLocalFile(profile.path()).toString(),
                        QStringLiteral("--headless"),
                        QStringLiteral("--norestore"),
                        QStringLiteral("--convert-to"),
                        format,
                        QStringLiteral("--outdir"),
                        outDir};
    for (const QString &input : inputPaths)
        args << QFileInfo(input).absoluteFilePath();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(officeProgram, args);
    if (!process.waitForStarted(30 * 1000))
        return Failure{QStringLiteral("%1 could not be started").arg(program)};
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return Failure{
            QStringLiteral("LibreOffice did not finish within %1 seconds").arg(timeoutMs / 1000)};
    }
    return {};
}

QString OfficeConvertedPath(const QString &inputPath, const QString &format, const QString &outDir)
{
    // A format may name LibreOffice's filter after a colon ("doc:MS Word 97").
    return QDir(outDir).filePath(QFileInfo(inputPath).completeBaseName() + u'.' +
                                 format.section(u':', 0, 0));
}

Result<QString> ConvertWithOffice(const QString &officeProgram, const QString &inputPath,
                                  const QString &format, const QString &outDir, int timeoutMs)
{
    if (Result<void> run =
            ConvertAllWithOffice(officeProgram, {inputPath}, format, outDir, timeoutMs);
        !run)
        return Failure{run.error()};
    const QString out = OfficeConvertedPath(inputPath, format, outDir);
    if (!QFileInfo::exists(out))
        return Failure{QStringLiteral("LibreOffice could not convert it to .%1")
                           .arg(format.section(u':', 0, 0))};
    return out;
}

namespace {

// Whether the file that came in as a .doc is one that LibreOffice makes a text of: a Word 97–2003
// document (a compound file) or RTF, which Word also saves as .doc. Anything else would convert
// to a document without a bookmark (or fail), and the cover would stay empty without a word.
Result<void> checkLegacyWord(QFile &doc)
{
    const QByteArray head = doc.read(1024);
    if (head.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) ||
        head.startsWith("{\\rtf"))
        return {};
    if (head.isEmpty())
        return Failure{QStringLiteral("the file is empty")};
    const QString save = QStringLiteral("open it in a word processor and save it as a Word "
                                        "document (.docx) or an ODF text document (.odt)");
    if (head.startsWith("PK\x03\x04"))
        return Failure{QStringLiteral("it is a zip package, not a Word 97–2003 document: most "
                                      "likely a .docx or .odt named .doc; give it the extension "
                                      "of what it is")};
    const QByteArray start = head.trimmed().toLower();
    if (start.startsWith("<!doctype html") || start.startsWith("<html") ||
        (start.startsWith('<') && start.contains("<html")))
        return Failure{QStringLiteral("it is a web page (HTML) named .doc, not a Word document; %1")
                           .arg(save)};
    return Failure{
        QStringLiteral("it is not a Word 97–2003 document (it does not begin as one does); %1")
            .arg(save)};
}

} // namespace

Result<QString> ConvertedLegacyTemplate(const QString &docPath, const QString &cacheFolder,
                                        const std::optional<QString> &officeProgram)
{
    const QFileInfo fi(docPath);
    if (!fi.exists())
        return Failure{QStringLiteral("the file does not exist")};
    // LibreOffice would wait for ever on a named pipe.
    QFile doc(docPath);
    if (const Result<void> opened = OpenRegularFile(doc); !opened)
        return Failure{opened.error()};
    if (const Result<void> word = checkLegacyWord(doc); !word)
        return Failure{word.error()};
    const QByteArray key = (fi.absoluteFilePath() + u'\n' + QString::number(fi.size()) + u'\n' +
                            QString::number(fi.lastModified().toMSecsSinceEpoch()))
                               .toUtf8();
    const QString folder = cacheFolder + QStringLiteral("/converted");
    const QString cached =
        folder + u'/' +
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex()) +
        QStringLiteral(".odt");
    if (QFileInfo::exists(cached))
        return cached;
    const QString office = officeProgram ? *officeProgram : FindOfficeProgram();
    if (office.isEmpty())
        return Failure{
            QStringLiteral("it is a Word 97–2003 document (.doc). %1 fills .odt and .docx "
                           "templates: open the template in Word or LibreOffice Writer and save "
                           "it as a Word document (.docx) or an ODF text document (.odt) in the "
                           "template folder, or install LibreOffice so that %1 can convert it")
                .arg(QString::fromUtf16(ProductName))};

    QTemporaryDir work;
    if (!work.isValid())
        return Failure{QStringLiteral("no temporary folder for converting it could be made")};
    const Result<QString> converted =
        ConvertWithOffice(office, fi.absoluteFilePath(), QStringLiteral("odt"), work.path(),
                          OfficeConversionTimeoutMs);
    if (!converted)
        return Failure{
            QStringLiteral("it is a Word 97–2003 document (.doc), and converting it failed: ") +
            converted.error()};
    QFile out(*converted);
    const QByteArray bytes = out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
    if (bytes.isEmpty() || out.error() != QFileDevice::NoError || !QDir().mkpath(folder) ||
        !SaveFile(cached, bytes))
        return Failure{
            QStringLiteral("its converted copy cannot be stored in %1").arg(QuotedPath(folder))};
    return cached;
}

} // namespace tapewright
