// Discs and tracks as a collector reads them: disc headings in their spellings, set headings
// that start no disc, numbering that restarts, tracks without their numbers, times and marks,
// unnumbered titles in a set list, and the lines that are never tracks.
#include "recogniseinfotext.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QList<smart::SmartDisc> discsOf(const QStringList &lines)
{
    return smart::ReadShow(CrlfLines(lines), UnitedStatesLocale()).discs;
}

QString sizes(const QList<smart::SmartDisc> &discs)
{
    QStringList out;
    for (const smart::SmartDisc &d : discs)
        out << QString::number(d.tracks.size());
    return out.join(u' ');
}

QString documentOf(const QString &text)
{
    ConvertOptions options;
    options.locale = UnitedStatesLocale();
    return RecogniseInfoText(text, options);
}

} // namespace

class TestSmartSetList : public QObject
{
    Q_OBJECT

private slots:
    // Tracks a disc: "2 1" is two tracks on disc 1 and one on disc 2.
    void discs_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("discs");
        QTest::newRow("Disc 1, Disc 2")
            << QStringList{"Disc 1", "1. A", "2. B", "", "Disc 2", "1. C"} << "2 1";
        QTest::newRow("Disc One, Disk Two, CD 3:")
            << QStringList{"Disc One", "1. A", "Disk Two", "1. B", "CD 3:", "1. C"} << "1 1 1";
        QTest::newRow("CD1 with a lineage, D2 with a total, Disk 3 [54:28]")
            << QStringList{"CD1 (sbd > dat)", "1 A", "D2 58:46", "1 B", "Disk 3 [54:28]", "1 C"}
            << "1 1 1";
        QTest::newRow("Disc 2 with a note, Disc 3 of 3")
            << QStringList{"Disc 1", "1. A", "Disc 2   (encores)", "1. B", "Disc 3 of 3", "1. C"}
            << "1 1 1";
        QTest::newRow("d1t01 prefixes") << QStringList{"d1t01 A", "d1t02 B", "d2t01 C"} << "2 1";
        QTest::newRow("disc and track in one number")
            << QStringList{"101 A", "102 B", "", "201 C", "202 D"} << "2 2";
        QTest::newRow("tracks before the first heading are disc 1")
            << QStringList{"1. A", "2. B", "", "CD2", "1. C"} << "2 1";
        QTest::newRow("a heading on the line of its tracks")
            << QStringList{"1. A 2. B", "", "CD2  1. C 2 D 3. E"} << "2 3";
        QTest::newRow("headings and tracks all on one line")
            << QStringList{"Disc 1, 1. A, 2. B, Disc 2, 1. C, 2. It Ain't Me, Babe"} << "2 2";
        QTest::newRow("set headings start no disc")
            << QStringList{"set 1:", "1. A", "2. B", "set 2:", "3. C", "encore:", "4. D"} << "4";
        QTest::newRow("numbering runs on across disc headings")
            << QStringList{"Disc one", "1 A", "2 B", "", "Disc two", "3 C"} << "2 1";
        QTest::newRow("numbering restarting at 1 after a break starts a disc")
            << QStringList{"1. A", "2. B", "", "1. C", "2. D"} << "2 2";
        QTest::newRow("a second act's Disc 1 starts the next disc")
            << QStringList{"Disc 1", "1. A",   "Disc 2", "1. B",   "",   "Phil Lesh And Friends",
                           "",       "Disc 1", "1-C->",  "Disc 2", "1-D"}
            << "1 1 1 1";
        QTest::newRow("headings of a summary without tracks start nothing")
            << QStringList{"Disc 1 72:00", "Disc 2 40:00", "", "Disc 1", "1. A", "Disc 2", "1. B"}
            << "1 1";
        QTest::newRow("a remark that begins like a heading")
            << QStringList{"Disc 1", "1. A", "2. B", "Disc 2 has a skip at 3:10 in the second song",
                           "3. C"}
            << "3";
        QTest::newRow("numbered notes after a notes keyword")
            << QStringList{"1. A", "2. B", "", "Notes:", "1) recorded from FM", "2) a glitch fixed"}
            << "2";
        QTest::newRow("a numbered lineup") << QStringList{"1. A",
                                                          "2. B",
                                                          "",
                                                          "The Band:",
                                                          "1. Jerry Garcia - guitar",
                                                          "2. Bob Weir - guitar"}
                                           << "2";
        QTest::newRow("a lineup of names after unnumbered titles")
            << QStringList{"Disc One",  "Song A",       "Song B",   "",
                           "The Band:", "Jerry Garcia", "Bob Weir", "Phil Lesh"}
            << "2";
        QTest::newRow("tracks after a notes paragraph and a heading")
            << QStringList{"Notes: a fine show", "more notes", "", "Disc 1", "1. A", "2. B"} << "2";
        QTest::newRow("tracks after a one-line note")
            << QStringList{"Notes: a fine show", "", "1. A", "2. B"} << "2";
        QTest::newRow("one number left out") << QStringList{"1. A", "2. B", "4. D"} << "3";
        QTest::newRow("unnumbered titles under disc headings")
            << QStringList{"Disc One",
                           "Crash On The Levee   5:05",
                           "Lay Lady Lay   5:34",
                           "",
                           "Disc Two",
                           "Jokerman   8:36",
                           "",
                           "(encore)",
                           "West LA Fadeaway"}
            << "2 2";
        QTest::newRow("unnumbered titles after the header block")
            << QStringList{"George, Washington",
                           "",
                           "June 18, 2000",
                           "",
                           "",
                           "A",
                           "B",
                           "C",
                           "(encore)",
                           "",
                           "D",
                           "",
                           "",
                           "Thanks to the taper for this show!"}
            << "4";
        QTest::newRow("a flat list split where its checksum paths split")
            << QStringList{"A",
                           "B",
                           "C",
                           "D",
                           "",
                           "c9693078a7e5561d913617d1517c6df8 *Disc 1\\D1 Track01.flac",
                           "d1a9c61132d8935a222acf2ed20d682e *Disc 1\\D1 Track02.flac",
                           "1c22cbb050aaaf0b91711245b3debeea *Disc 2\\D2 Track01.flac",
                           "9bec5a1274575f07b3b23be8118cc307 *Disc 2\\D2 Track02.flac"}
            << "2 2";
        QTest::newRow("a flat list split by d1t01 file names")
            << QStringList{"A",
                           "B",
                           "C",
                           "",
                           "DYLN061700d1t01.flac:b0b1b2182da5782ae35b1be8334f9a89",
                           "DYLN061700d1t02.flac:bab98a9a3c230258da4e7e67d877c167",
                           "DYLN061700d2t01.flac:5c0aec78a2a6b5ccb3272b02c9288c96"}
            << "2 1";
        QTest::newRow("a set heading opens a list of unnumbered titles")
            << QStringList{"set 1:", "A", "B"} << "2";
        QTest::newRow("checksum paths that do not add up split nothing")
            << QStringList{"A",
                           "B",
                           "C",
                           "",
                           "c9693078a7e5561d913617d1517c6df8 *Disc 1\\Track01.flac",
                           "1c22cbb050aaaf0b91711245b3debeea *Disc 2\\Track01.flac"}
            << "3";
    }

    void discs()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, discs);
        QCOMPARE(sizes(discsOf(QStringList{"Band", ""} + lines)), discs);
    }

    // The first track of a disc, from the line after its heading.
    void tracks_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        QTest::newRow("time in brackets") << "01. Opener (5:32)"
                                          << "Opener"
                                          << "5:32";
        QTest::newRow("time in square brackets") << "1) Opener [05:32]"
                                                 << "Opener"
                                                 << "05:32";
        QTest::newRow("time with CD frames") << "1 - Opener 5:32.45"
                                             << "Opener"
                                             << "5:32.45";
        QTest::newRow("time over an hour") << "01 Long Jam 1:02:33"
                                           << "Long Jam"
                                           << "1:02:33";
        QTest::newRow("minutes and seconds with a dot, in brackets") << "1. ...banter... (0.28)"
                                                                     << "...banter..."
                                                                     << "0.28";
        QTest::newRow("time after a dash") << "1. Song - 5:32"
                                           << "Song"
                                           << "5:32";
        QTest::newRow("time glued to a note") << "The Times They Are A-Changin' (acoustic)12:23"
                                              << "The Times They Are A-Changin' (acoustic)"
                                              << "12:23";
        QTest::newRow("time in a column") << "Crash On The Levee (Down In The Flood)   5:05"
                                          << "Crash On The Levee (Down In The Flood)"
                                          << "5:05";
        QTest::newRow("a position in a note is no time") << "1. Maggie's Farm (0:47 - not a skip)"
                                                         << "Maggie's Farm (0:47 - not a skip)"
                                                         << "";
        QTest::newRow("segues inside kept, at the end dropped") << "1-Jam->Crazy Fingers Jam->"
                                                                << "Jam->Crazy Fingers Jam"
                                                                << "";
        QTest::newRow("footnote mark, segue and time") << "1. bass 'n drums # > (3:25)"
                                                       << "bass 'n drums"
                                                       << "3:25";
        QTest::newRow("footnote mark before the title") << "1 *Stage Fright"
                                                        << "Stage Fright"
                                                        << "";
        QTest::newRow("footnote mark after the title") << "1. Love Minus Zero/No Limit*"
                                                       << "Love Minus Zero/No Limit"
                                                       << "";
        QTest::newRow("a number in a title stays") << "1. Workingman's Blues #2"
                                                   << "Workingman's Blues #2"
                                                   << "";
        QTest::newRow("a title beginning with a number") << "1 4th Time Around (acoustic)"
                                                         << "4th Time Around (acoustic)"
                                                         << "";
        QTest::newRow("cut marks") << "1. //Body Blow// (5:41)"
                                   << "Body Blow"
                                   << "5:41";
        QTest::newRow("footnote number, runs of blanks") << "1 Saved By The Grace Of  Your Love (1)"
                                                         << "Saved By The Grace Of Your Love"
                                                         << "";
        QTest::newRow("set mark after the title") << "1. Leopard-Skin Pill-Box Hat (encore)"
                                                  << "Leopard-Skin Pill-Box Hat"
                                                  << "";
        QTest::newRow("set mark before the title") << "1. Encore: Harry Hood (10:05)"
                                                   << "Harry Hood"
                                                   << "10:05";
        QTest::newRow("list comma") << "1 Watching The River Flow, "
                                    << "Watching The River Flow"
                                    << "";
        QTest::newRow("tab after the number") << "1 \tThe Times They Are A-Changin'\t"
                                              << "The Times They Are A-Changin'"
                                              << "";
        QTest::newRow("no blank after the dot") << "1.Maggie's Farm"
                                                << "Maggie's Farm"
                                                << "";
        QTest::newRow("Track and its number") << "Track 01 - Porch Song"
                                              << "Porch Song"
                                              << "";
        QTest::newRow("a note after a semicolon")
            << "1. Rainy Day Women #12 & #35; bonus 5/22/95 Warfield"
            << "Rainy Day Women #12 & #35"
            << "";
        QTest::newRow("a leading note keeps its place, not its list comma")
            << "1 (7/12/87 Giants Stadium), The Times They Are A-Changin'"
            << "(7/12/87 Giants Stadium) The Times They Are A-Changin'"
            << "";
        QTest::newRow("a tracks's own note kept") << "1. Senor (Tales Of Yankee Power)"
                                                  << "Senor (Tales Of Yankee Power)"
                                                  << "";
    }

    void tracks()
    {
        QFETCH(QString, line);
        QFETCH(QString, title);
        QFETCH(QString, time);
        const QList<smart::SmartDisc> discs = discsOf({"Band", "", "Disc 1", line});
        QCOMPARE(discs.size(), 1);
        QCOMPARE(discs[0].tracks.size(), 1);
        QCOMPARE(discs[0].tracks[0].title, title);
        QCOMPARE(discs[0].tracks[0].time, time);
    }

    // Lines among or after two tracks that must not become tracks of their own.
    void notTracks_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("md5 sum") << "dfdaa9d4c754c56efd7aa956853ee421 *bd2024t01.flac";
        QTest::newRow("flac fingerprint") << "01.flac:4c58b97712e855a6fc943b986b9273de";
        QTest::newRow("fingerprint of a numbered file name")
            << "03 Grateful Dead - Watching.flac:e21d8654d3fa9e9720a388d59fb03e1c";
        QTest::newRow("shntool hash") << "e0adf96237d6b420576038dd0d78f0e3  [shntool]  t01.wav";
        QTest::newRow("shntool length")
            << "4:32.41  48077276 B  ---  --  -----  wav  1.0000  t03.wav";
        QTest::newRow("shntool total") << "486:51.51     5152944136 B      1.0000  (86 files)";
        QTest::newRow("file name alone") << "3 bd87-07-04t03.shn";
        QTest::newRow("set heading") << "(encore)";
        QTest::newRow("set heading in stars") << "***FIller***";
        QTest::newRow("total") << "Total: 72:34";
        QTest::newRow("a heading ending in a colon") << "McCrary / Dennis / King:";
        QTest::newRow("web address") << "http://www.bobsboots.com/CDs/cd-b21.html";
        QTest::newRow("a missing track") << "3. Touch Of Grey (missing)";
        QTest::newRow("a number that does not run on") << "7 released on Dylan & The Dead";
        QTest::newRow("a musician of the lineup") << "Larry Campbell - Guitar, Mandolin";
    }

    void notTracks()
    {
        QFETCH(QString, line);
        QCOMPARE(sizes(discsOf({"Band", "", "Disc 1", "1. A", "2. B", line})), u"2"_qs);
        QCOMPARE(sizes(discsOf({"Band", "", "Disc One", "A", "B", line})), u"2"_qs);
    }

    // Numbered lines in notes after the list, after a prose line closed it: no tracks.
    void notTracks_afterNotes()
    {
        QCOMPARE(sizes(discsOf({"Band", "", "1.A", "2.B", "", "Concert #4 with The Dead.",
                                "3 Jerry Garcia vocal and Bob Dylan back-up guitar.",
                                "1 more thing, 2 more thoughts"})),
                 u"2"_qs);
        QCOMPARE(sizes(discsOf({"Band", "16 BIT Version", "", "01 A", "02 B"})), u"2"_qs);
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
        const smart::SmartShow show = smart::ReadShow(lines.join(lineEnd), UnitedStatesLocale());
        QCOMPARE(show.band, u"Band"_qs);
        QCOMPARE(sizes(show.discs), u"2 1"_qs);
        QCOMPARE(show.discs[1].tracks[0].title, u"C"_qs);
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
        QVERIFY(!xml.contains(u"<D8T51>"));
    }

    // Any text gives a document of the right shape, or nothing when it holds nothing.
    void document_anyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("empty");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("blanks, tabs and line ends only") << u" \t\r\n \r\n\n"_qs << true;
        QTest::newRow("one word without a line end") << u"Band"_qs << false;
        QTest::newRow("lone CRs end lines") << u"Band\r1. A\r2. B"_qs << false;
        QTest::newRow("mixed line ends") << u"Band\n\r\n1. A\r\n2. B\n"_qs << false;
        QTest::newRow("control characters and a lone surrogate")
            << QString(u"Band\0\x01\r\n1. \xD800 A\r\n2. B"_qs) << false;
        QTest::newRow("a CR LF inside nothing") << u"\r\n\r\nBand"_qs << false;
        QTest::newRow("a long line of digits and separators")
            << QString(u"1/2/"_qs.repeated(8000) + u"\r\n1. A"_qs) << false;
        QTest::newRow("a long line of numbered items")
            << QString(u"1. A 2. B 3. C "_qs.repeated(3000)) << false;
    }

    void document_anyText()
    {
        QFETCH(QString, text);
        QFETCH(bool, empty);
        const QString xml = documentOf(text);
        QCOMPARE(xml.isEmpty(), empty);
        if (empty)
            return;
        QVERIFY(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>"));
        QVERIFY(xml.endsWith(u"\r\n</CDR_Track_List>"));
        const QStringList lines = xml.split(u"\r\n"_qs);
        for (const QString &line : lines)
            QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
        // Element texts may hold lone surrogates, which a regular expression would refuse.
        const qsizetype at = xml.indexOf(u"\r\n<DISCS>");
        QVERIFY(at > 0);
        const int discs = QStringView(xml).sliced(at + 9).split(u'<').first().toInt();
        for (int d = 1; d <= discs; ++d)
            QVERIFY(xml.contains(QStringLiteral("\r\n<TRACKSD%1>").arg(d)));
        QVERIFY(!xml.contains(QStringLiteral("<TRACKSD%1>").arg(discs + 1)));
    }
};

QTEST_GUILESS_MAIN(TestSmartSetList)
#include "tst_smartsetlist.moc"
