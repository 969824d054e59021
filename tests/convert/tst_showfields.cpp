// The show fields found by keyword and by the first characters of lines.
#include "convert/infolines.h"
#include "convert/showfields.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

class TestShowFields : public QObject
{
    Q_OBJECT

private slots:
    // Lines as stored, split at ";".
    void cut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lines");
        TextRow("tab becomes blank", "a\tb\r\n", "a b");
        TextRow("blanks trimmed", "  a b  \r\n", "a b");
        TextRow("leading tab trimmed", "\t\ta\t\r\n", "a");
        TextRow("other white space kept", "\u00A0a\u3000\r\n", "\u00A0a\u3000");
        TextRow("empty lines keep their numbers", "a\r\n\r\n\r\nb\r\n", "a;;;b");
        TextRow("unfinished last line ignored", "a\r\nb", "a");
        TextRow("lone lf does not cut", "a\nb\r\n", "a\nb");
    }

    void cut()
    {
        QFETCH(QString, text);
        QFETCH(QString, lines);
        const InfoLines cut = InfoLines::cut(text);
        QStringList stored;
        for (qsizetype n = 1; n <= cut.count(); ++n)
            stored << cut.line(n).toString();
        QCOMPARE(stored, lines.split(u';'));
    }

    // Every element found, in the order band, venue, city, state, source, notes; the lines of a
    // row are split at ";".
    void fields_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("elements");
        TextRow("line 1 by default", "Blue Lantern", "<BAND>Blue Lantern</BAND>");
        TextRow("band keyword keeps colon", "Show;Band: X", "<BAND>: X</BAND>");
        TextRow("keyword on line 1 in any case, rest trimmed", "BAND   The Lanterns ",
                "<BAND>The Lanterns</BAND>");
        TextRow("first band line wins", "Show;Band A;Band B", "<BAND>A</BAND>");
        TextRow("keyword must start the line", "Show;The band: X", "<BAND>Show</BAND>");
        TextRow("bandstand counts as keyword", "Show;Bandstand", "<BAND>stand</BAND>");
        TextRow("grateful dead fixed spelling", "GRATEFUL DEAD - Town Hall",
                "<BAND>Grateful Dead</BAND>");
        TextRow("grateful dead only on line 1", "Jerry;grateful dead", "<BAND>Jerry</BAND>");
        TextRow("band line beats grateful dead", "Grateful Dead;band Dead & Co",
                "<BAND>Dead & Co</BAND>");
        TextRow("empty line 1", ";x", "<BAND></BAND>");
        TextRow("plain keywords", "Venue Town Hall;City Springfield;State IL",
                "<BAND>Venue Town Hall</BAND><VENUE>Town Hall</VENUE><CITY>Springfield</CITY>"
                "<STATE>IL</STATE>");
        TextRow(
            "colon stays, case kept", "VENUE: The Fillmore ;city:  S.F.",
            "<BAND>VENUE: The Fillmore</BAND><VENUE>: The Fillmore</VENUE><CITY>:  S.F.</CITY>");
        TextRow("statement is a state line", "Statement of origin",
                "<BAND>Statement of origin</BAND><STATE>ment of origin</STATE>");
        TextRow("keyword alone gives empty element", "venue", "<BAND>venue</BAND><VENUE></VENUE>");
        TextRow("first line wins", "City A;City B", "<BAND>City A</BAND><CITY>A</CITY>");
        TextRow("not at line start", "The venue was big;Kansas City",
                "<BAND>The venue was big</BAND>");
        TextRow("markup kept as typed", "Venue <b>R&B</b>",
                "<BAND>Venue <b>R&B</b></BAND><VENUE><b>R&B</b></VENUE>");
        QTest::newRow("no lines") << QString() << QString();
        // The search stops once every field is found, and not before (an empty line is passed
        // over before the test, so the last field follows another line).
        TextRow("band line after every other field", "Venue V;City C;State S;sbd;Notes n;;x;Band B",
                "<BAND>B</BAND><VENUE>V</VENUE><CITY>C</CITY><STATE>S</STATE><SOURCE>sbd</SOURCE>"
                "<NOTES> n</NOTES>");
        TextRow("city line after every other field", "Band B;Venue V;State S;sbd;Notes n;;x;City C",
                "<BAND>B</BAND><VENUE>V</VENUE><CITY>C</CITY><STATE>S</STATE><SOURCE>sbd</SOURCE>"
                "<NOTES> n</NOTES>");
        TextRow("venue line after every other field",
                "Band B;City C;State S;sbd;Notes n;;x;Venue V",
                "<BAND>B</BAND><VENUE>V</VENUE><CITY>C</CITY><STATE>S</STATE><SOURCE>sbd</SOURCE>"
                "<NOTES> n</NOTES>");
        TextRow("venue after the ended notes", "Notes n;;Venue V",
                "<BAND>Notes n</BAND><VENUE>V</VENUE><NOTES> n</NOTES>");
        TextRow("source keyword", "a;Source: SBD > Reel > DAT;",
                "<BAND>a</BAND><SOURCE>Source: SBD > Reel > DAT</SOURCE>");
        TextRow(
            "continuation appended in lower case", "Source: SBD > Reel;Lineage: DAT > CDR",
            "<BAND>Source: SBD > Reel</BAND><SOURCE>Source: SBD > Reellineage: dat > cdr</SOURCE>");
        TextRow("only one continuation line", "SBD;DAT;CDR",
                "<BAND>SBD</BAND><SOURCE>SBDdat</SOURCE>");
        TextRow("sdb starts but does not continue", "sdb master;sdb copy",
                "<BAND>sdb master</BAND><SOURCE>sdb master</SOURCE>");
        TextRow("date line never the source", "Audience tape, transfer date 1999;aud tape date;aud",
                "<BAND>Audience tape, transfer date 1999</BAND><SOURCE>aud</SOURCE>");
        TextRow("date line not a continuation", "AUD;DAT transferred, date unknown",
                "<BAND>AUD</BAND><SOURCE>AUD</SOURCE>");
        TextRow("source on the last line", "a;genealogy: cdr",
                "<BAND>a</BAND><SOURCE>genealogy: cdr</SOURCE>");
        TextRow("word inside another word", "Claudia sings",
                "<BAND>Claudia sings</BAND><SOURCE>Claudia sings</SOURCE>");
        // Far enough into a line that the search looks at it eight characters at a time.
        TextRow("ninth character", "x;Vintage sbd reel copy",
                "<BAND>x</BAND><SOURCE>Vintage sbd reel copy</SOURCE>");
        for (const char *word :
             {"sbd", "shn", "source", "aud", "lineage", "cda", "cdr", "genealogy", "dat", "dae"}) {
            const QString line = QStringLiteral("the %1 tape").arg(QLatin1String(word));
            QTest::addRow("word %s", word)
                << u"x;"_qs + line << u"<BAND>x</BAND><SOURCE>"_qs + line + u"</SOURCE>"_qs;
        }
        TextRow("label and second word removed", "x;Notes: some notes here",
                "<BAND>x</BAND><NOTES>: some here</NOTES>");
        TextRow("block to first empty line", "x;Notes:;Great show.;Audience recording.;;Not this",
                "<BAND>x</BAND><SOURCE>Audience recording.</SOURCE><NOTES>:Great show. Audience "
                "recording. </NOTES>");
        TextRow("block to last line without empty line", "x;NOTES;a;b",
                "<BAND>x</BAND><NOTES>a b </NOTES>");
        TextRow("notes word removed in any case", "x;Notes:;NOTES and Notes",
                "<BAND>x</BAND><NOTES>: and </NOTES>");
        TextRow("three blanks become two", "x;Notes   x", "<BAND>x</BAND><NOTES>  x</NOTES>");
        TextRow("first notes line starts", "x;notes one;;notes two",
                "<BAND>x</BAND><NOTES> one</NOTES>");
        TextRow("notes must start the line", "Liner notes;x", "<BAND>Liner notes</BAND>");
        TextRow("lone line feed becomes blank", "x;Notes:;a\nb",
                "<BAND>x</BAND><NOTES>:a b </NOTES>");
    }

    void fields()
    {
        QFETCH(QString, lines);
        QFETCH(QString, elements);
        const ShowFields f = FindShowFields(
            InfoLines::cut(lines.isNull() ? QString() : CrlfLines(lines.split(u';'))));
        QString all;
        for (const HeaderField *field :
             {&f.Band, &f.Venue, &f.City, &f.State, &f.Source, &f.Notes}) {
            QCOMPARE(field->Found, !field->Element.isEmpty());
            all += field->Element;
        }
        QCOMPARE(all, elements);
    }
};

QTEST_GUILESS_MAIN(TestShowFields)
#include "tst_showfields.moc"
