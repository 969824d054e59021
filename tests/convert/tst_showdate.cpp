// The show date: the three passes over lines 1 to 6 and the two elements they write.
#include "convert/convertinfotext.h"
#include "convert/infolines.h"
#include "convert/showdate.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

// Lines joined and ended by CR LF, padded to the six lines a conversion needs.
InfoLines linesOf(QStringList lines)
{
    while (lines.size() < 8)
        lines.append(u"filler"_qs);
    return InfoLines::cut(CrlfLines(lines));
}

} // namespace

class TestShowDate : public QObject
{
    Q_OBJECT

private slots:
    // Lines split at ";"; the literal and the short date, both empty when no date is found.
    void passes_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<QString>("date");
        // Pass 2: the whole line, once ordinal suffixes are gone; the line is written as stored.
        TextRow("whole line with ordinal", "Blue Lantern;May 8th, 1977", "May 8th, 1977",
                "5/8/1977");
        TextRow("st removed inside August", "Blue Lantern;August 8th, 1977", "August 8th, 1977",
                "8/8/1977");
        TextRow("dots become slashes", "Blue Lantern;5.8.77", "5.8.77", "5/8/1977");
        TextRow("nd is not removed", "Blue Lantern;May 2nd, 1977", "", "");
        TextRow("whole line beats a date inside an earlier line",
                "Show 5/7/77 Town Hall;May 9, 1977", "May 9, 1977", "5/9/1977");
        // Pass 3: a date inside a line, cleaned and lower-cased.
        TextRow("cut behind the first blank keeps the blank", "Blue Lantern;Venue;5.8.77 Town Hall",
                "5/8/77 ", "5/8/1977");
        TextRow("year first with dashes", "Blue Lantern;1977-05-08 Town Hall", "1977/05/08 ",
                "5/8/1977");
        TextRow("cut before the first comma", "5/8/77, Town Hall", "5/8/77", "5/8/1977");
        TextRow("date after the band, trimmed", "Bob Dylan,  2/11/74, Oakland, CA", "2/11/74",
                "2/11/1974");
        TextRow("weekday before the date", "Bob Dylan;Wednesday, May 21, 2008", "may 21, 2008",
                "5/21/2008");
        TextRow("cut holds no date, the whole line is searched",
                "Blue Lantern;5 May 1977 Town Hall;6/9/78 Hall", "5 may 1977", "5/5/1977");
        TextRow("leading zero is not cut", "Blue Lantern;05/08/77 Town Hall", "05/08/77",
                "5/8/1977");
        TextRow("no date in a partial date", "Bob Dylan, 5/xx/87, Dead Dylan Rehearsals, 4CDR", "",
                "");
        TextRow("line 7 is not looked at", "a;b;c;d;e;f;5/8/1977", "", "");
        // Pass 1: lines that begin with "date".
        TextRow("date keyword, lower-cased literal", "Date May 8, 1977", "may 8, 1977", "5/8/1977");
        TextRow("date keyword with colon keeps it", "Blue Lantern;Date: 5/8/77", ": 5/8/77",
                "5/8/1977");
        TextRow("later date line replaces earlier", "Date 5/8/77;x;DATE 5/9/77", "5/9/77",
                "5/9/1977");
        TextRow("date line beats a whole-line date before it", "May 1, 1977;Date 5/9/77", "5/9/77",
                "5/9/1977");
        TextRow("date found inside the rest", "Blue Lantern;Date: Sunday, May 8th 1977",
                ": sunday, may 8th 1977", "5/8/1977");
        TextRow("date line without date keeps the earlier finding", "Date 5/8/77;Date: unknown",
                "5/8/77", "5/8/1977");
        TextRow("no date on any date line, later passes run", "Date: unknown;Blue Lantern;5/8/77",
                "5/8/77", "5/8/1977");
    }

    void passes()
    {
        QFETCH(QString, lines);
        QFETCH(QString, literal);
        QFETCH(QString, date);
        const HeaderField field = FindShowDate(linesOf(lines.split(u';')), UnitedStatesLocale());
        QCOMPARE(field.Found, !literal.isEmpty());
        QCOMPARE(field.Element + field.SecondElement,
                 literal.isEmpty() ? QString()
                                   : u"<LITERALDATE>"_qs + literal + u"</LITERALDATE><DATE>"_qs +
                                         date + u"</DATE>"_qs);
    }

    // The whole conversion writes the date in the locale it is given.
    void locales_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("elements"); // the two date elements
        const QString may8 = u"May 8th, 1977"_qs;
        const QString literal = u"<LITERALDATE>May 8th, 1977</LITERALDATE>\r\n"_qs;
        QTest::newRow("en_US") << UnitedStatesLocale() << may8
                               << literal + u"<DATE>5/8/1977</DATE>"_qs;
        QTest::newRow("en_GB") << QLocale(u"en_GB"_qs) << may8
                               << literal + u"<DATE>08/05/1977</DATE>"_qs;
        QTest::newRow("de_DE") << QLocale(u"de_DE"_qs) << may8
                               << literal + u"<DATE>08.05.1977</DATE>"_qs;
        QTest::newRow("ja_JP") << QLocale(u"ja_JP"_qs) << may8
                               << literal + u"<DATE>1977/05/08</DATE>"_qs;
        // Nineteen characters that are neither blanks nor suffix letters: the longest a whole
        // line may have in a locale whose longest month name has eleven letters.
        QTest::newRow("el_GR, a long whole line")
            << QLocale(u"el_GR"_qs) << u"Σεπτεμβρίου. 30, 2000"_qs
            << u"<LITERALDATE>Σεπτεμβρίου. 30, 2000</LITERALDATE>\r\n<DATE>30/9/2000</DATE>"_qs;
    }

    void locales()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, line);
        QFETCH(QString, elements);
        ConvertOptions options{locale};
        const QString text = u"Blue Lantern\r\n"_qs + line + u"\r\nb\r\nc\r\nd\r\ne\r\n"_qs;
        const QString xml = ConvertInfoText(text, options);
        QVERIFY2(xml.contains(elements), qPrintable(xml));
    }
};

QTEST_GUILESS_MAIN(TestShowDate)
#include "tst_showdate.moc"
