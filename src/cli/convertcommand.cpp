#include "convertcommand.h"

#include "clicommon.h"
#include "convertinfotext.h"
#include "paths.h"
#include "savefile.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

    if (!parser.isSet(QStringLiteral("out-dir"))) {
        if (files.size() != 1) {
            writeErr(QStringLiteral("tapewright-cli convert: name one FILE (or use --out-dir)"));
            return 2;
        }
        const Result<DecodedText> in = readInput(files.first());
        if (!in) {
            writeErr(in.error());
            return 1;
        }
        writeOut(ConvertInfoText(in->text, options).toUtf8());
        return 0;
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
    bool anyFailed = false;
    for (const QString &file : files) {
        const Result<DecodedText> in = readInput(file);
        // The main window's name for the XML, in the output folder.
        const QString target = QDir(outDir).filePath(
            QFileInfo(ProposedXmlFileName(file == u"-" ? u"stdin"_qs : file)).fileName());
        const Result<void> written =
            in ? SaveFile(target, ConvertInfoText(in->text, options).toUtf8())
               : Failure{in.error()};
        if (written) {
            writeOut((file + QStringLiteral(" -> ") + target + u'\n').toUtf8());
        } else {
            writeErr(written.error());
            anyFailed = true;
        }
    }
    return anyFailed ? 1 : 0;
}

} // namespace tapewright::cli
