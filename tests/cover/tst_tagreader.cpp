// GetTagValue: the only reader of the track list XML.
#include "tagreader.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace tapewright;

class TestTagReader : public QObject
{
    Q_OBJECT

private slots:
    void value_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");

        QTest::newRow("upper-case element, lower-case tag")
            << u"<band>"_qs << u"<BAND>Blue Lantern</BAND>"_qs << u"Blue Lantern"_qs;
        QTest::newRow("mixed case tags, value keeps its case")
            << u"<band>"_qs << u"x<Band>MiXeD CaSe</band>y"_qs << u"MiXeD CaSe"_qs;
        QTest::newRow("tag asked in mixed case")
            << u"<TracksD1>"_qs << u"<TRACKSD1>12</TRACKSD1>"_qs << u"12"_qs;
        QTest::newRow("no trimming")
            << u"<notes>"_qs << u"<NOTES>  two  </NOTES>"_qs << u"  two  "_qs;
        QTest::newRow("entities not decoded")
            << u"<band>"_qs << u"<BAND>Tom &amp; Jerry</BAND>"_qs << u"Tom &amp; Jerry"_qs;
        QTest::newRow("inner markup kept")
            << u"<notes>"_qs << u"<NOTES>a<b>bold</b>c</NOTES>"_qs << u"a<b>bold</b>c"_qs;
        QTest::newRow("unescaped angle bracket in value")
            << u"<source>"_qs << u"<SOURCE>SBD > Reel > DAT</SOURCE>"_qs << u"SBD > Reel > DAT"_qs;
        QTest::newRow("first occurrence wins")
            << u"<band>"_qs << u"<BAND>first</BAND><BAND>second</BAND>"_qs << u"first"_qs;
        QTest::newRow("value up to the first closing tag, no nesting")
            << u"<d1t1>"_qs << u"<D1T1>a<D1T1>b</D1T1>c</D1T1>"_qs << u"a<D1T1>b"_qs;
        QTest::newRow("empty element") << u"<venue>"_qs << u"<VENUE></VENUE>"_qs << QString();
        QTest::newRow("multi-line value")
            << u"<notes>"_qs << u"<NOTES>one\r\ntwo</NOTES>"_qs << u"one\r\ntwo"_qs;
        QTest::newRow("date is not found inside literaldate")
            << u"<date>"_qs << u"<LITERALDATE>May 8th</LITERALDATE>\r\n<DATE>5/8/1977</DATE>"_qs
            << u"5/8/1977"_qs;
        QTest::newRow("track 1 not found inside track 10 or its time")
            << u"<D1T1>"_qs << u"<D1T10>ten</D1T10><D1T1Time>4:56</D1T1Time><D1T1>one</D1T1>"_qs
            << u"one"_qs;
        // One-to-one case mapping: "ß" stays one unit, so the value is cut at the right place.
        QTest::newRow("sharp s before the tag keeps positions")
            << u"<band>"_qs << u"ßßß<band>Straße</band>"_qs << u"Straße"_qs;
        QTest::newRow("non-ascii letters in the value")
            << u"<city>"_qs << u"<CITY>Zürich Ørsted 東京</CITY>"_qs << u"Zürich Ørsted 東京"_qs;
    }

    void value()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QFETCH(QString, value);
        QCOMPARE(GetTagValue(tag, text), value);
        QCOMPARE(TagText(text).value(tag), value);
    }

    void value_missing_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");

        QTest::newRow("no element") << u"<band>"_qs << u"<VENUE>Hall</VENUE>"_qs;
        QTest::newRow("no closing tag") << u"<band>"_qs << u"<BAND>Blue Lantern"_qs;
        QTest::newRow("closing tag only before the opening tag")
            << u"<band>"_qs << u"</BAND>x<BAND>Blue Lantern"_qs;
        QTest::newRow("opening tag with attributes")
            << u"<band>"_qs << u"<BAND id=\"1\">Blue Lantern</BAND>"_qs;
        QTest::newRow("blanks inside the brackets")
            << u"<band>"_qs << u"< BAND >Blue Lantern</BAND>"_qs;
        QTest::newRow("empty text") << u"<band>"_qs << QString();
        QTest::newRow("empty tag") << QString() << u"<BAND>x</BAND>"_qs;
    }

    void value_missing()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QVERIFY(GetTagValue(tag, text).isEmpty());
    }

    // The older reader held positions in 16 bits and failed past character 32,767; this one
    // finds such a tag like any other.
    void value_beyondSixteenBitPositions()
    {
        const QString text = QString(40000, u'x') + u"<NOTES>late</NOTES>"_qs;
        QCOMPARE(GetTagValue(u"<notes>", text), u"late"_qs);
        const QString longValue(70000, u'v');
        QCOMPARE(GetTagValue(u"<notes>", u"<NOTES>"_qs + longValue + u"</NOTES>"_qs), longValue);
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
                const QString expected = GetTagValue(tag, text);
                if (indexed.value(tag) != expected)
                    QFAIL(qPrintable(u"tag "_qs + tag + u" in "_qs + text));
            }
        }
    }

    void value_workedExample_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("value");
        QTest::newRow("band") << u"<band>"_qs << u"Blue Lantern"_qs;
        QTest::newRow("date") << u"<date>"_qs << u"5/8/1977"_qs;
        QTest::newRow("venue") << u"<venue>"_qs << u"Town Hall"_qs;
        QTest::newRow("city") << u"<city>"_qs << u"Springfield"_qs;
        QTest::newRow("state absent") << u"<state>"_qs << QString();
        QTest::newRow("source") << u"<source>"_qs << u"Source: SBD > Reel > DAT"_qs;
        QTest::newRow("notes") << u"<notes>"_qs << u":Great show. "_qs;
        QTest::newRow("discs") << u"<discs>"_qs << u"2"_qs;
        QTest::newRow("disc 2 track count") << u"<TracksD2>"_qs << u"2"_qs;
        QTest::newRow("disc 1 track 2") << u"<D1T2>"_qs << u"2. Second Song"_qs;
        QTest::newRow("disc 2 track 2") << u"<D2T2>"_qs << u"2. Encore: Closer 3:30"_qs;
        QTest::newRow("track 3 absent") << u"<D1T3>"_qs << QString();
    }

    void value_workedExample()
    {
        QFETCH(QString, tag);
        QFETCH(QString, value);
        QFile file(QStringLiteral(TAPEWRIGHT_TEST_DATA "/worked-example.en_US.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(file.readAll());
        QCOMPARE(GetTagValue(tag, xml), value);
    }
};

QTEST_GUILESS_MAIN(TestTagReader)
#include "tst_tagreader.moc"
