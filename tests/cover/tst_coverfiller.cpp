// Filling a cover through a recording document: which bookmark gets what, in which order, and
// what is left alone.
#include "coverfiller.h"
#include "recordingcoverdocument.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

const QStringList BandBookmarks = {u"LinerBand"_qs, u"LinerCoverBand"_qs, u"SpineBand"_qs,
                                   u"CoverBand"_qs, u"CoverBand2"_qs,     u"TrayBand"_qs};
const QStringList LongDateBookmarks = {u"Linerdate"_qs, u"LinerCoverDate"_qs, u"CoverDate"_qs,
                                       u"TrayDate"_qs};
const QStringList ShortDateBookmarks = {u"SpineDate"_qs, u"CoverDate2"_qs};

// A track list document around the given element lines, as the converter lays it out.
QString Xml(const QStringList &elements)
{
    return u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"_qs + elements.join(u"\r\n"_qs) +
           u"\r\n</CDR_Track_List>"_qs;
}

CoverFillOptions UnitedStates()
{
    return {UnitedStatesLocale(), QDate(2024, 3, 9)};
}

CoverChoices Checked(const QString &name)
{
    return {u"cover.odt"_qs, 1, name};
}

QString Text(const RecordingCoverDocument &doc, const QString &name)
{
    return doc.texts.value(name);
}

} // namespace

