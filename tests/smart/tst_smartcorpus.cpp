// The 30 labelled real info texts, read as a collector reads them: the band alone, the show's
// date and city, and the discs with their tracks; and each written as the track list document.
#include "recogniseinfotext.h"
#include "testsupport.h"
#include "textfile.h"

#include <QRegularExpression>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QString corpusText(const QString &name)
{
    const Result<DecodedText> r = ReadTextFile(QStringLiteral(TAPEWRIGHT_CORPUS "/") + name);
    if (!r)
        qFatal("missing corpus file %s", qPrintable(name));
    return r->text;
}

// "16 17 12 11": the number of tracks on each disc.
QString discSizes(const QList<smart::SmartDisc> &discs)
{
    QStringList sizes;
    for (const smart::SmartDisc &d : discs)
        sizes << QString::number(d.tracks.size());
    return sizes.join(u' ');
}

} // namespace

class TestSmartCorpus : public QObject
{
    Q_OBJECT

private:
    void corpusRows()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("date"); // ISO; empty: no single show's full date
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("discs");
        const auto row = [](const char *file, const char *band, const char *date, const char *city,
                            const char *discs) {
            QTest::newRow(file) << QString::fromUtf8(file) + u".txt"_qs << QString::fromUtf8(band)
                                << QString::fromUtf8(date) << QString::fromUtf8(city)
                                << QString::fromUtf8(discs);
        };
        // "Dead Dylan Rehearsals" beside the band names the Grateful Dead; "5/xx/87" is no date.
        row("01-dylan-1987-rehearsals-4cd", "Bob Dylan & Grateful Dead", "", "", "16 17 12 11");
        row("02-dylan-1974-02-11-oakland", "Bob Dylan", "1974-02-11", "Oakland", "14 14");
        row("03-dylan-1980-11-11-warfield", "Bob Dylan", "1980-11-11", "San Francisco", "10 10");
        row("04-dylan-2008-05-21-halifax", "Bob Dylan", "2008-05-21", "Halifax", "10 7");
        row("05-dylan-2024-10-27-dusseldorf-md5", "Bob Dylan", "2024-10-27", "Düsseldorf", "17");
        row("06-aqueous-2022-07-02-highsierra", "Aqueous", "2022-07-02", "Quincy", "6");
        row("07-baraka-2011-02-19-sailinn", "Baraka", "2011-02-19", "Tempe", "10");
        row("08-dylan-1999-04-23-marseilles", "Bob Dylan", "1999-04-23", "Marseilles", "8 7");
        row("09-dylan-2000-07-28-camden-oneline", "Bob Dylan", "2000-07-28", "Camden", "12 5");
        row("10-dylan-1986-07-10-zimzimzabob-vinyl-ffp", "Bob Dylan", "1986-07-10", "Mansfield",
            "5");
        row("11-dylan-1999-04-08-oporto-waiting", "Bob Dylan", "1999-04-08", "Oporto", "12 9");
        row("12-dylan-2000-06-30-ventura-nocd1label", "Bob Dylan", "2000-06-30", "Ventura", "12 5");
        row("13-dylan-2000-03-20-nampa-encores-filler", "Bob Dylan", "2000-03-20", "Nampa", "12 9");
        // Only the file names name an act here; two tracks are marked "(missing)".
        row("14-dylan-dead-1987-07-19-eugene-ffp-md5", "Grateful Dead", "1987-07-19", "Eugene",
            "13");
        row("15-dylan-2000-06-18-gorge-discone-md5", "Bob Dylan", "2000-06-18", "George", "8 8");
        row("16-dylan-2000-06-30-ventura-aud-discone", "Bob Dylan", "2000-06-30", "Ventura",
            "12 4");
        row("17-deadfloyd-2025-02-22-phoenix-sets", "Dead Floyd", "2025-02-22", "Phoenix", "18");
        // A tour set of seven shows: its title line's date is no show's.
        row("18-dylan-dead-1987-07-tour-7cd", "Bob Dylan & Grateful Dead", "", "",
            "14 13 12 13 12 12 10");
        row("19-dylan-1981-06-29-earls-court-date-keyword", "Bob Dylan", "1981-06-29", "London",
            "16 14");
        row("20-dylan-1995-10-25-rockford-columns-times", "Bob Dylan", "1995-10-25", "Rockford",
            "9 6");
        row("21-dylan-etta-james-1986-07-10-jam-ffp", "BOB DYLAN & Others", "1986-07-10",
            "Providence", "8");
        row("22-dylan-phil-lesh-2000-07-28-camden-4cd-md5", "BOB DYLAN AND PHIL LESH", "2000-07-28",
            "Camden", "12 11 5 7");
        row("23-dylan-2000-06-17-gorge-d1t01-ffp-disk", "Bob Dylan", "2000-06-17", "George", "9 8");
        // No band, no numbers, no disc headings: the file header names the act, the checksum
        // paths split the list.
        row("24-dylan-2000-06-18-gorge-no-artist-no-numbers", "Bob Dylan", "2000-06-18", "George",
            "8 8");
        row("25-dylan-dead-1987-rehearsals-orig-tabs", "Bob Dylan & Grateful Dead", "", "",
            "16 17 12 11");
        // Checksum and length listings only: nothing to read, and no line taken as a track.
        row("26-dylan-1987-07-lbdir-listing-md5-shntool-long", "", "", "", "");
        row("27-deltanove-2011-02-13-tucson-cut-markers", "Delta Nove", "2011-02-13", "Tucson",
            "11");
        row("28-dopapod-2017-06-18-eugene-sets-wrapped", "Dopapod", "2017-06-18", "Eugene", "18");
        row("29-dylan-2008-05-21-halifax-lb-oneline-discs", "Bob Dylan", "2008-05-21", "Halifax",
            "10 7");
        row("30-artiphishal-2011-11-17-tempe-short", "ArtiPHISHal", "2011-11-17", "Tempe", "10");
    }

