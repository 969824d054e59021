// The show fields found by keyword and by the first characters of lines.
#include "infolines.h"
#include "showfields.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

InfoLines linesOf(const QStringList &lines)
{
    return InfoLines::cut(CrlfLines(lines));
}

} // namespace

class TestShowFields : public QObject
{
    Q_OBJECT

private slots:
    void cut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("tab becomes blank") << u"a\tb\r\n"_qs << QStringList{u"a b"_qs};
        QTest::newRow("blanks trimmed") << u"  a b  \r\n"_qs << QStringList{u"a b"_qs};
        QTest::newRow("leading tab trimmed") << u"\t\ta\t\r\n"_qs << QStringList{u"a"_qs};
        QTest::newRow("other white space kept")
            << u"\u00A0a\u3000\r\n"_qs << QStringList{u"\u00A0a\u3000"_qs};
        QTest::newRow("empty lines keep their numbers")
            << u"a\r\n\r\n\r\nb\r\n"_qs << QStringList{u"a"_qs, u""_qs, u""_qs, u"b"_qs};
        QTest::newRow("unfinished last line ignored") << u"a\r\nb"_qs << QStringList{u"a"_qs};
        QTest::newRow("lone lf does not cut") << u"a\nb\r\n"_qs << QStringList{u"a\nb"_qs};
    }

    void cut()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        const InfoLines cut = InfoLines::cut(text);
        QCOMPARE(cut.count(), lines.size());
        for (qsizetype n = 1; n <= cut.count(); ++n)
            QCOMPARE(cut.line(n).toString(), lines.at(n - 1));
    }

    void band_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("element");
        QTest::newRow("line 1 by default")
            << QStringList{u"Blue Lantern"_qs} << u"<BAND>Blue Lantern</BAND>"_qs;
        QTest::newRow("band keyword keeps colon")
            << QStringList{u"Show"_qs, u"Band: X"_qs} << u"<BAND>: X</BAND>"_qs;
        QTest::newRow("keyword on line 1 in any case, rest trimmed")
            << QStringList{u"BAND   The Lanterns "_qs} << u"<BAND>The Lanterns</BAND>"_qs;
        QTest::newRow("first band line wins")
            << QStringList{u"Show"_qs, u"Band A"_qs, u"Band B"_qs} << u"<BAND>A</BAND>"_qs;
        QTest::newRow("keyword must start the line")
            << QStringList{u"Show"_qs, u"The band: X"_qs} << u"<BAND>Show</BAND>"_qs;
        QTest::newRow("bandstand counts as keyword")
            << QStringList{u"Show"_qs, u"Bandstand"_qs} << u"<BAND>stand</BAND>"_qs;
        QTest::newRow("grateful dead fixed spelling")
            << QStringList{u"GRATEFUL DEAD - Town Hall"_qs} << u"<BAND>Grateful Dead</BAND>"_qs;
        QTest::newRow("grateful dead only on line 1")
            << QStringList{u"Jerry"_qs, u"grateful dead"_qs} << u"<BAND>Jerry</BAND>"_qs;
        QTest::newRow("band line beats grateful dead")
            << QStringList{u"Grateful Dead"_qs, u"band Dead & Co"_qs}
            << u"<BAND>Dead & Co</BAND>"_qs;
        QTest::newRow("empty line 1") << QStringList{u""_qs, u"x"_qs} << u"<BAND></BAND>"_qs;
        // The search stops once every field is found, and not before.
        QTest::newRow("band line after every other field")
            << QStringList{u"Venue V"_qs, u"City C"_qs, u"State S"_qs, u"sbd"_qs,
                           u"Notes n"_qs, u""_qs,       u"Band B"_qs}
            << u"<BAND>B</BAND>"_qs;
    }

    void band()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, element);
        const HeaderField f = FindShowFields(linesOf(lines)).Band;
        QCOMPARE(f.Element, element);
        QVERIFY(f.Found);
    }

    void source_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("element");
        QTest::newRow("source keyword")
            << QStringList{u"a"_qs, u"Source: SBD > Reel > DAT"_qs, u""_qs}
            << u"<SOURCE>Source: SBD > Reel > DAT</SOURCE>"_qs;
        QTest::newRow("continuation appended in lower case")
            << QStringList{u"Source: SBD > Reel"_qs, u"Lineage: DAT > CDR"_qs}
            << u"<SOURCE>Source: SBD > Reellineage: dat > cdr</SOURCE>"_qs;
        QTest::newRow("only one continuation line")
            << QStringList{u"SBD"_qs, u"DAT"_qs, u"CDR"_qs} << u"<SOURCE>SBDdat</SOURCE>"_qs;
        QTest::newRow("sdb starts but does not continue")
            << QStringList{u"sdb master"_qs, u"sdb copy"_qs} << u"<SOURCE>sdb master</SOURCE>"_qs;
        QTest::newRow("date line never the source")
            << QStringList{u"Audience tape, transfer date 1999"_qs, u"aud tape date"_qs, u"aud"_qs}
            << u"<SOURCE>aud</SOURCE>"_qs;
        // Far enough into a line that the search looks at it eight characters at a time.
        QTest::newRow("ninth character") << QStringList{u"Vintage sbd reel copy"_qs}
                                         << u"<SOURCE>Vintage sbd reel copy</SOURCE>"_qs;
        for (const char *word :
             {"sbd", "shn", "source", "aud", "lineage", "cda", "cdr", "genealogy", "dat", "dae"}) {
            const QString line = QStringLiteral("the %1 tape").arg(QLatin1String(word));
            QTest::addRow("word %s", word)
                << QStringList{u"x"_qs, line} << u"<SOURCE>"_qs + line + u"</SOURCE>"_qs;
        }
        QTest::newRow("date line not a continuation")
            << QStringList{u"AUD"_qs, u"DAT transferred, date unknown"_qs}
            << u"<SOURCE>AUD</SOURCE>"_qs;
        QTest::newRow("source on the last line")
            << QStringList{u"a"_qs, u"genealogy: cdr"_qs} << u"<SOURCE>genealogy: cdr</SOURCE>"_qs;
        QTest::newRow("word inside another word")
            << QStringList{u"Claudia sings"_qs} << u"<SOURCE>Claudia sings</SOURCE>"_qs;
        QTest::newRow("no source") << QStringList{u"a"_qs, u"b"_qs} << QString();
    }

    void source()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, element);
        const HeaderField f = FindShowFields(linesOf(lines)).Source;
        QCOMPARE(f.Element, element);
        QCOMPARE(f.Found, !element.isEmpty());
    }

    void prefixFields_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("venue");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("state");
        QTest::newRow("plain keywords")
            << QStringList{u"Venue Town Hall"_qs, u"City Springfield"_qs, u"State IL"_qs}
            << u"<VENUE>Town Hall</VENUE>"_qs << u"<CITY>Springfield</CITY>"_qs
            << u"<STATE>IL</STATE>"_qs;
        QTest::newRow("colon stays, case kept")
            << QStringList{u"VENUE: The Fillmore "_qs, u"city:  S.F."_qs}
            << u"<VENUE>: The Fillmore</VENUE>"_qs << u"<CITY>:  S.F.</CITY>"_qs << QString();
        QTest::newRow("statement is a state line")
            << QStringList{u"Statement of origin"_qs} << QString() << QString()
            << u"<STATE>ment of origin</STATE>"_qs;
        QTest::newRow("keyword alone gives empty element")
            << QStringList{u"venue"_qs} << u"<VENUE></VENUE>"_qs << QString() << QString();
        QTest::newRow("first line wins") << QStringList{u"City A"_qs, u"City B"_qs} << QString()
                                         << u"<CITY>A</CITY>"_qs << QString();
        QTest::newRow("not at line start")
            << QStringList{u"The venue was big"_qs, u"Kansas City"_qs} << QString() << QString()
            << QString();
        QTest::newRow("city line after every other field")
            << QStringList{u"Band B"_qs,  u"Venue V"_qs, u"State S"_qs, u"sbd"_qs,
                           u"Notes n"_qs, u""_qs,        u"City C"_qs}
            << u"<VENUE>V</VENUE>"_qs << u"<CITY>C</CITY>"_qs << u"<STATE>S</STATE>"_qs;
        QTest::newRow("venue line after every other field")
            << QStringList{u"Band B"_qs,  u"City C"_qs, u"State S"_qs, u"sbd"_qs,
                           u"Notes n"_qs, u""_qs,       u"Venue V"_qs}
            << u"<VENUE>V</VENUE>"_qs << u"<CITY>C</CITY>"_qs << u"<STATE>S</STATE>"_qs;
        QTest::newRow("venue after the ended notes")
            << QStringList{u"Notes n"_qs, u""_qs, u"Venue V"_qs} << u"<VENUE>V</VENUE>"_qs
            << QString() << QString();
        QTest::newRow("markup kept as typed")
            << QStringList{u"Venue <b>&amp;</b>"_qs} << u"<VENUE><b>&amp;</b></VENUE>"_qs
            << QString() << QString();
    }

    void prefixFields()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, venue);
        QFETCH(QString, city);
        QFETCH(QString, state);
        const ShowFields fields = FindShowFields(linesOf(lines));
        QCOMPARE(fields.Venue.Element, venue);
        QCOMPARE(fields.City.Element, city);
        QCOMPARE(fields.State.Element, state);
    }

    void notes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("element");
        QTest::newRow("label and second word removed")
            << QStringList{u"Notes: some notes here"_qs} << u"<NOTES>: some here</NOTES>"_qs;
        QTest::newRow("block to first empty line")
            << QStringList{u"Notes:"_qs, u"Great show."_qs, u"Audience recording."_qs, u""_qs,
                           u"Not this"_qs}
            << u"<NOTES>:Great show. Audience recording. </NOTES>"_qs;
        QTest::newRow("block to last line without empty line")
            << QStringList{u"x"_qs, u"NOTES"_qs, u"a"_qs, u"b"_qs} << u"<NOTES>a b </NOTES>"_qs;
        QTest::newRow("notes word removed in any case")
            << QStringList{u"Notes:"_qs, u"NOTES and Notes"_qs} << u"<NOTES>: and </NOTES>"_qs;
        QTest::newRow("three blanks become two")
            << QStringList{u"Notes   x"_qs} << u"<NOTES>  x</NOTES>"_qs;
        QTest::newRow("first notes line starts")
            << QStringList{u"notes one"_qs, u""_qs, u"notes two"_qs} << u"<NOTES> one</NOTES>"_qs;
        QTest::newRow("notes must start the line")
            << QStringList{u"Liner notes"_qs, u"x"_qs} << QString();
        QTest::newRow("lone line feed becomes blank")
            << QStringList{u"Notes:"_qs, u"a\nb"_qs} << u"<NOTES>:a b </NOTES>"_qs;
    }

    void notes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, element);
        const HeaderField f = FindShowFields(linesOf(lines)).Notes;
        QCOMPARE(f.Element, element);
        QCOMPARE(f.Found, !element.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestShowFields)
#include "tst_showfields.moc"
