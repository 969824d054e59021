// Discs and tracks as a collector reads them: disc headings in their spellings, set headings
// that start no disc, numbering that restarts, tracks without their numbers, times and marks,
// and the lines that are never tracks. The set lists of the real corpus are golden files of
// tst_golden; these are the others.
#include "recogniseinfotext.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

// "2 1": two tracks on disc 1, one on disc 2.
QString sizesOf(const QStringList &lines)
{
    QStringList out;
    for (const smart::SmartDisc &d : smart::ReadShow(CrlfLines(lines), UnitedStatesLocale()).discs)
        out << QString::number(d.tracks.size());
    return out.join(u' ');
}

void row(const char *name, const QStringList &lines, const char *sizes)
{
    QTest::newRow(name) << lines << QString::fromUtf8(sizes);
}

QString documentOf(const QString &text)
{
    return RecogniseInfoText(text, ConvertOptions{UnitedStatesLocale()});
}

} // namespace

class TestSmartSetList : public QObject
{
    Q_OBJECT

private slots:
    void discs_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("sizes");
        row("Disc 1, Disc 2", {"Disc 1", "1. A", "2. B", "", "Disc 2", "1. C"}, "2 1");
        row("Disc One, Disk Two, CD 3:", {"Disc One", "1. A", "Disk Two", "1. B", "CD 3:", "1. C"},
            "1 1 1");
        row("CD1 with a lineage, D2 with a total, Disk 3 [54:28]",
            {"CD1 (sbd > dat)", "1 A", "D2 58:46", "1 B", "Disk 3 [54:28]", "1 C"}, "1 1 1");
        row("Disc 2 with a note, Disc 3 of 3",
            {"Disc 1", "1. A", "Disc 2   (encores)", "1. B", "Disc 3 of 3", "1. C"}, "1 1 1");
        row("d1t01 prefixes", {"d1t01 A", "d1t02 B", "d2t01 C"}, "2 1");
        row("disc and track in one number", {"101 A", "102 B", "", "201 C", "202 D"}, "2 2");
        row("tracks before the first heading are disc 1", {"1. A", "2. B", "", "CD2", "1. C"},
            "2 1");
        row("a heading on the line of its tracks", {"1. A 2. B", "", "CD2  1. C 2 D 3. E"}, "2 3");
        row("headings and tracks all on one line",
            {"Disc 1, 1. A, 2. B, Disc 2, 1. C, 2. It Ain't Me, Babe"}, "2 2");
        row("set headings start no disc",
            {"set 1:", "1. A", "2. B", "set 2:", "3. C", "encore:", "4. D"}, "4");
        row("numbering runs on across disc headings",
            {"Disc one", "1 A", "2 B", "", "Disc two", "3 C"}, "2 1");
        row("numbering restarting at 1 after a break starts a disc",
            {"1. A", "2. B", "", "1. C", "2. D"}, "2 2");
        row("headings of a summary without tracks start nothing",
            {"Disc 1 72:00", "Disc 2 40:00", "", "Disc 1", "1. A", "Disc 2", "1. B"}, "1 1");
        row("a remark that begins like a heading",
            {"Disc 1", "1. A", "2. B", "Disc 2 has a skip at 3:10 in the second song", "3. C"},
            "3");
        row("numbered notes after a notes keyword",
            {"1. A", "2. B", "", "Notes:", "1) recorded from FM", "2) a glitch fixed"}, "2");
        row("a numbered lineup",
            {"1. A", "2. B", "", "The Band:", "1. Jerry Garcia - guitar", "2. Bob Weir - guitar"},
            "2");
        row("a lineup of names after unnumbered titles",
            {"Disc One", "Song A", "Song B", "", "The Band:", "Jerry Garcia", "Bob Weir"}, "2");
        row("tracks after a notes paragraph and a heading",
            {"Notes: a fine show", "more notes", "", "Disc 1", "1. A", "2. B"}, "2");
        row("tracks after a one-line note", {"Notes: a fine show", "", "1. A", "2. B"}, "2");
        row("one number left out", {"1. A", "2. B", "4. D"}, "3");
        row("unnumbered titles after the header block",
            {"George, Washington", "", "June 18, 2000", "", "", "A", "B", "C", "(encore)", "", "D",
             "", "", "Thanks to the taper for this show!"},
            "4");
        row("a set heading opens a list of unnumbered titles", {"set 1:", "A", "B"}, "2");
        row("checksum paths that do not add up split nothing",
            {"A", "B", "C", "", "c9693078a7e5561d913617d1517c6df8 *Disc 1\\Track01.flac",
             "1c22cbb050aaaf0b91711245b3debeea *Disc 2\\Track01.flac"},
            "3");
        // Lines among or after two tracks that must not become tracks of their own.
        for (const char *line :
             {"dfdaa9d4c754c56efd7aa956853ee421 *bd2024t01.flac",
              "03 Grateful Dead - Watching.flac:e21d8654d3fa9e9720a388d59fb03e1c", "(encore)",
              "Total: 72:34", "3. Touch Of Grey (missing)", "7 released on Dylan & The Dead"}) {
            QTest::addRow("numbered, then %s", line)
                << QStringList{"Disc 1", "1. A", "2. B", line} << u"2"_qs;
            QTest::addRow("unnumbered, then %s", line)
                << QStringList{"Disc One", "A", "B", line} << u"2"_qs;
        }
    }

    void discs()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, sizes);
        QCOMPARE(sizesOf(QStringList{"Band", ""} + lines), sizes);
    }

    // The first track of a disc, from the line after its heading.
    void tracks_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        QTest::newRow("time in brackets") << u"01. Opener (5:32)"_qs << u"Opener"_qs << u"5:32"_qs;
        QTest::newRow("time in square brackets")
            << u"1) Opener [05:32]"_qs << u"Opener"_qs << u"05:32"_qs;
        QTest::newRow("time with CD frames")
            << u"1 - Opener 5:32.45"_qs << u"Opener"_qs << u"5:32.45"_qs;
        QTest::newRow("time over an hour")
            << u"01 Long Jam 1:02:33"_qs << u"Long Jam"_qs << u"1:02:33"_qs;
        QTest::newRow("minutes and seconds with a dot, in brackets")
            << u"1. ...banter... (0.28)"_qs << u"...banter..."_qs << u"0.28"_qs;
        QTest::newRow("time after a dash") << u"1. Song - 5:32"_qs << u"Song"_qs << u"5:32"_qs;
        QTest::newRow("a position in a note is no time")
            << u"1. Maggie's Farm (0:47 - not a skip)"_qs << u"Maggie's Farm (0:47 - not a skip)"_qs
            << QString();
        QTest::newRow("cut marks")
            << u"1. //Body Blow// (5:41)"_qs << u"Body Blow"_qs << u"5:41"_qs;
        QTest::newRow("set mark before the title")
            << u"1. Encore: Harry Hood (10:05)"_qs << u"Harry Hood"_qs << u"10:05"_qs;
        QTest::newRow("Track and its number")
            << u"Track 01 - Porch Song"_qs << u"Porch Song"_qs << QString();
    }

    void tracks()
    {
        QFETCH(QString, line);
        QFETCH(QString, title);
        QFETCH(QString, time);
        const smart::SmartShow show =
            smart::ReadShow(CrlfLines({"Band", "", "Disc 1", line}), UnitedStatesLocale());
        QCOMPARE(show.discs.size(), 1);
        QCOMPARE(show.discs[0].tracks.size(), 1);
        QCOMPARE(show.discs[0].tracks[0].title, title);
        QCOMPARE(show.discs[0].tracks[0].time, time);
    }

    // Lines end at CR LF, at a lone CR and at a lone LF, and the last line needs no end.
    void lines_endAtAnyLineEnd_data()
    {
        QTest::addColumn<QString>("lineEnd");
        QTest::newRow("CR LF") << u"\r\n"_qs;
        QTest::newRow("CR") << u"\r"_qs;
        QTest::newRow("LF") << u"\n"_qs;
    }

    void lines_endAtAnyLineEnd()
    {
        QFETCH(QString, lineEnd);
        const QStringList lines{"Band", "", "Disc 1", "1. A", "2. B", "", "Disc 2", "1. C"};
        QCOMPARE(documentOf(lines.join(lineEnd)), documentOf(CrlfLines(lines)));
        QVERIFY(documentOf(lines.join(lineEnd)).contains(u"<TRACKSD2>1</TRACKSD2>"));
    }

    // Seven discs are written whole; past the 50th track a disc's tracks only count.
    void document_manyDiscsAndTracks()
    {
        QStringList lines{"Band", ""};
        for (int d = 1; d <= 7; ++d)
            lines << QStringLiteral("CD%1").arg(d) << "1 A"
                  << "2 B (1:00)";
        lines << "CD8";
        for (int t = 1; t <= 51; ++t)
            lines << QStringLiteral("%1. Song %1").arg(t);
        const QString xml = documentOf(CrlfLines(lines));
        QVERIFY(xml.contains(u"\r\n<DISCS>8</DISCS>\r\n<TRACKSD1>2</TRACKSD1>\r\n"));
        QVERIFY(xml.contains(u"\r\n<TRACKSD7>2</TRACKSD7>\r\n<TRACKSD8>51</TRACKSD8>\r\n"));
        QVERIFY(xml.contains(u"\r\n<D7T1>A</D7T1>\r\n<D7T2>B</D7T2><D7T2Time>1:00</D7T2Time>\r\n"));
        QVERIFY(xml.contains(u"\r\n<D8T50>Song 50</D8T50>\r\n</CDR_Track_List>"));
    }

    // Any text gives a document of the right shape, or nothing when it holds nothing.
    void document_anyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("discs"); // -1: no document
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("blanks, tabs and line ends only") << u" \t\r\n \r\n\n"_qs << -1;
        QTest::newRow("one word without a line end") << u"Band"_qs << 0;
        QTest::newRow("lone CRs end lines") << u"Band\r1. A\r2. B"_qs << 1;
        QTest::newRow("mixed line ends") << u"Band\n\r\n1. A\r\n2. B\n"_qs << 1;
        QTest::newRow("control characters and a lone surrogate")
            << QString(u"Band\0\x01\r\n1. \xD800 A\r\n2. B"_qs) << 1;
        QTest::newRow("a CR LF inside nothing") << u"\r\n\r\nBand"_qs << 0;
        QTest::newRow("a long line of digits and separators")
            << QString(u"1/2/"_qs.repeated(8000) + u"\r\n1. A"_qs) << 0;
        QTest::newRow("a long line of numbered items")
            << QString(u"1. A 2. B 3. C "_qs.repeated(3000)) << 1;
    }

    void document_anyText()
    {
        QFETCH(QString, text);
        QFETCH(int, discs);
        const QString xml = documentOf(text);
        QCOMPARE(xml.isEmpty(), discs < 0);
        if (discs < 0)
            return;
        QVERIFY(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>"));
        QVERIFY(xml.endsWith(u"\r\n</CDR_Track_List>"));
        for (const QString &line : xml.split(u"\r\n"_qs))
            QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
        QVERIFY(xml.contains(QStringLiteral("\r\n<DISCS>%1</DISCS>\r\n").arg(discs)));
        for (int d = 1; d <= discs; ++d)
            QVERIFY(xml.contains(QStringLiteral("\r\n<TRACKSD%1>").arg(d)));
    }
};

QTEST_GUILESS_MAIN(TestSmartSetList)
#include "tst_smartsetlist.moc"
