// The head of an info text as a collector reads it: band, show date, venue, city and state in
// each of the usual layouts, the show date among other dates, the source and lineage, the notes.
#include "recogniseinfotext.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

smart::SmartShow read(const QStringList &lines, const QLocale &locale = UnitedStatesLocale())
{
    return smart::ReadShow(CrlfLines(lines), locale);
}

QString isoDate(const smart::SmartShow &show)
{
    return show.date.isValid() ? show.date.toString(Qt::ISODate) : QString();
}

} // namespace

class TestSmartHeader : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("venue");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("state");
        QTest::newRow("one field a line, weekday before the date")
            << QStringList{"Bob Dylan", "Wednesday, May 21, 2008", "Metro Centre", "Halifax, NS"}
            << "Bob Dylan"
            << "Metro Centre"
            << "Halifax"
            << "NS";
        QTest::newRow("place before the date, venue after it")
            << QStringList{"Bob Dylan", "George, Washington", "June 18, 2000", "Gorge Amphitheatre"}
            << "Bob Dylan"
            << "Gorge Amphitheatre"
            << "George"
            << "Washington";
        QTest::newRow("fields apart, the venue after the place")
            << QStringList{"Bob Dylan",
                           "",
                           "June 30, 2000",
                           "",
                           "Ventura, California",
                           "Ventura County Fairgrounds",
                           "",
                           "Audience Recording"}
            << "Bob Dylan"
            << "Ventura County Fairgrounds"
            << "Ventura"
            << "California";
        QTest::newRow("a venue standing alone after the date, no band")
            << QStringList{"George, Washington",
                           "",
                           "June 18, 2000",
                           "",
                           "Gorge Amphitheatre",
                           "",
                           ""}
            << ""
            << "Gorge Amphitheatre"
            << "George"
            << "Washington";
        QTest::newRow("a venue word keeps the venue from being the band")
            << QStringList{"Autzen Stadium", "Eugene, Oregon", "19 July 1987"} << ""
            << "Autzen Stadium"
            << "Eugene"
            << "Oregon";
        QTest::newRow("two venue lines joined, a remark beside them left out")
            << QStringList{"Bob Dylan",
                           "",
                           "Complete show, 4 discs",
                           "Sony Blockbuster Entertainment Center",
                           "On The Waterfront (E Centre)",
                           "Camden, NJ",
                           "Friday July 28, 2000"}
            << "Bob Dylan"
            << "Sony Blockbuster Entertainment Center, On The Waterfront (E Centre)"
            << "Camden"
            << "NJ";
        QTest::newRow("a state written out without a comma; the named venue wins")
            << QStringList{"BOB DYLAN & Others", "Jam Session", "Marriot Hotel",
                           "Providence Rhode Island", "July 10th 1986"}
            << "BOB DYLAN & Others"
            << "Marriot Hotel"
            << "Providence"
            << "Rhode Island";
        QTest::newRow("a one-word state without a comma")
            << QStringList{"Band", "The WOW Hall", "Eugene Oregon", "May 1, 2000"} << "Band"
            << "The WOW Hall"
            << "Eugene"
            << "Oregon";
        QTest::newRow("a festival and its stage: the festival")
            << QStringList{"Aqueous",
                           "07-02-22",
                           "High Sierra Music Festival",
                           "Quincy, CA",
                           "Big Meadow Stage",
                           "https://archive.org/details/x",
                           "location: FOB, 10' mic stand"}
            << "Aqueous"
            << "High Sierra Music Festival"
            << "Quincy"
            << "CA";
        QTest::newRow("all on the first line, split by commas")
            << QStringList{"Bob Dylan, 11/11/80, Warfield, San Francisco, CA, 2CDR"} << "Bob Dylan"
            << "Warfield"
            << "San Francisco"
            << "CA";
        QTest::newRow("first line: a city alone between date and media")
            << QStringList{"Bob Dylan, 4/23/99, Marseilles, 2CDR, (56min+46min)"} << "Bob Dylan"
            << ""
            << "Marseilles"
            << "";
        QTest::newRow("first line: time of day and media after the state")
            << QStringList{"Bob Dylan,  2/11/74, Oakland, CA, afternoon, 2CDR (57min+65min)"}
            << "Bob Dylan"
            << ""
            << "Oakland"
            << "CA";
        QTest::newRow("first line split by spaced dashes")
            << QStringList{"Neil Young & Crazy Horse - 1991-02-28 - Cow Palace, Daly City, CA"}
            << "Neil Young & Crazy Horse"
            << "Cow Palace"
            << "Daly City"
            << "CA";
        QTest::newRow("first line: the date first")
            << QStringList{"1977-05-08 - Grateful Dead - Barton Hall, Cornell University, Ithaca, "
                           "NY"}
            << "Grateful Dead"
            << "Barton Hall, Cornell University"
            << "Ithaca"
            << "NY";
        QTest::newRow("first line: the date between band and venue")
            << QStringList{"Bob Dylan 1966-05-17 Free Trade Hall, Manchester, England"}
            << "Bob Dylan"
            << "Free Trade Hall"
            << "Manchester"
            << "England";
        QTest::newRow("first line: a place with its date is no band")
            << QStringList{"Mansfield, Massachusetts 1986-07-10", "Artist: Bob Dylan"}
            << "Bob Dylan"
            << ""
            << "Mansfield"
            << "Massachusetts";
        QTest::newRow("first line: a country")
            << QStringList{"Bob Dylan, 4/8/99, Oporto, Portugal, 2CDR"} << "Bob Dylan"
            << ""
            << "Oporto"
            << "Portugal";
        QTest::newRow("a band written surname first")
            << QStringList{"Dylan-Bob, 7/28/00, Camden, NJ, 2CDR"} << "Bob Dylan"
            << ""
            << "Camden"
            << "NJ";
        QTest::newRow("a band in traders' short names, an event after it")
            << QStringList{"Dylan & Dead Rehearsals   1987   1 & 2     4CDR"}
            << "Bob Dylan & Grateful Dead"
            << ""
            << ""
            << "";
        QTest::newRow("a tour with a second act")
            << QStringList{"Bob Dylan, 7/1/87, US tour with Grateful Dead, 7CDR"}
            << "Bob Dylan & Grateful Dead"
            << ""
            << ""
            << "";
        QTest::newRow("band before a title; keyword lines further down")
            << QStringList{"Bob Dylan - A BIRD'S NEST IN YOUR HAIR 1981",
                           "",
                           "lineage: Silver CD > Wav > Flac 8",
                           "",
                           "Publisher : Rattlesnake",
                           "Date : 1981-06-29",
                           "Venue : Earls Court, London, England "}
            << "Bob Dylan"
            << "Earls Court"
            << "London"
            << "England";
        QTest::newRow("keyword lines anywhere, a place in Location")
            << QStringList{"Phish", "", "Source: SBD > DAT", "Location: Hampton, VA",
                           "Venue: Hampton Coliseum"}
            << "Phish"
            << "Hampton Coliseum"
            << "Hampton"
            << "VA";
        QTest::newRow("date and place on one line")
            << QStringList{"Phish", "1997-11-22 Hampton Coliseum, Hampton, VA"} << "Phish"
            << "Hampton Coliseum"
            << "Hampton"
            << "VA";
        QTest::newRow("an artist keyword, a pseudonym, a place with its date")
            << QStringList{"Artist: Blind Boy Grunt (Bob Dylan)",
                           "Torrent title: Bob Dylan - Zim Zim Zabob",
                           "Marriott Inn, Mansfield, Massachusetts 1986-07-10"}
            << "Bob Dylan"
            << "Marriott Inn"
            << "Mansfield"
            << "Massachusetts";
        QTest::newRow("a concatenation's file headers and decoration come first")
            << QStringList{"===================", "=== info.txt",       "===================",
                           "Bob Dylan",           "Rockford, Illinois", "October 25, 1995",
                           "Coronado Theater"}
            << "Bob Dylan"
            << "Coronado Theater"
            << "Rockford"
            << "Illinois";
        QTest::newRow("a set's folder name above the band")
            << QStringList{"gd1977-05-08.sbd.hicks.4982.sbeok.shnf",
                           "",
                           "Grateful Dead",
                           "May 8, 1977",
                           "Barton Hall, Cornell University",
                           "Ithaca, NY"}
            << "Grateful Dead"
            << "Barton Hall, Cornell University"
            << "Ithaca"
            << "NY";
        QTest::newRow("no band in the text: the file header names it")
            << QStringList{"=== Bob Dylan 2000-06-18 George, WA.md5",
                           "c9693078a7e5561d913617d1517c6df8 *Disc 1\\D1 Track01.flac",
                           "=== Bob Dylan 2000-06-18.txt",
                           "George, Washington",
                           "",
                           "June 18, 2000"}
            << "Bob Dylan"
            << ""
            << "George"
            << "Washington";
        QTest::newRow("no band in the text: the listed file names name it")
            << QStringList{"01 Grateful Dead - Maggie's Farm.flac:09004b6c76b9c0014839bb927f40c677",
                           "02 Grateful Dead - Dead Man.flac:7cd353483ec9aaaa80058a4dc666661e", "",
                           "Autzen Stadium", "Eugene, Oregon"}
            << "Grateful Dead"
            << "Autzen Stadium"
            << "Eugene"
            << "Oregon";
    }

    void layouts()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, band);
        QFETCH(QString, venue);
        QFETCH(QString, city);
        QFETCH(QString, state);
        const smart::SmartShow show = read(lines);
        QCOMPARE(show.band, band);
        QCOMPARE(show.venue, venue);
        QCOMPARE(show.city, city);
        QCOMPARE(show.state, state);
    }

    // The show's date, not a transfer, posting or checksum date, nor another show's; day and
    // month in the locale's order unless only the other reading is a date.
    void showDate_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("literal");
        QTest::newRow("a date line after a transfer date")
            << QStringList{"Bob Dylan", "Transferred 2008-06-01", "May 21, 2008"} << "en_US"
            << "2008-05-21"
            << "May 21, 2008";
        QTest::newRow("a posting date alone is no show date")
            << QStringList{"Bob Dylan", "Metro Centre", "posted 06/01/2008"} << "en_US"
            << ""
            << "";
        QTest::newRow("a checksum tool's date is no show date")
            << QStringList{"; generated on March 5, 2011, at 13:57:30", "Bob Dylan"} << "en_US"
            << ""
            << "";
        QTest::newRow("another show's date in a track list")
            << QStringList{"Bob Dylan, 3/20/00, Nampa, ID", "", "CD1",
                           "1. Love Sick 2. Jam; bonus 5/22/95 Warfield, SF"}
            << "en_US"
            << "2000-03-20"
            << "3/20/00";
        QTest::newRow("a date inside a field of the first line")
            << QStringList{"BOB DYLAN & Others - Jam Session, Marriot Hotel, Providence July 10th "
                           "1986 (Low Generation Tape) JTT"}
            << "en_US"
            << "1986-07-10"
            << "July 10th 1986";
        QTest::newRow("a Date keyword anywhere wins")
            << QStringList{"Bob Dylan - 1981", "", "Date : 1981-06-29"} << "en_US"
            << "1981-06-29"
            << "1981-06-29";
        QTest::newRow("month first in the United States")
            << QStringList{"Band", "05/08/77"} << "en_US"
            << "1977-05-08"
            << "05/08/77";
        QTest::newRow("day first in Germany") << QStringList{"Band", "05/08/77"} << "de_DE"
                                              << "1977-08-05"
                                              << "05/08/77";
        QTest::newRow("only the other reading is a date")
            << QStringList{"Band", "13/05/77"} << "en_US"
            << "1977-05-13"
            << "13/05/77";
        QTest::newRow("dashes, two-digit year") << QStringList{"Band", "07-02-22"} << "en_US"
                                                << "2022-07-02"
                                                << "07-02-22";
        QTest::newRow("an ordinal day")
            << QStringList{"Band", "Marriot Hotel", "July 10th 1986"} << "en_US"
            << "1986-07-10"
            << "July 10th 1986";
        QTest::newRow("a German day with its dot") << QStringList{"Band", "2. Mai 1981"} << "de_DE"
                                                   << "1981-05-02"
                                                   << "2. Mai 1981";
        QTest::newRow("a day with no number is no date")
            << QStringList{"Bob Dylan, 5/xx/87, Dead Dylan Rehearsals, 4CDR"} << "en_US"
            << ""
            << "";
        QTest::newRow("a date below the header block is no show date")
            << QStringList{"Band", "", "", "Notes:", "Recorded 1999-05-02 by a friend"} << "en_US"
            << ""
            << "";
    }

    void showDate()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, locale);
        QFETCH(QString, date);
        QFETCH(QString, literal);
        const smart::SmartShow show = read(lines, QLocale(locale));
        QCOMPARE(isoDate(show), date);
        QCOMPARE(show.literalDate, literal);
    }

    void source_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("source");
        QTest::newRow("keyword lines joined")
            << QStringList{"Band", "", "Source: SBD > Reel", "Lineage: DAT > CDR", "Taper: Jim"}
            << "Source: SBD > Reel | Lineage: DAT > CDR";
        QTest::newRow("a chain without a keyword")
            << QStringList{"Band", "", "unknown cass > 48k Dat > wav > shn"}
            << "unknown cass > 48k Dat > wav > shn";
        QTest::newRow("a recording type, then a chain")
            << QStringList{"Band", "", "Audience Recording", "", "Aud > CDR > EAC > Flac"}
            << "Audience Recording | Aud > CDR > EAC > Flac";
        QTest::newRow("a chain wrapped onto the next line")
            << QStringList{"Band", "THIS UPLOAD: ??? > C60 Cassette > Yamaha KX-580 >",
                           "Soundforge PRO 10c > FLAC Level 8"}
            << "THIS UPLOAD: ??? > C60 Cassette > Yamaha KX-580 > Soundforge PRO 10c > FLAC "
               "Level 8";
        QTest::newRow("a keyword with its value on the next line")
            << QStringList{"Band", "Lineage:", "DAT > CDR > EAC"} << "Lineage: DAT > CDR > EAC";
        QTest::newRow("the source fields of a line of comma-joined fields")
            << QStringList{"Band", "",
                           "LB-6124, Taper: Jim, Location: Left side, Source: SP-CMC-8 > R-09, "
                           "Transfer: .wav > Sound Forge > .flac, Notes:, A fine show."}
            << "Source: SP-CMC-8 > R-09, Transfer: .wav > Sound Forge > .flac";
        QTest::newRow("a disc heading's lineage")
            << QStringList{"Band", "", "CD1 (sbd cassette master > dats > cdrs)", "1 A", "2 B"}
            << "sbd cassette master > dats > cdrs";
        QTest::newRow("a recording that names no kind of recording")
            << QStringList{"Band", "", "Recording of the late show"} << "";
        QTest::newRow("segues are no source")
            << QStringList{"Band", "", "1. Jam > Drums", "2. Space > Jam"} << "";
    }

    void source()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, source);
        QCOMPARE(read(lines).source, source);
    }

    void notes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("notes");
        QTest::newRow("the paragraph after an empty keyword")
            << QStringList{"Band", "Notes:",      "", "Great show.", "Artwork included.",
                           "",     "Walkin' Dude"}
            << "Great show. Artwork included.";
        QTest::newRow("a keyword with its text")
            << QStringList{"Band", "Note: Shared bill."} << "Shared bill.";
        QTest::newRow("no keyword, no notes") << QStringList{"Band", "Great show."} << "";
    }

    void notes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, notes);
        QCOMPARE(read(lines).notes, notes);
    }
};

QTEST_GUILESS_MAIN(TestSmartHeader)
#include "tst_smartheader.moc"
