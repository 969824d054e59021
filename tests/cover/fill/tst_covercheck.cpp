// The check before a cover is made: the summary line, each warning on the show that earns it
// and on none that does not, and the template's room found by reading and filling it.
#include "common/paths.h"
#include "cover/fill/covercheck.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

// The discs of a show, "|" between discs and "," between tracks, each track given by its time
// ("-": none): "4:56,10:02|7:15".
QString Discs(const QString &discTimes)
{
    if (discTimes.isEmpty())
        return u"<DISCS>0</DISCS>"_qs;
    const QStringList discs = discTimes.split(u'|');
    QString xml = u"<DISCS>%1</DISCS>"_qs.arg(discs.size());
    for (int d = 1; d <= discs.size(); ++d) {
        const QStringList times = discs.at(d - 1).split(u',');
        xml += u"<TRACKSD%1>%2</TRACKSD%1>"_qs.arg(d).arg(times.size());
        for (int t = 1; t <= times.size(); ++t) {
            xml += u"<D%1T%2>%2. Song %2</D%1T%2>"_qs.arg(d).arg(t);
            if (times.at(t - 1) != u"-")
                xml += u"<D%1T%2Time>%3</D%1T%2Time>"_qs.arg(d).arg(t).arg(times.at(t - 1));
        }
    }
    return xml;
}

const QString Header = u"<BAND>Blue Lantern</BAND><DATE>5/8/1977</DATE><VENUE>Town Hall</VENUE>"_qs;

QString Show(const QString &header, const QString &discs)
{
    return u"<CDR_Track_List>"_qs + header + Discs(discs) + u"</CDR_Track_List>"_qs;
}

QString ShippedFolder()
{
    return TemplateFolderFor(QDir(QCoreApplication::applicationDirPath()).filePath(u"../bin"_qs));
}

} // namespace

