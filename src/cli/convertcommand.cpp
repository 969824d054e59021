#include "cli/convertcommand.h"

#include "cli/clicommon.h"
#include "cli/climessages.h"
#include "common/paths.h"
#include "common/savefile.h"
#include "common/textfile.h"
#include "convert/convertinfotext.h"
#include "smart/explain.h"
#include "smart/recogniseinfotext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace tapewright::cli {

namespace {

// The document of an info text, or why there is none: a text too short gives an empty one, which
// would be no track list at all.
Result<QByteArray> converted(const QString &file, const QString &text, bool smart,
                             ConvertOptions options)
{
    // Standard input has no name to read a band or date from.
    if (file != u"-")
        options.infoPath = QFileInfo(file).absoluteFilePath();
    const QString xml = smart ? RecogniseInfoText(text, options) : ConvertInfoText(text, options);
    if (!xml.isEmpty())
        return Utf8Bytes(xml);
    return Failure{fileMessage(
        file == u"-" ? QStringLiteral("standard input") : file,
        QStringLiteral("the text is too short to convert (%1)")
            .arg(smart ? QStringLiteral("it holds nothing but blanks")
                       : QStringLiteral("fewer than %1 complete lines").arg(MinimumInfoLines)))};
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
                                     "without numbers, no checksum lines; a band or date "
                                     "the text lacks from FILE's or its folder's name).")});
    parser.addOption(
        {QStringLiteral("explain"),
         QStringLiteral("With --smart, print instead of the XML why the text reads as it does: "
                        "each line's kind and rule, each field's candidates and which won, each "
                        "disc's tracks and their lines.")});
    parser.addOption(
        {QStringLiteral("out-dir"),
         QStringLiteral("Write one .xml per FILE into DIR (made when missing) instead of "
                        "standard output."),
         QStringLiteral("DIR")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("verbose")},
                      QStringLiteral("With --out-dir, list each file written.")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Info text to convert; - reads standard input."),
                                 QStringLiteral("FILE..."));
    if (const std::optional<int> exitCode = parseArguments(
            parser, arguments, QStringLiteral("convert"), QStringLiteral("[options] FILE...")))
        return *exitCode;
    const QString command = QStringLiteral("convert");
    const auto locale = localeOption(parser, command);
    if (!locale)
        return 2;
    const QStringList files = parser.positionalArguments();
    const bool toFolder = parser.isSet(QStringLiteral("out-dir"));
    if (files.isEmpty()) {
        writeErr(usageMessage(command, QStringLiteral("no FILE given")));
        return 2;
    }
    if (!toFolder && files.size() > 1) {
        writeErr(
            usageMessage(command, QStringLiteral("extra FILE %1: without --out-dir one FILE is "
                                                 "converted, to standard output")
                                      .arg(quoted(files.at(1)))));
        return 2;
    }
    const bool smart = parser.isSet(QStringLiteral("smart"));
    const bool explain = parser.isSet(QStringLiteral("explain"));
    if (explain && (!smart || toFolder)) {
        writeErr(usageMessage(command, !smart ? QStringLiteral("--explain explains smart "
                                                               "recognition: give --smart too")
                                              : QStringLiteral("--explain prints to standard "
                                                               "output, not into --out-dir")));
        return 2;
    }
    ConvertOptions options;
    options.locale = *locale;
    const QString infoText = QStringLiteral("an info text");

    if (explain) {
        const Result<DecodedText> in = readText(files.first(), infoText);
        if (!in) {
            writeErr(in.error());
            return 1;
        }
        if (files.first() != u"-")
            options.infoPath = QFileInfo(files.first()).absoluteFilePath();
        return writeOut(smart::ExplainInfoText(in->text, options).toUtf8()) ? 0 : 1;
    }
    if (!toFolder) {
        const Result<DecodedText> in = readText(files.first(), infoText);
        const Result<QByteArray> xml =
            in ? converted(files.first(), in->text, smart, options) : Failure{in.error()};
        if (!xml) {
            writeErr(xml.error());
            return 1;
        }
        return writeOut(*xml) ? 0 : 1;
    }

    const QString outDir = parser.value(QStringLiteral("out-dir"));
    if (const Result<void> made = makeOutputFolder(outDir); !made) {
        writeErr(made.error());
        return 1;
    }
    const bool verbose = parser.isSet(QStringLiteral("verbose"));
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
            written = Failure{fileMessage(file, QStringLiteral("not converted: its XML %1 would "
                                                               "overwrite a file named for "
                                                               "conversion in this run")
                                                    .arg(quoted(target)))};
        } else if (const auto earlier = writtenFrom.constFind(targetIdentity);
                   earlier != writtenFrom.cend()) {
            written = Failure{
                fileMessage(file, QStringLiteral("not converted: its XML %1 was written from %2 "
                                                 "in this run")
                                      .arg(quoted(target), quoted(*earlier)))};
        } else if (const Result<DecodedText> in = readText(file, infoText); !in) {
            written = Failure{in.error()};
        } else if (const Result<QByteArray> xml = converted(file, in->text, smart, options); !xml) {
            written = Failure{xml.error()};
        } else if (const Result<void> saved = SaveFile(target, *xml); !saved) {
            written = Failure{failureMessage(saved.error())};
        }
        if (written) {
            writtenFrom.insert(targetIdentity, file);
            if (verbose && !writeOut((file + QStringLiteral(" -> ") + target + u'\n').toUtf8()))
                anyFailed = true;
        } else {
            writeErr(written.error());
            anyFailed = true;
        }
    }
    return anyFailed ? 1 : 0;
}

} // namespace tapewright::cli
