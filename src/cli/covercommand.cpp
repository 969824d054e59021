// Filling a cover without a desktop: the same filling as the cover dialog's OK, with the result
// written to a file instead of being opened.
#include "cli/covercommand.h"

#include "cli/clicommon.h"
#include "cli/climessages.h"
#include "cli/coverbatch.h"
#include "common/textfile.h"
#include "cover/document/templateformats.h"
#include "cover/fill/covercheck.h"
#include "cover/fill/coverfiller.h"
#include "cover/fill/filecoverdocument.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace tapewright::cli {

QStringList ShowWarnings(const CoverJob &job)
{
    // The cover just made has told what does not fit: the template is not filled once more.
    CoverCheckOptions options;
    options.locale = job.fill.locale;
    options.templatePath = QDir(job.templateFolder).filePath(job.choices.templateFileName);
    options.dryRun = false;
    return CheckCover(job.xml, options).warnings;
}

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
    parser.addOption({QStringLiteral("picture"),
                      QStringLiteral("PNG or JPEG picture for the front of the cover (Tapewright's "
                                     "own templates)."),
                      QStringLiteral("FILE")});
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
    parser.addOption({QStringLiteral("strict"),
                      QStringLiteral("Exit with status 3 when the cover was made with warnings.")});
    addCoverBatchOptions(parser);
    if (const std::optional<int> exitCode = parseArguments(
            parser, arguments, QStringLiteral("cover"),
            QStringLiteral("--template FILE --xml FILE --out FILE [options]\n"
                           "   or: tapewright-cli cover --template FILE --out-dir DIR --format "
                           "FORMAT [options] XML...")))
        return *exitCode;
    const QString command = QStringLiteral("cover");
    if (const QString problem = coverBatchUsageProblem(parser); !problem.isEmpty()) {
        writeErr(usageMessage(command, problem));
        return 2;
    }
    const bool batch = parser.isSet(QStringLiteral("out-dir"));
    for (const char *required : {"template", "xml", "out"}) {
        if (!batch && !parser.isSet(QString::fromLatin1(required))) {
            writeErr(usageMessage(command, QStringLiteral("missing option %1")
                                               .arg(quoted(u"--"_qs + QLatin1String(required)))));
            return 2;
        }
    }
    if (!batch && !parser.positionalArguments().isEmpty()) {
        writeErr(usageMessage(command, QStringLiteral("unexpected argument %1")
                                           .arg(quoted(parser.positionalArguments().first()))));
        return 2;
    }
    if (parser.isSet(QStringLiteral("collector")) &&
        parser.isSet(QStringLiteral("no-collection"))) {
        writeErr(usageMessage(command,
                              QStringLiteral("%1 and %2 cannot be used together")
                                  .arg(quoted(u"--collector"_qs), quoted(u"--no-collection"_qs))));
        return 2;
    }
    const auto locale = localeOption(parser, command);
    if (!locale)
        return 2;

    const QString templatePath = parser.value(QStringLiteral("template"));
    const QString out = parser.value(QStringLiteral("out"));
    const QString xmlFile = parser.value(QStringLiteral("xml"));
    // The cover dialog lists the templates of a folder; here one template file is named.
    if (QFileInfo(templatePath).isDir()) {
        writeErr(fileMessage(templatePath, QStringLiteral("it is a folder; --template names a "
                                                          "template file in it")));
        return 1;
    }
    CoverJob job;
    job.templateFolder = QFileInfo(templatePath).absolutePath();
    job.choices = {QFileInfo(templatePath).fileName(),
                   parser.isSet(QStringLiteral("no-collection")) ? 0 : 1,
                   parser.value(QStringLiteral("collector"))};
    job.choices.picturePath = parser.value(QStringLiteral("picture"));
    job.fill = {*locale, QDate::currentDate()};
    if (batch)
        return runCoverBatch(parser, job);

    const Result<DecodedText> xml = readText(xmlFile, QStringLiteral("a track list"));
    if (!xml) {
        writeErr(xml.error());
        return 1;
    }
    // An info text, or any other XML, would give a cover with nothing but today's date.
    if (const Result<void> fields = CheckCoverFields(xml->text); !fields) {
        writeErr(
            fileMessage(xmlFile, QStringLiteral("%1; an info text is converted into one by "
                                                "%2")
                                     .arg(fields.error(), quoted(u"tapewright-cli convert"_qs))));
        return 1;
    }

    job.xml = xml->text;
    job.outputPath = out;
    FileCoverDocument document;
    const Result<MadeCover> cover = MakeCover(document, job);
    if (!cover) {
        writeErr(failureMessage(cover.error()));
        return 1;
    }
    // The cover is made all the same: what is missing or does not fit is the show's, not a
    // failure, unless --strict makes it one.
    const QStringList warnings = ShowWarnings(job);
    if (!warnings.isEmpty())
        writeErr(warningMessage(xmlFile, warnings.join(QStringLiteral("\n\n"))));
    if (!cover->notice.isEmpty())
        writeErr(warningMessage(out, cover->notice));
    return parser.isSet(QStringLiteral("strict")) &&
                   !(warnings.isEmpty() && cover->notice.isEmpty())
               ? 3
               : 0;
}

} // namespace tapewright::cli
