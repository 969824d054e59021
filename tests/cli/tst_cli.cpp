// tapewright-cli run as a user runs it: as a process, on files in a temporary folder. What the
// conversion writes is the converter's own tests' business; these hold what only the command
// line shows: options, exit codes, messages, standard output and --out-dir.
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

ProcessRun run(const QStringList &args, const QByteArray &input = {})
{
    return RunProcess(QStringLiteral(TAPEWRIGHT_CLI), args, input);
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
    // One input, its document on standard output. In args, FILE stands for a file holding
    // `file`, which is standard input too; in err, FILE stands for the file's path.
    void convert_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err"); // what standard error holds; empty: nothing
        const QStringList convert{u"convert"_qs, u"--locale"_qs, u"en_US"_qs};
        QTest::newRow("crlf file")
            << convert + QStringList{u"FILE"_qs} << SixLines << 0 << SixLinesXml << QString();
        QTest::newRow("standard input")
            << QStringList{u"convert"_qs, u"-"_qs} << SixLines << 0 << SixLinesXml << QString();
        QTest::newRow("windows-1252 written as utf-8")
            << convert + QStringList{u"FILE"_qs} << QByteArray("Se\xF1or\nb\nc\nd\ne\nf\n") << 0
            << xml("<BAND>Se\xC3\xB1or</BAND>\r\n<DISCS>0</DISCS>") << QString();
        QTest::newRow("too short gives nothing")
            << convert + QStringList{u"FILE"_qs} << QByteArray("a\nb\n") << 0 << QByteArray()
            << QString();
        const QString marseilles = u"08-dylan-1999-04-23-marseilles"_qs;
        QTest::newRow("smart") << convert + QStringList{u"--smart"_qs,
                                                        TestDataPath(u"corpus/"_qs + marseilles +
                                                                     u".txt"_qs)}
                               << QByteArray() << 0
                               << TestData(u"golden/smart/"_qs + marseilles + u".xml"_qs)
                               << QString();
        QTest::newRow("missing file") << QStringList{u"convert"_qs, u"FILE.missing"_qs}
                                      << QByteArray() << 1 << QByteArray() << u"FILE.missing"_qs;
        // A file beyond the reading limit is refused with a message naming it.
        QTest::newRow("just over 16 MiB")
            << QStringList{u"convert"_qs, u"FILE"_qs} << QByteArray(16 * 1024 * 1024 + 1, 'x') << 1
            << QByteArray() << u"\u201CFILE\u201D is larger than 16 MiB"_qs;
        // A UTF-16 file may hold half of a pair of units: the XML holds U+FFFD, never "?".
        const QString lone = QChar(0xDE00) + u"\r\nb\r\nc\r\nd\r\ne\r\nf\r\n"_qs;
        QTest::newRow("lone surrogate written as U+FFFD")
            << QStringList{u"convert"_qs, u"FILE"_qs}
            << "\xFF\xFE" +
                   QByteArray(reinterpret_cast<const char *>(lone.utf16()), lone.size() * 2)
            << 0 << xml("<BAND>\xEF\xBF\xBD</BAND>\r\n<DISCS>0</DISCS>") << QString();
    }

    void convert()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, file);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, u"show.txt"_qs, file);
        args.replaceInStrings(u"FILE"_qs, path);
        const ProcessRun r = run(args, file);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out, out);
        if (err.isEmpty())
            QCOMPARE(r.err, QByteArray());
        else
            QVERIFY2(QString::fromUtf8(r.err).contains(err.replace(u"FILE"_qs, path)), r.err);
    }

    // Without --locale the user's locale is used; under LANG=C.UTF-8 dates are month first.
    void convert_cLocale_monthFirst()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TAPEWRIGHT_CLI),
                {u"convert"_qs, TestDataPath(u"worked-example.txt"_qs)});
        QVERIFY(p.waitForFinished(-1));
        QVERIFY(p.readAllStandardOutput().contains("<DATE>5/8/1977</DATE>"));
    }

    // A failed write to standard output is an error, with a message.
    void convert_standardOutputFull()
    {
        QProcess p;
        p.setStandardOutputFile(u"/dev/full"_qs);
        p.start(QStringLiteral(TAPEWRIGHT_CLI), {u"convert"_qs, u"-"_qs});
        QVERIFY(p.waitForStarted());
        p.write(SixLines);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(-1));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()),
                 u"Cannot write to standard output: the disk is full.\n"_qs);
    }

    // The folder is made when it does not exist yet (--out-dir xml/ *.txt); a bad file is
    // reported and skipped, the others are still written. A folder that is a file is refused.
    void convert_outDir()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out/xml"_qs);
        QStringList args{u"convert"_qs, u"--out-dir"_qs, out};
        for (const QString &name :
             {u"a.txt"_qs, u"missing.txt"_qs, u"readme"_qs, u"show.v2.nfo"_qs})
            args << (name.startsWith(u'm') ? dir.filePath(name) : WriteFile(dir, name, SixLines));
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("missing.txt"));
        QCOMPARE(QDir(out).entryList(QDir::Files),
                 QStringList({u"a.xml"_qs, u"readme.xml"_qs, u"show.v2.xml"_qs}));
        QCOMPARE(ReadBytes(out + u"/show.v2.xml"_qs), SixLinesXml);
        QCOMPARE(r.out.count('\n'), 3);

        const QString aFile = WriteFile(dir, u"file"_qs, "a file");
        const ProcessRun refused = run({u"convert"_qs, u"--out-dir"_qs, aFile, args.at(3)});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(aFile.toUtf8()), refused.err);
        QCOMPARE(ReadBytes(aFile), QByteArray("a file"));
    }

    // A run never writes over a file it was given nor over its own earlier output; each is
    // reported with its names, and the rest is converted.
    void convert_outDir_ownFilesKept_data()
    {
        QTest::addColumn<QStringList>("inputs"); // each an info text whose band is its name
        QTest::addColumn<QString>("outDir");
        QTest::addColumn<QStringList>("outputs"); // "file=band": what outDir holds afterwards
        QTest::addColumn<QStringList>("refused"); // "a|b": one message names both
        QTest::newRow("converted again in the folder of its outputs")
            << QStringList{u"show.txt"_qs, u"show.xml"_qs, u"other.txt"_qs} << u"."_qs
            << QStringList{u"other.xml=other.txt"_qs, u"show.xml=show.xml"_qs}
            << QStringList{u"show.txt|show.xml"_qs, u"show.xml|show.xml"_qs};
        QTest::newRow("inputs of one name")
            << QStringList{u"a/show.txt"_qs, u"b/show.txt"_qs, u"a/show.nfo"_qs, u"c.txt"_qs}
            << u"out"_qs << QStringList{u"c.xml=c.txt"_qs, u"show.xml=a/show.txt"_qs}
            << QStringList{u"b/show.txt|out/show.xml|a/show.txt"_qs,
                           u"a/show.nfo|out/show.xml|a/show.txt"_qs};
    }

    void convert_outDir_ownFilesKept()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, outDir);
        QFETCH(QStringList, outputs);
        QFETCH(QStringList, refused);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(u"a"_qs) && root.mkpath(u"b"_qs) && root.mkpath(u"out"_qs));
        QStringList args = {u"convert"_qs, u"--out-dir"_qs, root.filePath(outDir)};
        for (const QString &input : inputs)
            args << WriteBytes(root.filePath(input), input.toUtf8() + SixLines.sliced(12));
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, 1);
        const QStringList messages = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(messages.size(), refused.size());
        for (qsizetype i = 0; i < refused.size(); ++i) {
            for (const QString &name : refused.at(i).split(u'|'))
                QVERIFY2(messages.at(i).contains(QDir::cleanPath(root.filePath(name)) + u'\u201D'),
                         qPrintable(messages.at(i)));
        }
        const QDir out(root.filePath(outDir));
        QStringList held;
        for (const QString &file : out.entryList({u"*.xml"_qs})) {
            const QString text = QString::fromUtf8(ReadBytes(out.filePath(file)));
            held << file + u'=' +
                        text.section(u"<BAND>"_qs, -1).section(u'<', 0, 0).section(u'\r', 0, 0);
        }
        QCOMPARE(held, outputs);
    }

    // Names in the messages are quoted as files are: “frobnicate”.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named"); // what the message names, if anything
        QTest::newRow("no command") << QStringList{} << QString();
        QTest::newRow("unknown command") << QStringList{u"frobnicate"_qs} << u"frobnicate"_qs;
        QTest::newRow("convert without file") << QStringList{u"convert"_qs} << QString();
        QTest::newRow("two files without --out-dir")
            << QStringList{u"convert"_qs, u"a"_qs, u"b"_qs} << QString();
        QTest::newRow("unknown locale")
            << QStringList{u"convert"_qs, u"--locale"_qs, u"xx_nowhere"_qs, u"-"_qs}
            << u"xx_nowhere"_qs;
        QTest::newRow("unknown option")
            << QStringList{u"convert"_qs, u"--bogus"_qs, u"-"_qs} << u"bogus"_qs;
        QTest::newRow("option without its value")
            << QStringList{u"convert"_qs, u"-"_qs, u"--locale"_qs} << u"--locale"_qs;
        QTest::newRow("cover with a stray argument")
            << QStringList{u"cover"_qs, u"--template"_qs, u"t.odt"_qs, u"--xml"_qs,
                           u"s.xml"_qs, u"--out"_qs,      u"c.odt"_qs, u"stray"_qs}
            << u"stray"_qs;
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, 2);
        const QString err = QString::fromUtf8(r.err);
        QVERIFY(!err.isEmpty());
        QVERIFY2(named.isEmpty() || err.contains(u'\u201C' + named + u'\u201D'), qPrintable(err));
        QVERIFY2(!err.contains(u'"') && !err.contains(u'\''), qPrintable(err));
    }

    // A command's help names the program and the command as typed, and lists only what
    // applies to it; --version shows the About box's version.
    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("holds"); // the first from the start of the output
        QTest::newRow("program") << QStringList{u"--help"_qs}
                                 << QStringList{u"Usage: tapewright-cli COMMAND [OPTIONS]\n"_qs,
                                                u"convert"_qs};
        QTest::newRow("convert") << QStringList{u"convert"_qs, u"--help"_qs}
                                 << QStringList{
                                        u"Usage: tapewright-cli convert [options] FILE...\n"_qs,
                                        u"--out-dir <DIR>"_qs, u"--smart"_qs};
        QTest::newRow("cover") << QStringList{u"cover"_qs, u"-h"_qs}
                               << QStringList{u"Usage: tapewright-cli cover --template FILE --xml "
                                              "FILE --out FILE [options]\n"_qs,
                                              u"--collector <NAME>"_qs};
        QTest::newRow("version") << QStringList{u"--version"_qs}
                                 << QStringList{u"tapewright-cli 0.5 10/04/2000\n"_qs};
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
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
