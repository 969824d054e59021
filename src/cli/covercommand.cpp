// Filling a cover without a desktop: the same filling as the cover dialog's OK, with the result
// written to a file instead of being opened.
#include "cli/covercommand.h"

#include "cli/clicommon.h"
#include "common/textfile.h"
#include "cover/coverfiller.h"
#include "cover/filecoverdocument.h"
#include "cover/templateformats.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace tapewright::cli {

int runCover(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Fills a cover template from a track list XML document, as the cover dialog does, and "
        "writes the filled cover to a file."));
    addHelpOption(parser);
    const QStringList filled = FormatExtensions(FormatFamily::OpenDocument) +
                               FormatExtensions(FormatFamily::OfficeOpenXml);
    parser.addOption(
        {QStringLiteral("template"),
         QStringLiteral("Cover template to fill (%1; %2 with LibreOffice).")
             .arg(filled.join(u", "), FormatExtensions(FormatFamily::LegacyWord).join(u", ")),
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
    QStringList pairs; // ".odt or .ott"
    for (const TemplateFormat &format : TemplateFormats) {
        if (format.kind == PackageKind::Document && format.family != FormatFamily::LegacyWord)
            pairs << QStringLiteral(".%1 or .%2")
                         .arg(QString::fromUtf16(format.extension),
                              QString::fromUtf16(
                                  FilledFormat(format, PackageKind::Template).extension));
    }
    parser.addOption({QStringLiteral("out"),
                      QStringLiteral("File to write: in the template's format (%1), or .pdf with "
                                     "LibreOffice.")
                          .arg(pairs.join(u", ")),
                      QStringLiteral("FILE")});
    if (const std::optional<int> exitCode =
            parseArguments(parser, arguments, QStringLiteral("cover"),
                           QStringLiteral("--template FILE --xml FILE --out FILE [options]")))
        return *exitCode;
    for (const char *required : {"template", "xml", "out"}) {
        if (!parser.isSet(QString::fromLatin1(required))) {
            writeErr(QStringLiteral("tapewright-cli cover: --%1 FILE is required")
                         .arg(QString::fromLatin1(required)));
            return 2;
        }
    }
    if (!parser.positionalArguments().isEmpty()) {
        writeErr(QStringLiteral("tapewright-cli cover: unexpected argument %1")
                     .arg(quoted(parser.positionalArguments().first())));
        return 2;
    }
    const auto locale = localeOption(parser);
    if (!locale)
        return 2;

    const QString templatePath = parser.value(QStringLiteral("template"));
    const QString out = parser.value(QStringLiteral("out"));
    const QString xmlFile = parser.value(QStringLiteral("xml"));
    const Result<DecodedText> xml = ReadTextFile(xmlFile);
    if (!xml) {
        writeErr(xml.error());
        return 1;
    }
    // An info text, or any other XML, would give a cover with nothing but today's date.
    if (const Result<void> fields = CheckCoverFields(xml->text); !fields) {
        writeErr(QStringLiteral("Cannot fill a cover from %1: %2. An info text is converted "
                                "into one by tapewright-cli convert.")
                     .arg(QuotedPath(xmlFile), fields.error()));
        return 1;
    }

    CoverJob job;
    job.templateFolder = QFileInfo(templatePath).absolutePath();
    job.choices = {QFileInfo(templatePath).fileName(),
                   parser.isSet(QStringLiteral("no-collection")) ? 0 : 1,
                   parser.value(QStringLiteral("collector"))};
    job.xml = xml->text;
    job.fill = {*locale, QDate::currentDate()};
    job.outputPath = out;
    FileCoverDocument document;
    const Result<MadeCover> cover = MakeCover(document, job);
    if (!cover) {
        writeErr(cover.error());
        return 1;
    }
    // The cover is made all the same: what does not fit is the show's, not a failure.
    if (!cover->notice.isEmpty())
        writeErr(QStringLiteral("tapewright-cli cover: warning: %1: %2")
                     .arg(QDir::toNativeSeparators(out), cover->notice));
    return 0;
}

} // namespace tapewright::cli
