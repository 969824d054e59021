// Disc headers, track ranges and track lines, and how the writer lists them.
#include "convertinfotext.h"
#include "discs.h"
#include "infolines.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

DiscSet discsOf(const QStringList &lines)
{
    return FindDiscs(InfoLines::cut(CrlfLines(lines)));
}

// Every track record of every disc as its document line reads (title element, then time
// element).
QStringList writtenTracks(const DiscSet &discs)
{
    QStringList out;
    for (int d = 1; d <= MaxDiscs; ++d) {
        int t = 0;
        for (const TrackRec &track : discs.Tracks[d - 1]) {
            const QString tag = QStringLiteral("D%1T%2").arg(d).arg(++t);
            out << QStringLiteral("<%1>%2</%1>").arg(tag, track.Title);
            if (!track.Time.isEmpty())
                out.last() += QStringLiteral("<%1Time>%2</%1Time>").arg(tag, track.Time);
        }
    }
    return out;
}

QStringList documentLines(const QStringList &infoLines)
{
    ConvertOptions options;
    options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return ConvertInfoText(CrlfLines(infoLines), options).split(u"\r\n"_qs);
}

} // namespace

class TestDiscs : public QObject
{
    Q_OBJECT

private slots:
    // One header line, then "Song": the disc count, and the disc that gathers "Song" (0: none).
    void headerSpellings_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("discCount");
        QTest::addColumn<int>("songDisc");
        QTest::newRow("Disc One") << u"Disc One"_qs << 1 << 1;
        QTest::newRow("DISK 1") << u"DISK 1"_qs << 1 << 1;
        QTest::newRow("Disc: 1") << u"Disc: 1"_qs << 1 << 1;
        QTest::newRow("Disc #1") << u"Disc #1"_qs << 1 << 1;
        QTest::newRow("Disc I") << u"Disc I"_qs << 1 << 1;
        QTest::newRow("D1") << u"D1"_qs << 1 << 1;
        QTest::newRow("D: 1") << u"D: 1"_qs << 1 << 1;
        QTest::newRow("Disc 10 holds disc1") << u"Disc 10"_qs << 1 << 1;
        QTest::newRow("Disciples holds disci") << u"Disciples of Song"_qs << 1 << 1;
        QTest::newRow("Recorded 1999 holds d1") << u"Recorded 1999"_qs << 1 << 1;
        QTest::newRow("d1t01 of any length") << u"d1t01 A Very Long Song Title"_qs << 1 << 1;
        QTest::newRow("d100 is never disc 1") << u"Sony D100 recorder"_qs << 0 << 0;
        QTest::newRow("d100 beside disc1") << u"Disc 1 on D100"_qs << 0 << 0;
        QTest::newRow("Disk #2") << u"Disk #2"_qs << 2 << 0;
        QTest::newRow("Disc II") << u"Disc II"_qs << 2 << 0;
        QTest::newRow("disc two") << u"disc two"_qs << 2 << 0;
        QTest::newRow("Disc:2") << u"Disc:2"_qs << 2 << 0;
        QTest::newRow("CD 2 holds d2") << u"CD 2"_qs << 2 << 0;
        QTest::newRow("Disc III") << u"Disc III"_qs << 3 << 0;
        QTest::newRow("Disc IV") << u"Disc IV"_qs << 4 << 0;
        QTest::newRow("DISC FOUR") << u"DISC FOUR"_qs << 4 << 0;
        QTest::newRow("D3 short") << u"D3"_qs << 3 << 0;
        QTest::newRow("d3t01 Song is 9 characters") << u"d3t01 Song"_qs << 3 << 0;
        QTest::newRow("d3t01 long line is no header") << u"d3t01 Long Song Title"_qs << 0 << 0;
        QTest::newRow("d4t01 long line is no header") << u"d4t01 Long Song Title"_qs << 0 << 0;
        QTest::newRow("d3 line short once its blanks go") << u"d3   t 0 1   S o n g"_qs << 3 << 0;
        QTest::newRow("disc3 on a long line") << u"Disc 3 of the long series"_qs << 3 << 0;
        QTest::newRow("Disc V is no header") << u"Disc V"_qs << 0 << 0;
        QTest::newRow("Disk: 2") << u"Disk: 2"_qs << 2 << 0;
        QTest::newRow("one line heads discs 1 and 2") << u"Disc 1 / d2"_qs << 2 << 2;
    }

    void headerSpellings()
    {
        QFETCH(QString, header);
        QFETCH(int, discCount);
        QFETCH(int, songDisc);
        const DiscSet discs = discsOf({header, u"Song"_qs});
        QCOMPARE(discs.DiscCount, discCount);
        for (int d = 1; d <= MaxDiscs; ++d) {
            const qsizetype expected = d == songDisc ? 1 : 0;
            QCOMPARE(discs.TrackCount[d - 1], expected);
        }
    }

    void ranges_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("discCount");
        QTest::addColumn<QStringList>("tracks");
        QTest::newRow("only a disc 2 header gathers nothing")
            << QStringList{u"x"_qs, u"Disc 2"_qs, u"Song"_qs} << 2 << QStringList{};
        QTest::newRow("discs 1 and 3 without 2: disc 1 runs to the end")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Disc 3"_qs, u"B"_qs} << 3
            << QStringList{u"<D1T1>A</D1T1>"_qs, u"<D1T2>Disc 3</D1T2>"_qs, u"<D1T3>B</D1T3>"_qs};
        QTest::newRow("recorded line takes disc 1 header")
            << QStringList{u"Recorded 1999"_qs, u"Disc 1"_qs, u"Song"_qs} << 1
            << QStringList{u"<D1T1>Disc 1</D1T1>"_qs, u"<D1T2>Song</D1T2>"_qs};
        QTest::newRow("second disc2 line does not move the header")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Disc 2"_qs, u"B"_qs, u"Disc 2 end"_qs, u"C"_qs}
            << 2
            << QStringList{u"<D1T1>A</D1T1>"_qs, u"<D2T1>B</D2T1>"_qs,
                           u"<D2T2>Disc 2 end</D2T2>"_qs, u"<D2T3>C</D2T3>"_qs};
        QTest::newRow("disc 2 header above disc 1 leaves disc 1 empty")
            << QStringList{u"Disc 2"_qs, u"A"_qs, u"Disc 1"_qs, u"B"_qs} << 2
            << QStringList{u"<D2T1>A</D2T1>"_qs, u"<D2T2>Disc 1</D2T2>"_qs, u"<D2T3>B</D2T3>"_qs};
        QTest::newRow("four discs, the last to the end")
            << QStringList{u"Disc 1"_qs, u"A"_qs,      u"Disc 2"_qs, u"B"_qs, u"Disc 3"_qs,
                           u"C"_qs,      u"Disc 4"_qs, u"D"_qs,      u"E"_qs}
            << 4
            << QStringList{u"<D1T1>A</D1T1>"_qs, u"<D2T1>B</D2T1>"_qs, u"<D3T1>C</D3T1>"_qs,
                           u"<D4T1>D</D4T1>"_qs, u"<D4T2>E</D4T2>"_qs};
        QTest::newRow("header on the last line")
            << QStringList{u"A"_qs, u"B"_qs, u"Disc 1"_qs} << 1 << QStringList{};
        QTest::newRow("no header, no tracks")
            << QStringList{u"Opener"_qs, u"Closer"_qs} << 0 << QStringList{};
    }

    void ranges()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, discCount);
        QFETCH(QStringList, tracks);
        const DiscSet discs = discsOf(lines);
        QCOMPARE(discs.DiscCount, discCount);
        QCOMPARE(writtenTracks(discs), tracks);
    }

    void trackLines_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("tracks");
        QTest::newRow("set and encore lines are no tracks")
            << QStringList{u"Disc 1"_qs, u"Set I"_qs, u"01. Opener 4:56"_qs, u"Encore:"_qs,
                           u"02. Closer"_qs}
            << QStringList{u"<D1T1>01. Opener</D1T1><D1T1Time>4:56</D1T1Time>"_qs,
                           u"<D1T2>02. Closer</D1T2>"_qs};
        QTest::newRow("numbered: unnumbered line of a later disc is no track")
            << QStringList{u"Disc 1"_qs, u"1. A"_qs, u"Disc 2"_qs, u"2. B"_qs,
                           u"Notes about the tape"_qs}
            << QStringList{u"<D1T1>1. A</D1T1>"_qs, u"<D2T1>2. B</D2T1>"_qs};
        QTest::newRow("unnumbered: any line is a track")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Notes about the tape"_qs}
            << QStringList{u"<D1T1>A</D1T1>"_qs, u"<D1T2>Notes about the tape</D1T2>"_qs};
        QTest::newRow("numbers on disc 2 do not make a numbered list")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Disc 2"_qs, u"1. B"_qs, u"C"_qs}
            << QStringList{u"<D1T1>A</D1T1>"_qs, u"<D2T1>1. B</D2T1>"_qs, u"<D2T2>C</D2T2>"_qs};
        QTest::newRow("12) counts as a number")
            << QStringList{u"Disc 1"_qs, u"12) Song"_qs, u"Tail"_qs}
            << QStringList{u"<D1T1>12) Song</D1T1>"_qs};
        QTest::newRow("decimal above zero counts")
            << QStringList{u"Disc 1"_qs, u"0.5 Intro"_qs, u"Tail"_qs}
            << QStringList{u"<D1T1>0.5 Intro</D1T1>"_qs};
        // The line that makes the list numbered is then itself held to it: "+" is no digit.
        QTest::newRow("plus sign counts")
            << QStringList{u"Disc 1"_qs, u"+3 Song"_qs, u"Tail"_qs, u"4 Song"_qs}
            << QStringList{u"<D1T1>4 Song</D1T1>"_qs};
        QTest::newRow("zero does not count")
            << QStringList{u"Disc 1"_qs, u"0. Tuning"_qs, u"Tail"_qs}
            << QStringList{u"<D1T1>0. Tuning</D1T1>"_qs, u"<D1T2>Tail</D1T2>"_qs};
        QTest::newRow("negative number does not count")
            << QStringList{u"Disc 1"_qs, u"-1 Tuning"_qs, u"Tail"_qs}
            << QStringList{u"<D1T1>-1 Tuning</D1T1>"_qs, u"<D1T2>Tail</D1T2>"_qs};
        QTest::newRow("track code does not count")
            << QStringList{u"Disc 1"_qs, u"d1t01 Song"_qs, u"Tail"_qs}
            << QStringList{u"<D1T1>d1t01 Song</D1T1>"_qs, u"<D1T2>Tail</D1T2>"_qs};
        QTest::newRow("no-track words, also behind dashes")
            << QStringList{u"Disc 1"_qs,  u"-Set II-"_qs, u"Total time 60:00"_qs,
                           u"Filler:"_qs, u"II"_qs,       u"iii."_qs,
                           u"ENCORE"_qs,  u"---"_qs,      u"Song"_qs}
            << QStringList{u"<D1T1>Song</D1T1>"_qs};
        QTest::newRow("numbered: a dash before the number is removed")
            << QStringList{u"Disc 1"_qs, u"1. A"_qs, u"-2. B"_qs, u"- 3. C"_qs}
            << QStringList{u"<D1T1>1. A</D1T1>"_qs, u"<D1T2>-2. B</D1T2>"_qs};
        QTest::newRow("title written without escaping")
            << QStringList{u"Disc 1"_qs, u"Rock & Roll <live> \"x\""_qs}
            << QStringList{u"<D1T1>Rock & Roll <live> \"x\"</D1T1>"_qs};
    }

    void trackLines()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, tracks);
        QCOMPARE(writtenTracks(discsOf(lines)), tracks);
    }

    void encore_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("tracks");
        QTest::newRow("E: line unnumbered is a track and ends at the empty line")
            << QStringList{u"Disc 1"_qs, u"Opener"_qs, u"E: Closer 3:30"_qs, u""_qs, u"After"_qs}
            << QStringList{u"<D1T1>Opener</D1T1>"_qs, u"<D1T2>E: Closer 3:30</D1T2>"_qs};
        QTest::newRow("E: line numbered is no track and sees no encore")
            << QStringList{u"Disc 1"_qs, u"1. Opener"_qs, u"E: Closer 3:30"_qs, u""_qs,
                           u"2. After"_qs}
            << QStringList{u"<D1T1>1. Opener</D1T1>"_qs, u"<D1T2>2. After</D1T2>"_qs};
        QTest::newRow("empty lines before the encore do not end the disc")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u""_qs, u"B (encore)"_qs, u""_qs, u"C"_qs}
            << QStringList{u"<D1T1>A</D1T1>"_qs, u"<D1T2>B (encore)</D1T2>"_qs};
        QTest::newRow("encore on disc 1 ends disc 2 at its first empty line")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Closer (encore)"_qs,
                           u"Disc 2"_qs, u""_qs,  u"B"_qs}
            << QStringList{u"<D1T1>A</D1T1>"_qs, u"<D1T2>Closer (encore)</D1T2>"_qs};
        QTest::newRow("encore on disc 1 lets disc 2 run to its empty line")
            << QStringList{u"Disc 1"_qs, u"Closer (encore)"_qs, u"Disc 2"_qs, u"B"_qs, u""_qs,
                           u"C"_qs}
            << QStringList{u"<D1T1>Closer (encore)</D1T1>"_qs, u"<D2T1>B</D2T1>"_qs};
        QTest::newRow("line emptied by its time ends the disc after an encore")
            << QStringList{u"Disc 1"_qs, u"Encore break"_qs, u"Song encore"_qs, u"(4:56)"_qs,
                           u"After"_qs}
            << QStringList{u"<D1T1>Song encore</D1T1>"_qs,
                           u"<D1T2></D1T2><D1T2Time>4:56</D1T2Time>"_qs};
    }

    void encore()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, tracks);
        QCOMPARE(writtenTracks(discsOf(lines)), tracks);
    }

    // Past the fiftieth track the records are not written, but they still count, still see an
    // encore, and a line its time leaves empty still ends the disc.
    void encore_pastTheFiftiethTrack()
    {
        QStringList lines{u"Disc 1"_qs};
        for (int t = 1; t <= 55; ++t)
            lines << QStringLiteral("Song %1").arg(t);
        lines << u"Closer (encore)"_qs << u"(4:56)"_qs << u"After"_qs;
        const DiscSet discs = discsOf(lines);
        QCOMPARE(discs.TrackCount[0], 57);
        QCOMPARE(discs.Tracks[0][49].Title, u"Song 50");
    }

    void time_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        QTest::newRow("parentheses") << u"Opener (4:56)"_qs << u"Opener"_qs << u"4:56"_qs;
        QTest::newRow("brackets, two digits")
            << u"Opener [12:34]"_qs << u"Opener"_qs << u"12:34"_qs;
        QTest::newRow("hours: first colon only")
            << u"Long Jam 1:02:33"_qs << u"Long Jam :33"_qs << u"1:02"_qs;
        QTest::newRow("colon at second character")
            << u"1: Opener 4:56"_qs << u"pener 4:56"_qs << u"1: O"_qs;
        QTest::newRow("first colon after a letter")
            << u"E: Closer 3:30"_qs << u"E: Closer 3:30"_qs << QString();
        QTest::newRow("colon first") << u":30 Intro"_qs << u":30 Intro"_qs << QString();
        QTest::newRow("fewer characters at the end") << u"Song 4:5"_qs << u"Song"_qs << u"4:5"_qs;
        QTest::newRow("every copy of the time removed")
            << u"Song 4:56 and 4:56 again"_qs << u"Song  and  again"_qs << u"4:56"_qs;
        QTest::newRow("empty pairs removed, others kept")
            << u"Tune (4:56) [live] []"_qs << u"Tune  [live]"_qs << u"4:56"_qs;
        QTest::newRow("pairs kept without a time")
            << u"Tune () []"_qs << u"Tune () []"_qs << QString();
    }

    void time()
    {
        QFETCH(QString, line);
        QFETCH(QString, title);
        QFETCH(QString, time);
        const DiscSet discs = discsOf({u"Disc 1"_qs, line});
        QCOMPARE(discs.TrackCount[0], 1);
        QCOMPARE(discs.Tracks[0][0].Title.toString(), title);
        QCOMPARE(discs.Tracks[0][0].Time.toString(), time);
    }

    void tagsCarryDiscAndTrackNumbers()
    {
        // Discs 2 and 3 have headers but no lines, so disc 4 takes every song.
        QStringList lines{u"Disc 1"_qs, u"A"_qs, u"Disc 2"_qs, u"Disc 3"_qs, u"Disc 4"_qs};
        for (int t = 1; t <= 12; ++t)
            lines << QStringLiteral("Song %1 1:00").arg(t);
        const QStringList doc = documentLines(lines);
        QVERIFY(doc.contains(u"<TRACKSD4>12</TRACKSD4>"_qs));
        QVERIFY(doc.contains(u"<D4T12>Song 12</D4T12><D4T12Time>1:00</D4T12Time>"_qs));
    }

    // The writer: the count line gives every track, at most 50 track lines follow per disc.
    void writer_data()
    {
        QTest::addColumn<int>("tracks");
        QTest::newRow("50 tracks") << 50;
        QTest::newRow("51 tracks") << 51;
        QTest::newRow("40000 tracks: no 16-bit limit") << 40000;
    }

    void writer()
    {
        QFETCH(int, tracks);
        QStringList info{u"Band X"_qs, u"Disc 1"_qs};
        for (int t = 1; t <= tracks; ++t)
            info << QStringLiteral("%1. Song").arg(t);
        info << u"Disc 2"_qs << u"1. Last"_qs;
        const QStringList doc = documentLines(info);
        const qsizetype counts = doc.indexOf(u"<DISCS>2</DISCS>"_qs);
        QVERIFY(counts > 0);
        QCOMPARE(doc.at(counts + 1), QStringLiteral("<TRACKSD1>%1</TRACKSD1>").arg(tracks));
        QCOMPARE(doc.at(counts + 2), u"<TRACKSD2>1</TRACKSD2>"_qs);
        const int written = qMin(tracks, 50);
        QCOMPARE(doc.at(counts + 3), u"<D1T1>1. Song</D1T1>"_qs);
        QCOMPARE(doc.at(counts + 2 + written),
                 QStringLiteral("<D1T%1>%1. Song</D1T%1>").arg(written));
        QCOMPARE(doc.at(counts + 3 + written), u"<D2T1>1. Last</D2T1>"_qs);
        QCOMPARE(doc.at(counts + 4 + written), u"</CDR_Track_List>"_qs);
    }

    void writer_headerWithoutTracks()
    {
        const QStringList doc =
            documentLines({u"a"_qs, u"b"_qs, u"Disc 2"_qs, u"c"_qs, u"e"_qs, u"f"_qs});
        const QStringList expected{u"<?xml version=\"1.0\"?>"_qs, u"<CDR_Track_List>"_qs,
                                   u"<BAND>a</BAND>"_qs,          u"<DISCS>2</DISCS>"_qs,
                                   u"<TRACKSD1>0</TRACKSD1>"_qs,  u"<TRACKSD2>0</TRACKSD2>"_qs,
                                   u"</CDR_Track_List>"_qs};
        QCOMPARE(doc, expected);
    }
};

QTEST_GUILESS_MAIN(TestDiscs)
#include "tst_discs.moc"
