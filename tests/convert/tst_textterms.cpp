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
    }

    void findChar()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, expected);
        QCOMPARE(FindChar(text, from, u'\r'), qsizetype(expected));
        // Counting sees every occurrence the search would find, in blocks and in the tail.
        const QString tail = text.sliced(from);
        QCOMPARE(CountChar(tail, u'\r'), tail.count(u'\r'));
    }

    void countChar_longText()
    {
        QString text(300000, u'x');
        for (qsizetype i = 0; i < text.size(); i += 7)
            text[i] = u'\n';
        QCOMPARE(CountChar(text, u'\n'), text.count(u'\n'));
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
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, expected);
        QCOMPARE(ReplaceAll(text, a, b), expected);
    }
};

QTEST_GUILESS_MAIN(TestTextTerms)
#include "tst_textterms.moc"
