// The head of an info text as a collector reads it: band, show date, venue, city and state in
// each of the usual layouts, the show date among other dates, the source and lineage, the notes.
// The layouts of the real corpus are golden files of tst_golden; these are the others.
#include "smart/recogniseinfotext.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

smart::SmartShow read(const QStringList &lines, const QLocale &locale = UnitedStatesLocale())
{
    return smart::ReadShow(CrlfLines(lines), locale);
}

// The cases of a file, their expected fields split at separator.
void cases(const QString &file, const QString &separator)
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("fields");
    for (const TextCase &c : TextCases(file))
        QTest::newRow(qPrintable(c.name)) << c.lines << c.expected.split(separator);
}

} // namespace

class TestSmartHeader : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data() { cases(u"smart/layouts.txt"_qs, u"|"_qs); }

    void layouts()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, fields);
        const smart::SmartShow show = read(lines);
        QCOMPARE((QStringList{show.band, show.venue, show.city, show.state}), fields);
    }

    // The show's date, not a transfer or posting date, nor one below the header block; day and
    // month in the locale's order unless only the other reading is a date.
    void showDate_data() { cases(u"smart/dates.txt"_qs, u"|"_qs); }

    void showDate()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, fields);
        const smart::SmartShow show = read(lines, QLocale(fields[0]));
        const QString date = show.date.isValid() ? show.date.toString(Qt::ISODate) : QString();
        QCOMPARE((QStringList{fields[0], date, show.literalDate}), fields);
    }

    void sourceAndNotes_data() { cases(u"smart/sources.txt"_qs, u"||"_qs); }

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
