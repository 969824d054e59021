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
        row("odt without a collector, the date in the locale",
            "cover|--template|ODT|--xml|XML|--locale|en_US|--out|DIR/out/cover.odt", 0, "",
            u"TrayCollection=From the collection of |CoverDate=May 8, 1977"_qs);
        row("docx as a template, no collection line",
            "cover|--template|DOCX|--xml|XML|--no-collection|--out|DIR/out/cover.dotx", 0, "",
            u"TrayCollection=|TrayDisc2Tracks=1. Third Song\r\n2. Encore: Closer 3:30"_qs);
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
        row("--strict, nothing to warn of",
            "cover|--strict|--template|ODT|--xml|XML|--out|DIR/out/cover.odt", 0, "",
            u"CoverBand=Blue Lantern"_qs);
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
        for (const QString &bookmark : bookmarks.split(u'|'))
            QCOMPARE(cover.bookmarkText(bookmark.section(u'=', 0, 0)),
                     std::optional(bookmark.section(u'=', 1)));
        QVERIFY(!cover.bookmarkText(u"TrayCreationDate"_qs).value_or(QString()).isEmpty());
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
