// The track list writer as any recogniser calls it: as many discs as it found, titles and times
// kept in the caller's own strings.
#include "convert/tracklistwriter.h"

#include <QTest>

#include <vector>

using namespace tapewright;

class TestTrackListWriter : public QObject
{
    Q_OBJECT

private slots:
    // Every disc's count, then the first fifty tracks of each disc, numbered on past nine; a count
    // may be larger than the records kept. Handed over track by track, the same.
    void discs()
    {
        QStringList titles, times;
        std::vector<TrackRec> records;
        for (int t = 1; t <= 60; ++t) {
            titles << QStringLiteral("Song %1").arg(t);
            times << (t % 2 ? QStringLiteral("%1:00").arg(t) : QString());
        }
        for (qsizetype t = 0; t < titles.size(); ++t)
            records.push_back({titles[t], times[t]});
        std::vector<DiscTracks> discs(12);
        discs[4] = {60, records};
        discs[11] = {75, {}};
        ShowFields fields;
        fields.Band.Element = u"<BAND>X</BAND>"_qs;
        const QString document = WriteTrackList(fields, discs);
        // Handed over track by track, the tracks past the fiftieth too, the same show gives the
        // same document.
        const QString streamed = WriteTrackList(fields, [&](TrackLines &out) {
            for (const DiscTracks &disc : discs) {
                out.disc();
                for (const TrackRec &track : disc.Tracks)
                    out.track(track.Title, track.Time);
            }
        });
        discs[11].Count = 0;
        QCOMPARE(streamed, WriteTrackList(fields, discs));
        const QStringList lines = document.split(u"\r\n"_qs);
        QCOMPARE(lines.size(), 67);
        QCOMPARE(lines.first(4), (QStringList{u"<?xml version=\"1.0\"?>"_qs, u"<CDR_Track_List>"_qs,
                                              u"<BAND>X</BAND>"_qs, u"<DISCS>12</DISCS>"_qs}));
        QCOMPARE(lines.at(4), u"<TRACKSD1>0</TRACKSD1>"_qs);
        QCOMPARE(lines.at(8), u"<TRACKSD5>60</TRACKSD5>"_qs);
        QCOMPARE(lines.at(15), u"<TRACKSD12>75</TRACKSD12>"_qs);
        QCOMPARE(lines.at(16), u"<D5T1>Song 1</D5T1><D5T1Time>1:00</D5T1Time>"_qs);
        QCOMPARE(lines.at(17), u"<D5T2>Song 2</D5T2>"_qs);
        QCOMPARE(lines.at(25), u"<D5T10>Song 10</D5T10>"_qs);
        QCOMPARE(lines.at(65), u"<D5T50>Song 50</D5T50>"_qs);
        QCOMPARE(lines.last(), u"</CDR_Track_List>"_qs);
    }

    // No element holds a control character or a line or paragraph separator, whichever
    // recogniser found it: each is written as a blank, at every place of a text, and what
    // borders the ranges is written as it is. (NUL, tabs, line ends: the converters' tables.)
    void unwritable_data()
    {
        QTest::addColumn<QString>("characters");
        QTest::addColumn<bool>("blank");
        QTest::newRow("ends of the ranges") << u"\u001F\u007F\u009F\u2028\u2029"_qs << true;
        QTest::newRow("their neighbours") << u"~\u00A0\u2027\u202A"_qs << false;
    }
    void unwritable()
    {
        QFETCH(QString, characters);
        QFETCH(bool, blank);
        // Titles of up to seventeen units, the character at each place: every lane of a block of
        // eight and the units after the last whole block.
        for (const QChar c : characters) {
            for (qsizetype size = 1; size <= 17; ++size) {
                for (qsizetype at = 0; at < size; ++at) {
                    QString title(size, u'a');
                    title[at] = c;
                    const std::vector<TrackRec> tracks{{title, {}}};
                    const std::vector<DiscTracks> discs{{1, tracks}};
                    title[at] = blank ? QChar(u' ') : c;
                    QVERIFY(WriteTrackList({}, discs).contains(u"\r\n<D1T1>"_qs + title +
                                                               u"</D1T1>\r\n"_qs));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTrackListWriter)
#include "tst_tracklistwriter.moc"
