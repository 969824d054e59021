// Fitting type to its place on a cover, with widths that are easy to count: every character is
// half an em wide in the regular face and 0.6 em in the bold, blanks included.
#include "cover/layout/tracktimes.h"
#include "cover/layout/typefit.h"

#include <QTest>

using namespace tapewright;

namespace {

double FixedWidth(QStringView text, bool bold)
{
    return double(text.size()) * (bold ? 0.6 : 0.5);
}

// "ab*cd*ef": runs that alternate between regular and bold at each star.
std::vector<TextRun> Runs(const QString &marked)
{
    std::vector<TextRun> runs;
    const QStringList parts = marked.split(u'*');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!parts.at(i).isEmpty())
            runs.push_back({parts.at(i), i % 2 == 1});
    }
    return runs;
}

// "t t t": n short tracks.
QStringList Tracks(int n, const QString &title = u"ab"_qs)
{
    QStringList tracks;
    for (int i = 0; i < n; ++i)
        tracks << title;
    return tracks;
}

// Discs "Disc 1", "Disc 2"... of as many short tracks as counts says.
std::vector<TrackDisc> Discs(std::initializer_list<int> counts)
{
    std::vector<TrackDisc> discs;
    for (const int n : counts)
        discs.push_back({u"Disc %1"_qs.arg(discs.size() + 1), Tracks(n)});
    return discs;
}

// "D0 0.0 0.1 | ~D0 0.2": each column's headings (D, with + when space is above them, ~ when
// the disc runs on into the column) and tracks
// (disc.track, with the lines they take when more than one, ! when past the last column),
// after "size/column width" and the count of tracks that do not fit.
QString Describe(const TrackAreaFit &fit)
{
    QStringList columns;
    for (const std::vector<TrackPlace> &column : fit.columns) {
        QStringList items;
        for (const TrackPlace &p : column) {
            QString item = p.track < 0 ? QStringLiteral("%1D%2")
                                             .arg(p.space       ? u"+"
                                                  : p.continued ? u"~"
                                                                : u"")
                                             .arg(p.disc)
                                       : QStringLiteral("%1.%2").arg(p.disc).arg(p.track);
            if (p.lines > 1)
                item += QStringLiteral("(%1)").arg(p.lines);
            if (!p.fits)
                item += u'!';
            items << item;
        }
        columns << items.join(u' ');
    }
    QString head = QStringLiteral("%1/%2").arg(fit.size).arg(fit.columnWidth);
    if (fit.tracksNotFitting > 0)
        head += QStringLiteral(", %1 over").arg(fit.tracksNotFitting);
    return head + u": "_qs + columns.join(u" | "_qs);
}

// "0.3 0.4 0.5" for Seq(0, 3, 5), with a mark after each.
QString Seq(int disc, int from, int to, const QString &mark = {})
{
    QStringList items;
    for (int t = from; t <= to; ++t)
        items << QStringLiteral("%1.%2%3").arg(disc).arg(t).arg(mark);
    return items.join(u' ');
}

} // namespace

Q_DECLARE_METATYPE(std::vector<TrackDisc>)

class TestTypeFit : public QObject
{
    Q_OBJECT

private slots:
    // At 10 pt a character is 5 pt wide, 6 pt in bold.
    void lineCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("indent");
        QTest::addColumn<int>("lines");

