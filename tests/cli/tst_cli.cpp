// tapewright-cli run as a user runs it: as a process, on files in a temporary folder. What the
// conversion writes is the converter's own tests' business; these hold what only the command
// line shows: options, exit codes, messages, standard output and --out-dir.
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace testsupport;

namespace {

ProcessRun run(const QStringList &args, const QByteArray &input = {})
{
    return RunProcess(QStringLiteral(TAPEWRIGHT_CLI), args, input);
}

// "convert|-": arguments joined by "|".
QStringList Args(const char *joined)
{
    return QString::fromUtf8(joined).split(u'|', Qt::SkipEmptyParts);
}

QByteArray xml(const QByteArray &body)
{
    return "<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n" + body + "\r\n</CDR_Track_List>";
}

const QByteArray SixLines = "Blue Lantern\r\nb\r\nc\r\nd\r\ne\r\nVenue Hall\r\n";
const QByteArray SixLinesXml =
    xml("<BAND>Blue Lantern</BAND>\r\n<VENUE>Hall</VENUE>\r\n<DISCS>0</DISCS>");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    // Without --locale the user's locale is used: under C.UTF-8 dates are month first.
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }

    // One input, its document on standard output and nothing on standard error. In args, FILE
    // stands for a file holding `file`, which is standard input too.
    void convert_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("out");
        const auto row = [](const char *name, const char *args, const QByteArray &file,
                            const QByteArray &out) {
            QTest::newRow(name) << Args(args) << file << out;
        };
        row("crlf file", "convert|--locale|en_US|FILE", SixLines, SixLinesXml);
        row("standard input", "convert|-", SixLines, SixLinesXml);
        row("the user's locale", "convert|FILE", TestData(u"worked-example.txt"_qs),
            TestData(u"worked-example.en_US.xml"_qs));
        const QString marseilles = u"08-dylan-1999-04-23-marseilles"_qs;
        row("smart", "convert|--smart|FILE", TestData(u"corpus/"_qs + marseilles + u".txt"_qs),
            TestData(u"golden/smart/"_qs + marseilles + u".xml"_qs));
        // A UTF-16 file may hold half of a pair of units: the XML holds U+FFFD, never "?".
        const QString lone = QChar(0xDE00) + u"\r\nb\r\nc\r\nd\r\ne\r\nf\r\n"_qs;
        row("lone surrogate written as U+FFFD", "convert|FILE",
            "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(lone.utf16()), lone.size() * 2),
            xml("<BAND>\xEF\xBF\xBD</BAND>\r\n<DISCS>0</DISCS>"));
        // --out-dir writes its files quietly.
        row("out-dir", "convert|--out-dir|DIR|FILE", SixLines, {});
    }

    void convert()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, out);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, u"show.txt"_qs, file);
        args.replaceInStrings(u"FILE"_qs, path).replaceInStrings(u"DIR"_qs, dir.path());
        const ProcessRun r = run(args, file);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, out);
        QVERIFY2(r.err.isEmpty(), r.err);
    }

    // A failed write to standard output is an error, with a message, with --out-dir too.
    void convert_standardOutputFull()
    {
        QTemporaryDir dir;
        const QString show = WriteFile(dir, u"show.txt"_qs, SixLines);
        for (const QStringList &args :
             {QStringList{u"convert"_qs, show},
              {u"convert"_qs, u"-v"_qs, u"--out-dir"_qs, dir.path(), show}}) {
            QProcess p;
            p.setStandardOutputFile(u"/dev/full"_qs);
            p.start(QStringLiteral(TAPEWRIGHT_CLI), args);
            p.closeWriteChannel(); // a run that reads standard input by mistake ends
            QVERIFY(p.waitForFinished(-1));
            QCOMPARE(p.exitCode(), 1);
            QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()),
                     u"tapewright-cli: standard output: the disk is full\n"_qs);
        }
    }

    // --out-dir: the folder is made when it does not exist yet (--out-dir xml/ *.txt); a folder
    // that is a file is refused. A bad file is reported and skipped, the others are still
    // written; a run never writes over a file it was given nor over its own earlier output.
    // With --verbose, each file written is listed.
    void convert_outDir_data()
    {
        // Lists separated by blanks.
        QTest::addColumn<QString>("inputs"); // each an info text whose band is its name
        QTest::addColumn<QString>("outDir");
        QTest::addColumn<QString>("outputs"); // "file=band": what outDir holds afterwards
        QTest::addColumn<QString>("refused"); // "a|b": one message names both
        QTest::newRow("all written") << u"a.txt b/show.nfo"_qs << u"out"_qs
                                     << u"a.xml=a.txt show.xml=b/show.nfo"_qs << QString();
        QTest::newRow("folder made, a missing file skipped")
            << u"a.txt missing.txt readme show.v2.nfo"_qs << u"out/xml"_qs
            << u"a.xml=a.txt readme.xml=readme show.v2.xml=show.v2.nfo"_qs << u"missing.txt"_qs;
        QTest::newRow("a folder that is a file")
            << u"c.txt"_qs << u"file"_qs << QString() << u"file"_qs;
        QTest::newRow("converted again in the folder of its outputs")
            << u"show.txt show.xml other.txt"_qs << u"."_qs
            << u"other.xml=other.txt show.xml=show.xml"_qs
            << u"show.txt|show.xml show.xml|show.xml"_qs;
        // Nothing is written into what is no file, and no empty document for a text too short.
        QTest::newRow("an output that is a named pipe, a text too short")
            << u"pipe.txt short.txt c.txt"_qs << u"out"_qs << u"c.xml=c.txt"_qs
            << u"out/pipe.xml short.txt"_qs;
        QTest::newRow("inputs of one name")
            << u"a/show.txt b/show.txt a/show.nfo c.txt"_qs << u"out"_qs
            << u"c.xml=c.txt show.xml=a/show.txt"_qs
            << u"b/show.txt|out/show.xml|a/show.txt a/show.nfo|out/show.xml|a/show.txt"_qs;
    }

    void convert_outDir()
    {
        QFETCH(QString, inputs);
        QFETCH(QString, outDir);
        QFETCH(QString, outputs);
        QFETCH(QString, refused);
        const QStringList names = inputs.split(u' ');
        const QStringList told = refused.split(u' ', Qt::SkipEmptyParts);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(u"a"_qs) && root.mkpath(u"b"_qs) && root.mkpath(u"out"_qs));
        WriteFile(dir, u"file"_qs, "a file");
        QCOMPARE(::mkfifo(QFile::encodeName(root.filePath(u"out/pipe.xml"_qs)).constData(), 0600),
                 0);
        QStringList args = {u"convert"_qs, u"--verbose"_qs, u"--out-dir"_qs, root.filePath(outDir)};
        for (const QString &input : names) {
            const QByteArray lines = input.startsWith(u"short") ? "\r\n" : SixLines.sliced(12);
            args << (input.startsWith(u"missing")
                         ? root.filePath(input)
                         : WriteBytes(root.filePath(input), input.toUtf8() + lines));
        }
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, told.isEmpty() ? 0 : 1);
        QCOMPARE(r.out.count('\n'), names.size() - told.size());
        const QStringList messages = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(messages.size(), told.size());
        for (qsizetype i = 0; i < told.size(); ++i) {
            for (const QString &name : told.at(i).split(u'|'))
                QVERIFY2(messages.at(i).contains(QDir::cleanPath(root.filePath(name)) + u'\'') ||
                             messages.at(i).contains(root.filePath(name) + u':'),
                         qPrintable(messages.at(i)));
        }
        const QDir out(root.filePath(outDir));
        QStringList held;
        for (const QString &file : out.entryList({u"*.xml"_qs})) {
            const QString text = QString::fromUtf8(ReadBytes(out.filePath(file)));
            held << file + u'=' +
                        text.section(u"<BAND>"_qs, -1).section(u'<', 0, 0).section(u'\r', 0, 0);
        }
        QCOMPARE(held.join(u' '), outputs);
        QCOMPARE(ReadBytes(root.filePath(u"file"_qs)), QByteArray("a file"));
    }

    // Every message in one form: "tapewright-cli: FILE: reason" for a file, named as typed; the
    // command and the option as typed for the command line, with a pointer to the command's
    // help (exit code 2); names quoted one way. D stands for a folder holding the file "file"
    // and the folders "sub" and "stdin.xml"; the input goes to standard input.
    void messages_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        const auto row = [](const char *name, const char *args, int exitCode, const char *err,
                            const QByteArray &input = {}) {
            QTest::newRow(name) << Args(args) << input << exitCode
                                << QString::fromUtf8(err) + u'\n';
        };
        const auto usage = [&row](const char *name, const char *args, const char *command,
                                  const char *problem) {
            const QByteArray program =
                command[0] ? "tapewright-cli " + QByteArray(command) : QByteArray("tapewright-cli");
            row(name, args, 2, program + ": " + problem + "\nTry '" + program + " --help'.");
        };
        row("no command", "", 2,
            "tapewright-cli: no command given; the commands are 'convert' and 'cover'");
        row("unknown command", "frobnicate", 2,
            "tapewright-cli: unknown command 'frobnicate'; the commands are 'convert' and "
            "'cover'");
        usage("unknown option of the program", "--frobnicate", "", "unknown option '--frobnicate'");
        usage("unknown option", "convert|--frobnicate|-", "convert",
              "unknown option '--frobnicate'");
        usage("unknown letters", "convert|-xy|-", "convert", "unknown option '-x'");
        usage("option without its value", "convert|-|--locale", "convert",
              "option '--locale' needs a value");
        usage("value to an option that takes none", "convert|--smart=yes|-", "convert",
              "option '--smart' takes no value");
        usage("unknown locale", "convert|--locale|xx_nowhere|-", "convert",
              "unknown locale 'xx_nowhere'");
        usage("convert without file", "convert|--out-dir|D", "convert", "no FILE given");
        usage("two files without --out-dir", "convert|a|b", "convert",
              "extra FILE 'b': without --out-dir one FILE is converted, to standard output");
        usage("--explain without --smart", "convert|--explain|-", "convert",
              "--explain explains smart recognition: give --smart too");
        usage("--explain into a folder", "convert|--smart|--explain|--out-dir|D|-", "convert",
              "--explain prints to standard output, not into --out-dir");
        usage("cover without its xml", "cover|--template|t.odt|--out|c.odt", "cover",
              "missing option '--xml'");
        usage("cover with a stray argument", "cover|--template|t.odt|--xml|s.xml|--out|c.odt|stray",
              "cover", "unexpected argument 'stray'");
        usage("a collector and no collection line",
              "cover|--template|t.odt|--xml|s.xml|--out|c.odt|--collector|Jane|--no-collection",
              "cover", "'--collector' and '--no-collection' cannot be used together");
        usage("covers of many shows in an unknown format",
              "cover|--template|t.odt|--out-dir|D|--format|png|s.xml", "cover",
              "unknown format 'png'; the formats are 'pdf', 'odt', 'docx' and 'docm'");
        usage("covers of many shows without an XML",
              "cover|--template|t.odt|--out-dir|D|--format|pdf", "cover", "no XML given");
        usage("covers of many shows and one --out",
              "cover|--template|t.odt|--out-dir|D|--format|pdf|--out|c.pdf|s.xml", "cover",
              "'--out' and '--out-dir' cannot be used together; with '--out-dir' the XML files "
              "are named as arguments");
        usage("a format for one cover",
              "cover|--template|t.odt|--xml|s.xml|--out|c.odt|--format|odt", "cover",
              "'--format' needs '--out-dir'");
        row("missing file", "convert|D/missing.txt", 1,
            "tapewright-cli: D/missing.txt: there is no such file");
        row("folder as info text", "convert|D/sub", 1,
            "tapewright-cli: D/sub: it is a folder, not a file");
        // Standard input is read up to the limit a file has; a text too short is no document.
        row("16 MiB on standard input, too short", "convert|-", 1,
            "tapewright-cli: standard input: the text is too short to convert (fewer than 6 "
            "complete lines)",
            QByteArray(16 * 1024 * 1024, 'x'));
        row("just over 16 MiB on standard input", "convert|-", 1,
            "tapewright-cli: standard input: it is larger than 16 MiB, too large for an info "
            "text",
            QByteArray(16 * 1024 * 1024 + 1, 'x'));
        row("XML onto a folder", "convert|--out-dir|D|-", 1,
            "tapewright-cli: D/stdin.xml: it is a folder, not a file", SixLines);
        row("--out-dir on a file", "convert|--out-dir|D/file|-", 1,
            "tapewright-cli: D/file: it is a file; --out-dir needs a folder");
        row("--out-dir below a file", "convert|--out-dir|D/file/xml|-", 1,
            "tapewright-cli: D/file/xml: the folder cannot be made: 'D/file' is a file");
        row("folder as template", "cover|--template|D/sub|--xml|D/file|--out|c.odt", 1,
            "tapewright-cli: D/sub: it is a folder; --template names a template file in it");
        row("no track list as the xml", "cover|--template|t.odt|--xml|D/file|--out|c.odt", 1,
            "tapewright-cli: D/file: it is no track list: it holds none of the elements a cover "
            "is filled from (<BAND>, <DATE>, <VENUE>, <CITY>, <STATE>, <SOURCE>, <NOTES>, "
            "<DISCS>); an info text is converted into one by 'tapewright-cli convert'");
    }

    void messages()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QTemporaryDir dir;
        WriteFile(dir, u"file"_qs, "a file");
        QVERIFY(QDir(dir.path()).mkdir(u"sub"_qs) && QDir(dir.path()).mkdir(u"stdin.xml"_qs));
        args.replaceInStrings(QRegularExpression(u"^D/"_qs), dir.path() + u'/');
        args.replaceInStrings(QRegularExpression(u"^D$"_qs), dir.path());
        const ProcessRun r = run(args, input);
        QCOMPARE(QString::fromUtf8(r.err), err.replace(u"D/"_qs, dir.path() + u'/'));
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.out.isEmpty());
    }

    // A command's help names the program and the command as typed, and lists only what
    // applies to it; --version shows the About box's version.
    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("holds"); // the first from the start of the output
        const auto row = [](const char *name, const char *args, const char *holds) {
            QTest::newRow(name) << Args(args) << Args(holds);
        };
        row("program", "--help", "Usage: tapewright-cli COMMAND [OPTIONS]\n|convert");
        row("convert", "convert|--help",
            "Usage: tapewright-cli convert [options] FILE...\n|--out-dir <DIR>|--smart");
        row("cover", "cover|-h",
            "Usage: tapewright-cli cover --template FILE --xml FILE --out FILE [options]\n"
            "|--collector <NAME>|(.odt or .ott,|.docx or .dotx, .docm or .dotm), or .pdf|--strict");
        row("version", "--version", "tapewright-cli 0.5 10/04/2000\n");
    }

    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, holds);
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, 0);
        const QString out = QString::fromUtf8(r.out);
        QVERIFY2(out.startsWith(holds.first()) && !out.contains(u"--help-all"_qs), r.out);
        for (const QString &text : holds)
            QVERIFY2(out.contains(text), qPrintable(text));
        QVERIFY(holds.size() > 1 || out == holds.first());
    }

    // The manual page names every file format the help names.
    void manPage_namesEveryFormatOfTheHelp()
    {
        const QString help = QString::fromUtf8(run({u"cover"_qs, u"--help"_qs}).out);
        const QString page = QString::fromUtf8(ReadBytes(QStringLiteral(TAPEWRIGHT_CLI_MAN_PAGE)));
        static const QRegularExpression extension(u"(?<![\\w.])\\.[a-z]{3,4}\\b"_qs);
        QStringList named;
        for (const QRegularExpressionMatch &match : extension.globalMatch(help))
            named << match.captured();
        QVERIFY2(named.size() > 8, qPrintable(help));
        for (const QString &format : named)
            QVERIFY2(page.contains(format), qPrintable(format));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
