// Filling a cover through a recording document: which bookmark gets what, in which order, and
// what is left alone; the dialog's template list and stored choices.
#include "cover/fill/coverfiller.h"
#include "testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

const QStringList BandBookmarks = {u"LinerBand"_qs, u"LinerCoverBand"_qs, u"SpineBand"_qs,
                                   u"CoverBand"_qs, u"CoverBand2"_qs,     u"TrayBand"_qs};

// A track list document around the given elements, as the converter lays it out.
QString Xml(const QString &elements)
{
    return u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"_qs + elements +
           u"\r\n</CDR_Track_List>"_qs;
}

const CoverFillOptions UnitedStates{UnitedStatesLocale(), QDate(2024, 3, 9)};
const CoverChoices Checked{u"cover.odt"_qs, 1, u"Jane"_qs};

// The texts of the named bookmarks, joined by "|".
QString Texts(const RecordingCoverDocument &doc, const QStringList &names)
{
    QStringList texts;
    for (const QString &name : names)
        texts << doc.texts.value(name);
    return texts.join(u'|');
}

QStringList DiscBookmarks(int discs = 4)
{
    QStringList names;
    for (int n = 1; n <= discs; ++n)
        names << u"TrayDisc%1"_qs.arg(n) << u"TrayDisc%1Tracks"_qs.arg(n);
    return names;
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
        FillCoverBookmarks(doc, WorkedExampleXml(), Checked, UnitedStates);
        QStringList expected;
        for (const QString &name : CoverBookmarkNames()) {
            if (name.contains(u"State"_qs)) // the example has no state
                continue;
            expected << u"lookUp "_qs + name;
            if (CoverBookmarkNames().indexOf(name) < 26 || name == u"TrayDisc1" ||
                name == u"TrayDisc2")
                expected << u"scroll "_qs + name;
            expected << u"set "_qs + name;
        }
        QCOMPARE(doc.calls, expected);
        QCOMPARE(Texts(doc, {u"Linerdate"_qs, u"SpineDate"_qs, u"TrayDisc2Tracks"_qs}),
                 u"May 8, 1977|5/8/1977|1. Third Song\r\n2. Encore: Closer 3:30"_qs);
    }

    // Long dates go to Linerdate, LinerCoverDate, CoverDate and TrayDate, short ones to
    // SpineDate and CoverDate2; what is no date is written as read.
    void dates_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("written");
        const QLocale us = UnitedStatesLocale();
        QTest::newRow("us numeric") << us << u"10/04/2000"_qs
                                    << u"October 4, 2000|October 4, 2000|10/4/2000|October 4, "
                                       "2000|10/4/2000|October 4, 2000"_qs;
        QTest::newRow("de short date")
            << QLocale(QLocale::German, QLocale::Germany) << u"04.10.2000"_qs
            << u"Oktober 4, 2000|Oktober 4, 2000|04.10.2000|Oktober 4, "
               "2000|04.10.2000|Oktober 4, 2000"_qs;
        for (const QString &asRead : {u"Summer 1977"_qs, u"2/30/1977"_qs, u"<b>5/8/1977</b>"_qs})
            QTest::addRow("%s as read", qPrintable(asRead))
                << us << asRead << QStringList(6, asRead).join(u'|');
    }
    void dates()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, date);
        QFETCH(QString, written);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, Xml(u"<DATE>"_qs + date + u"</DATE>"_qs), Checked,
                           {locale, QDate(2024, 3, 9)});
        QCOMPARE(Texts(doc, {u"Linerdate"_qs, u"LinerCoverDate"_qs, u"SpineDate"_qs,
                             u"CoverDate"_qs, u"CoverDate2"_qs, u"TrayDate"_qs}),
                 written);
    }

    // The disc headings and track lists, TrayDisc1 to TrayDisc4Tracks, joined by "|"; and the
    // bookmarks of a template with room for five discs.
    void discs_data()
    {
        QTest::addColumn<QString>("elements");
        QTest::addColumn<int>("room"); // discs the template has bookmarks for
        QTest::addColumn<QString>("texts");
        const QString none = u"|||||||"_qs;
        QTest::newRow("no disc count") << u"<BAND>b</BAND>"_qs << 4 << none;
        QTest::newRow("zero") << u"<DISCS>0</DISCS>"_qs << 4 << none;
        QTest::newRow("not a number")
            << u"<DISCS>two</DISCS><TRACKSD1>1</TRACKSD1><D1T1>a</D1T1>"_qs << 4 << none;
        QTest::newRow("beyond 16 bits") << u"<DISCS>40000</DISCS>"_qs << 4 << none;
        QTest::newRow("negative empties from disc 1") << u"<DISCS>-2</DISCS>"_qs << 4 << none;
        QTest::newRow("two discs")
            << u"<DISCS>2</DISCS><TRACKSD1>1</TRACKSD1><TRACKSD2>2</TRACKSD2><D1T1>a</D1T1>"
               "<D2T1>b</D2T1><D2T2>c</D2T2>"_qs
            << 4 << u"Disc 1|a|Disc 2|b\r\nc||||"_qs;
        QTest::newRow("four empty nothing")
            << u"<DISCS>4</DISCS>"_qs << 4 << u"Disc 1||Disc 2||Disc 3||Disc 4|"_qs;
        const QString five =
            u"<DISCS>5</DISCS><TRACKSD4>1</TRACKSD4><TRACKSD5>1</TRACKSD5><D4T1>four</D4T1>"
            "<D5T1>five</D5T1>"_qs;
        QTest::newRow("five on four") << five << 4 << u"Disc 1||Disc 2||Disc 3||Disc 4|four"_qs;
        QTest::newRow("five on five")
            << five << 5 << u"Disc 1||Disc 2||Disc 3||Disc 4|four|Disc 5|five"_qs;
    }
    void discs()
    {
        QFETCH(QString, elements);
        QFETCH(int, room);
        QFETCH(QString, texts);
        RecordingCoverDocument doc(CoverBookmarkNames() + DiscBookmarks(room).mid(8));
        FillCoverBookmarks(doc, Xml(elements), Checked, UnitedStates);
        QCOMPARE(Texts(doc, DiscBookmarks(room)), texts);
        // A count below zero never asks for names like "TrayDisc-1"; the bookmarks of a
        // fifth disc are asked for and skipped when absent, with nothing written elsewhere.
        QVERIFY(!doc.calls.contains(u"lookUp TrayDisc0"_qs));
        QCOMPARE(doc.calls.contains(u"lookUp TrayDisc5Tracks"_qs), elements.contains(u"D5"_qs));
        QCOMPARE(doc.texts.values().contains(u"five"_qs), room == 5 && elements.contains(u"D5"_qs));
    }

    void trackList_data()
    {
        QTest::addColumn<QString>("elements");
        QTest::addColumn<QString>("list");
        QTest::newRow("three, no line end at the end")
            << u"<TRACKSD1>3</TRACKSD1><D1T1>A</D1T1><D1T2>B</D1T2><D1T3>C</D1T3>"_qs
            << u"A\r\nB\r\nC"_qs;
        QTest::newRow("missing middle track")
            << u"<TRACKSD1>3</TRACKSD1><D1T1>A</D1T1><D1T3>C</D1T3>"_qs << u"A\r\n\r\nC"_qs;
        QTest::newRow("empty last track")
            << u"<TRACKSD1>3</TRACKSD1><D1T1>A</D1T1><D1T2>B</D1T2><D1T3></D1T3>"_qs
            << u"A\r\nB\r\n"_qs;
        QTest::newRow("count missing") << u"<D1T1>A</D1T1>"_qs << QString();
        QTest::newRow("count empty") << u"<TRACKSD1></TRACKSD1><D1T1>A</D1T1>"_qs << QString();
        QTest::newRow("times left out")
            << u"<TRACKSD1>1</TRACKSD1><D1T1>1. Opener</D1T1><D1T1Time>4:56</D1T1Time>"_qs
            << u"1. Opener"_qs;
        QTest::newRow("lower case tags")
            << u"<tracksd1>2</tracksd1><d1t1>a</d1t1><d1t2>b</d1t2>"_qs << u"a\r\nb"_qs;
        QString fifty = u"<TRACKSD1>51</TRACKSD1>"_qs;
        QString list;
        for (int t = 1; t <= 50; ++t) {
            fifty += u"<D1T%1>Song %1</D1T%1>"_qs.arg(t);
            list += u"Song %1\r\n"_qs.arg(t);
        }
        QTest::newRow("51 counted, 50 written") << fifty << list;
    }
    void trackList()
    {
        QFETCH(QString, elements);
        QFETCH(QString, list);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, Xml(u"<DISCS>1</DISCS>"_qs + elements), Checked, UnitedStates);
        QCOMPARE(doc.texts.value(u"TrayDisc1Tracks"_qs), list);
        QVERIFY(doc.calls.contains(u"set TrayDisc1Tracks"_qs)); // also when empty
    }

    // A shipped layout gets numbered tracks with their times after a tab, a disc's running time
    // in its heading, "City, State" and no collection line without a name; any other template
    // the same show fills as it always did.
    void layout_data()
    {
        QTest::addColumn<bool>("layout");
        QTest::addColumn<QString>("elements");
        QTest::addColumn<QString>("name");      // the collector's
        QTest::addColumn<QString>("bookmarks"); // read, separated by blanks
        QTest::addColumn<QString>("texts");     // their texts, separated by "|"
        const QString discs = u"TrayDisc1 TrayDisc1Tracks"_qs;
        auto tracks = [](const QStringList &titles, const QStringList &times) {
            QString xml = u"<DISCS>1</DISCS><TRACKSD1>%1</TRACKSD1>"_qs.arg(titles.size());
            for (qsizetype t = 0; t < titles.size(); ++t) {
                xml += u"<D1T%1>%2</D1T%1>"_qs.arg(t + 1).arg(titles.at(t));
                if (!times.value(t).isEmpty())
                    xml += u"<D1T%1Time>%2</D1T%1Time>"_qs.arg(t + 1).arg(times.at(t));
            }
            return xml;
        };
        const QString titles =
            tracks({u"Opener"_qs, u"2. Second"_qs, u"03 Third"_qs, u"4) Fourth"_qs, u"1999"_qs,
                    u"12:30 Jam"_qs, u"7th Heaven"_qs},
                   {});
        QTest::newRow("numbered once, never twice")
            << true << titles << u"Jane"_qs << discs
            << u"Disc 1|1. Opener\r\n2. Second\r\n03 Third\r\n4) Fourth\r\n5. 1999\r\n6. 12:30 "
               "Jam\r\n7. 7th Heaven"_qs;
        QTest::newRow("classic: as the XML holds them")
            << false << titles << u"Jane"_qs << discs
            << u"Disc 1|Opener\r\n2. Second\r\n03 Third\r\n4) Fourth\r\n1999\r\n12:30 Jam\r\n7th "
               "Heaven"_qs;
        QTest::newRow("times after a tab, the disc's total")
            << true
            << tracks({u"Opener"_qs, u""_qs, u"Closer"_qs}, {u"4:56"_qs, u"1:02"_qs, u"10:02"_qs})
            << u"Jane"_qs << discs
            << u"Disc 1\t16:00|1. Opener\t4:56\r\n2. \t1:02\r\n3. Closer\t10:02"_qs;
        QTest::newRow("a track without a time: no total")
            << true << tracks({u"Opener"_qs, u"Jam"_qs, u""_qs}, {u"4:56"_qs, u""_qs, u""_qs})
            << u"Jane"_qs << discs << u"Disc 1|1. Opener\t4:56\r\n2. Jam\r\n"_qs;
        QTest::newRow("a time that is none: no total")
            << true << tracks({u"Opener"_qs}, {u"4:5"_qs}) << u"Jane"_qs << discs
            << u"Disc 1|1. Opener\t4:5"_qs;
        QTest::newRow("classic: no times, no total")
            << false << tracks({u"Opener"_qs}, {u"4:56"_qs}) << u"Jane"_qs << discs
            << u"Disc 1|Opener"_qs;
        const QString places = u"LinerCity LinerState SpineCity CoverCity LinerCoverCity"_qs;
        QTest::newRow("city, state")
            << true << u"<CITY>Tempe</CITY><STATE>AZ</STATE>"_qs << u"Jane"_qs << places
            << u"Tempe,|AZ|Tempe,|Tempe,|Tempe,"_qs;
        QTest::newRow("a city alone") << true << u"<CITY>Tempe</CITY>"_qs << u"Jane"_qs << places
                                      << u"Tempe|[LinerState]|Tempe|Tempe|Tempe"_qs;
        QTest::newRow("classic: city and state as read")
            << false << u"<CITY>Tempe</CITY><STATE>AZ</STATE>"_qs << u"Jane"_qs << places
            << u"Tempe|AZ|Tempe|Tempe|Tempe"_qs;
        QTest::newRow("no collection line without a name")
            << true << QString() << u" "_qs << u"TrayCollection"_qs << QString();
        QTest::newRow("a collection line with one")
            << true << QString() << u"Jane"_qs << u"TrayCollection"_qs
            << u"From the collection of Jane"_qs;
    }
    void layout()
    {
        QFETCH(bool, layout);
        QFETCH(QString, elements);
        QFETCH(QString, name);
        QFETCH(QString, bookmarks);
        QFETCH(QString, texts);
        RecordingCoverDocument doc;
        doc.layout = layout;
        FillCoverBookmarks(doc, Xml(elements), {u"cover.odt"_qs, 1, name}, UnitedStates);
        QCOMPARE(Texts(doc, bookmarks.split(u' ')), texts);
    }

    void collection_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line");
        QTest::newRow("checked") << 1 << u"Jane"_qs << u"From the collection of Jane"_qs;
        QTest::newRow("empty name") << 1 << QString() << u"From the collection of "_qs;
        QTest::newRow("not trimmed") << 1 << u" Jane "_qs << u"From the collection of  Jane "_qs;
        QTest::newRow("unchecked") << 0 << u"Jane"_qs << QString();
        QTest::newRow("grayed") << 2 << u"Jane"_qs << QString();
    }
    void collection()
    {
        QFETCH(int, state);
        QFETCH(QString, name);
        QFETCH(QString, line);
        RecordingCoverDocument doc;
        FillCoverBookmarks(doc, Xml(u"<BAND>b</BAND>"_qs), {u"c.odt"_qs, state, name},
                           UnitedStates);
        QCOMPARE(doc.texts.value(u"TrayCollection"_qs), line);
        QVERIFY(doc.calls.contains(u"set TrayCollection"_qs));
    }

    // A bookmark the template lacks writes nothing anywhere, and a failing scroll does not keep
    // the text from being written; the rows after them go on.
    void missingBookmarkAndFailingScroll()
    {
        QStringList names = CoverBookmarkNames();
        names.removeAll(u"LinerNotes"_qs);
        RecordingCoverDocument doc(names);
        doc.failing = QStringList{u"scroll CoverBand"_qs, u"scroll TrayDisc1"_qs};
        FillCoverBookmarks(doc, WorkedExampleXml(), Checked, UnitedStates);
        QVERIFY(!doc.texts.contains(u"LinerNotes"_qs));
        QVERIFY(!doc.texts.values().contains(u":Great show. "_qs));
        QCOMPARE(Texts(doc, {u"LinerCoverBand"_qs, u"CoverBand"_qs, u"TrayDisc1"_qs,
                             u"TrayCreationDate"_qs}),
                 u"Blue Lantern|Blue Lantern|Disc 1|3/9/2024"_qs);
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
            << Xml(overlapping) << 4 << QStringList{u"TrayDisc1Tracks"_qs} << QList<int>{most};
        // A count edited by hand to the largest the reader accepts: one line per track, cut.
        QTest::newRow("huge track counts")
            << Xml(u"<DISCS>32767</DISCS><TRACKSD1>32767</TRACKSD1><TRACKSD2>32767</TRACKSD2>"_qs)
            << 4 << QStringList{u"TrayDisc1Tracks"_qs, u"TrayDisc2Tracks"_qs}
            << QList<int>{most, most};
        QTest::newRow("a band too long") << Xml(u"<BAND>"_qs + big + u"</BAND>"_qs) << 4
                                         << BandBookmarks << QList<int>(BandBookmarks.size(), most);
        // A character of two UTF-16 units across the bound is left out whole.
        QTest::newRow("a pair across the bound")
            << Xml(u"<CITY>"_qs + QString(most - 1, u'c') + u"\U0001F3B8</CITY>"_qs) << 4
            << QStringList{u"LinerCity"_qs, u"LinerCoverCity"_qs, u"SpineCity"_qs, u"CoverCity"_qs}
            << QList<int>(4, most - 1);
        // A whole cover too long: 30 lists of the most, the headings "Disc 1" to "Disc 32" and
        // a 31st list of 16,774 leave one unit. A track list that starts with a pair leaves the
        // pair out whole; the collection line gets the unit, the creation date nothing.
        QString lastUnit = u"<DISCS>32</DISCS>"_qs;
        for (int d = 1; d <= 32; ++d)
            lastUnit += QStringLiteral("<TRACKSD%1>1</TRACKSD%1><D%1T1>").arg(d) +
                        (d <= 30   ? big
                         : d == 31 ? QString(16774, u'x')
                                   : u"\U0001F3B8x"_qs) +
                        QStringLiteral("</D%1T1>").arg(d);
        const QStringList cut =
            DiscBookmarks(30).filter(u"Tracks"_qs) +
            QStringList{u"TrayDisc32Tracks"_qs, u"TrayCollection"_qs, u"TrayCreationDate"_qs};
        const QList<int> lengths = QList<int>(30, most) + QList<int>{0, 1, 0};
        QTest::newRow("a pair at the last unit of a cover")
            << Xml(lastUnit) << 32 << cut << lengths;
    }
    void bounds_cutTexts()
    {
        QFETCH(QString, xml);
        QFETCH(int, discs);
        QFETCH(QStringList, cut);
        QFETCH(QList<int>, lengths);
        const QStringList bookmarks = CoverBookmarkNames() + DiscBookmarks(discs).mid(8);
        RecordingCoverDocument doc(bookmarks);
        const QStringList named = FillCoverBookmarks(doc, xml, Checked, UnitedStates);
        QCOMPARE(named, cut);
        for (qsizetype i = 0; i < cut.size(); ++i) {
            const QString text = doc.texts.value(cut.at(i));
            QCOMPARE(text.size(), lengths.at(i));
            QVERIFY(text.isEmpty() || !text.back().isHighSurrogate());
        }
        qsizetype total = 0;
        for (const QString &name : bookmarks) {
            if (doc.texts.value(name) != RecordingCoverDocument::TemplateText(name))
                total += doc.texts.value(name).size();
        }
        QVERIFY(total <= MaxCoverTextLength);
        // The notice names what was cut, five of them at most.
        const QString notice = CutTextNotice(named);
        QVERIFY(notice.contains((cut.size() == 1 ? u"the bookmark “"_qs : u"the bookmarks “"_qs) +
                                cut.first() + u'”'));
        QCOMPARE(notice.contains(u"and %1 more"_qs.arg(cut.size() - 5)), cut.size() > 5);
        QVERIFY(
            !CutTextNotice(named.first(std::min<qsizetype>(5, named.size()))).contains(u"more"_qs));
    }

    // A failure before the filling ends the run with its message; nothing is written. After
    // the filling the type is fitted and the cover saved; what does not fit comes back with it.
    void makeCover_steps_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("calls"); // the first calls, or all when the run fails
        QTest::newRow("no template") << u"none"_qs << QString();
        QTest::newRow("start") << u"start"_qs << u"start"_qs;
        QTest::newRow("open") << u"open"_qs << u"start|open /t/c.odt"_qs;
        QTest::newRow("zoom") << u"zoom"_qs << u"start|open /t/c.odt|zoom 75"_qs;
        QTest::newRow("success") << QString() << u"start|open /t/c.odt|zoom 75"_qs;
    }
    void makeCover_steps()
    {
        QFETCH(QString, failing);
        QFETCH(QString, calls);
        RecordingCoverDocument doc;
        doc.failing = QStringList{failing};
        doc.fitNotice = u"2 of the 40 tracks do not fit"_qs;
        CoverJob job{u"/t"_qs, Checked, WorkedExampleXml(), UnitedStates, u"/t/cover.odt"_qs, {}};
        job.choices.templateFileName = failing == u"none" ? QString() : u"c.odt"_qs;
        const Result<MadeCover> made = MakeCover(doc, job);
        QCOMPARE(doc.calls.join(u'|').left(calls.size()), calls);
        if (!failing.isEmpty()) {
            QVERIFY(!made);
            QCOMPARE(doc.calls.join(u'|'), calls);
            QVERIFY2(made.error().contains(failing == u"none"
                                               ? u"No cover template"_qs
                                               : u"failed: "_qs + calls.section(u'|', -1)),
                     qPrintable(made.error()));
            return;
        }
        QVERIFY2(made, qPrintable(made.error()));
        QCOMPARE(made->path, job.outputPath);
        QCOMPARE(made->notice, doc.fitNotice);
        QCOMPARE(doc.calls.last(3),
                 (QStringList{u"set TrayCreationDate"_qs, u"fit"_qs, u"saveAs /t/cover.odt"_qs}));
    }

    // A text holding none of the elements a cover is filled from is named as no track list.
    void checkCoverFields_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<bool>("ok");
        QTest::newRow("worked example") << WorkedExampleXml() << true;
        QTest::newRow("notes alone") << Xml(u"<NOTES>n</NOTES>"_qs) << true;
        QTest::newRow("a disc count alone") << Xml(u"<DISCS>0</DISCS>"_qs) << true;
        QTest::newRow("empty elements") << Xml(u"<BAND></BAND><DISCS></DISCS>"_qs) << false;
        QTest::newRow("an info text")
            << QString::fromUtf8(TestData(u"worked-example.txt"_qs)) << false;
    }
    void checkCoverFields()
    {
        QFETCH(QString, xml);
        QFETCH(bool, ok);
        const Result<void> r = CheckCoverFields(xml);
        QCOMPARE(r.ok(), ok);
        if (!ok)
            QCOMPARE(r.error(), u"it is no track list: it holds none of the elements a cover is "
                                "filled from (<BAND>, <DATE>, <VENUE>, <CITY>, <STATE>, <SOURCE>, "
                                "<NOTES>, <DISCS>)"_qs);
    }

    void coverTitle_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("title");
        QTest::newRow("band and date") << WorkedExampleXml() << u"Blue Lantern 1977-05-08"_qs;
        QTest::newRow("band alone") << Xml(u"<BAND>b</BAND><DATE>Summer</DATE>"_qs) << u"b"_qs;
        QTest::newRow("date alone") << Xml(u"<DATE>5/8/1977</DATE>"_qs) << u"1977-05-08"_qs;
        QTest::newRow("nothing") << QString() << u"Cover"_qs;
    }
    void coverTitle()
    {
        QFETCH(QString, xml);
        QFETCH(QString, title);
        QCOMPARE(CoverTitle(xml, UnitedStatesLocale()), title);
    }

    // Sorted without regard to case, and names that differ only in case in a fixed order.
    void listTemplates()
    {
        QTemporaryDir dir;
        for (const char *name : {"b.odt", "B.odt", "a.DOCX", "c.ott", "d.dotx", "e.doc", "f.docm",
                                 "g.dotm", "notes.txt", ".hidden.odt", "noextension"})
            WriteFile(dir, QString::fromLatin1(name), {});
        QVERIFY(QDir(dir.path()).mkdir(u"folder.odt"_qs));
        QCOMPARE(ListCoverTemplates(dir.path()),
                 (QStringList{u"a.DOCX"_qs, u"B.odt"_qs, u"b.odt"_qs, u"c.ott"_qs, u"d.dotx"_qs,
                              u"e.doc"_qs, u"f.docm"_qs, u"g.dotm"_qs}));
        QVERIFY(ListCoverTemplates(dir.filePath(u"missing"_qs)).isEmpty());
    }

    void loadChoices_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("templateFile");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("name");
        QTest::newRow("no settings file") << QByteArray() << QString() << 1 << QString();
        QTest::newRow("stored") << QByteArray("Template=Two.odt\nPrintCollectionName=0\n"
                                              "UserName=Jane\n")
                                << u"Two.odt"_qs << 0 << u"Jane"_qs;
        QTest::newRow("grayed") << QByteArray("PrintCollectionName=2\n") << QString() << 2
                                << QString();
        for (const char *state : {"3", "-1", "yes"})
            QTest::addRow("state %s", state)
                << "PrintCollectionName=" + QByteArray(state) + "\nUserName=Al\n"
                << QString() << 1 << u"Al"_qs;
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
            WriteBytes(path, "[Tapewright]\n" + ini);
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
        QVERIFY2(text.contains(QRegularExpression(u"^\\[Tapewright\\]\\s+Template=Two.odt\\s+"
                                                  "PrintCollectionName=0\\s+UserName=Jane Doe"_qs)),
                 qPrintable(text));
        // A choice that cannot be stored stops the rest, with its message.
        QVERIFY(QDir().mkpath(dir.filePath(u"folder.ini/x"_qs)));
        QVERIFY(!StoreCoverChoices({}, dir.filePath(u"folder.ini"_qs)));
    }
};

QTEST_GUILESS_MAIN(TestCoverFiller)
#include "tst_coverfiller.moc"
