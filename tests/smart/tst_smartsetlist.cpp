// Discs and tracks as a collector reads them: disc headings in their spellings, set headings
// that start no disc, numbering that restarts, tracks without their numbers, times and marks,
// and the lines that are never tracks. The set lists of the real corpus are golden files of
// tst_golden; these are the others.
#include "smart/recogniseinfotext.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

// "2 1": two tracks on disc 1, one on disc 2.
QString sizesOf(const QStringList &lines)
{
    QStringList out;
    for (const smart::SmartDisc &d : smart::ReadShow(CrlfLines(lines), UnitedStatesLocale()).discs)
        out << QString::number(d.tracks.size());
    return out.join(u' ');
}

QString documentOf(const QString &text)
{
    return RecogniseInfoText(text, ConvertOptions{UnitedStatesLocale()});
}

} // namespace

class TestSmartSetList : public QObject
{
    Q_OBJECT

private slots:
    void discs_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("sizes");
        for (const TextCase &c : TextCases(u"smart/discs.txt"_qs))
            QTest::newRow(qPrintable(c.name)) << c.lines << c.expected;
        // Lines among or after two tracks that must not become tracks of their own.
        for (const char *line :
             {"dfdaa9d4c754c56efd7aa956853ee421 *bd2024t01.flac",
              "03 Grateful Dead - Watching.flac:e21d8654d3fa9e9720a388d59fb03e1c", "(encore)",
              "Total: 72:34", "3. Touch Of Grey (missing)", "7 released on Dylan & The Dead"}) {
            QTest::addRow("numbered, then %s", line)
                << QStringList{"Disc 1", "1. A", "2. B", line} << u"2"_qs;
            QTest::addRow("unnumbered, then %s", line)
                << QStringList{"Disc One", "A", "B", line} << u"2"_qs;
        }
    }

    void discs()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, sizes);
        QCOMPARE(sizesOf(QStringList{"Band", ""} + lines), sizes);
    }

    // The first track of a disc, from the line after its heading.
    void tracks_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("time");
        TextRow("time in brackets", "01. Opener (5:32)", "Opener", "5:32");
        TextRow("time in square brackets", "1) Opener [05:32]", "Opener", "05:32");
        TextRow("time with CD frames", "1 - Opener 5:32.45", "Opener", "5:32.45");
        TextRow("time over an hour", "01 Long Jam 1:02:33", "Long Jam", "1:02:33");
        TextRow("minutes and seconds with a dot, in brackets", "1. ...banter... (0.28)",
                "...banter...", "0.28");
        TextRow("time after a dash", "1. Song - 5:32", "Song", "5:32");
        TextRow("a position in a note is no time", "1. Maggie's Farm (0:47 - not a skip)",
                "Maggie's Farm (0:47 - not a skip)", "");
        TextRow("cut marks", "1. //Body Blow// (5:41)", "Body Blow", "5:41");
        TextRow("set mark before the title", "1. Encore: Harry Hood (10:05)", "Harry Hood",
                "10:05");
        TextRow("Track and its number", "Track 01 - Porch Song", "Porch Song", "");
        TextRow("a title wrapped inside its bracket",
                "1. Song (Bob on piano and\r\n   harp, and the rest of the band on the chorus) * *",
                "Song (Bob on piano and harp, and the rest of the band on the chorus)", "");
        TextRow("a segue's position and its mark go", "1. Jam # (8:50) -> Song (24:00)",
                "Jam -> Song", "24:00");
        TextRow("a semicolon in a track of its own line is kept",
                "1 Knockin' On Heaven's Door - RTR; co-Lead Vocals: Roger McGuinn",
                "Knockin' On Heaven's Door - RTR; co-Lead Vocals: Roger McGuinn", "");
    }

    void tracks()
    {
        QFETCH(QString, line);
        QFETCH(QString, title);
        QFETCH(QString, time);
        const smart::SmartShow show =
            smart::ReadShow(CrlfLines({"Band", "", "Disc 1", line}), UnitedStatesLocale());
        QCOMPARE(show.discs.size(), 1);
        QCOMPARE(show.discs[0].tracks.size(), 1);
        QCOMPARE(show.discs[0].tracks[0].title, title);
        QCOMPARE(show.discs[0].tracks[0].time, time);
    }

    // Seven discs are written whole; past the 50th track a disc's tracks only count.
    void document_manyDiscsAndTracks()
    {
        QStringList lines{"Band", ""};
        for (int d = 1; d <= 7; ++d)
            lines << QStringLiteral("CD%1").arg(d) << "1 A"
                  << "2 B (1:00)";
        lines << "CD8";
        for (int t = 1; t <= 51; ++t)
            lines << QStringLiteral("%1. Song %1").arg(t);
        const QString xml = documentOf(CrlfLines(lines));
        QVERIFY(xml.contains(u"\r\n<DISCS>8</DISCS>\r\n<TRACKSD1>2</TRACKSD1>\r\n"));
        QVERIFY(xml.contains(u"\r\n<TRACKSD7>2</TRACKSD7>\r\n<TRACKSD8>51</TRACKSD8>\r\n"));
        QVERIFY(xml.contains(u"\r\n<D7T1>A</D7T1>\r\n<D7T2>B</D7T2><D7T2Time>1:00</D7T2Time>\r\n"));
        QVERIFY(xml.contains(u"\r\n<D8T50>Song 50</D8T50>\r\n</CDR_Track_List>"));
    }

    // A text too long to read whole is read in pieces: a list goes on from one piece into the
    // next, and the document written as the text is read is the one its kept discs give.
    void longText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("discs");
        QTest::addColumn<int>("tracks");
        QString headed = u"Band\r\n\r\n"_qs;
        QString restarting = headed;
        for (int d = 1; d <= 3000; ++d) {
            headed += QStringLiteral("Disc %1\r\n1. Song One\r\n2. Song Two (4:10)\r\n\r\n").arg(d);
            restarting += u"1. Song One\r\n2. Song Two\r\n3. Song Three\r\n\r\n"_qs;
        }
        QTest::newRow("headed discs") << headed << 3000 << 6000;
        QTest::newRow("numbering that restarts") << restarting << 3000 << 9000;
        QString oneDisc = u"Band\r\n\r\nDisc 1\r\n"_qs;
        for (int t = 1; t <= 99; ++t)
            oneDisc += QStringLiteral("%1. %2\r\n").arg(t).arg(QString(900, u'x'));
        QTest::newRow("one disc over two pieces, no empty line") << oneDisc << 1 << 99;
        QTest::newRow("unnumbered titles over two pieces")
            << QString(u"Band\r\n\r\nSet 1\r\n"_qs + u"Title Of A Song\r\n"_qs.repeated(5000)) << 1
            << 5000;
        QTest::newRow("a line longer than a piece")
            << QString(u"Band\r\n"_qs + u"word "_qs.repeated(30000) + u"\r\n1. A\r\n2. B"_qs) << 1
            << 2;
    }

    void longText()
    {
        QFETCH(QString, text);
        QFETCH(int, discs);
        QFETCH(int, tracks);
        const smart::SmartShow show = smart::ReadShow(text, UnitedStatesLocale());
        QCOMPARE(show.band, u"Band"_qs);
        QCOMPARE(show.discs.size(), discs);
        qsizetype total = 0;
        for (const smart::SmartDisc &d : show.discs)
            total += d.tracks.size();
        QCOMPARE(total, tracks);
        QCOMPARE(documentOf(text), smart::WriteSmartTrackList(show, UnitedStatesLocale()));
    }

    // Any text gives a document of the right shape, or nothing when it holds nothing.
    void document_anyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("discs"); // -1: no document
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("blanks, tabs and line ends only") << u" \t\r\n \r\n\n"_qs << -1;
        QTest::newRow("one word without a line end") << u"Band"_qs << 0;
        QTest::newRow("lone CRs end lines") << u"Band\r1. A\r2. B"_qs << 1;
        QTest::newRow("lone LFs end lines")
            << u"Band\n\nDisc 1\n1. A\n2. B\n\nDisc 2\n1. C"_qs << 2;
        QTest::newRow("mixed line ends") << u"Band\n\r\n1. A\r\n2. B\n"_qs << 1;
        QTest::newRow("control characters, separators and a lone surrogate")
            << QString(u"Band\0\x01\u0085\u2028x\r\n1. \xD800 A\u2029B\r\n2. B"_qs) << 1;
        QTest::newRow("control characters in a text read in pieces")
            << QString(u"Band\0\x01\r\n\r\n"_qs +
                       u"1. \u0085A\r\n2. B\u2028\u001F\r\n\r\n"_qs.repeated(5000))
            << 5000;
        QTest::newRow("a CR LF inside nothing") << u"\r\n\r\nBand"_qs << 0;
        QTest::newRow("a long line of digits and separators")
            << QString(u"1/2/"_qs.repeated(8000) + u"\r\n1. A"_qs) << 0;
        QTest::newRow("a long line of numbered items")
            << QString(u"1. A 2. B 3. C "_qs.repeated(3000)) << 1;
    }

    void document_anyText()
    {
        QFETCH(QString, text);
        QFETCH(int, discs);
        const QString xml = documentOf(text);
        QCOMPARE(xml.isEmpty(), discs < 0);
        if (discs < 0)
            return;
        QVERIFY(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>"));
        QVERIFY(xml.endsWith(u"\r\n</CDR_Track_List>"));
        // Between the line ends, no control character and no line or paragraph separator.
        const QString joined = QString(xml).remove(u"\r\n"_qs);
        for (const QChar c : joined)
            QVERIFY(c >= u' ' && (c < u'\x7F' || c > u'\x9F') && c != u'\u2028' && c != u'\u2029');
        QVERIFY(xml.contains(QStringLiteral("\r\n<DISCS>%1</DISCS>\r\n").arg(discs)));
        for (int d = 1; d <= discs; ++d)
            QVERIFY(xml.contains(QStringLiteral("\r\n<TRACKSD%1>").arg(d)));
    }
};

QTEST_GUILESS_MAIN(TestSmartSetList)
#include "tst_smartsetlist.moc"
