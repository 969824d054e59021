#include "cli/coverbatch.h"

#include "cli/clicommon.h"
#include "cli/climessages.h"
#include "cli/covercommand.h"
#include "common/savefile.h"
#include "common/textfile.h"
#include "cover/document/office.h"
#include "cover/document/templateformats.h"
#include "cover/fill/filecoverdocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <optional>

namespace tapewright::cli {

namespace {

const QString Pdf = QStringLiteral("pdf");

// LibreOffice may take, beyond the time of one conversion, this long for each further cover:
// one takes a second or two, and a loaded machine may take ten times as long.
constexpr qint64 OfficeTimePerCoverMs = 30 * 1000;

// What --format takes: PDF, and the documents the covers are filled as without LibreOffice.
QStringList batchFormats()
{
    QStringList formats = {Pdf};
    for (const TemplateFormat &format : TemplateFormats) {
        if (format.kind == PackageKind::Document && format.family != FormatFamily::LegacyWord)
            formats << QString::fromUtf16(format.extension);
    }
    return formats;
}

// A file as messages name it.
QString shownName(const QString &file)
{
    return file == u"-" ? QStringLiteral("standard input") : file;
}

// The track list of file, read and known to hold something a cover is filled from.
Result<QString> readTrackList(const QString &file)
{
    Result<DecodedText> xml = readText(file, QStringLiteral("a track list"));
    if (!xml)
        return Failure{xml.error()};
    // An info text, or any other XML, would give a cover with nothing but today's date.
    if (const Result<void> fields = CheckCoverFields(xml->text); !fields)
        return Failure{fileMessage(shownName(file),
                                   QStringLiteral("%1; an info text is converted into one by %2")
                                       .arg(fields.error(), quoted(u"tapewright-cli convert"_qs)))};
    return std::move(xml->text);
}

// A cover filled and written as a document, waiting for LibreOffice to print it.
struct PendingPdf
{
    QString xmlFile; // as typed
    QString target;  // the PDF to write
    QString document;
    QString notice;
};

} // namespace

void addCoverBatchOptions(QCommandLineParser &parser)
{
    parser.addOption(
        {QStringLiteral("out-dir"),
         QStringLiteral("Make a cover of each XML into DIR (made when missing), named after it, "
                        "instead of one cover with --xml and --out."),
         QStringLiteral("DIR")});
    parser.addOption(
        {QStringLiteral("format"),
         QStringLiteral("With --out-dir, the covers' format: pdf (with LibreOffice, one run for "
                        "all), or the template's own document format (%1).")
             .arg(batchFormats().mid(1).join(u", ")),
         QStringLiteral("FORMAT")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("verbose")},
                      QStringLiteral("With --out-dir, list each file written.")});
    parser.addPositionalArgument(QStringLiteral("XML"),
                                 QStringLiteral("With --out-dir, a track list XML to make a cover "
                                                "of; - reads standard input."),
                                 QStringLiteral("[XML...]"));
}

QString coverBatchUsageProblem(const QCommandLineParser &parser)
{
    const QString outDir = QStringLiteral("--out-dir");
    if (!parser.isSet(QStringLiteral("out-dir"))) {
        return parser.isSet(QStringLiteral("format"))
                   ? QStringLiteral("%1 needs %2").arg(quoted(u"--format"_qs), quoted(outDir))
                   : QString();
    }
    for (const QString &one : {QStringLiteral("xml"), QStringLiteral("out")}) {
        if (parser.isSet(one))
            return QStringLiteral("%1 and %2 cannot be used together; with %2 the XML files are "
                                  "named as arguments")
                .arg(quoted(u"--"_qs + one), quoted(outDir));
    }
    for (const QString &required : {QStringLiteral("template"), QStringLiteral("format")}) {
        if (!parser.isSet(required))
            return QStringLiteral("missing option %1").arg(quoted(u"--"_qs + required));
    }
    const QStringList formats = batchFormats();
    if (const QString format = parser.value(QStringLiteral("format"));
        !formats.contains(format.toLower())) {
        QStringList named;
        for (const QString &known : formats)
            named << quoted(known);
        return QStringLiteral("unknown format %1; the formats are %2 and %3")
            .arg(quoted(format), named.mid(0, named.size() - 1).join(u", "), named.last());
    }
    if (parser.positionalArguments().isEmpty())
        return QStringLiteral("no XML given");
    return {};
}

