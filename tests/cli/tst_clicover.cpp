// tapewright-cli cover run as a user runs it, on the shipped templates, with the written cover
// opened again through the cover documents.
#include "cover/fill/filecoverdocument.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tapewright;
using namespace testsupport;

namespace {

QString Shipped(const QString &name)
{
    return QFileInfo(QStringLiteral(TAPEWRIGHT_CLI)).dir().filePath(u"template/"_qs + name);
}

// Runs tapewright-cli with env; one that does not finish fails the test instead of hanging
// the run (a named pipe once made it wait for a writer for ever).
ProcessRun Run(const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(QStringLiteral(TAPEWRIGHT_CLI), args);
    if (!p.waitForFinished(120 * 1000)) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

} // namespace

class TestCliCover : public QObject
{
    Q_OBJECT

private slots:
    // Arguments joined by "|": ODT and DOCX stand for the shipped A4 and Letter templates, XML
    // for the worked example's track list, SHOW for a file of the row's show, DIR for a
    // folder that also holds named pipes (pipe.txt, .odt, .doc), a folder folder.txt and the
    // empty folder out. A cover written to DIR/out/cover.* is read back at `bookmark`.
    void run_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QByteArray>("show");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");       // what standard error says, parts joined by "|"
        QTest::addColumn<QString>("bookmarks"); // "name=text|...", of the cover written
        const auto row = [](const char *name, const char *args, int exitCode, const char *err,
                            const QString &bookmarks = {}, const QByteArray &show = {}) {
            QTest::newRow(name) << QString::fromUtf8(args) << show << exitCode
                                << QString::fromUtf8(err) << bookmarks;
        };
        row("odt with a collector",
            "cover|--template|ODT|--xml|XML|--collector|Jane Doe|--out|DIR/out/cover.odt", 0, "",
            u"TrayCollection=From the collection of Jane Doe"_qs);
        // The shipped templates print no collection line without a name.
        row("odt without a collector, the date in the locale",
            "cover|--template|ODT|--xml|XML|--locale|en_US|--out|DIR/out/cover.odt", 0, "",
            u"TrayCollection=|CoverDate=May 8, 1977"_qs);
        row("docx as a template, no collection line",
            "cover|--template|DOCX|--xml|XML|--no-collection|--out|DIR/out/cover.dotx", 0, "",
            u"TrayCollection=|TrayDisc2Tracks=1. Third Song \t7:15\r\n2. Encore: Closer 3:30"_qs);
        // A cover made all the same is told of on standard error.
        const char *show = "cover|--template|ODT|--xml|SHOW|--out|DIR/out/cover.odt";
        row("text cut", show, 0, "warning: the cover was made|'LinerBand'",
            u"TrayBand="_qs + QString(32767, u'b'), "<BAND>" + QByteArray(40000, 'b') + "</BAND>");
        QByteArray discs = "<BAND>Blue Lantern</BAND><DISCS>4</DISCS>";
        const QString track =
            u"<D%1T%2>%2. A long improvisation that segues into another</D%1T%2>"_qs;
        for (int d = 1; d <= 4; ++d) {
            discs += u"<TRACKSD%1>50</TRACKSD%1>"_qs.arg(d).toUtf8();
            for (int t = 1; t <= 50; ++t)
                discs += track.arg(d).arg(t).toUtf8();
        }
        row("tracks that do not fit", show, 0, "warning: |of the 200 tracks do not fit",
            u"TrayDisc1=Disc 1"_qs, discs);
        // The check of the show is told too; --strict makes the cover's warnings exit status 3.
        row("--strict and warnings",
            "cover|--strict|--template|ODT|--xml|SHOW|--out|DIR/out/cover.odt", 3,
            "show.xml: warning: no date was found: the cover will print none\n|"
            "show.xml: warning: the band and the venue are both 'Town Hall': the venue was "
            "probably read as the band\n",
            u"TrayBand=Town Hall"_qs, "<BAND>Town Hall</BAND><VENUE>town hall</VENUE>");
        row("--strict and warnings, for many shows",
            "cover|--strict|--template|ODT|--out-dir|DIR/out|--format|odt|SHOW", 3,
            "show.xml: warning: no date was found", u"TrayBand=Town Hall"_qs,
            "<BAND>Town Hall</BAND><VENUE>town hall</VENUE>");
        row("--strict, nothing to warn of",
            "cover|--strict|--template|ODT|--xml|XML|--out|DIR/out/cover.odt", 0, "",
            u"CoverBand=Blue Lantern"_qs);
        row("picture on the front",
            "cover|--template|DOCX|--xml|XML|--picture|" TAPEWRIGHT_TEST_DATA
            "/front-3x2.png|--out|DIR/out/cover.docx",
            0, "", u"LinerCoverBand=Blue Lantern"_qs);
        row("picture that is none",
            "cover|--template|ODT|--xml|XML|--picture|SHOW|--out|DIR/out/x.odt", 1,
            "show.xml: it is no PNG or JPEG picture");
        row("no template", "cover|--xml|XML|--out|DIR/out/x.odt", 2, "--template");
        row("unknown locale", "cover|--template|ODT|--xml|XML|--locale|xx|--out|DIR/out/x.odt", 2,
            "unknown locale");
        row("missing xml", "cover|--template|ODT|--xml|DIR/none.xml|--out|DIR/out/x.odt", 1,
            "none.xml");
        row("missing template", "cover|--template|DIR/none.odt|--xml|XML|--out|DIR/out/x.odt", 1,
            "none.odt");
        row("info text given as the xml",
            "cover|--template|ODT|--xml|" TAPEWRIGHT_TEST_DATA
            "/worked-example.txt|--out|DIR/out/x.odt",
            1, "worked-example.txt: it is no track list");
        row("out of another format than the template",
            "cover|--template|ODT|--xml|XML|--out|DIR/out/x.docx", 1, ".odt or .ott");
        // What is not a regular file is named with what it is, at once.
        row("info text is a pipe", "convert|DIR/pipe.txt", 1, "pipe.txt|a named pipe, not a file");
        row("one of several info texts is a folder", "convert|--out-dir|DIR/out|DIR/folder.txt", 1,
            "folder.txt|it is a folder, not a file");
        row("xml is a pipe", "cover|--template|ODT|--xml|DIR/pipe.txt|--out|DIR/out/x.odt", 1,
            "pipe.txt|it is a named pipe, not a file");
        row("template is a pipe", "cover|--template|DIR/pipe.odt|--xml|XML|--out|DIR/out/x.odt", 1,
            "pipe.odt|it is a named pipe, not a file");
        row("word template is a pipe",
            "cover|--template|DIR/pipe.doc|--xml|XML|--out|DIR/out/x.odt", 1,
            "pipe.doc|it is a named pipe, not a file");
        row("xml is a device", "cover|--template|ODT|--xml|/dev/zero|--out|DIR/out/x.odt", 1,
            "/dev/zero|it is a device, not a file");
        row("out is a pipe", "cover|--template|ODT|--xml|XML|--out|DIR/pipe.odt", 1,
            "pipe.odt|it is a named pipe, not a file");
    }
    void run()
    {
        QFETCH(QString, args);
        QFETCH(QByteArray, show);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QFETCH(QString, bookmarks);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"out"_qs) && QDir(dir.path()).mkpath(u"folder.txt"_qs));
        for (const QString &pipe : {u"pipe.txt"_qs, u"pipe.odt"_qs, u"pipe.doc"_qs})
            QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(pipe)).constData(), 0600), 0);
        WriteFile(dir, u"show.xml"_qs, "<CDR_Track_List>" + show + "</CDR_Track_List>");
        args.replace(u"ODT"_qs, Shipped(u"Jewel Case A4.odt"_qs))
            .replace(u"DOCX"_qs, Shipped(u"Jewel Case Letter.docx"_qs))
            .replace(u"XML"_qs, TestDataPath(u"worked-example.en_US.xml"_qs))
            .replace(u"SHOW"_qs, dir.filePath(u"show.xml"_qs))
            .replace(u"DIR"_qs, dir.path());
        const ProcessRun r = Run(args.split(u'|'));
        QCOMPARE(r.exitCode, exitCode);
        for (const QString &part : err.split(u'|'))
            QVERIFY2(QString::fromUtf8(r.err).contains(part), r.err.constData());
        const QStringList written = QDir(dir.filePath(u"out"_qs)).entryList(QDir::Files);
        QCOMPARE(written.size(), bookmarks.isEmpty() ? 0 : 1);
        if (bookmarks.isEmpty())
            return;
        FileCoverDocument cover({dir.path(), QString()});
        QVERIFY(cover.open(dir.filePath(u"out/"_qs + written.first())));
        if (args.contains(u"--picture"))
            QVERIFY(!PackageEntry(dir.filePath(u"out/"_qs + written.first()),
                                  "word/media/TapewrightFront.png")
                         .isEmpty());
        for (const QString &bookmark : bookmarks.split(u'|'))
            QCOMPARE(cover.bookmarkText(bookmark.section(u'=', 0, 0)),
                     std::optional(bookmark.section(u'=', 1)));
        QVERIFY(!cover.bookmarkText(u"TrayCreationDate"_qs).value_or(QString()).isEmpty());
    }

    // --out-dir: a cover of each XML, named after it; the PDFs printed in one LibreOffice run.
    // Each show that fails is named on standard error and the others are still made; what
    // concerns them all (the template, the folder, the format) stops the run before anything is
    // made. In args, DIR is the test's folder, holding shows/a.xml and b.xml ("Band a", "Band
    // b"), c.xml with a band too long for the cover, sub/a.xml and notrack.xml (no track list).
    // A stand-in for LibreOffice on the PATH prints each document but the SKIPth as a PDF
    // holding its name; office "none" leaves it off the PATH.
    void batch_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("office"); // "", "none" or the document left unprinted
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("runs");     // of LibreOffice
        QTest::addColumn<QString>("err");  // a message a line, "|" between its parts
        QTest::addColumn<QString>("made"); // in DIR/out: "file=band", a PDF's "file=document"
        QTest::addColumn<int>("listed");   // lines on standard output
        const auto row = [](const char *name, const QString &args, const char *office, int exitCode,
                            int runs, const char *err, const char *made, int listed = 0) {
            QTest::newRow(name) << args << QString::fromUtf8(office) << exitCode << runs
                                << QString::fromUtf8(err) << QString::fromUtf8(made) << listed;
        };
        const QString odt = u"--template|ODT|--out-dir|DIR/out|--format|odt|-v|"_qs;
        const QString pdf = u"--template|ODT|--out-dir|DIR/out|--format|pdf|-v|"_qs;
        row("documents, listed", odt + u"DIR/shows/a.xml|DIR/shows/b.xml"_qs, "", 0, 0, "",
            "a.odt=Band a b.odt=Band b", 2);
        row("PDFs in one run, the warning after printing",
            pdf + u"DIR/shows/a.xml|DIR/shows/b.xml|DIR/shows/c.xml"_qs, "", 0, 1,
            "out/c.pdf: warning: the cover was made\nout/c.pdf: warning: the text of the band on "
            "the front of the booklet",
            "a.pdf=1 b.pdf=2 c.pdf=3", 3);
        row("unreadable, no track list, a name taken",
            odt + u"DIR/shows/a.xml|DIR/shows/none.xml|DIR/shows/notrack.xml|DIR/sub/a.xml|"
                  u"DIR/shows/b.xml"_qs,
            "", 1, 0,
            "shows/none.xml: there is no such file\nshows/notrack.xml: it is no track "
            "list\nsub/a.xml: not made|out/a.odt' is the cover of|shows/a.xml",
            "a.odt=Band a b.odt=Band b", 2);
        row("a PDF LibreOffice did not print",
            pdf + u"DIR/shows/a.xml|DIR/shows/notrack.xml|DIR/shows/b.xml|DIR/sub/a.xml"_qs, "2", 1,
            1,
            "notrack.xml: it is no track list\nsub/a.xml: not made\nshows/b.xml: LibreOffice "
            "did not print its cover|out/b.pdf' is not made",
            "a.pdf=1", 1);
        row("missing template",
            u"--template|DIR/none.odt|--out-dir|DIR/out|--format|pdf|DIR/shows/a.xml"_qs, "", 1, 0,
            "none.odt: the file does not exist", "");
        row("out-dir is a file",
            u"--template|ODT|--out-dir|DIR/shows/a.xml|--format|pdf|DIR/shows/b.xml"_qs, "", 1, 0,
            "shows/a.xml: it is a file; --out-dir needs a folder", "");
        row("a format the template is not made in",
            QString(odt).replace(u"odt|-v"_qs, u"docx|-v"_qs) + u"DIR/shows/a.xml"_qs, "", 1, 0,
            "Jewel Case A4.odt: a cover made from it is written as .odt or .pdf", "");
        row("PDFs without LibreOffice", pdf + u"DIR/shows/a.xml"_qs, "none", 1, 0,
            "writing PDFs needs LibreOffice", "");
    }
    void batch()
    {
        QFETCH(QString, args);
        QFETCH(QString, office);
        QFETCH(int, exitCode);
        QFETCH(int, runs);
        QFETCH(QString, err);
        QFETCH(QString, made);
        QFETCH(int, listed);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath(u"shows"_qs) && root.mkpath(u"sub"_qs) && root.mkpath(u"bin"_qs));
        // Whole shows: the check before a cover is made finds nothing wrong with them.
        const auto show = [&dir](const char *name, const QByteArray &band) {
            WriteFile(dir, QString::fromUtf8(name),
                      "<CDR_Track_List><BAND>" + band +
                          "</BAND><DATE>1977</DATE><VENUE>Hall</VENUE><DISCS>1</DISCS>"
                          "<TRACKSD1>1</TRACKSD1><D1T1>1. Song</D1T1></CDR_Track_List>");
        };
        show("shows/a.xml", "Band a");
        show("shows/b.xml", "Band b");
        show("shows/c.xml", QByteArray(40000, 'c'));
        show("sub/a.xml", "Band a again");
        WriteFile(dir, u"shows/notrack.xml"_qs, "<x/>");
        const QString fake =
            WriteFile(dir, u"bin/soffice"_qs,
                      "#!/bin/sh\n"
                      "echo run >> \"$RUNS\"\n"
                      "case \"$1\" in -env:UserInstallation=file://*) ;; *) exit 4 ;; esac\n"
                      "for a; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; done\n"
                      "n=0\n"
                      "for a; do\n"
                      "  case \"$a\" in *.odt)\n"
                      "    n=$((n + 1)); [ \"$n\" = \"$SKIP\" ] && continue\n"
                      "    name=$(basename \"$a\" .odt); printf '%%PDF-1.4 %s' \"$name\" > "
                      "\"$out/$name.pdf\"\n"
                      "  esac\n"
                      "done\n");
        QVERIFY(QFile::setPermissions(fake, QFile::ReadOwner | QFile::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PATH"_qs, office == u"none"
                                   ? dir.filePath(u"shows"_qs)
                                   : root.filePath(u"bin"_qs) + u':' + env.value(u"PATH"_qs));
        env.insert(u"SKIP"_qs, office);
        env.insert(u"RUNS"_qs, dir.filePath(u"runs"_qs));
        args.replace(u"ODT"_qs, Shipped(u"Jewel Case A4.odt"_qs)).replace(u"DIR"_qs, dir.path());

        const ProcessRun r = Run(QStringList{u"cover"_qs} + args.split(u'|'), env);
        QCOMPARE(r.exitCode, exitCode);
        const QStringList messages = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
        const QStringList expected = err.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(messages.size() == expected.size(), r.err.constData());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            for (const QString &part : expected.at(i).split(u'|'))
                QVERIFY2(messages.at(i).startsWith(u"tapewright-cli: "_qs) &&
                             messages.at(i).contains(part),
                         qPrintable(messages.at(i)));
        }
        QCOMPARE(r.out.count('\n'), listed);
        QCOMPARE(ReadBytes(dir.filePath(u"runs"_qs)).count('\n'), runs);
        QStringList held;
        const QDir out(dir.filePath(u"out"_qs));
        for (const QString &file : out.entryList(QDir::Files | QDir::Hidden)) {
            if (file.endsWith(u".pdf"_qs)) {
                held << file + u'=' + QString::fromUtf8(ReadBytes(out.filePath(file)).sliced(9));
                continue;
            }
            FileCoverDocument cover({dir.path(), QString()});
            QVERIFY(cover.open(out.filePath(file)));
            held << file + u'=' + cover.bookmarkText(u"TrayBand"_qs).value_or(u"?"_qs);
        }
        QCOMPARE(held.join(u' '), made);
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
                      "grep -qx '%PDF-1.4 old' \"$COVER_OUT\" || exit 3\n"
                      "for a; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; done\n"
                      "[ \"$PRINTS\" = yes ] || exit 1\n"
                      "name=$(basename \"$a\")\n"
                      "printf '%%PDF-1.4 new' > \"$out/${name%.*}.pdf\"\n");
        QVERIFY(QFile::setPermissions(fake, QFile::ReadOwner | QFile::ExeOwner));
        const QString out = WriteFile(dir, u"cover.pdf"_qs, "%PDF-1.4 old");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PATH"_qs, dir.filePath(u"bin"_qs) + u':' + env.value(u"PATH"_qs));
        env.insert(u"PRINTS"_qs, prints ? u"yes"_qs : u"no"_qs);
        env.insert(u"COVER_OUT"_qs, out);
        const ProcessRun r =
            Run({u"cover"_qs, u"--template"_qs, Shipped(u"Jewel Case A4.odt"_qs), u"--xml"_qs,
                 TestDataPath(u"worked-example.en_US.xml"_qs), u"--out"_qs, out},
                env);
        QCOMPARE(r.exitCode, prints ? 0 : 1);
        QCOMPARE(ReadBytes(out), prints ? QByteArray("%PDF-1.4 new") : QByteArray("%PDF-1.4 old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"cover.pdf"_qs});
    }
};

QTEST_GUILESS_MAIN(TestCliCover)
#include "tst_clicover.moc"
