// The text operations the converter is written in: one-to-one case changes (also across the
// vectorised blocks) and the single-character search.
#include "convert/textterms.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QString lowerByUnit(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        c = c.toLower();
    return out;
}

} // namespace

class TestTextTerms : public QObject
{
    Q_OBJECT

private slots:
    void lowerCased_data()
    {
        QTest::addColumn<QString>("text");
        TextRow("empty", "");
        TextRow("ascii shorter than a block", "ABCxyz@[`{");
        TextRow("ascii over several blocks", "GRATEFUL DEAD - Town Hall, Disc 1 @ [Z]");
        TextRow("sharp s stays one unit", "STRAßE ẞ Straße");
        TextRow("non-ascii in the middle of a block", "ABCDEFÄGHIJKLMNOP");
        TextRow("non-ascii last in a block", "ABCDEFGÜ12345678");
        TextRow("greek and cyrillic", "ΣΊΣΥΦΟΣ МОСКВА ŁÓDŹ");
        TextRow("dotted capital I", "İSTANBUL");
        TextRow("surrogate pair kept", "A\U0001D400B\U00010400CDEFGHIJ");
        QTest::newRow("control and high ascii") << u"\u0000\u007F\u0080\u00C0ZZ"_qs;
    }

    void lowerCased()
    {
        QFETCH(QString, text);
        const QString lower = LowerCased(text);
        QCOMPARE(lower.size(), text.size());
        QCOMPARE(lower, lowerByUnit(text));
        QCOMPARE(UpperCased(lower).size(), text.size());
    }

    void findChar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("expected");
        QTest::newRow("absent") << u"abcdefghijklmnopqrstuvwxyz"_qs << 0 << -1;
        QTest::newRow("first unit") << u"\rabc"_qs << 0 << 0;
        QTest::newRow("last of a block") << u"0123456\r89"_qs << 0 << 7;
        QTest::newRow("first of the second block") << u"01234567\r9"_qs << 0 << 8;
        QTest::newRow("in the tail") << u"0123456789\r"_qs << 0 << 10;
        QTest::newRow("from skips earlier ones") << u"\r1234\r6789012\r"_qs << 1 << 5;
        QTest::newRow("from at the end") << u"ab\r"_qs << 3 << -1;
        QTest::newRow("last eight read again, earlier match not reported")
            << u"0123456\r89"_qs << 8 << -1;
    }

    void findChar()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, expected);
        QCOMPARE(FindChar(text, from, u'\r'), qsizetype(expected));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("expected");
        TextRow("three blanks become two", "a   b", "  ", " ", "a  b");
        TextRow("result not searched again", "nonotestes", "notes", "", "notes");
        TextRow("no occurrence", "abc", "x", "y", "abc");
        TextRow("first character alone is no match", "tthet", "th", "", "tet");
        TextRow("match at the end, text moved left", "ab disk cd disk", "disk", "disc",
                "ab disc cd disc");
        TextRow("shorter replacement over several blocks", "disciv and disciv and more text",
                "disciv", "disc4", "disc4 and disc4 and more text");
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        QString buffer = text;
        const qsizetype size =
            ReplaceAll(reinterpret_cast<char16_t *>(buffer.data()), buffer.size(), a, b);
        QCOMPARE(QStringView(buffer).first(size), expected);
    }
};

QTEST_GUILESS_MAIN(TestTextTerms)
#include "tst_textterms.moc"
