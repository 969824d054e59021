// Texts the converter fuzzer found faults with, kept so that the faults stay fixed, and the
// hand-made cases around them.
#include "convertinfotext.h"

#include <QFile>
#include <QTest>

using namespace tapewright;

namespace {

ConvertOptions usOptions()
{
    ConvertOptions o;
    o.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return o;
}

// A fuzzer input as the fuzzer reads it: one byte of choices, then UTF-16 units.
QString fuzzerText(const QString &name)
{
    QFile f(QStringLiteral(TAPEWRIGHT_TEST_DATA "/fuzz/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test file %s", qPrintable(name));
    const QByteArray bytes = f.readAll().mid(1);
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                              bytes.size() / 2);
}

QString sixLines(const QString &band, const QString &venue)
{
    return band + u"\r\nb\r\nc\r\nd\r\ne\r\nVenue "_qs + venue + u"\r\n"_qs;
}

} // namespace

class TestConvertFindings : public QObject
{
    Q_OBJECT

private slots:
    // Lines are cut only at CR LF, so a lone CR or LF stays inside a field; the document must
    // still hold every element on one line.
    void strayLineBreaks_stayOnOneLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lone LF in the band line")
            << sixLines(u"Blue\nLantern"_qs, u"Hall"_qs) << u"<BAND>Blue Lantern</BAND>"_qs;
        QTest::newRow("lone CR in the venue")
            << sixLines(u"Blue Lantern"_qs, u"Town\rHall"_qs) << u"<VENUE>Town Hall</VENUE>"_qs;
        QTest::newRow("LF CR inside a line")
            << sixLines(u"Blue Lantern"_qs, u"Town\n\rHall"_qs) << u"<VENUE>Town  Hall</VENUE>"_qs;
        QTest::newRow("lone CR in a track title")
            << sixLines(u"Blue Lantern"_qs, u"Hall"_qs) +
                   u"\r\nDisc 1\r\n01. Opener\rclosing 4:56\r\n02. Second 3:00\r\n"_qs
            << u"Opener closing"_qs;
        QTest::newRow("fuzzer: lone CR between two track lines of disc 2")
            << fuzzerText(u"convert-lone-cr-in-track.bin"_qs)
            << u"<D2T5>5 Senor (Tales Of Yankee Power)  \u050A6 When You Gonna Wake Up ?</D2T5>"_qs;
    }

    void strayLineBreaks_stayOnOneLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString xml = ConvertInfoText(text, usOptions());
        QVERIFY2(xml.contains(expected), qPrintable(xml));
        const QStringList lines = xml.split(u"\r\n"_qs);
        for (const QString &line : lines) {
            QVERIFY2(!line.contains(u'\r') && !line.contains(u'\n'), qPrintable(line));
            QVERIFY2(line.startsWith(u'<') && line.endsWith(u'>'), qPrintable(line));
        }
    }

    // A character of two UTF-16 units next to a time stays whole: the time ends before it and
    // the title keeps it.
    void surrogatePairs_neverSplit_data()
    {
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        QTest::newRow("after a time of one digit")
            << u"01. Opener 4:5\U0001F3B8"_qs << u"01. Opener \U0001F3B8"_qs << u"4:5"_qs;
        QTest::newRow("after a time of two digits")
            << u"01. Opener 12:3\U0001F3B8 live"_qs << u"01. Opener \U0001F3B8 live"_qs
            << u"12:3"_qs;
        QTest::newRow("after a colon and a blank")
            << u"01. Opener 12: \U0001F3B8"_qs << u"01. Opener  \U0001F3B8"_qs << u"12:"_qs;
        QTest::newRow("in the time's place")
            << u"01. Opener 4:\U0001F3B8"_qs << u"01. Opener"_qs << u"4:\U0001F3B8"_qs;
    }
    void surrogatePairs_neverSplit()
    {
        QFETCH(QString, track);
        QFETCH(QString, title);
        QFETCH(QString, time);
        const QString xml = ConvertInfoText(sixLines(u"Blue Lantern"_qs, u"Hall"_qs) +
                                                u"\r\nDisc 1\r\n"_qs + track + u"\r\n"_qs,
                                            usOptions());
        QVERIFY2(xml.contains(u"<D1T1>"_qs + title + u"</D1T1>"_qs), qPrintable(xml));
        QVERIFY2(xml.contains(u"<D1T1Time>"_qs + time + u"</D1T1Time>"_qs), qPrintable(xml));
        QVERIFY(QStringView(xml).isValidUtf16());
    }
};

QTEST_GUILESS_MAIN(TestConvertFindings)
#include "tst_convertfindings.moc"
