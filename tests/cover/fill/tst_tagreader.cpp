// GetTagValue and TagText: the only readers of the track list XML.
#include "cover/fill/covershow.h"
#include "cover/fill/tagreader.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

class TestTagReader : public QObject
{
    Q_OBJECT

private slots:
    void value_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");

        TextRow("lower-case tag", "<band>", "<BAND>Blue</BAND>", "Blue");
        TextRow("mixed case tags, value keeps its case", "<band>", "x<Band>MiXeD</band>y", "MiXeD");
        TextRow("tag asked in mixed case", "<TracksD1>", "<TRACKSD1>12</TRACKSD1>", "12");
        TextRow("no trimming, no decoding, inner markup kept", "<notes>",
                "<NOTES> a&amp;<b>b</b>\r\n</NOTES>", " a&amp;<b>b</b>\r\n");
        TextRow("unescaped angle bracket in value", "<source>", "<SOURCE>SBD > DAT</SOURCE>",
                "SBD > DAT");
        TextRow("first occurrence wins", "<band>", "<BAND>first</BAND><BAND>second</BAND>",
                "first");
        TextRow("up to the first closing tag, no nesting", "<d1t1>",
                "<D1T1>a<D1T1>b</D1T1>c</D1T1>", "a<D1T1>b");
        TextRow("date is not found inside literaldate", "<date>",
                "<LITERALDATE>May 8th</LITERALDATE><DATE>5/8/1977</DATE>", "5/8/1977");
        TextRow("track 1 not found inside track 10 or its time", "<D1T1>",
                "<D1T10>ten</D1T10><D1T1Time>4:56</D1T1Time><D1T1>one</D1T1>", "one");
        // One-to-one case mapping: "ß" stays one unit, so the value is cut at the right place.
        TextRow("sharp s before the tag keeps positions", "<band>", "ßßß<band>Straße</band>",
                "Straße");
        TextRow("tag with brackets inside", "<<a>", "<a><<a>x</<a></a>", "x");
        // The older reader held positions in 16 bits and failed past character 32,767.
        QTest::newRow("beyond 16-bit positions")
            << u"<notes>"_qs << QString(40000, u'x') + u"<NOTES>late</NOTES>"_qs << u"late"_qs;
        QTest::newRow("value beyond 16 bits")
            << u"<notes>"_qs << u"<NOTES>"_qs + QString(70000, u'v') + u"</NOTES>"_qs
            << QString(70000, u'v');
        // Nothing to read.
        TextRow("no element", "<band>", "<VENUE>Hall</VENUE>", "");
        TextRow("empty element", "<venue>", "<VENUE></VENUE>", "");
        TextRow("no closing tag", "<band>", "<BAND>Blue", "");
        TextRow("closing tag only before the opening tag", "<band>", "</BAND>x<BAND>Blue", "");
        TextRow("opening tag with attributes", "<band>", "<BAND id=\"1\">Blue</BAND>", "");
        TextRow("blanks inside the brackets", "<band>", "< BAND >Blue</BAND>", "");
        TextRow("empty text", "<band>", "", "");
        TextRow("empty tag", "", "<BAND>x</BAND>", "");
    }
    void value()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QFETCH(QString, value);
        QCOMPARE(GetTagValue(tag, text), value);
        QCOMPARE(TagText(text).value(tag), value);
    }

    // The indexed reader must answer exactly as the plain search does, also on texts full of
    // stray brackets, repeated and overlapping tags.
    void tagText_agreesWithPlainSearch()
    {
        const QStringList pieces = {u"<"_qs,   u">"_qs,    u"/"_qs,  u"a"_qs,   u"A"_qs,
                                    u"b"_qs,   u"ß"_qs,    u" "_qs,  u"<a>"_qs, u"</A>"_qs,
                                    u"<b>"_qs, u"</b>"_qs, u"<>"_qs, u"</>"_qs, u"<ab>"_qs};
        const QStringList tags = {u"<a>"_qs, u"<A>"_qs, u"<b>"_qs, u"<ab>"_qs, u"<>"_qs,
                                  u"<"_qs,   u"a>"_qs,  u"<a"_qs,  u"<<a>"_qs, u"</a>"_qs};
        QRandomGenerator rng(20001004);
        for (int round = 0; round < 3000; ++round) {
            QString text;
            const int count = rng.bounded(24);
            for (int k = 0; k < count; ++k)
                text += pieces.at(rng.bounded(int(pieces.size())));
            const TagText indexed(text);
            for (const QString &tag : tags) {
                if (indexed.value(tag) != GetTagValue(tag, text))
                    QFAIL(qPrintable(u"tag "_qs + tag + u" in "_qs + text));
            }
        }
    }

    // The show a cover reads: each counted disc's tracks with their times, a missing element
    // read as empty, and no more tracks read than a cover could ever hold.
    void coverShow_discsAndTimes()
    {
        const CoverShow show = ReadCoverShow(
            u"<BAND>B</BAND><DISCS>2</DISCS><TRACKSD1>3</TRACKSD1><TRACKSD2>1</TRACKSD2>"
            "<D1T1>a</D1T1><D1T1Time>4:56</D1T1Time><D1T3>c</D1T3><D2T1>d</D2T1>"_qs);
        QCOMPARE(show.band, u"B"_qs);
        QCOMPARE(show.discs.size(), 2u);
        QCOMPARE(show.discs[0].titles, QStringList({u"a"_qs, QString(), u"c"_qs}));
        QCOMPARE(show.discs[0].times, QStringList({u"4:56"_qs, QString(), QString()}));
        QCOMPARE(show.discs[1].titles, QStringList({u"d"_qs}));
        QVERIFY(!show.tracksCut);

        const CoverShow huge =
            ReadCoverShow(u"<DISCS>32767</DISCS><TRACKSD1>32767</TRACKSD1><D1T1>x</D1T1>"_qs);
        QCOMPARE(huge.discs.size(), 1u);
        QCOMPARE(huge.discs[0].titles.size(), qsizetype(MaxShowTracks));
        QVERIFY(huge.tracksCut);
    }
};

QTEST_GUILESS_MAIN(TestTagReader)
#include "tst_tagreader.moc"
