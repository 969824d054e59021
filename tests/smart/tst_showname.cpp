// The band and date a show's folder or file name gives, and when smart recognition takes them:
// only for what the text itself does not name.
#include "smart/recogniseinfotext.h"
#include "smart/showname.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

class TestShowName : public QObject
{
    Q_OBJECT

private slots:
    void name_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("date"); // as the name writes it
        QTest::addColumn<QString>("iso");
        QTest::newRow("short name glued, year of four, folder marks after")
            << u"gd1977-05-08.sbd.miller.flac16"_qs << u"Grateful Dead"_qs << u"1977-05-08"_qs
            << u"1977-05-08"_qs;
        QTest::newRow("short name glued, year of two")
            << u"gd77-05-08"_qs << u"Grateful Dead"_qs << u"77-05-08"_qs << u"1977-05-08"_qs;
        QTest::newRow("short name glued, dots")
            << u"ph1997.12.31"_qs << u"Phish"_qs << u"1997.12.31"_qs << u"1997-12-31"_qs;
        QTest::newRow("unknown short name: the date alone")
            << u"xq1999-01-01"_qs << QString() << u"1999-01-01"_qs << u"1999-01-01"_qs;
        QTest::newRow("band, date and place between dashes")
            << u"Bob Dylan - 1989-10-24 - Boston"_qs << u"Bob Dylan"_qs << u"1989-10-24"_qs
            << u"1989-10-24"_qs;
        QTest::newRow("short name before the date, written out")
            << u"Dylan 1975-11-19"_qs << u"Bob Dylan"_qs << u"1975-11-19"_qs << u"1975-11-19"_qs;
        QTest::newRow("underscores for blanks")
            << u"Old_Crow_Medicine_Show_2004-06-12"_qs << u"Old Crow Medicine Show"_qs
            << u"2004-06-12"_qs << u"2004-06-12"_qs;
        QTest::newRow("date first: no band")
            << u"1977-05-08 Barton Hall"_qs << QString() << u"1977-05-08"_qs << u"1977-05-08"_qs;
        QTest::newRow("a venue before the date: no band")
            << u"Barton Hall 1977-05-08"_qs << QString() << u"1977-05-08"_qs << u"1977-05-08"_qs;
        QTest::newRow("year of two after 2000")
            << u"gd05-06-12"_qs << u"Grateful Dead"_qs << u"05-06-12"_qs << u"2005-06-12"_qs;
        QTest::newRow("no date: nothing")
            << u"Bob Dylan Boston"_qs << QString() << QString() << QString();
        QTest::newRow("a date inside a longer number: nothing")
            << u"track 121977-05-08"_qs << QString() << QString() << QString();
        QTest::newRow("no such day: nothing")
            << u"gd1977-02-30"_qs << QString() << QString() << QString();
    }

    void name()
    {
        QFETCH(QString, name);
        QFETCH(QString, band);
        QFETCH(QString, date);
        QFETCH(QString, iso);
        const smart::NamedShow show =
            smart::ShowFromName(name, DateLocale::of(UnitedStatesLocale()));
        QCOMPARE(show.band, band);
        QCOMPARE(show.literalDate, date);
        QCOMPARE(show.date.toString(Qt::ISODate), iso);
    }

    // The file's name, then its folder's, field by field; only what the text lacks is taken.
    void recognised_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("date");
        const QString folder = u"/shows/gd1977-05-08.sbd/"_qs;
        QTest::newRow("the folder's") << folder + u"info.txt"_qs << u"Barton Hall"_qs
                                      << u"Grateful Dead"_qs << u"1977-05-08"_qs;
        QTest::newRow("the file's before the folder's")
            << folder + u"ph1997-12-31.txt"_qs << u"Barton Hall"_qs << u"Phish"_qs
            << u"1997-12-31"_qs;
        QTest::newRow("the file's date, the folder's band")
            << folder + u"Barton Hall 1977-05-09.txt"_qs << u"Barton Hall"_qs << u"Grateful Dead"_qs
            << u"1977-05-09"_qs;
        QTest::newRow("the text's band and date stay")
            << folder + u"info.txt"_qs << u"Bob Dylan\r\nMay 9, 1981"_qs << u"Bob Dylan"_qs
            << u"May 9, 1981"_qs;
        QTest::newRow("the text's band, the folder's date")
            << folder + u"info.txt"_qs << u"Bob Dylan"_qs << u"Bob Dylan"_qs << u"1977-05-08"_qs;
        QTest::newRow("no file") << QString() << u"Barton Hall"_qs << QString() << QString();
    }

    void recognised()
    {
        QFETCH(QString, path);
        QFETCH(QString, header);
        QFETCH(QString, band);
        QFETCH(QString, date);
        ConvertOptions options{UnitedStatesLocale()};
        options.infoPath = path;
        const QString xml =
            RecogniseInfoText(header + u"\r\n\r\n1. Minglewood Blues\r\n2. Loser\r\n"_qs, options);
        QVERIFY(xml.contains(u"<BAND>"_qs + band + u"</BAND>"_qs));
        QCOMPARE(xml.contains(u"<LITERALDATE>"_qs + date + u"</LITERALDATE>"_qs), !date.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestShowName)
#include "tst_showname.moc"
