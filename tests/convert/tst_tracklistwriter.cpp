// The track list writer as any recogniser calls it: as many discs as it found, titles and times
// kept in the caller's own strings.
#include "testsupport.h"
#include "tracklistwriter.h"

#include <QTest>

#include <vector>

using namespace tapewright;
using namespace testsupport;

namespace {

// Track titles "Song 1" ... "Song n" with times "1:00" ... , each disc its own list.
struct Discs
{
    std::vector<QStringList> titles;
    std::vector<QStringList> times;
    std::vector<std::vector<TrackRec>> records;
    std::vector<DiscTracks> discs;

    // tracks[d]: how many tracks disc d + 1 has; counts[d] what its count line says.
    Discs(const std::vector<int> &tracks, const std::vector<int> &counts)
    {
        for (int n : tracks) {
            QStringList ti, tm;
            for (int t = 1; t <= n; ++t) {
                ti << QStringLiteral("Song %1").arg(t);
                tm << (t % 2 ? QStringLiteral("%1:00").arg(t) : QString());
            }
            titles.push_back(ti);
            times.push_back(tm);
        }
        for (size_t d = 0; d < tracks.size(); ++d) {
            std::vector<TrackRec> list;
            for (qsizetype t = 0; t < titles[d].size(); ++t)
                list.push_back({titles[d][t], times[d][t]});
            records.push_back(std::move(list));
        }
        for (size_t d = 0; d < tracks.size(); ++d)
            discs.push_back({counts[d], records[d]});
    }
};

ShowFields bandOnly()
{
    ShowFields fields;
    fields.Band.Element = u"<BAND>X</BAND>"_qs;
    return fields;
}

} // namespace

class TestTrackListWriter : public QObject
{
    Q_OBJECT

private slots:
    void discs_data()
    {
        QTest::addColumn<std::vector<int>>("tracks");
        QTest::addColumn<std::vector<int>>("counts");
        QTest::addColumn<QStringList>("expected"); // the lines between the band and the end
        QTest::newRow("seven discs, the fifth with tracks")
            << std::vector<int>{0, 0, 0, 0, 2, 0, 0} << std::vector<int>{0, 0, 0, 0, 2, 0, 0}
            << QStringList{u"<DISCS>7</DISCS>"_qs,
                           u"<TRACKSD1>0</TRACKSD1>"_qs,
                           u"<TRACKSD2>0</TRACKSD2>"_qs,
                           u"<TRACKSD3>0</TRACKSD3>"_qs,
                           u"<TRACKSD4>0</TRACKSD4>"_qs,
                           u"<TRACKSD5>2</TRACKSD5>"_qs,
                           u"<TRACKSD6>0</TRACKSD6>"_qs,
                           u"<TRACKSD7>0</TRACKSD7>"_qs,
                           u"<D5T1>Song 1</D5T1><D5T1Time>1:00</D5T1Time>"_qs,
                           u"<D5T2>Song 2</D5T2>"_qs};
        QTest::newRow("twelve discs, counts above the records kept")
            << std::vector<int>(12, 0) << std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 75}
            << QStringList{u"<DISCS>12</DISCS>"_qs,        u"<TRACKSD1>0</TRACKSD1>"_qs,
                           u"<TRACKSD2>0</TRACKSD2>"_qs,   u"<TRACKSD3>0</TRACKSD3>"_qs,
                           u"<TRACKSD4>0</TRACKSD4>"_qs,   u"<TRACKSD5>0</TRACKSD5>"_qs,
                           u"<TRACKSD6>0</TRACKSD6>"_qs,   u"<TRACKSD7>0</TRACKSD7>"_qs,
                           u"<TRACKSD8>0</TRACKSD8>"_qs,   u"<TRACKSD9>0</TRACKSD9>"_qs,
                           u"<TRACKSD10>0</TRACKSD10>"_qs, u"<TRACKSD11>0</TRACKSD11>"_qs,
                           u"<TRACKSD12>75</TRACKSD12>"_qs};
        QTest::newRow("no discs") << std::vector<int>{} << std::vector<int>{}
                                  << QStringList{u"<DISCS>0</DISCS>"_qs};
    }

    void discs()
    {
        QFETCH(std::vector<int>, tracks);
        QFETCH(std::vector<int>, counts);
        QFETCH(QStringList, expected);
        const Discs d(tracks, counts);
        const QString xml = WriteTrackList(bandOnly(), d.discs);
        const QStringList head{u"<?xml version=\"1.0\"?>"_qs, u"<CDR_Track_List>"_qs,
                               u"<BAND>X</BAND>"_qs};
        QCOMPARE(xml, (head + expected + QStringList{u"</CDR_Track_List>"_qs}).join(u"\r\n"));
    }

    // The first fifty of a disc's tracks are written, numbered on past nine, on any disc.
    void fiftyTracksADisc()
    {
        const Discs d({3, 0, 0, 0, 0, 60}, {3, 0, 0, 0, 0, 60});
        const QStringList lines = WriteTrackList(bandOnly(), d.discs).split(u"\r\n"_qs);
        QVERIFY(lines.contains(u"<TRACKSD6>60</TRACKSD6>"_qs));
        QVERIFY(lines.contains(u"<D6T9>Song 9</D6T9><D6T9Time>9:00</D6T9Time>"_qs));
        QVERIFY(lines.contains(u"<D6T10>Song 10</D6T10>"_qs));
        const qsizetype last = lines.indexOf(u"<D6T50>Song 50</D6T50>"_qs);
        QVERIFY(last > 0);
        QCOMPARE(lines.at(last + 1), u"</CDR_Track_List>"_qs);
        QCOMPARE(lines.filter(u"<D6T"_qs).size(), 50);
    }

    // A caller's text may hold line breaks; each becomes a blank, so every element keeps to one
    // line. Told that its texts hold none, the writer copies them as they are.
    void lineBreaksInTexts()
    {
        ShowFields fields;
        fields.Band.Element = u"<BAND>a\r\nb</BAND>"_qs;
        const QString title = u"Song\rone\n"_qs;
        const QString time = u"1\n:00"_qs;
        const std::vector<TrackRec> tracks{{title, time}};
        const std::vector<DiscTracks> discs{{1, tracks}};
        QCOMPARE(WriteTrackList(fields, discs),
                 u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>a  b</BAND>\r\n"
                 "<DISCS>1</DISCS>\r\n<TRACKSD1>1</TRACKSD1>\r\n"
                 "<D1T1>Song one </D1T1><D1T1Time>1 :00</D1T1Time>\r\n</CDR_Track_List>"_qs);
    }
};

QTEST_GUILESS_MAIN(TestTrackListWriter)
#include "tst_tracklistwriter.moc"
