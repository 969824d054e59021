// GetTagValue and TagText: the only readers of the track list XML.
#include "tagreader.h"

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

        QTest::newRow("lower-case tag") << u"<band>"_qs << u"<BAND>Blue</BAND>"_qs << u"Blue"_qs;
        QTest::newRow("mixed case tags, value keeps its case")
            << u"<band>"_qs << u"x<Band>MiXeD</band>y"_qs << u"MiXeD"_qs;
        QTest::newRow("tag asked in mixed case")
            << u"<TracksD1>"_qs << u"<TRACKSD1>12</TRACKSD1>"_qs << u"12"_qs;
        QTest::newRow("no trimming, no decoding, inner markup kept")
            << u"<notes>"_qs << u"<NOTES> a&amp;<b>b</b>\r\n</NOTES>"_qs
            << u" a&amp;<b>b</b>\r\n"_qs;
        QTest::newRow("unescaped angle bracket in value")
            << u"<source>"_qs << u"<SOURCE>SBD > DAT</SOURCE>"_qs << u"SBD > DAT"_qs;
        QTest::newRow("first occurrence wins")
            << u"<band>"_qs << u"<BAND>first</BAND><BAND>second</BAND>"_qs << u"first"_qs;
        QTest::newRow("up to the first closing tag, no nesting")
            << u"<d1t1>"_qs << u"<D1T1>a<D1T1>b</D1T1>c</D1T1>"_qs << u"a<D1T1>b"_qs;
        QTest::newRow("date is not found inside literaldate")
            << u"<date>"_qs << u"<LITERALDATE>May 8th</LITERALDATE><DATE>5/8/1977</DATE>"_qs
            << u"5/8/1977"_qs;
        QTest::newRow("track 1 not found inside track 10 or its time")
            << u"<D1T1>"_qs << u"<D1T10>ten</D1T10><D1T1Time>4:56</D1T1Time><D1T1>one</D1T1>"_qs
            << u"one"_qs;
        // One-to-one case mapping: "ß" stays one unit, so the value is cut at the right place.
        QTest::newRow("sharp s before the tag keeps positions")
            << u"<band>"_qs << u"ßßß<band>Straße</band>"_qs << u"Straße"_qs;
        QTest::newRow("tag with brackets inside")
            << u"<<a>"_qs << u"<a><<a>x</<a></a>"_qs << u"x"_qs;
        // The older reader held positions in 16 bits and failed past character 32,767.
        QTest::newRow("beyond 16-bit positions")
            << u"<notes>"_qs << QString(40000, u'x') + u"<NOTES>late</NOTES>"_qs << u"late"_qs;
        QTest::newRow("value beyond 16 bits")
            << u"<notes>"_qs << u"<NOTES>"_qs + QString(70000, u'v') + u"</NOTES>"_qs
            << QString(70000, u'v');
        // Nothing to read.
        QTest::newRow("no element") << u"<band>"_qs << u"<VENUE>Hall</VENUE>"_qs << QString();
        QTest::newRow("empty element") << u"<venue>"_qs << u"<VENUE></VENUE>"_qs << QString();
        QTest::newRow("no closing tag") << u"<band>"_qs << u"<BAND>Blue"_qs << QString();
        QTest::newRow("closing tag only before the opening tag")
            << u"<band>"_qs << u"</BAND>x<BAND>Blue"_qs << QString();
        QTest::newRow("opening tag with attributes")
            << u"<band>"_qs << u"<BAND id=\"1\">Blue</BAND>"_qs << QString();
        QTest::newRow("blanks inside the brackets")
            << u"<band>"_qs << u"< BAND >Blue</BAND>"_qs << QString();
        QTest::newRow("empty text") << u"<band>"_qs << QString() << QString();
        QTest::newRow("empty tag") << QString() << u"<BAND>x</BAND>"_qs << QString();
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
};

QTEST_GUILESS_MAIN(TestTagReader)
#include "tst_tagreader.moc"
