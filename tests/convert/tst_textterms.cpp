// The text operations the converter is written in: one-to-one case changes (also across the
// vectorised blocks) and the single-character search.
#include "textterms.h"

#include <QTest>

using namespace tapewright;

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
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii shorter than a block") << u"ABCxyz@[`{"_qs;
        QTest::newRow("ascii over several blocks") << u"GRATEFUL DEAD - Town Hall, Disc 1 @ [Z]"_qs;
        QTest::newRow("sharp s stays one unit") << u"STRAßE ẞ Straße"_qs;
        QTest::newRow("non-ascii in the middle of a block") << u"ABCDEFÄGHIJKLMNOP"_qs;
        QTest::newRow("non-ascii last in a block") << u"ABCDEFGÜ12345678"_qs;
        QTest::newRow("greek and cyrillic") << u"ΣΊΣΥΦΟΣ МОСКВА ŁÓDŹ"_qs;
        QTest::newRow("dotted capital I") << u"İSTANBUL"_qs;
        QTest::newRow("surrogate pair kept") << u"A\U0001D400B\U00010400CDEFGHIJ"_qs;
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
        QTest::newRow("three blanks become two")
            << u"a   b"_qs << u"  "_qs << u" "_qs << u"a  b"_qs;
        QTest::newRow("result not searched again")
            << u"nonotestes"_qs << u"notes"_qs << QString() << u"notes"_qs;
        QTest::newRow("no occurrence") << u"abc"_qs << u"x"_qs << u"y"_qs << u"abc"_qs;
        QTest::newRow("first character alone is no match")
            << u"tthet"_qs << u"th"_qs << QString() << u"tet"_qs;
        QTest::newRow("match at the end, text moved left")
            << u"ab disk cd disk"_qs << u"disk"_qs << u"disc"_qs << u"ab disc cd disc"_qs;
        QTest::newRow("shorter replacement over several blocks")
            << u"disciv and disciv and more text"_qs << u"disciv"_qs << u"disc4"_qs
            << u"disc4 and disc4 and more text"_qs;
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