private slots:
    void corpus_data() { corpusRows(); }

    void corpus()
    {
        QFETCH(QString, file);
        QFETCH(QString, band);
        QFETCH(QString, date);
        QFETCH(QString, city);
        QFETCH(QString, discs);
        const smart::SmartShow show = smart::ReadShow(corpusText(file), UnitedStatesLocale());
        QCOMPARE(show.band, band);
        QCOMPARE(show.date.isValid() ? show.date.toString(Qt::ISODate) : QString(), date);
        QCOMPARE(show.city, city);
        QCOMPARE(discSizes(show.discs), discs);
    }

    // The document of each file counts the discs and tracks the recogniser read, and writes
    // each track once, under its own disc, in the line order the cover filler expects.
    void corpus_document_data() { corpusRows(); }

    void corpus_document()
    {
        QFETCH(QString, file);
        QFETCH(QString, discs);
        const QString text = corpusText(file);
        ConvertOptions options;
        options.locale = UnitedStatesLocale();
        const QString xml = RecogniseInfoText(text, options);
        QVERIFY(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n<BAND>"));
        QVERIFY(xml.endsWith(u"\r\n</CDR_Track_List>"));
        const QStringList sizes = discs.split(u' ', Qt::SkipEmptyParts);
        QVERIFY(xml.contains(QStringLiteral("\r\n<DISCS>%1</DISCS>\r\n").arg(sizes.size())));
        const smart::SmartShow show = smart::ReadShow(text, options.locale);
        for (qsizetype d = 0; d < sizes.size(); ++d) {
            const QString n = QString::number(d + 1);
            QVERIFY(xml.contains(QStringLiteral("<TRACKSD%1>%2</TRACKSD%1>").arg(n, sizes[d])));
            QVERIFY(xml.contains(QStringLiteral("\r\n<D%1T1>%2</D%1T1>")
                                     .arg(n, show.discs[d].tracks.first().title)));
            QVERIFY(xml.contains(QStringLiteral("<D%1T%2>").arg(n).arg(sizes[d])));
        }
        static const QRegularExpression trackTag(u"<D\\d+T\\d+>"_qs);
        qsizetype written = 0;
        for (auto it = trackTag.globalMatch(xml); it.hasNext(); it.next())
            ++written;
        qsizetype total = 0;
        for (const QString &s : sizes)
            total += s.toInt();
        QCOMPARE(written, total);
    }
};

QTEST_GUILESS_MAIN(TestSmartCorpus)
#include "tst_smartcorpus.moc"
