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
        QTest::newRow("candidates: the first weighed wins, the others say what they lost to")
            << CrlfLines({"Bob Dylan", "Ithaca, NY", "May 8, 1977", "Artist: The Band",
                          "Date: 1977-05-09", "", "1. A", "2. B"})
            << QString()
            << QStringList{"band: \"The Band\"",
                           "  won   line 4, keyword line: artist: \"The Band\"",
                           "  lost  line 1, the first line, before its date or place: \"Bob "
                           "Dylan\" (keyword line: artist is weighed first)",
                           "  won   line 5, keyword line: date: \"1977-05-09\"",
                           "  lost  line 3, a date of the header block: \"May 8, 1977\"",
                           "  won   line 2, a place line: \"Ithaca\""};
        QTest::newRow("band and date from the folder's name")
            << CrlfLines({"Barton Hall, Ithaca, NY", "", "1. A", "2. B"})
            << u"/shows/gd1977-05-08.sbd/info.txt"_qs
            << QStringList{"band: \"Grateful Dead\"\n  won   the text names none: from the name "
                           "of \"/shows/gd1977-05-08.sbd/info.txt\"\n",
                           "date: \"1977-05-08 (1977-05-08)\"\n  won   the text names none"};
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
