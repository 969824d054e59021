// What --explain tells of a text: each line's kind and rule, the fields with their candidates,
// where a band or date taken from the file's name came from, and each disc's tracks with their
// lines; long texts too, read in pieces, with the lines numbered through.
#include "smart/explain.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

class TestExplain : public QObject
{
    Q_OBJECT

private slots:
    void explain_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("told");
        const QString show = CrlfLines({"Bob Dylan", "Barton Hall, Ithaca, NY", "", "Disc 1",
                                        "1. Minglewood Blues (5:32)", "2. Loser", "",
                                        "Notes:", "1. a note", "2. another"});
        QTest::newRow("lines, fields and discs")
            << show << QString()
            << QStringList{
                   "    2  place    a place: venue \"Barton Hall\", city \"Ithaca\", state \"NY\"",
                   "    4  items    disc heading 1 ",
                   "    5  items    track 1 ",
                   "band: \"Bob Dylan\"",
                   "venue: \"Barton Hall\"",
                   "disc 1, tracks: 2",
                   "    1  line 5: \"Minglewood Blues\"  5:32",
                   "    2  line 6: \"Loser\"",
                   "line 9: its tracks are in no disc"};
        QTest::newRow("band from the folder's name")
            << CrlfLines({"Barton Hall, Ithaca, NY", "", "1. A", "2. B"})
            << u"/shows/gd1977-05-08.sbd/info.txt"_qs
            << QStringList{"band: \"Grateful Dead\"",
                           "  won   the text names none: from the name of "
                           "\"/shows/gd1977-05-08.sbd/info.txt\""};
        QTest::newRow("a keyword line beats the first line")
            << CrlfLines({"Bob Dylan & The Band, 1/14/74, Chicago Stadium, Chicago, IL",
                          "Artist: Bob Dylan", "Venue: Chicago Stadium", "January 15, 1974", "",
                          "1. Hero Blues"})
            << QString()
            << QStringList{"band: \"Bob Dylan\"\n  won   line 2, artist keyword: \"Bob Dylan\"\n"
                           "  lost  line 1, first line: \"Bob Dylan & The Band\" (lost to "
                           "artist keyword on line 2)\n  lost  -, known act (empty)",
                           "  won   line 3, venue keyword: \"Chicago Stadium\"\n  lost  line 1, "
                           "first line: \"Chicago Stadium\" (lost to venue keyword on line 3)",
                           "  lost  line 4, header block date: \"January 15, 1974\" (lost to first "
                           "line on line 1)"};
        QTest::newRow("a place taken whole, a tour's date refused")
            << CrlfLines({"Bob Dylan, US Tour with Grateful Dead, 7/4/87, Chicago Stadium, "
                          "Chicago, IL",
                          "Location: Chicago, Illinois", "May 8, 1987", "", "1. Hero Blues"})
            << QString()
            << QStringList{"  lost  line 1, first line: \"7/4/87\" (refused: a tour's date, no "
                           "show's)\n  won   line 3, header block date",
                           "venue: (none)\n  lost  line 2, location keyword (empty)\n  lost  "
                           "line 1, first line: \"Chicago Stadium\" (refused: the place of "
                           "location keyword is taken whole)",
                           "state: \"Illinois\"\n  won   line 2, location keyword"};
        QString pieces = u"Band\r\n\r\n"_qs;
        for (int d = 1; d <= 3000; ++d)
            pieces += QStringLiteral("Disc %1\r\n1. Song One\r\n2. Song Two\r\n\r\n").arg(d);
        QTest::newRow("a long text: lines numbered through its pieces")
            << pieces << QString()
            << QStringList{"(a new piece of the text", "disc 3000, tracks: 2",
                           QStringLiteral("    1  line %1: \"Song One\"").arg(2 + 4 * 2999 + 2)};
        QTest::newRow("nothing but blanks")
            << u" \r\n\t"_qs << QString() << QStringList{"nothing but blanks"};
    }

    void explain()
    {
        QFETCH(QString, text);
        QFETCH(QString, path);
        QFETCH(QStringList, told);
        ConvertOptions options{UnitedStatesLocale()};
        options.infoPath = path;
        const QString explained = smart::ExplainInfoText(text, options);
        for (const QString &line : std::as_const(told)) {
            if (!explained.contains(line))
                QFAIL(qPrintable(u"not told: "_qs + line + u"\n"_qs +
                                 explained.first(qMin<qsizetype>(explained.size(), 3000))));
        }
    }
};

QTEST_GUILESS_MAIN(TestExplain)
#include "tst_explain.moc"