class TestCoverFiller : public QObject
{
    Q_OBJECT

private slots:
    // The rows are written in the table's order, each looked up, scrolled to and then set; the
    // disc headings are scrolled to, the track lists, emptied discs, collection line and
    // creation date are not.
    void workedExample_operationOrder()
    {
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, WorkedExampleXml(), Checked(u"Jane"_qs), UnitedStates());
        QStringList expected;
        const auto scrolled = [&](const QString &name) {
            expected << u"lookUp "_qs + name << u"scroll "_qs + name << u"set "_qs + name;
        };
        const auto written = [&](const QString &name) {
            expected << u"lookUp "_qs + name << u"set "_qs + name;
        };
        for (const QString &name : RecordingCoverDocument::fullTemplate().first(26)) {
            if (!name.contains(u"State"_qs)) // the example has no state
                scrolled(name);
        }
        scrolled(u"TrayDisc1"_qs);
        written(u"TrayDisc1Tracks"_qs);
        scrolled(u"TrayDisc2"_qs);
        written(u"TrayDisc2Tracks"_qs);
        for (const QString &name :
             {u"TrayDisc3"_qs, u"TrayDisc3Tracks"_qs, u"TrayDisc4"_qs, u"TrayDisc4Tracks"_qs,
              u"TrayCollection"_qs, u"TrayCreationDate"_qs})
            written(name);
        QCOMPARE(doc.calls, expected);
    }

    void band_missingOrEmpty_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::newRow("no band element") << Xml({u"<VENUE>Hall</VENUE>"_qs});
        QTest::newRow("empty band element")
            << Xml({u"<BAND></BAND>"_qs, u"<VENUE>Hall</VENUE>"_qs});
        QTest::newRow("band without closing tag")
            << Xml({u"<BAND>Blue"_qs, u"<VENUE>Hall</VENUE>"_qs});
    }

    // An empty value leaves the template's own text: the bookmark is not even looked up.
    void band_missingOrEmpty()
    {
        QFETCH(QString, xml);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, xml, Checked(QString()), UnitedStates());
        for (const QString &name : BandBookmarks) {
            QCOMPARE(Text(doc, name), RecordingCoverDocument::templateText(name));
            QVERIFY(!doc.calls.contains(u"lookUp "_qs + name));
        }
        QCOMPARE(Text(doc, u"CoverVenue"_qs), u"Hall"_qs);
    }

    void dates_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("longDate");
        QTest::addColumn<QString>("shortDate");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("us numeric with leading zero")
            << us << u"10/04/2000"_qs << u"October 4, 2000"_qs << u"10/4/2000"_qs;
        QTest::newRow("us as the converter writes it")
            << us << u"5/8/1977"_qs << u"May 8, 1977"_qs << u"5/8/1977"_qs;
        QTest::newRow("us month name")
            << us << u"May 8, 1977"_qs << u"May 8, 1977"_qs << u"5/8/1977"_qs;
        QTest::newRow("de short date")
            << de << u"04.10.2000"_qs << u"Oktober 4, 2000"_qs << u"04.10.2000"_qs;
        QTest::newRow("season and year is written as read")
            << us << u"Summer 1977"_qs << u"Summer 1977"_qs << u"Summer 1977"_qs;
        QTest::newRow("impossible day is written as read")
            << us << u"2/30/1977"_qs << u"2/30/1977"_qs << u"2/30/1977"_qs;
        QTest::newRow("date with markup is written as read")
            << us << u"<b>5/8/1977</b>"_qs << u"<b>5/8/1977</b>"_qs << u"<b>5/8/1977</b>"_qs;
    }

    void dates()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, date);
        QFETCH(QString, longDate);
        QFETCH(QString, shortDate);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, Xml({u"<BAND>b</BAND>"_qs, u"<DATE>"_qs + date + u"</DATE>"_qs}),
                           Checked(QString()), {locale, QDate(2024, 3, 9)});
        for (const QString &name : LongDateBookmarks)
            QCOMPARE(Text(doc, name), longDate);
        for (const QString &name : ShortDateBookmarks)
            QCOMPARE(Text(doc, name), shortDate);
    }

    void discs_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QStringList>(
            "expected"); // TrayDisc1, TrayDisc1Tracks, ... TrayDisc4Tracks
        QTest::addColumn<QStringList>("notAskedFor");

        QTest::newRow("no disc count empties all eight")
            << QStringList{u"<BAND>b</BAND>"_qs}
            << QStringList{u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs}
            << QStringList();
        QTest::newRow("zero discs empties all eight")
            << QStringList{u"<DISCS>0</DISCS>"_qs}
            << QStringList{u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs}
            << QStringList();
        QTest::newRow("count that is not a number counts as zero")
            << QStringList{u"<DISCS>two</DISCS>"_qs, u"<TRACKSD1>1</TRACKSD1>"_qs,
                           u"<D1T1>a</D1T1>"_qs}
            << QStringList{u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs}
            << QStringList();
        QTest::newRow("count beyond 16 bits counts as zero")
            << QStringList{u"<DISCS>40000</DISCS>"_qs}
            << QStringList{u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs}
            << QStringList();
        QTest::newRow("two discs fill two, empty the others")
            << QStringList{u"<DISCS>2</DISCS>"_qs,       u"<TRACKSD1>1</TRACKSD1>"_qs,
                           u"<TRACKSD2>2</TRACKSD2>"_qs, u"<D1T1>a</D1T1>"_qs,
                           u"<D2T1>b</D2T1>"_qs,         u"<D2T2>c</D2T2>"_qs}
            << QStringList{u"Disc 1"_qs, u"a"_qs, u"Disc 2"_qs, u"b\r\nc"_qs,
                           u""_qs,       u""_qs,  u""_qs,       u""_qs}
            << QStringList();
        QTest::newRow("four discs empty nothing")
            << QStringList{u"<DISCS>4</DISCS>"_qs}
            << QStringList{u"Disc 1"_qs, u""_qs, u"Disc 2"_qs, u""_qs,
                           u"Disc 3"_qs, u""_qs, u"Disc 4"_qs, u""_qs}
            << QStringList();
        QTest::newRow("five discs run on to the missing fifth")
            << QStringList{u"<DISCS>5</DISCS>"_qs, u"<TRACKSD4>1</TRACKSD4>"_qs,
                           u"<TRACKSD5>1</TRACKSD5>"_qs, u"<D4T1>four</D4T1>"_qs,
                           u"<D5T1>five</D5T1>"_qs}
            << QStringList{u"Disc 1"_qs, u""_qs, u"Disc 2"_qs, u""_qs,
                           u"Disc 3"_qs, u""_qs, u"Disc 4"_qs, u"four"_qs}
            << QStringList();
        QTest::newRow("negative count empties from disc 1")
            << QStringList{u"<DISCS>-2</DISCS>"_qs}
            << QStringList{u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs}
            << QStringList{u"TrayDisc-1"_qs, u"TrayDisc0"_qs};
    }

    void discs()
    {
        QFETCH(QStringList, elements);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, notAskedFor);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, Xml(elements), Checked(QString()), UnitedStates());
        QStringList actual;
        for (int n = 1; n <= 4; ++n) {
            actual << Text(doc, u"TrayDisc"_qs + QString::number(n))
                   << Text(doc, u"TrayDisc"_qs + QString::number(n) + u"Tracks"_qs);
        }
        QCOMPARE(actual, expected);
        for (const QString &name : notAskedFor)
            QVERIFY(!doc.calls.contains(u"lookUp "_qs + name));
    }

    // The fifth disc of a five-disc show: its bookmarks are asked for (a template may have
    // room for it) and skipped when absent, and no other bookmark receives its values.
    void discs_fifthDiscIsLookedUp()
    {
        RecordingCoverDocument doc;
        FillCoverBookmarks(
            doc,
            Xml({u"<DISCS>5</DISCS>"_qs, u"<TRACKSD5>1</TRACKSD5>"_qs, u"<D5T1>five</D5T1>"_qs}),
            Checked(QString()), UnitedStates());
        QVERIFY(doc.calls.contains(u"lookUp TrayDisc5"_qs));
        QVERIFY(doc.calls.contains(u"lookUp TrayDisc5Tracks"_qs));
        QVERIFY(!doc.texts.values().contains(u"five"_qs));
        QVERIFY(!doc.texts.values().contains(u"Disc 5"_qs));

        // A template with room for five discs gets the fifth.
        QStringList five = RecordingCoverDocument::fullTemplate();
        five << u"TrayDisc5"_qs << u"TrayDisc5Tracks"_qs;
        RecordingCoverDocument roomy(five);
        FillCoverBookmarks(
            roomy,
            Xml({u"<DISCS>5</DISCS>"_qs, u"<TRACKSD5>1</TRACKSD5>"_qs, u"<D5T1>five</D5T1>"_qs}),
            Checked(QString()), UnitedStates());
        QCOMPARE(Text(roomy, u"TrayDisc5"_qs), u"Disc 5"_qs);
        QCOMPARE(Text(roomy, u"TrayDisc5Tracks"_qs), u"five"_qs);
    }

    void trackList_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QString>("list");

        QTest::newRow("three tracks, no line end at the end")
            << QStringList{u"<TRACKSD1>3</TRACKSD1>"_qs, u"<D1T1>A</D1T1>"_qs, u"<D1T2>B</D1T2>"_qs,
                           u"<D1T3>C</D1T3>"_qs}
            << u"A\r\nB\r\nC"_qs;
        QTest::newRow("missing middle track leaves an empty line")
            << QStringList{u"<TRACKSD1>3</TRACKSD1>"_qs, u"<D1T1>A</D1T1>"_qs, u"<D1T3>C</D1T3>"_qs}
            << u"A\r\n\r\nC"_qs;
        QTest::newRow("empty last track ends the list with one line end")
            << QStringList{u"<TRACKSD1>3</TRACKSD1>"_qs, u"<D1T1>A</D1T1>"_qs, u"<D1T2>B</D1T2>"_qs,
                           u"<D1T3></D1T3>"_qs}
            << u"A\r\nB\r\n"_qs;
        QTest::newRow("track count missing gives an empty list")
            << QStringList{u"<D1T1>A</D1T1>"_qs} << QString();
        QTest::newRow("track count empty gives an empty list")
            << QStringList{u"<TRACKSD1></TRACKSD1>"_qs, u"<D1T1>A</D1T1>"_qs} << QString();
        QTest::newRow("times are not part of the list")
            << QStringList{u"<TRACKSD1>1</TRACKSD1>"_qs,
                           u"<D1T1>1. Opener</D1T1><D1T1Time>4:56</D1T1Time>"_qs}
            << u"1. Opener"_qs;
        QTest::newRow("track count in lower case tags")
            << QStringList{u"<tracksd1>2</tracksd1>"_qs, u"<d1t1>a</d1t1>"_qs, u"<d1t2>b</d1t2>"_qs}
            << u"a\r\nb"_qs;
        QString fifty;
        QStringList tracks = {u"<TRACKSD1>51</TRACKSD1>"_qs};
        for (int t = 1; t <= 50; ++t) {
            tracks << u"<D1T%1>Song %1</D1T%1>"_qs.arg(t);
            fifty += u"Song %1\r\n"_qs.arg(t);
        }
        QTest::newRow("51 counted, 50 written: fifty titles and one line end") << tracks << fifty;
    }

    void trackList()
    {
        QFETCH(QStringList, elements);
        QFETCH(QString, list);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, Xml(QStringList{u"<DISCS>1</DISCS>"_qs} + elements),
                           Checked(QString()), UnitedStates());
        QCOMPARE(Text(doc, u"TrayDisc1Tracks"_qs), list);
        QVERIFY(doc.calls.contains(u"set TrayDisc1Tracks"_qs)); // also when empty
    }

    // A count edited by hand to the largest the reader accepts still finishes, with one line
    // per counted track as far as a bookmark takes them.
    void trackList_hugeCount()
    {
        RecordingCoverDocument doc;
        const QStringList cut =
            FillCoverBookmarks(doc,
                               Xml({u"<DISCS>32767</DISCS>"_qs, u"<TRACKSD1>32767</TRACKSD1>"_qs,
                                    u"<TRACKSD2>32767</TRACKSD2>"_qs, u"<D1T1>a</D1T1>"_qs}),
                               Checked(QString()), UnitedStates());
        const QString list = Text(doc, u"TrayDisc1Tracks"_qs);
        QCOMPARE(list.size(), MaxCoverValueLength);
        QVERIFY(list.startsWith(u"a\r\n\r\n"_qs));
        QCOMPARE(Text(doc, u"TrayDisc2Tracks"_qs),
                 QString(32766, u'\n').replace(u"\n"_qs, u"\r\n"_qs).first(MaxCoverValueLength));
        QCOMPARE(cut, (QStringList{u"TrayDisc1Tracks"_qs, u"TrayDisc2Tracks"_qs}));
    }

    void collection_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line");
        QTest::newRow("checked with a name")
            << 1 << u"Jane"_qs << u"From the collection of Jane"_qs;
        QTest::newRow("checked, empty name keeps the trailing blank")
            << 1 << QString() << u"From the collection of "_qs;
        QTest::newRow("name is not trimmed")
            << 1 << u" Jane "_qs << u"From the collection of  Jane "_qs;
        QTest::newRow("unchecked empties the line") << 0 << u"Jane"_qs << QString();
        QTest::newRow("grayed empties the line") << 2 << u"Jane"_qs << QString();
    }

    void collection()
    {
        QFETCH(int, state);
        QFETCH(QString, name);
        QFETCH(QString, line);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, Xml({u"<BAND>b</BAND>"_qs}), {u"c.odt"_qs, state, name},
                           UnitedStates());
        QCOMPARE(Text(doc, u"TrayCollection"_qs), line);
        QVERIFY(doc.calls.contains(u"set TrayCollection"_qs));
    }

    void creationDate_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("text");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("us") << us << Xml({u"<BAND>b</BAND>"_qs}) << u"3/9/2024"_qs;
        QTest::newRow("de") << QLocale(QLocale::German, QLocale::Germany)
                            << Xml({u"<BAND>b</BAND>"_qs}) << u"09.03.2024"_qs;
        QTest::newRow("whatever the text holds")
            << us << u"<DATE>1/1/1970</DATE>"_qs << u"3/9/2024"_qs;
        QTest::newRow("empty text") << us << QString() << u"3/9/2024"_qs;
    }

    void creationDate()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, xml);
        QFETCH(QString, text);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, xml, Checked(QString()), {locale, QDate(2024, 3, 9)});
        QCOMPARE(Text(doc, u"TrayCreationDate"_qs), text);
    }

    void tagCaseMix()
    {
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc,
                           Xml({u"<Band>The MiXed Case</band>"_qs, u"<BAND>second</BAND>"_qs,
                                u"<source>a <b>bold</b> &amp; more</SOURCE>"_qs}),
                           Checked(QString()), UnitedStates());
        for (const QString &name : BandBookmarks)
            QCOMPARE(Text(doc, name), u"The MiXed Case"_qs);
        QCOMPARE(Text(doc, u"TraySource"_qs), u"a <b>bold</b> &amp; more"_qs);
    }

    // A bookmark the template lacks writes nothing anywhere; the rows after it go on.
    void templateWithoutLinerNotes()
    {
        QStringList names = RecordingCoverDocument::fullTemplate();
        names.removeAll(u"LinerNotes"_qs);
        RecordingCoverDocument doc(names);
        FillCoverBookmarks(doc, WorkedExampleXml(), Checked(u"Jane"_qs), UnitedStates());
        QVERIFY(!doc.texts.contains(u"LinerNotes"_qs));
        QVERIFY(!doc.texts.values().contains(u":Great show. "_qs));
        QVERIFY(!doc.calls.contains(u"set LinerNotes"_qs));
        QCOMPARE(Text(doc, u"LinerCoverBand"_qs), u"Blue Lantern"_qs);
        QCOMPARE(Text(doc, u"TrayCreationDate"_qs), u"3/9/2024"_qs);
    }

    void failingScroll_stillWrites()
    {
        RecordingCoverDocument doc;
        doc.failingScrolls = {u"CoverBand"_qs, u"TrayDisc1"_qs};
        FillCoverBookmarks(doc, WorkedExampleXml(), Checked(u"Jane"_qs), UnitedStates());
        QCOMPARE(Text(doc, u"CoverBand"_qs), u"Blue Lantern"_qs);
        QCOMPARE(Text(doc, u"TrayDisc1"_qs), u"Disc 1"_qs);
    }

    // A cover takes so much and no more: each bookmark's text and all of them together are cut
    // to the bounds, never within a character, and the bookmarks that were cut are named.
    void bounds_cutTexts_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<int>("discs");          // headings and lists the template has room for
        QTest::addColumn<QStringList>("cut");    // the bookmarks named as cut, in order
        QTest::addColumn<QList<int>>("lengths"); // and what their texts kept

        const int most = int(MaxCoverValueLength);
        const QString big(MaxCoverValueLength + 1000, u'x');
        // Every track element opened before any is closed: each track is the whole text.
        QString overlapping = u"<DISCS>1</DISCS><TRACKSD1>2000</TRACKSD1>"_qs;
        for (int t = 1; t <= 2000; ++t)
            overlapping += QStringLiteral("<D1T%1>").arg(t);
        overlapping += big;
        for (int t = 2000; t >= 1; --t)
            overlapping += QStringLiteral("</D1T%1>").arg(t);
        QTest::newRow("overlapping track elements")
            << Xml({overlapping}) << 4 << QStringList{u"TrayDisc1Tracks"_qs} << QList<int>{most};
        QTest::newRow("a band too long") << Xml({u"<BAND>"_qs + big + u"</BAND>"_qs}) << 4
                                         << BandBookmarks << QList<int>(BandBookmarks.size(), most);
        // A character of two UTF-16 units across the bound is left out whole.
        QTest::newRow("a pair across the bound")
            << Xml({u"<CITY>"_qs + QString(most - 1, u'c') + u"\U0001F3B8</CITY>"_qs}) << 4
            << QStringList{u"LinerCity"_qs, u"LinerCoverCity"_qs, u"SpineCity"_qs, u"CoverCity"_qs}
            << QList<int>(4, most - 1);
        // 40 discs of one long track: the cover is full after 30 lists; the 31st gets what is
        // left (1,000,000 - 30 * 32,767 - the headings "Disc 1" to "Disc 31"), and what comes
        // after gets nothing.
        QString boxSet = u"<DISCS>40</DISCS>"_qs;
        QStringList cut;
        QList<int> lengths;
        for (int d = 1; d <= 40; ++d) {
            boxSet += QStringLiteral("<TRACKSD%1>1</TRACKSD%1><D%1T1>").arg(d) + big +
                      QStringLiteral("</D%1T1>").arg(d);
            if (d > 31)
                cut << QStringLiteral("TrayDisc%1").arg(d);
            cut << QStringLiteral("TrayDisc%1Tracks").arg(d);
            lengths << (d <= 30 ? most : d == 31 ? 1000000 - 30 * most - (9 * 6 + 22 * 7) : 0);
            if (d > 31)
                lengths << 0;
        }
        cut << u"TrayCollection"_qs << u"TrayCreationDate"_qs;
        lengths << 0 << 0;
        QTest::newRow("a whole cover too long") << Xml({boxSet}) << 40 << cut << lengths;
    }
    void bounds_cutTexts()
    {
        QFETCH(QString, xml);
        QFETCH(int, discs);
        QFETCH(QStringList, cut);
        QFETCH(QList<int>, lengths);
        QStringList bookmarks = RecordingCoverDocument::fullTemplate();
        for (int n = 5; n <= discs; ++n)
            bookmarks << QStringLiteral("TrayDisc%1").arg(n)
                      << QStringLiteral("TrayDisc%1Tracks").arg(n);
        RecordingCoverDocument doc(bookmarks);
        const QStringList named = FillCoverBookmarks(doc, xml, Checked(u"Jane"_qs), UnitedStates());
        QCOMPARE(named, cut);
        for (qsizetype i = 0; i < cut.size(); ++i) {
            const QString text = Text(doc, cut.at(i));
            QCOMPARE(text.size(), lengths.at(i));
            QVERIFY(xml.contains(text));
        }
        qsizetype total = 0;
        for (const QString &name : bookmarks) {
            if (Text(doc, name) != RecordingCoverDocument::templateText(name))
                total += Text(doc, name).size();
        }
        QVERIFY(total <= MaxCoverTextLength);
        // The notice names what was cut.
        QVERIFY(CutTextNotice(named).contains(u'“' + cut.first() + u'”'));
    }

    void fillCover_steps_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("start fails") << u"start"_qs << QStringList{u"start"_qs};
        QTest::newRow("open fails") << u"open"_qs << QStringList{u"start"_qs, u"open /t/c.odt"_qs};
        QTest::newRow("zoom fails")
            << u"zoom"_qs << QStringList{u"start"_qs, u"open /t/c.odt"_qs, u"zoom 75"_qs};
    }

    // A failure before the filling ends the run with its message; nothing is written.
    void fillCover_steps()
    {
        QFETCH(QString, failing);
        QFETCH(QStringList, calls);
        RecordingCoverDocument doc;
        doc.failStart = failing == u"start";
        doc.failOpen = failing == u"open";
        doc.failZoom = failing == u"zoom";
        const Result<QStringList> r =
            FillCover(doc, u"/t/c.odt"_qs, WorkedExampleXml(), Checked(u"J"_qs), UnitedStates());
        QVERIFY(!r.ok());
        QVERIFY(r.error().contains(calls.last()));
        QCOMPARE(doc.calls, calls);
    }

    void fillCover_success()
    {
        RecordingCoverDocument doc;
        const Result<QStringList> r =
            FillCover(doc, u"/t/c.odt"_qs, WorkedExampleXml(), Checked(u"J"_qs), UnitedStates());
        QVERIFY(r.ok());
        QCOMPARE(*r, QStringList()); // nothing was cut
        QCOMPARE(doc.calls.first(3),
                 (QStringList{u"start"_qs, u"open /t/c.odt"_qs, u"zoom 75"_qs}));
        QCOMPARE(doc.calls.last(), u"set TrayCreationDate"_qs);
        QVERIFY(!doc.calls.join(u'|').contains(u"show"_qs)); // the caller decides how to hand over
    }

    // The type is fitted once every bookmark is written and before the cover is saved; what
    // does not fit comes back with the cover.
    void makeCover_fitsBeforeSaving()
    {
        RecordingCoverDocument doc;
        doc.fitNotice = u"2 of the 40 tracks do not fit"_qs;
        CoverJob job;
        job.templateFolder = u"/t"_qs;
        job.choices = Checked(u"J"_qs);
        job.choices.templateFileName = u"c.odt"_qs;
        job.xml = WorkedExampleXml();
        job.fill = UnitedStates();
        job.outputPath = u"/t/cover.odt"_qs;
        const Result<MadeCover> made = MakeCover(doc, job);
        QVERIFY2(made, qPrintable(made.error()));
        QCOMPARE(made->path, job.outputPath);
        QCOMPARE(made->notice, doc.fitNotice);
        QCOMPARE(doc.calls.last(3),
                 (QStringList{u"set TrayCreationDate"_qs, u"fit"_qs, u"saveAs /t/cover.odt"_qs}));
    }

    void templatePath()
    {
        QCOMPARE(CoverTemplatePath(u"/opt/t"_qs, u"Jewel case.odt"_qs).value(),
                 u"/opt/t/Jewel case.odt"_qs);
        const Result<QString> none = CoverTemplatePath(u"/opt/t"_qs, QString());
        QVERIFY(!none.ok());
        QVERIFY(none.error().contains(u"No cover template"_qs));
    }

    void coverTitle_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("title");
        QTest::newRow("band and date") << WorkedExampleXml() << u"Blue Lantern 1977-05-08"_qs;
        QTest::newRow("band alone")
            << Xml({u"<BAND>b</BAND>"_qs, u"<DATE>Summer</DATE>"_qs}) << u"b"_qs;
        QTest::newRow("date alone") << Xml({u"<DATE>5/8/1977</DATE>"_qs}) << u"1977-05-08"_qs;
        QTest::newRow("nothing") << QString() << u"Cover"_qs;
    }

    void coverTitle()
    {
        QFETCH(QString, xml);
        QFETCH(QString, title);
        QCOMPARE(CoverTitle(xml, QLocale(QLocale::English, QLocale::UnitedStates)), title);
    }

    void listTemplates()
    {
        QTemporaryDir dir;
        for (const char *name :
             {"b-cover.odt", "A-Cover.DOCX", "c.ott", "d.dotx", "e.doc", "f.docm", "g.dotm",
              "notes.txt", ".hidden.odt", "noextension", "a-cover.odt"}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(u"folder.odt"_qs));
        const QStringList expected = {u"A-Cover.DOCX"_qs, u"a-cover.odt"_qs, u"b-cover.odt"_qs,
                                      u"c.ott"_qs,        u"d.dotx"_qs,      u"e.doc"_qs,
                                      u"f.docm"_qs,       u"g.dotm"_qs};
        QCOMPARE(ListCoverTemplates(dir.path()), expected);
        QVERIFY(ListCoverTemplates(dir.filePath(u"missing"_qs)).isEmpty());
    }

    void loadChoices_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("templateFile");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("name");
        QTest::newRow("no settings file") << QByteArray() << QString() << 1 << QString();
        QTest::newRow("stored choices")
            << QByteArray("[Tapewright]\r\nTemplate=Two.odt\r\nPrintCollectionName=0\r\n"
                          "UserName=Jane\r\n")
            << u"Two.odt"_qs << 0 << u"Jane"_qs;
        QTest::newRow("grayed state") << QByteArray("[Tapewright]\r\nPrintCollectionName=2\r\n")
                                      << QString() << 2 << QString();
        QTest::newRow("state out of range falls back to checked")
            << QByteArray("[Tapewright]\r\nPrintCollectionName=7\r\n") << QString() << 1
            << QString();
        QTest::newRow("state not a number falls back to checked")
            << QByteArray("[Tapewright]\r\nPrintCollectionName=yes\r\nUserName=Al\r\n") << QString()
            << 1 << u"Al"_qs;
    }

    void loadChoices()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, templateFile);
        QFETCH(int, state);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        if (!ini.isEmpty())
            WriteBytes(path, ini);
        const CoverChoices choices = LoadCoverChoices(path);
        QCOMPARE(choices.templateFileName, templateFile);
        QCOMPARE(choices.collectionState, state);
        QCOMPARE(choices.userName, name);
    }

    void storeChoices_roundTripInOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tapewright.ini"_qs);
        QVERIFY(StoreCoverChoices({u"Two.odt"_qs, 0, u"Jane Doe"_qs}, path));
        const QString text = QString::fromUtf8(ReadBytes(path));
        const qsizetype t = text.indexOf(u"Template="_qs);
        const qsizetype p = text.indexOf(u"PrintCollectionName="_qs);
        const qsizetype u = text.indexOf(u"UserName="_qs);
        QVERIFY(text.startsWith(u"[Tapewright]"_qs));
        QVERIFY(t >= 0 && t < p && p < u);
        const CoverChoices back = LoadCoverChoices(path);
        QCOMPARE(back.templateFileName, u"Two.odt"_qs);
        QCOMPARE(back.collectionState, 0);
        QCOMPARE(back.userName, u"Jane Doe"_qs);
    }
};

QTEST_GUILESS_MAIN(TestCoverFiller)
#include "tst_coverfiller.moc"
