// tapewright-cli cover run as a user runs it, on the shipped templates, with the written cover
// opened again through the cover documents.
#include "filecoverdocument.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tapewright;
using namespace testsupport;

class TestCliCover : public QObject
{
    Q_OBJECT

private:
    static ProcessRun run(const QStringList &args)
    {
        return RunProcess(QStringLiteral(TAPEWRIGHT_CLI), QStringList{u"cover"_qs} + args);
    }

    static QString shipped(const QString &name)
    {
        return QFileInfo(QStringLiteral(TAPEWRIGHT_CLI)).dir().filePath(u"template/"_qs + name);
    }

    static QString xml()
    {
        return QStringLiteral(TAPEWRIGHT_TEST_DATA "/worked-example.en_US.xml");
    }

    static std::optional<QString> bookmark(const QString &path, const QString &name)
    {
        FileCoverOptions options;
        options.officeProgram = QString();
        FileCoverDocument doc(options);
        if (!doc.open(path))
            return std::nullopt;
        return doc.bookmarkText(name);
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(shipped(u"Jewel Case A4.odt"_qs)))
            QSKIP("the shipped templates are not built");
    }

    void fill_data()
    {
        QTest::addColumn<QString>("templateName");
        QTest::addColumn<QString>("outName");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("collection");
        QTest::newRow("odt with a collector") << u"Jewel Case A4.odt"_qs << u"cover.odt"_qs
                                              << QStringList{u"--collector"_qs, u"Jane Doe"_qs}
                                              << u"From the collection of Jane Doe"_qs;
        QTest::newRow("docx as a template, no collection line")
            << u"Jewel Case Letter.docx"_qs << u"cover.dotx"_qs
            << QStringList{u"--no-collection"_qs} << QString();
        QTest::newRow("odt without a collector") << u"Jewel Case A4.odt"_qs << u"cover.ott"_qs
                                                 << QStringList() << u"From the collection of "_qs;
    }

    void fill()
    {
        QFETCH(QString, templateName);
        QFETCH(QString, outName);
        QFETCH(QStringList, extra);
        QFETCH(QString, collection);
        QTemporaryDir dir;
        const QString out = dir.filePath(outName);
        const ProcessRun r = run(QStringList{u"--template"_qs, shipped(templateName), u"--xml"_qs,
                                             xml(), u"--locale"_qs, u"en_US"_qs, u"--out"_qs, out} +
                                 extra);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(bookmark(out, u"CoverDate"_qs), std::optional<QString>(u"May 8, 1977"_qs));
        QCOMPARE(bookmark(out, u"TrayDisc2Tracks"_qs),
                 std::optional<QString>(u"1. Third Song\r\n2. Encore: Closer 3:30"_qs));
        QCOMPARE(bookmark(out, u"TrayCollection"_qs), std::optional<QString>(collection));
        QVERIFY(!bookmark(out, u"TrayCreationDate"_qs).value_or(QString()).isEmpty());
    }

    // What the user should know about a cover that was made all the same is told on standard
    // error: text cut to fit, tracks that do not fit even at the smallest type.
    void notice_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("message");
        QTest::newRow("text cut") << "<BAND>" + QByteArray(40000, 'b') + "</BAND>"
                                  << u"“LinerBand”"_qs;
        QByteArray discs = "<BAND>Blue Lantern</BAND><DISCS>4</DISCS>";
        for (int d = 1; d <= 4; ++d) {
            discs += QByteArray("<TRACKSD%1>50</TRACKSD%1>").replace("%1", QByteArray::number(d));
            for (int t = 1; t <= 50; ++t)
                discs += QStringLiteral("<D%1T%2>%2. A long improvisation that segues into "
                                        "another and then into a third one</D%1T%2>")
                             .arg(d)
                             .arg(t)
                             .toUtf8();
        }
        QTest::newRow("tracks that do not fit") << discs << u"of the 200 tracks do not fit"_qs;
    }
    void notice()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString xmlFile =
            WriteFile(dir, u"long.xml"_qs, "<CDR_Track_List>" + xml + "</CDR_Track_List>");
        const QString out = dir.filePath(u"cover.odt"_qs);
        const ProcessRun r = run({u"--template"_qs, shipped(u"Jewel Case A4.odt"_qs), u"--xml"_qs,
                                  xmlFile, u"--out"_qs, out});
        QCOMPARE(r.exitCode, 0);
        const QString err = QString::fromUtf8(r.err);
        QVERIFY2(err.contains(u"warning: "_qs) && err.contains(message), r.err.constData());
        QVERIFY(bookmark(out, u"TrayBand"_qs).has_value());
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString odt = shipped(u"Jewel Case A4.odt"_qs);
        QTest::newRow("no template")
            << QStringList{u"--xml"_qs, xml(), u"--out"_qs, u"x.odt"_qs} << 2 << u"--template"_qs;
        QTest::newRow("no out") << QStringList{u"--template"_qs, odt, u"--xml"_qs, xml()} << 2
                                << u"--out"_qs;
        QTest::newRow("unknown locale")
            << QStringList{u"--template"_qs, odt,         u"--xml"_qs,    xml(), u"--locale"_qs,
                           u"xx_nowhere"_qs, u"--out"_qs, u"OUT/x.odt"_qs}
            << 2 << u"unknown locale"_qs;
        QTest::newRow("missing xml")
            << QStringList{u"--template"_qs,   odt,         u"--xml"_qs,
                           u"OUT/none.xml"_qs, u"--out"_qs, u"OUT/x.odt"_qs}
            << 1 << u"none.xml"_qs;
        QTest::newRow("missing template")
            << QStringList{u"--template"_qs, u"OUT/none.odt"_qs, u"--xml"_qs, xml(),
                           u"--out"_qs,      u"OUT/x.odt"_qs}
            << 1 << u"none.odt"_qs;
        QTest::newRow("info text given as the xml")
            << QStringList{u"--template"_qs,
                           odt,
                           u"--xml"_qs,
                           QStringLiteral(TAPEWRIGHT_TEST_DATA "/worked-example.txt"),
                           u"--out"_qs,
                           u"OUT/x.odt"_qs}
            << 1 << u"worked-example.txt”: it is no track list"_qs;
        QTest::newRow("out of another format than the template")
            << QStringList{u"--template"_qs, odt, u"--xml"_qs, xml(), u"--out"_qs, u"OUT/x.docx"_qs}
            << 1 << u".odt or .ott"_qs;
    }

    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        args.replaceInStrings(u"OUT/"_qs, dir.path() + u'/');
        const ProcessRun r = run(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(QString::fromLocal8Bit(r.err).contains(message), r.err.constData());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

    // What is not a regular file is named with what it is, at once: a named pipe would
    // otherwise wait for a writer for ever.
    void notRegularFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString odt = shipped(u"Jewel Case A4.odt"_qs);
        QTest::newRow("info text is a pipe")
            << QStringList{u"convert"_qs, u"IN/pipe.txt"_qs} << u"pipe.txt"_qs;
        QTest::newRow("one of several info texts is a folder")
            << QStringList{u"convert"_qs, u"--out-dir"_qs, u"IN/out"_qs, u"IN/folder.txt"_qs}
            << u"folder.txt"_qs;
        QTest::newRow("xml is a pipe")
            << QStringList{u"cover"_qs, u"--template"_qs,  odt, u"--xml"_qs, u"IN/pipe.txt"_qs,
                           u"--out"_qs, u"IN/out/x.odt"_qs}
            << u"pipe.txt"_qs;
        QTest::newRow("template is a pipe")
            << QStringList{u"cover"_qs, u"--template"_qs, u"IN/pipe.odt"_qs, u"--xml"_qs,
                           xml(),       u"--out"_qs,      u"IN/out/x.odt"_qs}
            << u"pipe.odt"_qs;
        QTest::newRow("word template is a pipe")
            << QStringList{u"cover"_qs, u"--template"_qs, u"IN/pipe.doc"_qs, u"--xml"_qs,
                           xml(),       u"--out"_qs,      u"IN/out/x.odt"_qs}
            << u"pipe.doc"_qs;
        QTest::newRow("xml is a device")
            << QStringList{u"cover"_qs, u"--template"_qs,  odt, u"--xml"_qs, u"/dev/zero"_qs,
                           u"--out"_qs, u"IN/out/x.odt"_qs}
            << u"/dev/zero"_qs;
    }
    void notRegularFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"out"_qs));
        QVERIFY(QDir(dir.path()).mkpath(u"folder.txt"_qs));
        for (const char *pipe : {"pipe.txt", "pipe.odt", "pipe.doc"})
            QCOMPARE(
                ::mkfifo(QFile::encodeName(dir.filePath(QString::fromLatin1(pipe))).constData(),
                         0600),
                0);
        args.replaceInStrings(u"IN/"_qs, dir.path() + u'/');
        QProcess p;
        p.start(QStringLiteral(TAPEWRIGHT_CLI), args);
        // Before the mend this waited for ever: it must not take the test run with it.
        if (!p.waitForFinished(120 * 1000)) {
            p.kill();
            p.waitForFinished();
            QFAIL("tapewright-cli did not finish");
        }
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY2(err.contains(u"not a file"_qs), qPrintable(err));
        QCOMPARE(QDir(dir.filePath(u"out"_qs)).entryList(QDir::Files), QStringList());
    }

    // --out naming a PDF that exists replaces it in one step: while LibreOffice prints, and
    // when it fails, the old PDF is there as it was. A stand-in for LibreOffice on the PATH
    // "prints" by writing a small PDF, or fails.
    void pdf_replacesExisting_data()
    {
        QTest::addColumn<bool>("prints");
        QTest::newRow("printed") << true;
        QTest::newRow("printing fails") << false;
    }
    void pdf_replacesExisting()
    {
        QFETCH(bool, prints);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"bin"_qs));
        const QString fake =
            WriteFile(dir, u"bin/soffice"_qs,
                      "#!/bin/sh\n"
                      "# The old PDF must stay until the new one is there.\n"
                      "cmp -s \"$COVER_OUT\" \"$COVER_OLD\" || exit 3\n"
                      "for a; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; done\n"
                      "[ \"$PRINTS\" = yes ] || exit 1\n"
                      "name=$(basename \"$a\")\n"
                      "printf '%%PDF-1.4 new' > \"$out/${name%.*}.pdf\"\n");
        QVERIFY(QFile::setPermissions(fake, QFile::ReadOwner | QFile::ExeOwner));
        const QString out = WriteFile(dir, u"cover.pdf"_qs, "%PDF-1.4 old");
        WriteFile(dir, u"old.pdf"_qs, "%PDF-1.4 old");

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PATH"_qs, dir.filePath(u"bin"_qs) + u':' + env.value(u"PATH"_qs));
        env.insert(u"PRINTS"_qs, prints ? u"yes"_qs : u"no"_qs);
        env.insert(u"COVER_OUT"_qs, out);
        env.insert(u"COVER_OLD"_qs, dir.filePath(u"old.pdf"_qs));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TAPEWRIGHT_CLI),
                {u"cover"_qs, u"--template"_qs, shipped(u"Jewel Case A4.odt"_qs), u"--xml"_qs,
                 xml(), u"--out"_qs, out});
        QVERIFY(p.waitForFinished(-1));
        QCOMPARE(p.exitCode(), prints ? 0 : 1);
        QCOMPARE(ReadBytes(out), prints ? QByteArray("%PDF-1.4 new") : QByteArray("%PDF-1.4 old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{u"cover.pdf"_qs, u"old.pdf"_qs}));
    }
};

QTEST_GUILESS_MAIN(TestCliCover)
#include "tst_clicover.moc"
