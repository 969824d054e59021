#include "cli/convertcommand.h"

#include "cli/clicommon.h"
#include "common/paths.h"
#include "common/savefile.h"
#include "common/textfile.h"
#include "convert/convertinfotext.h"
#include "smart/recogniseinfotext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cstdio>

namespace tapewright::cli {

namespace {

Result<DecodedText> readInput(const QString &name)
{
    if (name != u"-")
        return ReadTextFile(name);
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return Failure{QStringLiteral("Cannot read standard input: %1.").arg(in.errorString())};
    const QByteArray bytes = ReadAtMost(in, MaxTextFileSize);
    if (bytes.size() > MaxTextFileSize)
        return Failure{QStringLiteral("Standard input is larger than 16 MiB; that is too large "
                                      "for an info text.")};
    return DecodeTextFile(bytes);
}

// What a name leads to, for telling whether two names are one file: the file itself when it
// exists (a link is followed, as a save follows it), else the name in its folder's real path.
QString fileIdentity(const QString &path)
{
    const QFileInfo info(path);
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + u'/' + info.fileName();
}

// The document of an info text, or why there is none: a text too short gives an empty one, which
// would be no track list at all.
Result<QByteArray> converted(const QString &file, const QString &text, bool smart,
                             const ConvertOptions &options)
{
    const QString xml = smart ? RecogniseInfoText(text, options) : ConvertInfoText(text, options);
    if (!xml.isEmpty())
        return Utf8Bytes(xml);
    return Failure{
        QStringLiteral("Cannot convert %1: the text is too short (%2).")
            .arg(file == u"-" ? QStringLiteral("standard input") : QuotedPath(file),
                 smart ? QStringLiteral("it holds nothing but blanks")
                       : QStringLiteral("fewer than %1 complete lines").arg(MinimumInfoLines))};
}

} // namespace

int runConvert(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts info texts into track list XML documents."));
    addHelpOption(parser);
    parser.addOption({QStringLiteral("locale"),
                      QStringLiteral("Locale for recognising and writing dates (default: yours)."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("smart"),
                      QStringLiteral("Smart recognition: read the text as a collector does "
                                     "(band alone, header layouts, any disc headings, tracks "
                                     "without numbers, no checksum lines).")});
    parser.addOption(
        {QStringLiteral("out-dir"),
         QStringLiteral("Write one .xml per FILE into DIR (made when missing) instead of "
                        "standard output."),
         QStringLiteral("DIR")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Info text to convert; - reads standard input."),
                                 QStringLiteral("FILE..."));
    if (const std::optional<int> exitCode = parseArguments(
            parser, arguments, QStringLiteral("convert"), QStringLiteral("[options] FILE...")))
        return *exitCode;
    const auto locale = localeOption(parser);
    if (!locale)
        return 2;
    const QStringList files = parser.positionalArguments();
    ConvertOptions options;
    options.locale = *locale;
    const bool smart = parser.isSet(QStringLiteral("smart"));

    if (!parser.isSet(QStringLiteral("out-dir"))) {
        if (files.size() != 1) {
            writeErr(QStringLiteral("tapewright-cli convert: name one FILE (or use --out-dir)"));
            return 2;
        }
        const Result<DecodedText> in = readInput(files.first());
        const Result<QByteArray> xml =
            in ? converted(files.first(), in->text, smart, options) : Failure{in.error()};
        if (!xml) {
            writeErr(xml.error());
            return 1;
        }
        return writeOut(*xml) ? 0 : 1;
    }

    const QString outDir = parser.value(QStringLiteral("out-dir"));
    if (files.isEmpty()) {
        writeErr(QStringLiteral("tapewright-cli convert: no FILE to convert"));
        return 2;
    }
    if (!QDir().mkpath(outDir)) {
        writeErr(QStringLiteral("Cannot create the folder %1.").arg(QuotedPath(outDir)));
        return 1;
    }
    // A run never writes over one of its own files: an input (show.xml, when "*" is converted
    // again in the folder of its outputs) or an output it wrote before (a/show.txt and
    // b/show.txt both give show.xml). Each is reported, and the others are converted.
    QSet<QString> inputs;
    for (const QString &file : files) {
        if (file != u"-")
            inputs.insert(fileIdentity(file));
    }
    QHash<QString, QString> writtenFrom; // an output's identity -> the input written there
    bool anyFailed = false;
    for (const QString &file : files) {
        // The main window's name for the XML, in the output folder.
        const QString target = QDir::cleanPath(QDir(outDir).filePath(
            QFileInfo(ProposedXmlFileName(file == u"-" ? u"stdin"_qs : file)).fileName()));
        const QString targetIdentity = fileIdentity(target);
        Result<void> written;
        if (inputs.contains(targetIdentity)) {
            written = Failure{QStringLiteral("Not converting %1: its XML %2 would overwrite a "
                                             "file named for conversion in this run.")
                                  .arg(QuotedPath(file), QuotedPath(target))};
        } else if (const auto earlier = writtenFrom.constFind(targetIdentity);
                   earlier != writtenFrom.cend()) {
            written = Failure{QStringLiteral("Not converting %1: its XML %2 was written from %3 "
                                             "in this run.")
                                  .arg(QuotedPath(file), QuotedPath(target), QuotedPath(*earlier))};
        } else if (const Result<DecodedText> in = readInput(file); !in) {
            written = Failure{in.error()};
        } else if (const Result<QByteArray> xml = converted(file, in->text, smart, options); !xml) {
            written = Failure{xml.error()};
        } else {
            written = SaveFile(target, *xml);
        }
        if (written) {
            writtenFrom.insert(targetIdentity, file);
            if (!writeOut((file + QStringLiteral(" -> ") + target + u'\n').toUtf8()))
                anyFailed = true;
        } else {
            writeErr(written.error());
            anyFailed = true;
        }
    }
    return anyFailed ? 1 : 0;
}

} // namespace tapewright::cli
