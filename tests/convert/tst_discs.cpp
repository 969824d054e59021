// Disc headers, track ranges, track lines and their times.
#include "convert/discs.h"
#include "convert/infolines.h"
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

    void tracks_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("expected");
        for (const TextCase &c : TextCases(u"convert/tracks.txt"_qs))
            QTest::newRow(qPrintable(c.name)) << c.lines << c.expected;
    }

    void tracks()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, expected);
        const DiscSet discs = discsOf(lines);
        QCOMPARE((QStringList{QString::number(discs.DiscCount)} + tracksOf(discs)).join(u"; "),
                 expected);
    }

    // Past the fiftieth track the records are not written, but they still count, still see an
    // encore, and a line its time leaves empty still ends the disc; nothing stops at 16 bits.
    void tracks_pastTheFiftieth()
    {
        const int songs = 40000;
        QStringList lines{u"Disc 1"_qs};
        for (int t = 1; t <= songs; ++t)
            lines << QStringLiteral("Song %1").arg(t);
        lines << u"Closer (encore)"_qs << u"(4:56)"_qs << u"After"_qs << u"Disc 2"_qs;
        const DiscSet discs = discsOf(lines);
        QCOMPARE(discs.TrackCount[0], songs + 2);
        QCOMPARE(discs.Tracks[0].size(), size_t(MaxWrittenTracksPerDisc));
        QCOMPARE(discs.Tracks[0].back().Title, u"Song 50");
    }

    // The time is looked for at the first colon only; a character of two UTF-16 units next to it
    // stays whole, in the title.
    void time_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        TextRow("parentheses", "Opener(4:56)", "Opener", "4:56");
        TextRow("brackets, two digits", "Opener [12:34]", "Opener", "12:34");
        TextRow("two digits first", "12:34 Opener", "Opener", "12:34");
        TextRow("hours: first colon only", "Long Jam 1:02:33", "Long Jam :33", "1:02");
        TextRow("colon at second character", "1: Opener 4:56", "pener 4:56", "1: O");
        TextRow("first colon after a letter", "E: Closer 3:30", "E: Closer 3:30", "");
        TextRow("colon first", ":30 Intro 4:56", ":30 Intro 4:56", "");
        TextRow("fewer characters at the end", "Song 4:5", "Song", "4:5");
        TextRow("one digit, trimmed", "Song 4:5 live", "Song  live", "4:5");
        TextRow("every copy of the time removed", "Song 4:56 and 4:56 again", "Song  and  again",
                "4:56");
        TextRow("time first and last", "4:56 Song 4:56", "Song", "4:56");
        TextRow("empty pairs removed, others kept", "Tune (4:56) [live] ()()[]", "Tune  [live]",
                "4:56");
        TextRow("pairs kept without a time", "Tune () []", "Tune () []", "");
        TextRow("after a time of one digit", "01. Opener 4:5\U0001F3B8", "01. Opener \U0001F3B8",
                "4:5");
        TextRow("after a time of two digits", "01. Opener 12:3\U0001F3B8 live",
                "01. Opener \U0001F3B8 live", "12:3");
        TextRow("after a colon and a blank", "01. Opener 12: \U0001F3B8", "01. Opener  \U0001F3B8",
                "12:");
        TextRow("in the time's place", "01. Opener 4:\U0001F3B8", "01. Opener", "4:\U0001F3B8");
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
