// Disc headers, track ranges, track lines and their times.
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

// Every written track record: "disc|title", or "disc|title|time" for a track with a time.
QStringList tracksOf(const DiscSet &discs)
{
    QStringList out;
    for (int d = 1; d <= MaxDiscs; ++d) {
        for (const TrackRec &track : discs.Tracks[d - 1]) {
            out << QString::number(d) + u'|' + track.Title.toString();
            if (!track.Time.isEmpty())
                out.last() += u'|' + track.Time.toString();
        }
    }
    return out;
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
        QTest::newRow("Disk: 2") << u"Disk: 2"_qs << 2 << 0;
        QTest::newRow("CD 2 holds d2") << u"CD 2"_qs << 2 << 0;
        QTest::newRow("d2 counts on a long line") << u"Recorded on D2 of the tape"_qs << 2 << 0;
        QTest::newRow("Disc III") << u"Disc III"_qs << 3 << 0;
        QTest::newRow("Disc IV") << u"Disc IV"_qs << 4 << 0;
        QTest::newRow("DISC FOUR") << u"DISC FOUR"_qs << 4 << 0;
        QTest::newRow("D3 short") << u"D3"_qs << 3 << 0;
        QTest::newRow("D4 short") << u"D4"_qs << 4 << 0;
        QTest::newRow("d3t01 Song is 9 characters") << u"d3t01 Song"_qs << 3 << 0;
        QTest::newRow("d3t01 long line is no header") << u"d3t01 Long Song Title"_qs << 0 << 0;
        QTest::newRow("d4t01 long line is no header") << u"d4t01 Long Song Title"_qs << 0 << 0;
        QTest::newRow("d3 line short once blanks and # go") << u"d3 t 0 1 ## S o n g"_qs << 3 << 0;
        QTest::newRow("disc3 on a long line") << u"Disc 3 of the long series"_qs << 3 << 0;
        QTest::newRow("Disc V is no header") << u"Disc V"_qs << 0 << 0;
        QTest::newRow("one line heads discs 1 and 2") << u"Disc 1 / d2"_qs << 2 << 2;
    }

    void headerSpellings()
    {
        QFETCH(QString, header);
        QFETCH(int, discCount);
        QFETCH(int, songDisc);
        const DiscSet discs = discsOf({header, u"Song"_qs});
        QCOMPARE(discs.DiscCount, discCount);
        for (int d = 1; d <= MaxDiscs; ++d)
            QCOMPARE(discs.TrackCount[d - 1], qsizetype(d == songDisc ? 1 : 0));
    }

    // Which lines are tracks of which disc.
    void tracks_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("discCount");
        QTest::addColumn<QStringList>("tracks");
        QTest::newRow("only a disc 2 header gathers nothing")
            << QStringList{u"x"_qs, u"Disc 2"_qs, u"Song"_qs} << 2 << QStringList{};
        QTest::newRow("discs 1 and 3 without 2: disc 1 runs to the end")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Disc 3"_qs, u"B"_qs} << 3
            << QStringList{u"1|A"_qs, u"1|Disc 3"_qs, u"1|B"_qs};
        QTest::newRow("recorded line takes disc 1 header")
            << QStringList{u"Recorded 1999"_qs, u"Disc 1"_qs, u"Song"_qs} << 1
            << QStringList{u"1|Disc 1"_qs, u"1|Song"_qs};
        QTest::newRow("second disc2 line does not move the header")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Disc 2"_qs, u"B"_qs, u"Disc 2 end"_qs} << 2
            << QStringList{u"1|A"_qs, u"2|B"_qs, u"2|Disc 2 end"_qs};
        QTest::newRow("disc 2 header above disc 1 leaves disc 1 empty")
            << QStringList{u"Disc 2"_qs, u"A"_qs, u"Disc 1"_qs, u"B"_qs} << 2
            << QStringList{u"2|A"_qs, u"2|Disc 1"_qs, u"2|B"_qs};
        QTest::newRow("four discs, the last to the end")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Disc 2"_qs, u"Disc 3"_qs,
                           u"Disc 4"_qs, u"D"_qs, u"E"_qs}
            << 4 << QStringList{u"1|A"_qs, u"4|D"_qs, u"4|E"_qs};
        QTest::newRow("header on the last line")
            << QStringList{u"A"_qs, u"B"_qs, u"Disc 1"_qs} << 1 << QStringList{};
        QTest::newRow("no header, no tracks") << QStringList{u"Opener"_qs} << 0 << QStringList{};
        QTest::newRow("set and encore lines are no tracks")
            << QStringList{u"Disc 1"_qs, u"Set I"_qs, u"01. Opener 4:56"_qs, u"Encore:"_qs,
                           u"02. Closer"_qs}
            << 1 << QStringList{u"1|01. Opener|4:56"_qs, u"1|02. Closer"_qs};
        QTest::newRow("numbered: unnumbered line of a later disc is no track")
            << QStringList{u"Disc 1"_qs, u"1. A"_qs, u"Disc 2"_qs, u"2. B"_qs, u"Notes"_qs} << 2
            << QStringList{u"1|1. A"_qs, u"2|2. B"_qs};
        QTest::newRow("numbers on disc 2 do not make a numbered list")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u"Disc 2"_qs, u"1. B"_qs, u"C"_qs} << 2
            << QStringList{u"1|A"_qs, u"2|1. B"_qs, u"2|C"_qs};
        QTest::newRow("12) counts as a number")
            << QStringList{u"Disc 1"_qs, u"12) Song"_qs, u"Tail"_qs} << 1
            << QStringList{u"1|12) Song"_qs};
        QTest::newRow("decimal above zero counts")
            << QStringList{u"Disc 1"_qs, u"0.05 Intro"_qs, u"Tail"_qs} << 1
            << QStringList{u"1|0.05 Intro"_qs};
        // The line that makes the list numbered is then itself held to it: "+" is no digit.
        QTest::newRow("plus sign counts")
            << QStringList{u"Disc 1"_qs, u"+3 Song"_qs, u"Tail"_qs, u"4 Song"_qs} << 1
            << QStringList{u"1|4 Song"_qs};
        QTest::newRow("zero, a negative number and a track code do not count")
            << QStringList{u"Disc 1"_qs, u"0. Tuning"_qs, u"-1 Tune"_qs, u"d1t01 Song"_qs} << 1
            << QStringList{u"1|0. Tuning"_qs, u"1|-1 Tune"_qs, u"1|d1t01 Song"_qs};
        QTest::newRow("no-track words, also behind dashes")
            << QStringList{u"Disc 1"_qs,  u"-Set II-"_qs, u"Total time 60:00"_qs,
                           u"Filler:"_qs, u"II"_qs,       u"iii."_qs,
                           u"ENCORE"_qs,  u"---"_qs,      u"Song"_qs}
            << 1 << QStringList{u"1|Song"_qs};
        QTest::newRow("numbered: a dash before the number is removed")
            << QStringList{u"Disc 1"_qs, u"1. A"_qs, u"-2. B"_qs, u"- 3. C"_qs} << 1
            << QStringList{u"1|1. A"_qs, u"1|-2. B"_qs};
        QTest::newRow("E: line unnumbered is a track and ends at the empty line")
            << QStringList{u"Disc 1"_qs, u"Opener"_qs, u"E: Closer 3:30"_qs, u""_qs, u"After"_qs}
            << 1 << QStringList{u"1|Opener"_qs, u"1|E: Closer 3:30"_qs};
        QTest::newRow("E: line numbered is no track and sees no encore")
            << QStringList{u"Disc 1"_qs, u"1. A"_qs, u"E: Closer"_qs, u""_qs, u"2. After"_qs} << 1
            << QStringList{u"1|1. A"_qs, u"1|2. After"_qs};
        QTest::newRow("empty lines before the encore do not end the disc")
            << QStringList{u"Disc 1"_qs, u"A"_qs, u""_qs, u"B (encore)"_qs, u""_qs, u"C"_qs} << 1
            << QStringList{u"1|A"_qs, u"1|B (encore)"_qs};
        QTest::newRow("encore on disc 1 ends disc 2 at its first empty line")
            << QStringList{u"Disc 1"_qs, u"A (encore)"_qs, u"Disc 2"_qs, u""_qs, u"B"_qs} << 2
            << QStringList{u"1|A (encore)"_qs};
        QTest::newRow("encore on disc 1 lets disc 2 run to its empty line")
            << QStringList{u"Disc 1"_qs, u"A (encore)"_qs, u"Disc 2"_qs, u"B"_qs, u""_qs, u"C"_qs}
            << 2 << QStringList{u"1|A (encore)"_qs, u"2|B"_qs};
        QTest::newRow("line emptied by its time ends the disc after an encore")
            << QStringList{u"Disc 1"_qs, u"Encore break"_qs, u"Song encore"_qs, u"(4:56)"_qs,
                           u"After"_qs}
            << 1 << QStringList{u"1|Song encore"_qs, u"1||4:56"_qs};
    }

    void tracks()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, discCount);
        QFETCH(QStringList, tracks);
        const DiscSet discs = discsOf(lines);
        QCOMPARE(discs.DiscCount, discCount);
        QCOMPARE(tracksOf(discs), tracks);
    }

    // Past the fiftieth track the records are not written, but they still count, still see an
    // encore, and a line its time leaves empty still ends the disc; nothing stops at 16 bits.
    void tracks_pastTheFiftieth_data()
    {
        QTest::addColumn<int>("songs");
        QTest::newRow("55 songs") << 55;
        QTest::newRow("40000 songs") << 40000;
    }

    void tracks_pastTheFiftieth()
    {
        QFETCH(int, songs);
        QStringList lines{u"Disc 1"_qs};
        for (int t = 1; t <= songs; ++t)
            lines << QStringLiteral("Song %1").arg(t);
        lines << u"Closer (encore)"_qs << u"(4:56)"_qs << u"After"_qs << u"Disc 2"_qs;
        const DiscSet discs = discsOf(lines);
        QCOMPARE(discs.TrackCount[0], songs + 2);
        QCOMPARE(discs.Tracks[0].size(), size_t(MaxWrittenTracksPerDisc));
        QCOMPARE(discs.Tracks[0].back().Title, u"Song 50");
    }

    // The time is looked for at the first colon only; a character of two UTF-16 units next to
    // it stays whole, in the title.
    void time_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        QTest::newRow("parentheses") << u"Opener(4:56)"_qs << u"Opener"_qs << u"4:56"_qs;
        QTest::newRow("brackets, two digits")
            << u"Opener [12:34]"_qs << u"Opener"_qs << u"12:34"_qs;
        QTest::newRow("two digits first") << u"12:34 Opener"_qs << u"Opener"_qs << u"12:34"_qs;
        QTest::newRow("hours: first colon only")
            << u"Long Jam 1:02:33"_qs << u"Long Jam :33"_qs << u"1:02"_qs;
        QTest::newRow("colon at second character")
            << u"1: Opener 4:56"_qs << u"pener 4:56"_qs << u"1: O"_qs;
        QTest::newRow("first colon after a letter")
            << u"E: Closer 3:30"_qs << u"E: Closer 3:30"_qs << QString();
        QTest::newRow("colon first") << u":30 Intro 4:56"_qs << u":30 Intro 4:56"_qs << QString();
        QTest::newRow("fewer characters at the end") << u"Song 4:5"_qs << u"Song"_qs << u"4:5"_qs;
        QTest::newRow("one digit, trimmed") << u"Song 4:5 live"_qs << u"Song  live"_qs << u"4:5"_qs;
        QTest::newRow("every copy of the time removed")
            << u"Song 4:56 and 4:56 again"_qs << u"Song  and  again"_qs << u"4:56"_qs;
        QTest::newRow("time first and last") << u"4:56 Song 4:56"_qs << u"Song"_qs << u"4:56"_qs;
        QTest::newRow("empty pairs removed, others kept")
            << u"Tune (4:56) [live] ()()[]"_qs << u"Tune  [live]"_qs << u"4:56"_qs;
        QTest::newRow("pairs kept without a time")
            << u"Tune () []"_qs << u"Tune () []"_qs << QString();
        QTest::newRow("after a time of one digit")
            << u"01. Opener 4:5\U0001F3B8"_qs << u"01. Opener \U0001F3B8"_qs << u"4:5"_qs;
        QTest::newRow("after a time of two digits")
            << u"01. Opener 12:3\U0001F3B8 live"_qs << u"01. Opener \U0001F3B8 live"_qs
            << u"12:3"_qs;
        QTest::newRow("after a colon and a blank")
            << u"01. Opener 12: \U0001F3B8"_qs << u"01. Opener  \U0001F3B8"_qs << u"12:"_qs;
        QTest::newRow("in the time's place")
            << u"01. Opener 4:\U0001F3B8"_qs << u"01. Opener"_qs << u"4:\U0001F3B8"_qs;
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
};

QTEST_GUILESS_MAIN(TestDiscs)
#include "tst_discs.moc"