int runCoverBatch(const QCommandLineParser &parser, const CoverJob &shared)
{
    const QString format = parser.value(QStringLiteral("format")).toLower();
    const QString templatePath = parser.value(QStringLiteral("template"));
    // The template is checked once, rather than failing for every show.
    FileCoverDocument probe;
    if (const Result<void> opened = probe.open(templatePath); !opened) {
        writeErr(failureMessage(opened.error()));
        return 1;
    }
    const QString documentExtension = QString::fromUtf16(
        FilledFormat(*TemplateFormatOf(templatePath), PackageKind::Document).extension);
    if (format != Pdf && format != documentExtension) {
        writeErr(fileMessage(templatePath, QStringLiteral("a cover made from it is written as .%1 "
                                                          "or .pdf, not .%2")
                                               .arg(documentExtension, format)));
        return 1;
    }
    QString office;
    if (format == Pdf) {
        office = FindOfficeProgram();
        if (office.isEmpty()) {
            writeErr(programMessage(QStringLiteral("writing PDFs needs LibreOffice (soffice), "
                                                   "which is not installed")));
            return 1;
        }
    }
    const QString outDir = parser.value(QStringLiteral("out-dir"));
    if (const Result<void> made = makeOutputFolder(outDir); !made) {
        writeErr(made.error());
        return 1;
    }
    // The documents LibreOffice prints, each named by its place in the run so that no two
    // results meet, and the PDFs it prints of them.
    std::optional<QTemporaryDir> work;
    if (format == Pdf && !work.emplace().isValid()) {
        writeErr(programMessage(QStringLiteral("no temporary folder for printing the PDFs could "
                                               "be made")));
        return 1;
    }

    const bool verbose = parser.isSet(QStringLiteral("verbose"));
    bool anyFailed = false;
    bool anyWarned = false; // --strict makes it exit status 3
    const auto written = [&](const QString &file, const QString &target, const QString &notice) {
        // The cover is made all the same: what does not fit is the show's, not a failure.
        if (!notice.isEmpty()) {
            writeErr(warningMessage(target, notice));
            anyWarned = true;
        }
        if (verbose && !writeOut((file + QStringLiteral(" -> ") + target + u'\n').toUtf8()))
            anyFailed = true;
    };
    const auto failed = [&anyFailed](const QString &message) {
        writeErr(message);
        anyFailed = true;
    };

    // A run never writes over a cover it made itself (a/show.xml and b/show.xml both make
    // show.pdf). The XML files need no such guard: a cover's name ends in .pdf or a document's
    // extension, which no track list's does.
    const QStringList files = parser.positionalArguments();
    QHash<QString, QString> madeFrom; // a cover's identity -> the XML it is made of
    QList<PendingPdf> pending;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString &file = files.at(i);
        const QString shown = shownName(file);
        const QString target = QDir::cleanPath(QDir(outDir).filePath(
            QFileInfo(file == u"-" ? u"stdin"_qs : file).completeBaseName() + u'.' + format));
        const QString targetIdentity = fileIdentity(target);
        if (const auto earlier = madeFrom.constFind(targetIdentity); earlier != madeFrom.cend()) {
            failed(fileMessage(shown, QStringLiteral("not made: %1 is the cover of %2 in this run")
                                          .arg(quoted(target), quoted(*earlier))));
            continue;
        }
        const Result<QString> xml = readTrackList(file);
        if (!xml) {
            failed(xml.error());
            continue;
        }
        CoverJob job = shared;
        job.xml = *xml;
        job.outputPath =
            format == Pdf
                ? work->filePath(QStringLiteral("%1.%2").arg(i + 1).arg(documentExtension))
                : target;
        FileCoverDocument document;
        const Result<MadeCover> cover = MakeCover(document, job);
        if (!cover) {
            failed(failureMessage(cover.error()));
            continue;
        }
        madeFrom.insert(targetIdentity, file);
        if (const QStringList warnings = ShowWarnings(job); !warnings.isEmpty()) {
            writeErr(warningMessage(shown, warnings.join(QStringLiteral("\n\n"))));
            anyWarned = true;
        }
        if (format == Pdf)
            pending.append({file, target, cover->path, cover->notice});
        else
            written(file, target, cover->notice);
    }
    const bool strict = parser.isSet(QStringLiteral("strict"));
    if (pending.isEmpty())
        return anyFailed ? 1 : strict && anyWarned ? 3 : 0;

    QStringList documents;
    for (const PendingPdf &cover : pending)
        documents << cover.document;
    const qint64 timeoutMs = std::min<qint64>(
        OfficeConversionTimeoutMs + OfficeTimePerCoverMs * (pending.size() - 1), INT_MAX);
    const Result<void> printed =
        ConvertAllWithOffice(office, documents, Pdf, work->path(), int(timeoutMs));
    for (const PendingPdf &cover : pending) {
        if (!printed) {
            failed(fileMessage(shownName(cover.xmlFile),
                               QStringLiteral("no PDF was made: %1").arg(printed.error())));
            continue;
        }
        // LibreOffice says nothing of a document it could not print: the PDF is not there.
        QFile pdf(OfficeConvertedPath(cover.document, Pdf, work->path()));
        const QByteArray bytes = pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
        if (bytes.isEmpty()) {
            failed(fileMessage(shownName(cover.xmlFile),
                               QStringLiteral("LibreOffice did not print its cover; %1 is "
                                              "not made")
                                   .arg(quoted(cover.target))));
        } else if (const Result<void> saved = SaveFile(cover.target, bytes); !saved) {
            failed(failureMessage(saved.error()));
        } else {
            written(cover.xmlFile, cover.target, cover.notice);
        }
    }
    return anyFailed ? 1 : strict && anyWarned ? 3 : 0;
}

} // namespace tapewright::cli
