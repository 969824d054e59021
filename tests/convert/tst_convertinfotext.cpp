// The converter as a whole: when it converts, the document's shape, and big inputs.
#include "convertinfotext.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

struct RecordingObserver : ConvertObserver
{
    QStringList calls;
    void busyOn() override { calls << u"on"_qs; }
    void busyOff() override { calls << u"off"_qs; }
};

} // namespace

class TestConvertInfoText : public QObject
{
    Q_OBJECT

private slots:
    void lineCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converts");
        QTest::newRow("empty text") << QString() << false;
        QTest::newRow("five line ends") << u"a\r\nb\r\nc\r\nd\r\ne\r\n"_qs << false;
        QTest::newRow("five ends and an unended line") << u"a\r\nb\r\nc\r\nd\r\ne\r\nf"_qs << false;
        QTest::newRow("six line ends") << u"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n"_qs << true;
        QTest::newRow("six empty lines") << u"\r\n\r\n\r\n\r\n\r\n\r\n"_qs << true;
        QTest::newRow("lone line feeds are no line ends") << u"a\nb\nc\nd\ne\nf\n"_qs << false;
    }

    void lineCount()
    {
        QFETCH(QString, text);
        QFETCH(bool, converts);
        RecordingObserver observer;
        ConvertOptions options = ConvertOptions{UnitedStatesLocale()};
        options.observer = &observer;
        const QString xml = ConvertInfoText(text, options);
        QCOMPARE(!xml.isEmpty(), converts);
        // Busy is shown only for texts that are really converted, and always cleared again.
        const QStringList expected = converts ? QStringList{u"on"_qs, u"off"_qs} : QStringList{};
        QCOMPARE(observer.calls, expected);
    }

    void smallestDocument()
    {
        const QString xml =
            ConvertInfoText(CrlfLines({u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs}),
                            ConvertOptions{UnitedStatesLocale()});
        QCOMPARE(xml, u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>a</BAND>\r\n"
                      "<DISCS>0</DISCS>\r\n</CDR_Track_List>"_qs);
    }

    void tabsAndBlanks()
    {
        const QString xml =
            ConvertInfoText(CrlfLines({u"\t Blue\tLantern  "_qs, u"Venue\tTown Hall\t"_qs, u""_qs,
                                       u""_qs, u""_qs, u""_qs}),
                            ConvertOptions{UnitedStatesLocale()});
        QVERIFY(xml.contains(u"<BAND>Blue Lantern</BAND>\r\n"_qs));
        QVERIFY(xml.contains(u"<VENUE>Town Hall</VENUE>\r\n"_qs));
    }

    void unendedLastLineTakesNoPart()
    {
        const QString base = CrlfLines({u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs});
        QCOMPARE(ConvertInfoText(base + u"Venue Hall"_qs, ConvertOptions{UnitedStatesLocale()}),
                 ConvertInfoText(base, ConvertOptions{UnitedStatesLocale()}));
        QVERIFY(ConvertInfoText(base + u"Venue Hall\r\n"_qs, ConvertOptions{UnitedStatesLocale()})
                    .contains(u"<VENUE>Hall</VENUE>"_qs));
    }

    // Every line of the worked example that the show fields give, in document order.
    void workedExample_showFields()
    {
        const QString xml = ConvertInfoText(QString::fromUtf8(TestData(u"worked-example.txt"_qs)),
                                            ConvertOptions{UnitedStatesLocale()});
        const QStringList lines = xml.split(u"\r\n"_qs);
        QCOMPARE(lines.first(), u"<?xml version=\"1.0\"?>"_qs);
        QCOMPARE(lines.at(1), u"<CDR_Track_List>"_qs);
        QCOMPARE(lines.at(2), u"<BAND>Blue Lantern</BAND>"_qs);
        const QStringList inOrder = {
            u"<BAND>Blue Lantern</BAND>"_qs,    u"<VENUE>Town Hall</VENUE>"_qs,
            u"<CITY>Springfield</CITY>"_qs,     u"<SOURCE>Source: SBD > Reel > DAT</SOURCE>"_qs,
            u"<NOTES>:Great show. </NOTES>"_qs, u"</CDR_Track_List>"_qs};
        qsizetype previous = -1;
        for (const QString &line : inOrder) {
            const qsizetype at = lines.indexOf(line);
            QVERIFY2(at > previous, qPrintable(line));
            previous = at;
        }
        QCOMPARE(lines.last(), u"</CDR_Track_List>"_qs);
        QVERIFY(!xml.endsWith(u"\r\n"_qs));
        QVERIFY(!xml.contains(u"<STATE>"_qs));
    }

    void sameTextSameDocument()
    {
        const QString text = QString::fromUtf8(TestData(u"worked-example.txt"_qs));
        QCOMPARE(ConvertInfoText(text, ConvertOptions{UnitedStatesLocale()}),
                 ConvertInfoText(text, ConvertOptions{UnitedStatesLocale()}));
    }

    // Nothing is limited to 16 bits: a line end far past character 32,767 and more than 32,767
    // lines convert like any other text.
    void largeTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString longLine(40000, u'x');
        QTest::newRow("first line of 40000 characters")
            << CrlfLines({longLine, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"Venue Hall"_qs})
            << u"<VENUE>Hall</VENUE>"_qs;
        QStringList many(40000, u"filler line"_qs);
        many.first() = u"Band"_qs;
        many.append(u"City Late"_qs);
        QTest::newRow("40000 lines") << CrlfLines(many) << u"<CITY>Late</CITY>"_qs;
        QStringList fiveMb(100000, u"An ordinary line of an info text, fifty characters"_qs);
        fiveMb.append(u"State Far"_qs);
        QTest::newRow("5 MB text") << CrlfLines(fiveMb) << u"<STATE>Far</STATE>"_qs;
    }

    void largeTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString xml = ConvertInfoText(text, ConvertOptions{UnitedStatesLocale()});
        QVERIFY(xml.contains(expected));
        QVERIFY(xml.endsWith(u"</CDR_Track_List>"_qs));
    }
};

QTEST_GUILESS_MAIN(TestConvertInfoText)
#include "tst_convertinfotext.moc"