class TestCoverCheck : public QObject
{
    Q_OBJECT

private slots:
    // Each warning on a show that earns it alone; the edges beside them earn none.
    void warnings_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("discs");
        QTest::addColumn<int>("roomDiscs");
        QTest::addColumn<int>("notFitting");
        QTest::addColumn<QString>("crowded");
        QTest::addColumn<QStringList>("warnings");
        const auto row = [](const char *name, const QString &header, const QString &discs,
                            const QStringList &warnings, int roomDiscs = 4, int notFitting = 0,
                            const QString &crowded = {}) {
            QTest::newRow(name) << header << discs << roomDiscs << notFitting << crowded
                                << warnings;
        };
        const QString twoDiscs = u"4:56,10:02|7:15,-"_qs;
        row("nothing wrong", Header, twoDiscs, {});
        row("blank band", QString(Header).replace(u"Blue Lantern"_qs, u" \t"_qs), twoDiscs,
            {u"No band was found: the cover will name none."_qs});
        row("no date", QString(Header).remove(u"5/8/1977"_qs), twoDiscs,
            {u"No date was found: the cover will print none."_qs});
        row("no venue or place", QString(Header).remove(u"Town Hall"_qs), twoDiscs,
            {u"No venue, city or state was found: the cover will name no place."_qs});
        row("a state without a venue", QString(Header).replace(u"VENUE>"_qs, u"STATE>"_qs),
            twoDiscs, {});
        row("band equal to the venue, ignoring case",
            u"<BAND>Town Hall</BAND><DATE>1977</DATE><VENUE> TOWN hall</VENUE>"_qs, twoDiscs,
            {u"The band and the venue are both \u201CTown Hall\u201D: the venue was probably read "
             u"as the band."_qs});
        row("no tracks", Header, u""_qs,
            {u"No tracks were found: the tray card will list none."_qs});
        row("a disc of 79:57 fits a CD-R", Header, u"40:00,39:57"_qs, {});
        row("discs of 79:58 and 80:00 do not", Header, u"40:00,39:58|1:00|40:00,40:00"_qs,
            {u"Disc 1 runs 79:58, longer than a CD-R holds (79:57)."_qs,
             u"Disc 3 runs 80:00, longer than a CD-R holds (79:57)."_qs});
        row("a long disc with a track of no time", Header, u"40:00,-,40:00"_qs, {});
        row("a fifth disc on a template for four", Header, u"1:00|1:00|1:00|1:00|1:00,2:00"_qs,
            {u"The template has room for 4 discs: disc 5 (2 tracks) will not be printed."_qs});
        row("a template with no room for discs", Header, twoDiscs,
            {u"The template has no room for discs: discs 1 and 2 (4 tracks) will not be "
             u"printed."_qs},
            0);
        // The fitting leaves off the last tracks of the discs on the tray card.
        row("the last disc's tracks do not fit", Header, u"1:00,1:00|1:00,1:00,1:00"_qs,
            {u"The last 3 tracks of disc 2 will not fit on the tray card, even at the smallest "
             u"type, and will not be printed; shorter titles make room."_qs},
            4, 3);
        row("last tracks of two discs on a template for two", Header, u"1:00,-|1:00|1:00"_qs,
            {u"The template has room for 2 discs: disc 3 (1 track) will not be printed."_qs,
             u"The last 2 tracks (on discs 1 and 2) will not fit on the tray card, even at the "
             u"smallest type, and will not be printed; shorter titles make room."_qs},
            2, 2);
        row("a crowded place", Header, twoDiscs,
            {u"The text of the source line will not fit, even at the smallest type, and will be "
             u"cut off."_qs},
            4, 0, u"the source line"_qs);
    }
    void warnings()
    {
        QFETCH(QString, header);
        QFETCH(QString, discs);
        QFETCH(int, roomDiscs);
        QFETCH(int, notFitting);
        QFETCH(QString, crowded);
        QFETCH(QStringList, warnings);
        TemplateRoom room;
        room.discs = roomDiscs;
        room.fit.tracksNotFitting = notFitting;
        if (!crowded.isEmpty())
            room.fit.crowded << crowded;
        const CoverCheck check =
            CheckCoverShow(ReadCoverShow(Show(header, discs)), room, UnitedStatesLocale());
        QCOMPARE(check.warnings, warnings);
    }

    void summary_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("summary");
        QTest::newRow("worked example")
            << WorkedExampleXml()
            << u"Blue Lantern · May 8, 1977 · Town Hall · 2 discs/4 tracks"_qs;
        QTest::newRow("place for the venue, a date as written, one of each")
            << Show(u"<BAND>X</BAND><DATE>Summer 77</DATE><CITY>Tempe</CITY><STATE>AZ</STATE>"_qs,
                    u"-"_qs)
            << u"X · Summer 77 · Tempe, AZ · 1 disc/1 track"_qs;
        QTest::newRow("all missing")
            << Show({}, {}) << u"no band · no date · no venue · 0 discs/0 tracks"_qs;
        QTest::newRow("no track list") << u"<html>Blue Lantern</html>"_qs << QString();
    }
    void summary()
    {
        QFETCH(QString, xml);
        QFETCH(QString, summary);
        CoverCheckOptions options;
        options.locale = UnitedStatesLocale();
        QCOMPARE(CheckCover(xml, options).summary, summary);
    }

    // The room a template has: its disc bookmarks counted, and the tracks its fitting leaves
    // off; a Word .doc is not converted for a check, and is taken to be a template for four.
    void templateRoom_data()
    {
        QTest::addColumn<QString>("templateName"); // shipped, or written by the test
        QTest::addColumn<QString>("discs");
        QTest::addColumn<QString>("warning"); // how the last warning starts
        QString tracks = QStringList(200, u"-"_qs).join(u',');
        QTest::newRow("shipped, every track fits")
            << u"Jewel Case A4.odt"_qs << u"1:00|2:00"_qs << QString();
        QTest::newRow("shipped, tracks left off")
            << u"Jewel Case Letter.docx"_qs << QStringList(4, tracks).join(u'|') << u"The last "_qs;
        QTest::newRow("two discs' bookmarks")
            << u"two.ott"_qs << u"1:00|2:00|3:00"_qs << u"The template has room for 2 discs"_qs;
        QTest::newRow("Word .doc")
            << u"old.doc"_qs << u"1|2|3|4|5"_qs << u"The template has room for 4 discs"_qs;
    }
    void templateRoom()
    {
        QFETCH(QString, templateName);
        QFETCH(QString, discs);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        QString path = QDir(ShippedFolder()).filePath(templateName);
        if (templateName == u"two.ott") {
            QStringList names = CoverBookmarkNames();
            names.removeIf([](const QString &n) {
                return n.startsWith(u"TrayDisc3"_qs) || n.startsWith(u"TrayDisc4"_qs);
            });
            path = WriteFile(dir, templateName, TemplateBytes(u".ott"_qs, CoverMarks(names)));
        } else if (templateName == u"old.doc") {
            path = WriteFile(dir, templateName, "not converted");
        }
        CoverCheckOptions options;
        options.locale = UnitedStatesLocale();
        options.templatePath = path;
        options.document = {dir.path(), QString()}; // no LibreOffice
        const CoverCheck check = CheckCover(Show(Header, discs), options);
        QCOMPARE(check.warnings.isEmpty(), warning.isEmpty());
        QVERIFY2(check.warnings.value(check.warnings.size() - 1).startsWith(warning),
                 qPrintable(check.warnings.join(u'\n')));
    }

    // The status bar: the summary, then the first warning and how many more; all in the tooltip.
    void status_data()
    {
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QString>("summary");
        QTest::newRow("none") << QStringList() << u"S"_qs;
        QTest::newRow("one") << QStringList{u"W1."_qs} << u"S \u2014 W1."_qs;
        QTest::newRow("two") << QStringList{u"W1."_qs, u"W2."_qs}
                             << u"S \u2014 W1. (and 1 more)"_qs;
    }
    void status()
    {
        QFETCH(QStringList, warnings);
        QFETCH(QString, summary);
        const CoverCheckLine line = CoverCheckStatus({u"S"_qs, warnings});
        QCOMPARE(line.summary, summary);
        QCOMPARE(line.details, warnings.join(u'\n'));
    }
};

QTEST_GUILESS_MAIN(TestCoverCheck)
#include "tst_covercheck.moc"
