// The converter as a whole. Every info text of the test corpus and the worked example, classic
// and smart, must give its golden document byte for byte (scripts/regen-golden writes them
// anew); and the texts at the edges: too few lines, stray line breaks, fuzzer findings, size.
#include "common/textfile.h"
#include "convert/convertinfotext.h"
#include "smart/recogniseinfotext.h"
#include "testsupport.h"

#include <QDir>
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

// A fuzzer input as the fuzzer reads it: one byte of choices, then UTF-16 units.
QString fuzzerText(const QString &name)
{
    const QByteArray bytes = TestData(u"fuzz/"_qs + name).mid(1);
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                              bytes.size() / 2);
}

QString sixLines(const QString &band, const QString &venue, const QString &more = {})
{
    return band + u"\r\nb\r\nc\r\nd\r\ne\r\nVenue "_qs + venue + u"\r\n"_qs + more;
}

} // namespace

class TestGolden : public QObject
{
    Q_OBJECT

private slots:
    void golden_data()
    {
        QTest::addColumn<QString>("info");
        QTest::addColumn<bool>("smart");
        QTest::addColumn<QString>("golden"); // both below tests/data
        const QStringList names =
            QDir(TestDataPath(u"corpus"_qs)).entryList({u"*.txt"_qs}, QDir::Files, QDir::Name);
        QCOMPARE(names.size(), 30);
        for (const QString &name : names) {
            const QString base = name.chopped(4);
            for (const char *kind : {"classic", "smart"}) {
                QTest::addRow("%s %s", kind, qPrintable(base))
                    << u"corpus/"_qs + name << (kind[0] == 's')
                    << QStringLiteral("golden/%1/%2.xml").arg(QLatin1String(kind), base);
            }
        }
        QTest::newRow("classic worked example")
            << u"worked-example.txt"_qs << false << u"worked-example.en_US.xml"_qs;
        QTest::newRow("smart worked example")
            << u"worked-example.txt"_qs << true << u"golden/smart/worked-example.xml"_qs;
    }

    void golden()
    {
        QFETCH(QString, info);
        QFETCH(bool, smart);
        QFETCH(QString, golden);
        const Result<DecodedText> text = ReadTextFile(TestDataPath(info));
        QVERIFY(text);
        const ConvertOptions options{UnitedStatesLocale()};
        const QString xml =
            smart ? RecogniseInfoText(text->text, options) : ConvertInfoText(text->text, options);
        // Line by line, so that a difference shows the line it is on.
        QCOMPARE(xml.split(u"\r\n"_qs), QString::fromUtf8(TestData(golden)).split(u"\r\n"_qs));
    }

    void edges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // in the document; empty: no document
        const QString five = u"a\r\nb\r\nc\r\nd\r\ne\r\n"_qs;
        QTest::newRow("empty text") << QString() << QString();
        QTest::newRow("five line ends") << five << QString();
        QTest::newRow("five ends and an unended line") << five + u"f"_qs << QString();
        QTest::newRow("lone line feeds are no line ends") << u"a\nb\nc\nd\ne\nf\n"_qs << QString();
        QTest::newRow("six line ends")
            << five + u"f\r\n"_qs
            << u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>a</BAND>\r\n"
               "<DISCS>0</DISCS>\r\n</CDR_Track_List>"_qs;
        // Lines are cut only at CR LF, so a lone CR or LF stays inside a field; the document
        // must still hold every element on one line.
        QTest::newRow("lone LF in the band line")
            << sixLines(u"Blue\nLantern"_qs, u"Hall"_qs) << u"<BAND>Blue Lantern</BAND>"_qs;
        QTest::newRow("lone CR in the venue")
            << sixLines(u"Blue"_qs, u"Town\rHall"_qs) << u"<VENUE>Town Hall</VENUE>"_qs;
        QTest::newRow("LF CR inside a line")
            << sixLines(u"Blue"_qs, u"Town\n\rHall"_qs) << u"<VENUE>Town  Hall</VENUE>"_qs;
        QTest::newRow("lone CR in a track title")
            << sixLines(u"Blue"_qs, u"Hall"_qs, u"Disc 1\r\n01. Opener\rclosing 4:56\r\n"_qs)
            << u"<D1T1>01. Opener closing</D1T1>"_qs;
        QTest::newRow("NUL, NEL and a line separator in the venue")
            << sixLines(u"Blue"_qs, QString(u"Town\0Hall\u0085by\u2028the sea"_qs))
            << u"<VENUE>Town Hall by the sea</VENUE>"_qs;
        QTest::newRow("fuzzer: lone CR between two track lines of disc 2")
            << fuzzerText(u"convert-lone-cr-in-track.bin"_qs)
            << u"<D2T5>5 Senor (Tales Of Yankee Power)  \u050A6 When You Gonna Wake Up ?</D2T5>"_qs;
        // Nothing is limited to 16 bits, and big texts convert without a freeze.
        QTest::newRow("first line of 40000 characters")
            << sixLines(QString(40000, u'x'), u"Hall"_qs) << u"<VENUE>Hall</VENUE>"_qs;
        QTest::newRow("40000 lines")
            << CrlfLines(QStringList(40000, u"filler"_qs) << u"City Late"_qs)
            << u"<CITY>Late</CITY>"_qs;
        QTest::newRow("5 MB text")
            << CrlfLines(
                   QStringList(100000, u"An ordinary line of an info text, fifty characters"_qs)
                   << u"State Far"_qs)
            << u"<STATE>Far</STATE>"_qs;
    }

    void edges()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        RecordingObserver observer;
        ConvertOptions options{UnitedStatesLocale()};
        options.observer = &observer;
        const QString xml = ConvertInfoText(text, options);
        QVERIFY2(xml.contains(expected), qPrintable(xml.left(2000)));
        QCOMPARE(xml.isEmpty(), expected.isEmpty());
        // Busy is shown only for texts that are really converted, and always cleared again.
        const QStringList busy = xml.isEmpty() ? QStringList() : QStringList{u"on"_qs, u"off"_qs};
        QCOMPARE(observer.calls, busy);
        for (const QString &line : xml.split(u"\r\n"_qs, Qt::SkipEmptyParts)) {
            QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
            QVERIFY2(line.startsWith(u'<') && line.endsWith(u'>'), qPrintable(line));
        }
    }
};

QTEST_GUILESS_MAIN(TestGolden)
#include "tst_golden.moc"