        QTest::newRow("exactly the width") << u"abcd"_qs << 20.0 << 0.0 << 1;
        QTest::newRow("a word wider than the line breaks between characters")
            << u"abcdefghij"_qs << 20.0 << 0.0 << 3;
        QTest::newRow("a hair narrower than the word") << u"abcd"_qs << 19.9 << 0.0 << 2;
        QTest::newRow("breaks at a blank") << u"ab cd"_qs << 20.0 << 0.0 << 2;
        QTest::newRow("blanks at the break are swallowed") << u"ab      cd"_qs << 20.0 << 0.0 << 2;
        QTest::newRow("as many words as fit") << u"a b c d e f"_qs << 25.0 << 0.0 << 2;
        QTest::newRow("lines after the first are narrower by the indent")
            << u"abcd abcd abcd"_qs << 20.0 << 5.0 << 5;
        QTest::newRow("hard breaks in every spelling")
            << u"ab\r\ncd\ref\ngh\r\n\r\nij"_qs << 100.0 << 0.0 << 6;
        QTest::newRow("bold is wider") << u"*abcd"_qs << 20.0 << 0.0 << 2;
        QTest::newRow("a tab goes to the next stop") << u"a\tb"_qs << 35.0 << 0.0 << 1;
        QTest::newRow("a tab past the last stop that fits") << u"a\tb"_qs << 34.0 << 0.0 << 2;
    }

    void lineCount()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(double, indent);
        QFETCH(int, lines);
        QCOMPARE(LineCount(Runs(text), 10, width, indent, 30, FixedWidth), lines);
    }

    void fitOneLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("fits");

        QTest::newRow("fits at the largest size") << u"abcd"_qs << 20.0 << 10.0 << true;
        QTest::newRow("the largest step that fits") << u"abcdef"_qs << 25.0 << 8.0 << true;
        QTest::newRow("in bold") << u"*abcd"_qs << 20.0 << 8.0 << true;
        QTest::newRow("each hard line on its own") << u"abcd\r\nabcd"_qs << 20.0 << 10.0 << true;
        QTest::newRow("fits only at the smallest size") << u"abcdefgh"_qs << 20.0 << 5.0 << true;
        QTest::newRow("below the smallest size, as large as fits")
            << u"abcde fghij"_qs << 22.0 << 4.0 << false;
        QTest::newRow("below the smallest size, in the same steps")
            << u"abcde fghij"_qs << 21.0 << 3.0 << false;
        QTest::newRow("below the smallest size, the widest hard line decides")
            << u"abcd\r\nabcdefghij"_qs << 20.0 << 4.0 << false;
        QTest::newRow("never below the floor")
            << u"abcdefghijabcdefghij"_qs << 10.0 << 2.0 << false;
    }

    void fitOneLine()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(double, size);
        QFETCH(bool, fits);
        const LineFit fit = FitOneLine(Runs(text), width, {10, 5, 1}, 2, FixedWidth);
        QCOMPARE(fit.size, size);
        QCOMPARE(fit.fits, fits);
    }

    void fitBlock_data()
    {
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("fits");

        // Three lines at 10 pt, still three at 9 pt.
        QTest::newRow("fits at the largest size") << 30.0 << 10.0 << true;
        QTest::newRow("one size smaller") << 29.0 << 9.0 << true;
        QTest::newRow("not even at the smallest") << 10.0 << 5.0 << false;
    }

    void fitBlock()
    {
        QFETCH(double, height);
        QFETCH(double, size);
        QFETCH(bool, fits);
        const LineFit fit = FitBlock({Runs(u"abcd abcd"_qs), Runs(u"abcd"_qs)}, 20, height,
                                     {10, 5, 1}, 1.0, FixedWidth);
        QCOMPARE(fit.size, size);
        QCOMPARE(fit.fits, fits);
    }

    // An area of 100 × 100 pt with room for two columns of 45 pt; lines as high as the type,
    // a line's space above a heading that does not open its column.
    void fitTrackArea_data()
    {
        QTest::addColumn<std::vector<TrackDisc>>("discs");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<double>("wrapsUpTo");

        const auto row = [](const char *name, const std::vector<TrackDisc> &discs,
                            const QString &layout, double wrapsUpTo = 0) {
            QTest::newRow(name) << discs << layout << wrapsUpTo;
        };
        row("one short disc: the largest size in one column", Discs({3}),
            u"10/100: D0 0.0 0.1 0.2"_qs);
        row("two discs open a column each", Discs({3, 3}),
            u"10/45: D0 0.0 0.1 0.2 | D1 1.0 1.1 1.2"_qs);
        row("a long disc goes on in the next column, headed again, the columns level", Discs({14}),
            u"10/45: D0 "_qs + Seq(0, 0, 7) + u" | ~D0(2) "_qs + Seq(0, 8, 13));
        row("discs follow each other when they cannot each have a column", Discs({2, 2, 2}),
            u"10/45: D0 0.0 0.1 +D1 1.0 1.1 | D2 2.0 2.1"_qs);
        row("a heading stays with its first track", Discs({7, 1, 1}),
            u"10/45: D0 "_qs + Seq(0, 0, 6) + u" | D1 1.0 +D2 2.0"_qs);
        row("smaller type when no column count takes every track", Discs({25}),
            u"7/45: D0 "_qs + Seq(0, 0, 12) + u" | ~D0(2) "_qs + Seq(0, 13, 24));
        row("a heading is measured in bold", {{u"Disc1234567890abcd"_qs, Tracks(1)}},
            u"10/100: D0(2) 0.0"_qs);
        const QString wrapping = u"abcdefghij abcdefghij abcdefghij abcdefghij"_qs;
        row("a wrapped title takes its lines", {{u"Disc 1"_qs, {wrapping}}},
            u"10/100: D0 0.0(4)"_qs);
        row("a size at which titles wrap loses to a smaller one at which they do not",
            {{u"Disc 1"_qs, {u"abcdefghij abcdefghij"_qs}}}, u"9/100: D0 0.0"_qs);
        row("titles wrap only at the size they may wrap at and below",
            {{u"Disc 1"_qs, {u"ab"_qs, wrapping}}}, u"9/100: D0 0.0 0.1(2)"_qs, 9);
        row("a track is measured in the regular face",
            {{u"Disc 1"_qs, {u"abcdefghijklmnopqrs"_qs}}}, u"10/100: D0 0.0"_qs);
        row("a time beside its title", {{u"Disc 1\t9:99"_qs, {u"abcdefghijklmn\t1:00"_qs}}},
            u"10/100: D0 0.0"_qs);
        row("a time without room beside its title takes a line",
            {{u"Disc 1"_qs, {u"abcdefghijklmnopqrstuvwxyzabcdefghij\t1:00"_qs}}},
            u"10/100: D0 0.0(3)"_qs);
        const QString past =
            Seq(0, 0, 18) + u" | ~D0 "_qs + Seq(0, 19, 37) + u" "_qs + Seq(0, 38, 44, u"!"_qs);
        row("tracks past the last column at the smallest size are counted", Discs({45}),
            u"5/45, 7 over: D0 "_qs + past);
        row("blank tracks past the last column print nothing and are not counted",
            {{u"Disc 1"_qs, Tracks(38) + Tracks(7, u" "_qs)}}, u"5/45: D0 "_qs + past);
        row("discs with neither heading nor tracks are left out",
            {{}, {u"Disc 2"_qs, Tracks(1)}, {}}, u"10/100: D1 1.0"_qs);
    }

    void fitTrackArea()
    {
        QFETCH(std::vector<TrackDisc>, discs);
        QFETCH(QString, layout);
        QFETCH(double, wrapsUpTo);
        // Width, height, gap, narrowest column, sizes, pitch, heading larger, heading space,
        // indent, tab stop, the least room before a time, the largest size titles may wrap at.
        const TrackArea area{100, 100, 10, 45, {10, 5, 1}, 1.0, 0, 1, 0, 35.4, 1, wrapsUpTo};
        QCOMPARE(Describe(FitTrackArea(discs, area, FixedWidth)), layout);
    }

    // Times as info texts write them; a disc has a total only when every track has a time.
    void runningTimes_data()
    {
        QTest::addColumn<QString>("times"); // a disc's track times, separated by "|"
        QTest::addColumn<int>("total");     // -1: no total
        QTest::newRow("minutes and seconds") << u"4:56|10:02|04:56"_qs << 1194;
        QTest::newRow("hours") << u"1:02:03| 0:57 "_qs << 3780;
        QTest::newRow("CD frames round to the second") << u"4:35.37|4:35.38"_qs << 551;
        QTest::newRow("a dot for the colon") << u"0.28|12.05"_qs << 753;
        QTest::newRow("a track without a time") << u"4:56||3:00"_qs << -1;
        QTest::newRow("seconds past 59") << u"4:60"_qs << -1;
        QTest::newRow("one digit of seconds") << u"4:5"_qs << -1;
        QTest::newRow("frames past 74") << u"4:35.75"_qs << -1;
        QTest::newRow("letters") << u"4:5x"_qs << -1;
        QTest::newRow("no colon") << u"456"_qs << -1;
    }

    void runningTimes()
    {
        QFETCH(QString, times);
        QFETCH(int, total);
        QCOMPARE(DiscSeconds(times.split(u'|')).value_or(-1), total);
    }

    void runningTime_printed() { QCOMPARE(RunningTime(80 * 60 + 2), u"80:02"_qs); }
};

QTEST_GUILESS_MAIN(TestTypeFit)
#include "tst_typefit.moc"
