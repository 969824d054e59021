// The show date: the three passes over lines 1 to 6 and the two elements they write.
#include "convertinfotext.h"
#include "infolines.h"
#include "showdate.h"

#include <QTest>

using namespace tapewright;

namespace {

const QLocale UnitedStates(QLocale::English, QLocale::UnitedStates);

// Lines joined and ended by CR LF, padded to the six lines a conversion needs.
InfoLines linesOf(QStringList lines)
{
    while (lines.size() < 8)
        lines.append(u"filler"_qs);
    return InfoLines::cut(lines.join(u"\r\n") + QStringLiteral("\r\n"));
}

} // namespace

class TestShowDate : public QObject
{
    Q_OBJECT

private slots:
    void passes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("literal"); // empty when no date is found
        QTest::addColumn<QString>("date");

        // Pass 2: the whole line, once ordinal suffixes are gone; the line is written as stored.
        QTest::newRow("whole line with ordinal")
            << QStringList{u"Blue Lantern"_qs, u"May 8th, 1977"_qs} << u"May 8th, 1977"_qs
            << u"5/8/1977"_qs;
        QTest::newRow("st removed inside August")
            << QStringList{u"Blue Lantern"_qs, u"August 8th, 1977"_qs} << u"August 8th, 1977"_qs
            << u"8/8/1977"_qs;
        QTest::newRow("dots become slashes")
            << QStringList{u"Blue Lantern"_qs, u"5.8.77"_qs} << u"5.8.77"_qs << u"5/8/1977"_qs;
        QTest::newRow("nd is not removed")
            << QStringList{u"Blue Lantern"_qs, u"May 2nd, 1977"_qs} << QString() << QString();
        QTest::newRow("whole line beats a date inside an earlier line")
            << QStringList{u"Show 5/7/77 Town Hall"_qs, u"May 9, 1977"_qs} << u"May 9, 1977"_qs
            << u"5/9/1977"_qs;

        // Pass 3: a date inside a line, cleaned and lower-cased.
        QTest::newRow("cut behind the first blank keeps the blank")
            << QStringList{u"Blue Lantern"_qs, u"Venue"_qs, u"5.8.77 Town Hall"_qs} << u"5/8/77 "_qs
            << u"5/8/1977"_qs;
        QTest::newRow("year first with dashes")
            << QStringList{u"Blue Lantern"_qs, u"1977-05-08 Town Hall"_qs} << u"1977/05/08 "_qs
            << u"5/8/1977"_qs;
        QTest::newRow("cut before the first comma")
            << QStringList{u"5/8/77, Town Hall"_qs} << u"5/8/77"_qs << u"5/8/1977"_qs;
        QTest::newRow("date after the band, trimmed")
            << QStringList{u"Bob Dylan,  2/11/74, Oakland, CA"_qs} << u"2/11/74"_qs
            << u"2/11/1974"_qs;
        QTest::newRow("weekday before the date")
            << QStringList{u"Bob Dylan"_qs, u"Wednesday, May 21, 2008"_qs} << u"may 21, 2008"_qs
            << u"5/21/2008"_qs;
        QTest::newRow("cut holds no date, the whole line is searched")
            << QStringList{u"Blue Lantern"_qs, u"5 May 1977 Town Hall"_qs, u"6/9/78 Hall"_qs}
            << u"5 may 1977"_qs << u"5/5/1977"_qs;
        QTest::newRow("leading zero is not cut")
            << QStringList{u"Blue Lantern"_qs, u"05/08/77 Town Hall"_qs} << u"05/08/77"_qs
            << u"5/8/1977"_qs;
        QTest::newRow("no date in a partial date")
            << QStringList{u"Bob Dylan, 5/xx/87, Dead Dylan Rehearsals, 4CDR"_qs} << QString()
            << QString();
        QTest::newRow("line 7 is not looked at")
            << QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs, u"5/8/1977"_qs}
            << QString() << QString();

        // Pass 1: lines that begin with "date".
        QTest::newRow("date keyword, lower-cased literal")
            << QStringList{u"Date May 8, 1977"_qs} << u"may 8, 1977"_qs << u"5/8/1977"_qs;
        QTest::newRow("date keyword with colon keeps it")
            << QStringList{u"Blue Lantern"_qs, u"Date: 5/8/77"_qs} << u": 5/8/77"_qs
            << u"5/8/1977"_qs;
        QTest::newRow("later date line replaces earlier")
            << QStringList{u"Date 5/8/77"_qs, u"x"_qs, u"DATE 5/9/77"_qs} << u"5/9/77"_qs
            << u"5/9/1977"_qs;
        QTest::newRow("date line beats a whole-line date before it")
            << QStringList{u"May 1, 1977"_qs, u"Date 5/9/77"_qs} << u"5/9/77"_qs << u"5/9/1977"_qs;
        QTest::newRow("date found inside the rest")
            << QStringList{u"Blue Lantern"_qs, u"Date: Sunday, May 8th 1977"_qs}
            << u": sunday, may 8th 1977"_qs << u"5/8/1977"_qs;
        QTest::newRow("date line without date keeps the earlier finding")
            << QStringList{u"Date 5/8/77"_qs, u"Date: unknown"_qs} << u"5/8/77"_qs
            << u"5/8/1977"_qs;
        QTest::newRow("no date on any date line, later passes run")
            << QStringList{u"Date: unknown"_qs, u"Blue Lantern"_qs, u"5/8/77"_qs} << u"5/8/77"_qs
            << u"5/8/1977"_qs;
    }

    void passes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, literal);
        QFETCH(QString, date);
        const HeaderField field = FindShowDate(linesOf(lines), UnitedStates);
        QCOMPARE(field.Found, !literal.isEmpty());
        if (literal.isEmpty()) {
            QVERIFY(field.Element.isEmpty());
            QVERIFY(field.SecondElement.isEmpty());
            return;
        }
        QCOMPARE(field.Element,
                 QStringLiteral("<LITERALDATE>") + literal + QStringLiteral("</LITERALDATE>"));
        QCOMPARE(field.SecondElement, QStringLiteral("<DATE>") + date + QStringLiteral("</DATE>"));
    }

    // The whole conversion writes the date in the locale it is given.
    void locales_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("elements"); // the two date elements
        const QString may8 = u"May 8th, 1977"_qs;
        const QString literal = u"<LITERALDATE>May 8th, 1977</LITERALDATE>\r\n"_qs;
        QTest::newRow("en_US") << UnitedStates << may8 << literal + u"<DATE>5/8/1977</DATE>"_qs;
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
