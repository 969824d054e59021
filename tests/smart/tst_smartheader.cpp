// The head of an info text as a collector reads it: band, show date, venue, city and state in
// each of the usual layouts, the show date among other dates, the source and lineage, the notes.
// The layouts of the real corpus are golden files of tst_golden; these are the others.
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

// A row whose expected fields are given as one text, split at "~".
void row(const char *name, const QStringList &lines, const char *fields)
{
    QTest::newRow(name) << lines << QString::fromUtf8(fields).split(u'~');
}

} // namespace

class TestSmartHeader : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("fields"); // band, venue, city, state
        row("a one-word state without a comma",
            {"Band", "The WOW Hall", "Eugene Oregon", "May 1, 2000"},
            "Band~The WOW Hall~Eugene~Oregon");
        row("first line split by spaced dashes",
            {"Neil Young & Crazy Horse - 1991-02-28 - Cow Palace, Daly City, CA"},
            "Neil Young & Crazy Horse~Cow Palace~Daly City~CA");
        row("first line: the date first",
            {"1977-05-08 - Grateful Dead - Barton Hall, Cornell University, Ithaca, NY"},
            "Grateful Dead~Barton Hall, Cornell University~Ithaca~NY");
        row("first line: the date between band and venue",
            {"Bob Dylan 1966-05-17 Free Trade Hall, Manchester, England"},
            "Bob Dylan~Free Trade Hall~Manchester~England");
        row("keyword lines anywhere, a place in Location",
            {"Phish", "", "Source: SBD > DAT", "Location: Hampton, VA", "Venue: Hampton Coliseum"},
            "Phish~Hampton Coliseum~Hampton~VA");
        row("date and place on one line", {"Phish", "1997-11-22 Hampton Coliseum, Hampton, VA"},
            "Phish~Hampton Coliseum~Hampton~VA");
        row("a set's folder name above the band",
            {"gd1977-05-08.sbd.hicks.4982.sbeok.shnf", "", "Grateful Dead", "May 8, 1977",
             "Barton Hall, Cornell University", "Ithaca, NY"},
            "Grateful Dead~Barton Hall, Cornell University~Ithaca~NY");
    }

    void layouts()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, fields);
        const smart::SmartShow show = read(lines);
        QCOMPARE((QStringList{show.band, show.venue, show.city, show.state}), fields);
    }

    // The show's date, not a transfer or posting date, nor one below the header block; day and
    // month in the locale's order unless only the other reading is a date.
    void showDate_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("fields"); // locale, ISO date, literal date
        row("a date line after a transfer date",
            {"Bob Dylan", "Transferred 2008-06-01", "May 21, 2008"},
            "en_US~2008-05-21~May 21, 2008");
        row("a posting date alone is no show date",
            {"Bob Dylan", "Metro Centre", "posted 06/01/2008"}, "en_US~~");
        row("month first in the United States", {"Band", "05/08/77"}, "en_US~1977-05-08~05/08/77");
        row("day first in Germany", {"Band", "05/08/77"}, "de_DE~1977-08-05~05/08/77");
        row("only the other reading is a date", {"Band", "13/05/77"}, "en_US~1977-05-13~13/05/77");
        row("a German day with its dot", {"Band", "2. Mai 1981"}, "de_DE~1981-05-02~2. Mai 1981");
        row("a date below the header block is no show date",
            {"Band", "", "", "Notes:", "Recorded 1999-05-02 by a friend"}, "en_US~~");
    }

    void showDate()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, fields);
        const smart::SmartShow show = read(lines, QLocale(fields[0]));
        const QString date = show.date.isValid() ? show.date.toString(Qt::ISODate) : QString();
        QCOMPARE((QStringList{fields[0], date, show.literalDate}), fields);
    }

    void sourceAndNotes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("fields"); // source, notes
        row("keyword lines joined",
            {"Band", "", "Source: SBD > Reel", "Lineage: DAT > CDR", "Taper: Jim"},
            "Source: SBD > Reel | Lineage: DAT > CDR~");
        row("a keyword with its value on the next line", {"Band", "Lineage:", "DAT > CDR > EAC"},
            "Lineage: DAT > CDR > EAC~");
        row("a recording that names no kind of recording",
            {"Band", "", "Recording of the late show"}, "~");
        row("segues are no source", {"Band", "", "1. Jam > Drums", "2. Space > Jam"}, "~");
        row("the paragraph after an empty notes keyword",
            {"Band", "Notes:", "", "Great show.", "Artwork included.", "", "Walkin' Dude"},
            "~Great show. Artwork included.");
        row("a note keyword with its text", {"Band", "Note: Shared bill."}, "~Shared bill.");
        row("no keyword, no notes", {"Band", "Great show."}, "~");
    }

    void sourceAndNotes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, fields);
        const smart::SmartShow show = read(lines);
        QCOMPARE((QStringList{show.source, show.notes}), fields);
    }
};

QTEST_GUILESS_MAIN(TestSmartHeader)
#include "tst_smartheader.moc"
