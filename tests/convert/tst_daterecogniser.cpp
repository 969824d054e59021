// The date recogniser: which texts are dates in each locale, their values, the texts written
// back, and the search for a date inside a line.
#include "daterecogniser.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tapewright;

namespace {

const QStringList RoundTripLocales = {u"en_US"_qs, u"en_GB"_qs, u"de_DE"_qs, u"ja_JP"_qs};

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
    // The C (POSIX) locale reads and writes dates month first, as en_US; other locales keep
    // their own order.
    void dateLocaleFor_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDate>("read");      // what "2/11/74" is
        QTest::addColumn<QString>("written"); // how 8 May 1977 is written
        QTest::newRow("C") << QLocale::c() << QDate(1974, 2, 11) << u"5/8/1977"_qs;
        QTest::newRow("en_GB stays day first")
            << QLocale(u"en_GB"_qs) << QDate(1974, 11, 2) << u"08/05/1977"_qs;
    }

    void dateLocaleFor()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDate, read);
        QFETCH(QString, written);
        const QLocale dates = DateLocaleFor(locale);
        QCOMPARE(RecogniseDate(u"2/11/74", dates), std::optional<QDate>(read));
        QCOMPARE(ShortDateText(QDate(1977, 5, 8), dates), written);
    }

    void recognise_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        const QDate may8(1977, 5, 8);
        // Numbers in the locale's order, and year first with four digits everywhere.
        QTest::newRow("en_US m/d/yyyy") << u"en_US"_qs << u"5/8/1977"_qs << may8;
        QTest::newRow("en_US m/d/yy") << u"en_US"_qs << u"5/8/77"_qs << may8;
        QTest::newRow("en_US dashes, leading zeros") << u"en_US"_qs << u"05-08-77"_qs << may8;
        QTest::newRow("en_US year first") << u"en_US"_qs << u"1977-05-08"_qs << may8;
        QTest::newRow("en_US swapped when month is 13")
            << u"en_US"_qs << u"13/5/1977"_qs << QDate(1977, 5, 13);
        QTest::newRow("en_GB d/m/yyyy") << u"en_GB"_qs << u"8/5/1977"_qs << may8;
        QTest::newRow("en_GB swapped when month is 13")
            << u"en_GB"_qs << u"5/13/1977"_qs << QDate(1977, 5, 13);
        QTest::newRow("en_GB year first") << u"en_GB"_qs << u"1977/05/08"_qs << may8;
        QTest::newRow("de_DE own separator") << u"de_DE"_qs << u"08.05.1977"_qs << may8;
        QTest::newRow("de_DE slashes") << u"de_DE"_qs << u"8/5/77"_qs << may8;
        QTest::newRow("ja_JP year first") << u"ja_JP"_qs << u"1977/05/08"_qs << may8;
        QTest::newRow("ja_JP short year read m/d/y") << u"ja_JP"_qs << u"5/8/77"_qs << may8;
        QTest::newRow("ja_JP year first swapped")
            << u"ja_JP"_qs << u"1977/13/05"_qs << QDate(1977, 5, 13);
        // Month words.
        QTest::newRow("month day comma year") << u"en_US"_qs << u"May 8, 1977"_qs << may8;
        QTest::newRow("month day year") << u"en_US"_qs << u"may 8 1977"_qs << may8;
        QTest::newRow("comma without blank") << u"en_US"_qs << u"may 8,1977"_qs << may8;
        QTest::newRow("blanks around comma") << u"en_US"_qs << u"may  8 ,  1977"_qs << may8;
        QTest::newRow("blanks at both ends") << u"en_US"_qs << u"  may 8, 1977  "_qs << may8;
        QTest::newRow("abbreviation with dot")
            << u"en_US"_qs << u"aug. 8 77"_qs << QDate(1977, 8, 8);
        QTest::newRow("dot turned into slash")
            << u"en_US"_qs << u"aug/ 9, 1977"_qs << QDate(1977, 8, 9);
        QTest::newRow("august without st")
            << u"en_US"_qs << u"augu 8, 1977"_qs << QDate(1977, 8, 8);
        QTest::newRow("sept") << u"en_GB"_qs << u"sept 9 1977"_qs << QDate(1977, 9, 9);
        QTest::newRow("full name, upper case")
            << u"en_US"_qs << u"SEPTEMBER 9 1977"_qs << QDate(1977, 9, 9);
        QTest::newRow("day month year") << u"en_GB"_qs << u"8 may 1977"_qs << may8;
        QTest::newRow("day month comma year") << u"en_US"_qs << u"8 may, 1977"_qs << may8;
        QTest::newRow("day-month-year") << u"en_US"_qs << u"8-may-1977"_qs << may8;
        QTest::newRow("dd/mon/yy") << u"en_US"_qs << u"08/may/77"_qs << may8;
        QTest::newRow("month-day-year") << u"en_US"_qs << u"may-8-1977"_qs << may8;
        QTest::newRow("German month name") << u"de_DE"_qs << u"8 mai 1977"_qs << may8;
        QTest::newRow("German prefix with umlaut")
            << u"de_DE"_qs << u"mär 1 1990"_qs << QDate(1990, 3, 1);
        QTest::newRow("English name under de_DE")
            << u"de_DE"_qs << u"october 3 1990"_qs << QDate(1990, 10, 3);
        QTest::newRow("German abbreviation with dot")
            << u"de_DE"_qs << u"3 okt. 1990"_qs << QDate(1990, 10, 3);
        QTest::newRow("Japanese month") << u"ja_JP"_qs << u"5月 8, 1977"_qs << may8;
        QTest::newRow("first month in calendar order wins")
            << u"fr_FR"_qs << u"jui 1 1990"_qs << QDate(1990, 6, 1);
        // Century window and calendar.
        QTest::newRow("year 29 is 2029") << u"en_US"_qs << u"1/2/29"_qs << QDate(2029, 1, 2);
        QTest::newRow("year 30 is 1930") << u"en_US"_qs << u"1/2/30"_qs << QDate(1930, 1, 2);
        QTest::newRow("year 00 is 2000") << u"en_US"_qs << u"1/2/00"_qs << QDate(2000, 1, 2);
        QTest::newRow("year 99 is 1999") << u"en_US"_qs << u"1/2/99"_qs << QDate(1999, 1, 2);
        QTest::newRow("one-digit year") << u"en_US"_qs << u"1/2/7"_qs << QDate(2007, 1, 2);
        QTest::newRow("four-digit year kept") << u"en_US"_qs << u"1/2/1925"_qs << QDate(1925, 1, 2);
        QTest::newRow("29 February 2000") << u"en_US"_qs << u"2/29/2000"_qs << QDate(2000, 2, 29);
        QTest::newRow("30 April") << u"en_GB"_qs << u"30 april 1977"_qs << QDate(1977, 4, 30);
    }

    void recognise()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        const std::optional<QDate> found = RecogniseDate(text, QLocale(locale));
        QVERIFY(found.has_value());
        QCOMPARE(*found, date);
    }

    void recognise_notADate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << u"en_US"_qs << QString();
        QTest::newRow("blanks only") << u"en_US"_qs << u"   "_qs;
        QTest::newRow("31 April") << u"en_US"_qs << u"4/31/1977"_qs;
        QTest::newRow("31 April by name") << u"en_GB"_qs << u"31 april 1977"_qs;
        QTest::newRow("29 February 1900") << u"en_US"_qs << u"2/29/1900"_qs;
        QTest::newRow("29 February 1900 by name") << u"de_DE"_qs << u"29 feb 1900"_qs;
        QTest::newRow("no valid order either way") << u"en_US"_qs << u"13/13/1977"_qs;
        QTest::newRow("no swap for year first outside ymd") << u"en_US"_qs << u"1977/13/05"_qs;
        QTest::newRow("no year") << u"en_US"_qs << u"may 8"_qs;
        QTest::newRow("no day") << u"en_US"_qs << u"may 1977"_qs;
        QTest::newRow("numeric without year") << u"en_US"_qs << u"5/8"_qs;
        QTest::newRow("three-digit year") << u"en_US"_qs << u"5/8/977"_qs;
        QTest::newRow("four-digit year below 1000") << u"en_US"_qs << u"5/8/0977"_qs;
        QTest::newRow("five-digit year") << u"en_US"_qs << u"5/8/19777"_qs;
        QTest::newRow("three-digit day") << u"en_US"_qs << u"5/008/1977"_qs;
        QTest::newRow("mixed separators") << u"en_US"_qs << u"5/8-1977"_qs;
        QTest::newRow("other locale's separator") << u"en_US"_qs << u"8.5.1977"_qs;
        QTest::newRow("doubled separator") << u"en_US"_qs << u"5//8/1977"_qs;
        QTest::newRow("ordinal left in") << u"en_US"_qs << u"may 2nd, 1977"_qs;
        QTest::newRow("weekday") << u"en_US"_qs << u"sunday, may 8, 1977"_qs;
        QTest::newRow("time of day") << u"en_US"_qs << u"5/8/1977 8:00"_qs;
        QTest::newRow("trailing word") << u"en_US"_qs << u"may 8, 1977 town hall"_qs;
        QTest::newRow("two-letter month") << u"en_US"_qs << u"ma 8 1977"_qs;
        QTest::newRow("not a month prefix") << u"en_US"_qs << u"mayo 8 1977"_qs;
        QTest::newRow("German name under en_US") << u"en_US"_qs << u"8 mai 1977"_qs;
        QTest::newRow("month glued to day") << u"en_US"_qs << u"may8 1977"_qs;
        QTest::newRow("two commas") << u"en_US"_qs << u"may 8,, 1977"_qs;
        QTest::newRow("German day with dot") << u"de_DE"_qs << u"8. mai 1977"_qs;
        QTest::newRow("a semicolon is no digit") << u"en_US"_qs << u"5/8/7;"_qs;
    }

    void recognise_notADate()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        const std::optional<QDate> found = RecogniseDate(text, QLocale(locale));
        QVERIFY2(!found.has_value(), qPrintable(found ? found->toString(Qt::ISODate) : QString()));
    }

    void dateTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("shortText");
        QTest::addColumn<QString>("longText");
        QTest::newRow("en_US") << u"en_US"_qs << QDate(1977, 5, 8) << u"5/8/1977"_qs
                               << u"May 8, 1977"_qs;
        QTest::newRow("en_US October")
            << u"en_US"_qs << QDate(2000, 10, 4) << u"10/4/2000"_qs << u"October 4, 2000"_qs;
        // Qt's own en_US format writes "5/8/25", which would read back as 2025.
        QTest::newRow("en_US 1925 keeps its century")
            << u"en_US"_qs << QDate(1925, 5, 8) << u"5/8/1925"_qs << u"May 8, 1925"_qs;
        QTest::newRow("en_GB") << u"en_GB"_qs << QDate(1977, 5, 8) << u"08/05/1977"_qs
                               << u"May 8, 1977"_qs;
        QTest::newRow("de_DE") << u"de_DE"_qs << QDate(1977, 5, 8) << u"08.05.1977"_qs
                               << u"Mai 8, 1977"_qs;
        QTest::newRow("ja_JP") << u"ja_JP"_qs << QDate(1977, 5, 8) << u"1977/05/08"_qs
                               << u"5月 8, 1977"_qs;
    }

    void dateTexts()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(QString, shortText);
        QFETCH(QString, longText);
        const DateLocale &data = DateLocale::of(QLocale(locale));
        QCOMPARE(ShortDateText(date, data), shortText);
        QCOMPARE(LongDateText(date, data), longText);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        for (const QString &name : RoundTripLocales)
            QTest::newRow(qPrintable(name)) << name;
    }

    // Every text the writer gives must be read back as the same day: the cover filler reads
    // the date element again.
    void roundTrip()
    {
        QFETCH(QString, locale);
        const DateLocale data{QLocale(locale)};
        const QDate last(2030, 12, 31);
        for (QDate d(1900, 1, 1); d <= last; d = d.addDays(1)) {
            const QString shortText = ShortDateText(d, data);
            if (RecogniseDate(shortText, data) != d)
                QFAIL(qPrintable(shortText + QStringLiteral(" does not read back as ") +
                                 d.toString(Qt::ISODate)));
            const QString longText = LongDateText(d, data);
            if (RecogniseDate(longText, data) != d)
                QFAIL(qPrintable(longText + QStringLiteral(" does not read back as ") +
                                 d.toString(Qt::ISODate)));
        }
    }

    void findInside_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found"); // the trimmed substring, empty when none
        QTest::addColumn<QDate>("date");
        QTest::newRow("after a comma")
            << u"bob dylan,  2/11/74, oakland"_qs << u"2/11/74"_qs << QDate(1974, 2, 11);
        QTest::newRow("month words inside")
            << u"wednesday, may 21, 2008"_qs << u"may 21, 2008"_qs << QDate(2008, 5, 21);
        QTest::newRow("leftmost start wins over a longer date later")
            << u"x 1/2/77 and may 21, 2008"_qs << u"1/2/77"_qs << QDate(1977, 1, 2);
        QTest::newRow("longest end for the start")
            << u"12/5/1977"_qs << u"12/5/1977"_qs << QDate(1977, 12, 5);
        QTest::newRow("start inside a digit run")
            << u"123/5/1977"_qs << u"23/5/1977"_qs << QDate(1977, 5, 23);
        QTest::newRow("end inside a digit run")
            << u"may 8, 19777"_qs << u"may 8, 1977"_qs << QDate(1977, 5, 8);
        QTest::newRow("blank counts towards seven")
            << u" 5/8/77"_qs << u"5/8/77"_qs << QDate(1977, 5, 8);
        QTest::newRow("six characters are too few") << u"5/8/77"_qs << QString() << QDate();
        QTest::newRow("blanks behind count too")
            << u"5/8/77 "_qs << u"5/8/77"_qs << QDate(1977, 5, 8);
        QTest::newRow("long blank runs")
            << (u"may"_qs + QString(500, u' ') + u"8"_qs + QString(500, u' ') + u"1977 x"_qs)
            << (u"may"_qs + QString(500, u' ') + u"8"_qs + QString(500, u' ') + u"1977"_qs)
            << QDate(1977, 5, 8);
        QTest::newRow("no date") << u"5/xx/87 dead dylan rehearsals"_qs << QString() << QDate();
    }

    void findInside()
    {
        QFETCH(QString, text);
        QFETCH(QString, found);
        QFETCH(QDate, date);
        const std::optional<DateInside> inside =
            FindDateInside(text, DateLocale::of(QLocale(u"en_US"_qs)));
        QCOMPARE(inside.has_value(), !found.isEmpty());
        if (inside) {
            QCOMPARE(inside->trimmed.toString(), found);
            QCOMPARE(inside->date, date);
        }
    }

    void findInside_matchesNaiveSearch_data()
    {
        QTest::addColumn<QString>("locale");
        for (const QString &name : RoundTripLocales)
            QTest::newRow(qPrintable(name)) << name;
    }

    // Short lines built around the shapes of dates, with pieces changed at random and noise on
    // both sides, so that many hold dates, partial dates and near misses; the fast search must
    // agree with the slow one on every line.
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
