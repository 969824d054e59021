// tapewright-cli run as a user runs it: as a process, on files in a temporary folder.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

class TestCli : public QObject
{
    Q_OBJECT

private:
    static ProcessRun run(const QStringList &args, const QByteArray &input = {})
    {
        return RunProcess(QStringLiteral(TAPEWRIGHT_CLI), args, input);
    }

    const QByteArray m_sixLines = "Blue Lantern\r\nb\r\nc\r\nd\r\ne\r\nVenue Hall\r\n";
    const QByteArray m_sixLinesXml = "<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"
                                     "<BAND>Blue Lantern</BAND>\r\n<VENUE>Hall</VENUE>\r\n"
                                     "<DISCS>0</DISCS>\r\n</CDR_Track_List>";

private slots:
    void convert_toStandardOutput_data()
    {
        QTest::addColumn<QByteArray>("fileBytes");
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("crlf file") << m_sixLines << m_sixLinesXml;
        QTest::newRow("unix line ends")
            << QByteArray(m_sixLines).replace("\r\n", "\n") << m_sixLinesXml;
        QTest::newRow("windows-1252 written as utf-8")
            << QByteArray("Se\xF1or\nb\nc\nd\ne\nf\n")
            << QByteArray("<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>Se\xC3\xB1or</BAND>"
                          "\r\n<DISCS>0</DISCS>\r\n</CDR_Track_List>");
        QTest::newRow("too short gives nothing") << QByteArray("a\nb\n") << QByteArray();
    }

