// Filling a cover without a desktop: the same filling as the cover dialog's OK, with the result
// written to a file instead of being opened.
#include "covercommand.h"

#include "clicommon.h"
#include "coverfiles.h"
#include "coverfiller.h"
#include "filecoverdocument.h"
#include "textfile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tapewright::cli {

namespace {

QString quoted(const QString &path)
{
    return u'"' + QDir::toNativeSeparators(path) + u'"';
}

// The document format a cover made from this template is written in before it becomes a PDF.
QString FilledSuffixFor(const QString &templatePath)
{
    const QString suffix = QFileInfo(templatePath).suffix().toLower();
    return suffix.startsWith(u"do") && suffix.size() == 4 ? QStringLiteral("docx")
                                                          : QStringLiteral("odt");
}

// LibreOffice turns the filled document into a PDF at out. Empty on success, else the reason.
QString WritePdf(FileCoverDocument &document, const QString &templatePath, const QString &out)
{
    const QString office = FindOfficeProgram();
    if (office.isEmpty())
        return QStringLiteral("Cannot write %1: writing a PDF needs LibreOffice (soffice), "
                              "which is not installed.")
            .arg(quoted(out));
    QTemporaryDir work;
    if (!work.isValid())
        return QStringLiteral("Cannot write %1: no temporary folder could be made.")
            .arg(quoted(out));
    const QString filled = work.filePath(QStringLiteral("cover.") + FilledSuffixFor(templatePath));
    if (CoverResult r = document.saveAs(filled); !r)
        return r.error;

    const OfficeConversion pdf = ConvertWithOffice(office, filled, QStringLiteral("pdf"),
                                                   work.path(), OfficeConversionTimeoutMs);
    if (!pdf)
        return QStringLiteral("Cannot write %1: %2.").arg(quoted(out), pdf.error);
    QFile::remove(out);
    if (!QFile::copy(pdf.outputPath, out))
        return QStringLiteral("Cannot write %1.").arg(quoted(out));
    return QString();
}

} // namespace

int runCover(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Fills a cover template from a track list XML document, as the cover dialog does, and "
        "writes the filled cover to a file."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("template"),
                      QStringLiteral("Cover template to fill (.odt, .ott, .docx, .dotx; .doc "
                                     "with LibreOffice)."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("xml"), QStringLiteral("Track list XML to fill it from."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("collector"),
                      QStringLiteral("Name for the \"From the collection of\" line."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("no-collection"),
                      QStringLiteral("Leave the \"From the collection of\" line empty.")});
    parser.addOption({QStringLiteral("locale"),
                      QStringLiteral("Locale for reading and writing dates (default: yours)."),
                      QStringLiteral("NAME")});
    parser.addOption(
        {QStringLiteral("out"),
         QStringLiteral("File to write: in the template's format (.odt or .ott, .docx or "
                        ".dotx), or .pdf with LibreOffice."),
         QStringLiteral("FILE")});
    if (const std::optional<int> exitCode =
            parseArguments(parser, arguments, QStringLiteral("cover")))
        return *exitCode;
    for (const char *required : {"template", "xml", "out"}) {
        if (!parser.isSet(QString::fromLatin1(required))) {
            writeErr(QStringLiteral("tapewright-cli cover: --%1 FILE is required")
                         .arg(QString::fromLatin1(required)));
            return 2;
        }
    }
    if (!parser.positionalArguments().isEmpty()) {
        writeErr(QStringLiteral("tapewright-cli cover: unexpected argument \"%1\"")
                     .arg(parser.positionalArguments().first()));
        return 2;
    }
    const auto locale = localeOption(parser);
    if (!locale)
        return 2;

    const QString templatePath = parser.value(QStringLiteral("template"));
    const QString out = parser.value(QStringLiteral("out"));
    const TextFileResult xml = ReadTextFile(parser.value(QStringLiteral("xml")));
    if (!xml.ok) {
        writeErr(xml.error);
        return 1;
    }

    const CoverChoices choices{QFileInfo(templatePath).fileName(),
                               parser.isSet(QStringLiteral("no-collection")) ? 0 : 1,
                               parser.value(QStringLiteral("collector"))};
    FileCoverOptions options;
    // Nothing is handed to the desktop from here.
    options.opener = [](const QString &) { return false; };
    FileCoverDocument document(options);
    const CoverResult filled = FillCover(document, QFileInfo(templatePath).absoluteFilePath(),
                                         xml.text, choices, {*locale, QDate::currentDate()});
    if (!filled) {
        writeErr(filled.error);
        return 1;
    }
    if (QFileInfo(out).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0) {
        if (const QString error = WritePdf(document, templatePath, out); !error.isEmpty()) {
            writeErr(error);
            return 1;
        }
    } else if (CoverResult r = document.saveAs(out); !r) {
        writeErr(r.error);
        return 1;
    }
    // The cover is made all the same: what does not fit is the show's, not a failure.
    if (!filled.notice.isEmpty())
        writeErr(QStringLiteral("tapewright-cli cover: warning: %1: %2")
                     .arg(QDir::toNativeSeparators(out), filled.notice));
    return 0;
}

} // namespace tapewright::cli
