// The date recogniser: which texts are dates in each locale, their values, the texts written back,
// and the search for a date inside a line.
#include "convert/daterecogniser.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

// What the search must give, found the slow way: every start, every end from the last down.
std::optional<DateInside> naiveSearch(QStringView lower, const DateLocale &locale)
{
    for (qsizetype s = 0; s < lower.size(); ++s) {
        for (qsizetype e = lower.size(); e - s >= 7; --e) {
            if (const std::optional<QDate> d = RecogniseDate(lower.sliced(s, e - s), locale))
                return DateInside{s, e, {}, *d};
        }
    }
    return std::nullopt;
}

} // namespace

class TestDateRecogniser : public QObject
{
    Q_OBJECT

private slots:
    // Which texts are dates, and which day: rows named after their locale and text; an empty ISO
    // date means no date.
    void recognise_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        const auto row = [](const char *locale, const char *text, const char *iso) {
            QTest::addRow("%s %s", locale, text)
                << QString::fromLatin1(locale) << QString::fromUtf8(text)
                << QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
        };
        // Numbers in the locale's order, and year first with four digits everywhere.
        row("en_US", "5/8/77", "1977-05-08");
        row("en_US", "05-08-77", "1977-05-08");
        row("en_US", "1977-05-08", "1977-05-08");
        row("en_US", "13/5/1977", "1977-05-13"); // swapped: there is no month 13
        row("en_GB", "8/5/1977", "1977-05-08");
        row("en_GB", "5/13/1977", "1977-05-13");
        row("en_GB", "1977/05/08", "1977-05-08");
        row("de_DE", "8/5/77", "1977-05-08");
        row("ja_JP", "5/8/77", "1977-05-08"); // a short year is read month first
        row("ja_JP", "1977/13/05", "1977-05-13");
        row("en_US", "1977/13/05",
            ""); // no swap for year first outside year-first locales
        row("en_US", "13/13/1977", "");
        row("en_US", "4/31/1977", "");
        row("en_US", "2/29/1900", "");
        row("en_US", "5/8", "");
        row("en_US", "5/8/977", "");
        row("en_US", "5/8/0977", "");
        row("en_US", "5/8/19777", "");
        row("en_US", "5/008/1977", "");
        row("en_US", "5/8-1977", "");
        row("en_US", "8.5.1977", ""); // another locale's separator
        row("en_US", "5//8/1977", "");
        row("en_US", "5/8/1977 8:00", "");
        row("en_US", "5/8/7;", ""); // ";" follows "9" in the code table
        // Century window.
        row("en_US", "1/2/29", "2029-01-02");
        row("en_US", "1/2/30", "1930-01-02");
        row("en_US", "1/2/7", "2007-01-02");
        // Month words.
        row("en_US", "may 8 1977", "1977-05-08");
        row("en_US", "may 8,1977", "1977-05-08");
        row("en_US", "may  8 ,  1977", "1977-05-08");
        row("en_US", "  may 8, 1977  ", "1977-05-08");
        row("en_US", "aug. 8 77", "1977-08-08");
        row("en_US", "aug/ 9, 1977", "1977-08-09");
        row("en_US", "augu 8, 1977", "1977-08-08");
        row("en_GB", "sept 9 1977", "1977-09-09");
        row("en_US", "SEPTEMBER 9 1977", "1977-09-09");
        row("en_GB", "8 may 1977", "1977-05-08");
        row("en_US", "8 may, 1977", "1977-05-08");
        row("en_US", "8-may-1977", "1977-05-08");
        row("en_US", "08/may/77", "1977-05-08");
        row("en_US", "may-8-1977", "1977-05-08");
        row("de_DE", "8 mai 1977", "1977-05-08");
        row("de_DE", "mär 1 1990", "1990-03-01");
        row("de_DE", "october 3 1990", "1990-10-03");
        row("de_DE", "3 okt. 1990", "1990-10-03");
        row("ja_JP", "5月 8, 1977", "1977-05-08");
        row("fr_FR", "jui 1 1990",
            "1990-06-01"); // juin and juillet: the first month wins
        row("en_US", "   ", "");
        row("en_US", "may 8", "");
        row("en_US", "may 1977", "");
        row("en_US", "may 2nd, 1977", "");
        row("en_US", "sunday, may 8, 1977", "");
        row("en_US", "may 8, 1977 town hall", "");
        row("en_US", "ma 8 1977", "");
        row("en_US", "mayo 8 1977", "");
        row("en_US", "8 mai 1977", "");
        row("en_US", "may8 1977", "");
        row("en_US", "may 8,, 1977", "");
        row("de_DE", "8. mai 1977", "");
        row("de_DE", "29 feb 1900", "");
    }

    void recognise()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(RecogniseDate(text, QLocale(locale)).value_or(QDate()), date);
    }

    // The texts written for a day, and every text the writer gives for 1900 to 2030 read back as
    // the same day: the cover filler reads the date element again. The C (POSIX) locale reads and
    // writes dates month first, as en_US; other locales keep their own order.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QStringList>("texts"); // short, long
        // Qt's own en_US format writes "10/4/25", which would read back as 2025.
        QTest::newRow("en_US") << u"en_US"_qs << QDate(1925, 10, 4)
                               << QStringList{u"10/4/1925"_qs, u"October 4, 1925"_qs};
        QTest::newRow("C") << u"C"_qs << QDate(1974, 2, 11)
                           << QStringList{u"2/11/1974"_qs, u"February 11, 1974"_qs};
        QTest::newRow("en_GB") << u"en_GB"_qs << QDate(1977, 5, 8)
                               << QStringList{u"08/05/1977"_qs, u"May 8, 1977"_qs};
        QTest::newRow("de_DE") << u"de_DE"_qs << QDate(1977, 5, 8)
                               << QStringList{u"08.05.1977"_qs, u"Mai 8, 1977"_qs};
        QTest::newRow("ja_JP") << u"ja_JP"_qs << QDate(1977, 5, 8)
                               << QStringList{u"1977/05/08"_qs, u"5月 8, 1977"_qs};
    }

    void roundTrip()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(QStringList, texts);
        const DateLocale &data = DateLocale::of(DateLocaleFor(QLocale(locale)));
        QCOMPARE((QStringList{ShortDateText(date, data), LongDateText(date, data)}), texts);
        for (QDate d(1900, 1, 1); d.year() <= 2030; d = d.addDays(1)) {
            for (const QString &text : {ShortDateText(d, data), LongDateText(d, data)}) {
                if (RecogniseDate(text, data) != d)
                    QFAIL(qPrintable(text + u" is not read back as "_qs + d.toString(Qt::ISODate)));
            }
        }
    }

    void findInside_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found"); // the trimmed substring, empty when none
        QTest::addColumn<QString>("date");
        TextRow("after a comma", "bob dylan,  2/11/74, oakland", "2/11/74", "1974-02-11");
        TextRow("month words inside", "wednesday, may 21, 2008", "may 21, 2008", "2008-05-21");
        TextRow("leftmost start wins over a longer date later", "x 1/2/77 and may 21, 2008",
                "1/2/77", "1977-01-02");
        TextRow("longest end for the start", "12/5/1977", "12/5/1977", "1977-12-05");
        TextRow("start inside a digit run", "123/5/1977", "23/5/1977", "1977-05-23");
        TextRow("end inside a digit run", "may 8, 19777", "may 8, 1977", "1977-05-08");
        TextRow("blank counts towards seven", " 5/8/77", "5/8/77", "1977-05-08");
        TextRow("six characters are too few", "5/8/77", "", "");
        TextRow("blanks behind count too", "5/8/77 ", "5/8/77", "1977-05-08");
        const QString blanks(500, u' ');
        QTest::newRow("long blank runs")
            << u"may"_qs + blanks + u"8"_qs + blanks + u"1977 x"_qs
            << u"may"_qs + blanks + u"8"_qs + blanks + u"1977"_qs << u"1977-05-08"_qs;
        TextRow("no date", "5/xx/87 dead dylan rehearsals", "", "");
    }

    void findInside()
    {
        QFETCH(QString, text);
        QFETCH(QString, found);
        QFETCH(QString, date);
        const std::optional<DateInside> inside =
            FindDateInside(text, DateLocale::of(UnitedStatesLocale()));
        QCOMPARE(inside ? inside->trimmed.toString() : QString(), found);
        QCOMPARE(inside ? inside->date.toString(Qt::ISODate) : QString(), date);
    }

    void findInside_matchesNaiveSearch_data() { roundTrip_data(); }

    // Short lines built around the shapes of dates, with pieces changed at random and noise on both
    // sides, so that many hold dates, partial dates and near misses; the fast search must agree
    // with the slow one on every line.
    void findInside_matchesNaiveSearch()
    {
        QFETCH(QString, locale);
        const DateLocale data{QLocale(locale)};
        const auto list = [](const char *items) { return QString::fromUtf8(items).split(u'|'); };
        const QStringList numbers = list("1|5|8|12|13|31|05|0|123");
        const QStringList years = list("77|1977|7|2000|977|0977|19777|29");
        const QStringList separators = list("/|/|-|.|//");
        const QStringList blanks = list(" |, |,|   | , |,,");
        const QStringList months = list("may|aug|augu|sept|mai|5月|ma|mayo|aug.|aug/");
        const QStringList noise = list("x|st| |a|9|/");
        const QList<QList<const QStringList *>> shapes = {
            {&numbers, &separators, &numbers, &separators, &years},
            {&years, &separators, &numbers, &separators, &numbers},
            {&months, &blanks, &numbers, &blanks, &years},
            {&numbers, &blanks, &months, &blanks, &years},
            {&numbers, &separators, &months, &separators, &years},
            {&months, &separators, &numbers, &separators, &years},
        };
        const QList<const QStringList *> all = {&numbers, &years,  &separators,
                                                &blanks,  &months, &noise};
        QRandomGenerator random(1977);
        const auto pick = [&](const QStringList &list) {
            return list.at(random.bounded(int(list.size())));
        };
        int withDate = 0;
        for (int i = 0; i < 3000; ++i) {
            QString line;
            for (int k = int(random.bounded(3)); k > 0; --k)
                line += pick(*all.at(random.bounded(int(all.size()))));
            for (const QStringList *slot : shapes.at(random.bounded(int(shapes.size())))) {
                const bool changed = random.bounded(100) < 15;
                line += pick(changed ? *all.at(random.bounded(int(all.size()))) : *slot);
            }
            for (int k = int(random.bounded(3)); k > 0; --k)
                line += pick(*all.at(random.bounded(int(all.size()))));
            const std::optional<DateInside> fast = FindDateInside(line, data);
            const std::optional<DateInside> slow = naiveSearch(line, data);
            QVERIFY2(fast.has_value() == slow.has_value(), qPrintable(line));
            withDate += fast.has_value();
            QVERIFY2(!fast || (fast->start == slow->start && fast->end == slow->end &&
                               fast->date == slow->date),
                     qPrintable(line));
        }
        // The comparison only means something when a good share of the lines hold dates.
        QVERIFY2(withDate > 250, qPrintable(QString::number(withDate)));
    }
};

QTEST_GUILESS_MAIN(TestDateRecogniser)
#include "tst_daterecogniser.moc"
