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
    // may be larger than the records kept.
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
        const QStringList lines = WriteTrackList(fields, discs).split(u"\r\n"_qs);
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
    // borders the ranges is written as it is.
    void unwritable_data()
    {
        QTest::addColumn<QChar>("c");
        QTest::addColumn<bool>("blank");
        const auto row = [](const char *name, char16_t c, bool blank) {
            QTest::newRow(name) << QChar(c) << blank;
        };
        row("NUL", 0x00, true);
        row("tab", 0x09, true);
        row("lone LF", 0x0A, true);
        row("lone CR", 0x0D, true);
        row("unit separator", 0x1F, true);
        row("tilde", 0x7E, false);
        row("DEL", 0x7F, true);
        row("NEL", 0x85, true);
        row("last C1 control", 0x9F, true);
        row("no-break space", 0xA0, false);
        row("hyphenation point", 0x2027, false);
        row("line separator", 0x2028, true);
        row("paragraph separator", 0x2029, true);
        row("left-to-right embedding", 0x202A, false);
        row("replacement character", 0xFFFD, false);
    }

    void unwritable()
    {
        QFETCH(QChar, c);
        QFETCH(bool, blank);
        const QChar written = blank ? QChar(u' ') : c;
        // Texts of up to seventeen units, the character at each place: every lane of a block of
        // eight and the units after the last whole block.
        for (qsizetype size = 1; size <= 17; ++size) {
            for (qsizetype at = 0; at < size; ++at) {
                QString text(size, u'a');
                text[at] = c;
                QString expected = text;
                expected[at] = written;
                ShowFields fields;
                fields.Band.Element = u"<BAND>"_qs + text + u"</BAND>"_qs;
                const std::vector<TrackRec> tracks{{text, text}};
                const std::vector<DiscTracks> discs{{1, tracks}};
                QCOMPARE(
                    WriteTrackList(fields, discs),
                    u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>%1</BAND>\r\n"
                    "<DISCS>1</DISCS>\r\n<TRACKSD1>1</TRACKSD1>\r\n"
                    "<D1T1>%1</D1T1><D1T1Time>%1</D1T1Time>\r\n</CDR_Track_List>"_qs.arg(expected));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTrackListWriter)
#include "tst_tracklistwriter.moc"