    void convert_toStandardOutput()
    {
        QFETCH(QByteArray, fileBytes);
        QFETCH(QByteArray, xml);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("show.txt"));
        WriteBytes(path, fileBytes);
        const ProcessRun r = run(
            {QStringLiteral("convert"), QStringLiteral("--locale"), QStringLiteral("en_US"), path});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, xml);
        QVERIFY(r.err.isEmpty());
    }

    void convert_standardInput()
    {
        const ProcessRun r = run({QStringLiteral("convert"), QStringLiteral("-")}, m_sixLines);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, m_sixLinesXml);
    }

    // Without --locale the user's locale is used; under LANG=C.UTF-8 dates are month first.
    void convert_cLocale_monthFirst()
    {
        const QByteArray saved = qgetenv("LC_ALL");
        qputenv("LC_ALL", "C.UTF-8");
        const ProcessRun r = run({QStringLiteral("convert"),
                                  QStringLiteral(TAPEWRIGHT_TEST_DATA "/worked-example.txt")});
        if (saved.isNull())
            qunsetenv("LC_ALL");
        else
            qputenv("LC_ALL", saved);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("<DATE>5/8/1977</DATE>"), r.out.constData());
    }

    void convert_missingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nope.txt"));
        const ProcessRun r = run({QStringLiteral("convert"), path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(path.toLocal8Bit()));
    }

    // A file of a few megabytes (a long log pasted into an info text) converts; a file beyond
    // the reading limit is refused with a message naming it, and nothing is written.
    void convert_fileSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("converts");
        QTest::newRow("5 MB") << qint64(5'000'000) << true;
        QTest::newRow("just over 16 MiB") << qint64(16 * 1024 * 1024 + 1) << false;
    }

    void convert_fileSize()
    {
        QFETCH(qint64, size);
        QFETCH(bool, converts);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QByteArray bytes = m_sixLines;
        const QByteArray filler = "An ordinary line of an info text, fifty characters\r\n";
        bytes.reserve(size);
        while (bytes.size() + filler.size() <= size)
            bytes += filler;
        bytes += QByteArray(size - bytes.size(), 'x');
        WriteBytes(path, bytes);
        const QString out = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        const ProcessRun r = run({QStringLiteral("convert"), QStringLiteral("--locale"),
                                  QStringLiteral("en_US"), QStringLiteral("--out-dir"), out, path});
        const QByteArray xml = ReadBytes(out + QStringLiteral("/big.xml"));
        if (converts) {
            QCOMPARE(r.exitCode, 0);
            QVERIFY(xml.startsWith("<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"
                                   "<BAND>Blue Lantern</BAND>\r\n<VENUE>Hall</VENUE>\r\n"));
            QVERIFY(xml.endsWith("</CDR_Track_List>"));
        } else {
            QCOMPARE(r.exitCode, 1);
            QVERIFY(!QFile::exists(out + QStringLiteral("/big.xml")));
            QVERIFY2(r.err.contains(path.toLocal8Bit()), r.err.constData());
            QVERIFY2(r.err.contains("16 MiB"), r.err.constData());
        }
    }

    // The folder is made when it does not exist yet (--out-dir xml/ *.txt).
    void convert_outDir()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out/xml"));
        WriteBytes(dir.filePath(QStringLiteral("a.txt")), m_sixLines);
        WriteBytes(dir.filePath(QStringLiteral("readme")), m_sixLines);
        WriteBytes(dir.filePath(QStringLiteral("show.v2.nfo")), m_sixLines);
        const ProcessRun r = run(
            {QStringLiteral("convert"), QStringLiteral("--out-dir"), out,
             dir.filePath(QStringLiteral("a.txt")), dir.filePath(QStringLiteral("missing.txt")),
             dir.filePath(QStringLiteral("readme")), dir.filePath(QStringLiteral("show.v2.nfo"))});
        // A bad file is reported and skipped; the others are still written.
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("missing.txt"));
        QCOMPARE(ReadBytes(out + QStringLiteral("/a.xml")), m_sixLinesXml);
        QCOMPARE(ReadBytes(out + QStringLiteral("/readme.xml")), m_sixLinesXml);
        QCOMPARE(ReadBytes(out + QStringLiteral("/show.v2.xml")), m_sixLinesXml);
        QCOMPARE(QString::fromUtf8(r.out).count(QLatin1Char('\n')), 3);
    }

    // --smart reads the text as a collector does, alone and in a batch.
    void convert_smart()
    {
        const QByteArray info = "Bob Dylan, 4/23/99, Marseilles, 2CDR\n\nCD1\n"
                                "1. Cocaine Blues (acoustic)\n2. Can't Wait 5:32\n\nCD2\n"
                                "1. Not Dark Yet";
        const QByteArray xml =
            "<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>Bob Dylan</BAND>\r\n"
            "<LITERALDATE>4/23/99</LITERALDATE>\r\n<DATE>4/23/1999</DATE>\r\n"
            "<CITY>Marseilles</CITY>\r\n<DISCS>2</DISCS>\r\n<TRACKSD1>2</TRACKSD1>\r\n"
            "<TRACKSD2>1</TRACKSD2>\r\n<D1T1>Cocaine Blues (acoustic)</D1T1>\r\n"
            "<D1T2>Can't Wait</D1T2><D1T2Time>5:32</D1T2Time>\r\n<D2T1>Not Dark Yet</D2T1>\r\n"
            "</CDR_Track_List>";
        QTemporaryDir dir;
        const QString show = WriteFile(dir, QStringLiteral("show.txt"), info);
        const QStringList smart{QStringLiteral("convert"), QStringLiteral("--locale"),
                                QStringLiteral("en_US"), QStringLiteral("--smart")};
        const ProcessRun one = run(smart + QStringList{show});
        QCOMPARE(one.exitCode, 0);
        QCOMPARE(one.out, xml);

        const QString out = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        WriteFile(dir, QStringLiteral("other.txt"), info);
        const ProcessRun batch =
            run(smart + QStringList{QStringLiteral("--out-dir"), out, show,
                                    dir.filePath(QStringLiteral("other.txt"))});
        QCOMPARE(batch.exitCode, 0);
        QCOMPARE(ReadBytes(out + QStringLiteral("/show.xml")), xml);
        QCOMPARE(ReadBytes(out + QStringLiteral("/other.xml")), xml);
        // Without --smart the classic conversion stays as it was.
        QVERIFY(run({QStringLiteral("convert"), QStringLiteral("--locale"), QStringLiteral("en_US"),
                     show})
                    .out != xml);
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
            << QStringList{u"show.xml=show.xml"_qs, u"other.xml=other.txt"_qs}
            << QStringList{u"show.txt|show.xml"_qs, u"show.xml|show.xml"_qs};
        QTest::newRow("inputs of one name")
            << QStringList{u"a/show.txt"_qs, u"b/show.txt"_qs, u"a/show.nfo"_qs, u"c.txt"_qs}
            << u"out"_qs << QStringList{u"show.xml=a/show.txt"_qs, u"c.xml=c.txt"_qs}
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
            args << WriteBytes(root.filePath(input),
                               input.toUtf8() + QByteArray(m_sixLines).remove(0, 12));
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, 1);
        const QStringList messages = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(messages.size(), refused.size());
        for (qsizetype i = 0; i < refused.size(); ++i) {
            for (const QString &name : refused.at(i).split(u'|'))
                QVERIFY2(messages.at(i).contains(QDir::cleanPath(root.filePath(name)) + u'\u201D'),
                         qPrintable(messages.at(i)));
        }
        QStringList expectedFiles;
        for (const QString &output : outputs) {
            const QString file = output.section(u'=', 0, 0);
            const QString band = output.section(u'=', 1);
            const QByteArray bytes = ReadBytes(QDir(root.filePath(outDir)).filePath(file));
            QVERIFY2(bytes.startsWith(band.toUtf8()) ||
                         bytes.contains("<BAND>" + band.toUtf8() + "</BAND>"),
                     bytes.constData());
            expectedFiles << file;
        }
        for (const QString &file : QDir(root.filePath(outDir)).entryList({u"*.xml"_qs}))
            QVERIFY2(expectedFiles.contains(file), qPrintable(file));
    }

    // A UTF-16 file may hold half of a pair of units: the XML holds U+FFFD for it, never "?".
    void convert_loneSurrogateWrittenAsReplacement()
    {
        QTemporaryDir dir;
        const QString text = QString::fromUtf8(m_sixLines) + u"Disc 1\r\n01. Opener "_qs +
                             QChar(0xDE00) + u" 4:56\r\n"_qs;
        const QString path = WriteBytes(
            dir.filePath(u"show.txt"_qs),
            "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
        const ProcessRun r = run({u"convert"_qs, path});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("<D1T1>01. Opener \xEF\xBF\xBD</D1T1>"), r.out.constData());
        QVERIFY(!r.out.contains("Opener ?"));
    }

    // A failed write to standard output is an error, with a message.
    void convert_standardOutputFull()
    {
        QProcess p;
        p.setStandardOutputFile(u"/dev/full"_qs);
        p.start(QStringLiteral(TAPEWRIGHT_CLI), {u"convert"_qs, u"-"_qs});
        QVERIFY(p.waitForStarted());
        p.write(m_sixLines);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(-1));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()),
                 u"Cannot write to standard output: the disk is full.\n"_qs);
    }

    // Names in the messages are quoted as files are: “frobnicate”.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named"); // what the message names, if anything
        QTest::newRow("no command") << QStringList{} << QString();
        QTest::newRow("unknown command") << QStringList{u"frobnicate"_qs} << u"frobnicate"_qs;
        QTest::newRow("convert without file") << QStringList{u"convert"_qs} << QString();
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
        QVERIFY(!r.err.isEmpty());
        const QString err = QString::fromUtf8(r.err);
        if (!named.isEmpty())
            QVERIFY2(err.contains(u'\u201C' + named + u'\u201D'), qPrintable(err));
        QVERIFY2(!err.contains(u'"') && !err.contains(u'\''), qPrintable(err));
    }

    void convert_outDirIsAFile()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("xml"));
        WriteBytes(out, "a file");
        WriteBytes(dir.filePath(QStringLiteral("a.txt")), m_sixLines);
        const ProcessRun r = run({QStringLiteral("convert"), QStringLiteral("--out-dir"), out,
                                  dir.filePath(QStringLiteral("a.txt"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(out.toLocal8Bit()), r.err.constData());
        QCOMPARE(ReadBytes(out), QByteArray("a file"));
    }

    // A command's help names the program and the command as typed, and lists only what
    // applies to it.
    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("usage");
        QTest::addColumn<QByteArray>("option");
        QTest::newRow("program") << QStringList{QStringLiteral("--help")}
                                 << QByteArray("Usage: tapewright-cli COMMAND [OPTIONS]\n")
                                 << QByteArray("convert");
        QTest::newRow("convert") << QStringList{QStringLiteral("convert"), QStringLiteral("--help")}
                                 << QByteArray("Usage: tapewright-cli convert [options] FILE...\n")
                                 << QByteArray("--out-dir <DIR>");
        QTest::newRow("convert, smart")
            << QStringList{QStringLiteral("convert"), QStringLiteral("--help")}
            << QByteArray("Usage: tapewright-cli convert [options] FILE...\n")
            << QByteArray("--smart");
        QTest::newRow("cover") << QStringList{QStringLiteral("cover"), QStringLiteral("-h")}
                               << QByteArray("Usage: tapewright-cli cover --template FILE --xml "
                                             "FILE --out FILE [options]\n")
                               << QByteArray("--collector <NAME>");
    }

    void help()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, usage);
        QFETCH(QByteArray, option);
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(usage), r.out.constData());
        QVERIFY(r.out.contains(option));
        QVERIFY2(!r.out.contains("--help-all"), r.out.constData());
    }

    // The About box shows the same version.
    void version()
    {
        const ProcessRun r = run({QStringLiteral("--version")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("tapewright-cli 0.5 10/04/2000\n"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
