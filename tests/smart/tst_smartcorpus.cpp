// The 30 labelled real info texts, read as a collector reads them: the band alone, the show's
// date and city, and the discs with their tracks (tests/data/corpus/labels.tsv). Their whole
// documents are golden files of tst_golden; this table holds what a person checked by hand.
#include "recogniseinfotext.h"
#include "testsupport.h"
#include "textfile.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

class TestSmartCorpus : public QObject
{
    Q_OBJECT

private slots:
    void corpus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("expected"); // band, ISO date, city, tracks a disc
        const QStringList lines = QString::fromUtf8(TestData(u"corpus/labels.tsv"_qs)).split(u'\n');
        int rows = 0;
        for (const QString &line : lines) {
            const QStringList fields = line.split(u'\t');
            if (fields.size() == 5 && ++rows)
                QTest::newRow(qPrintable(fields[0])) << fields[0] + u".txt"_qs << fields.mid(1);
        }
        QCOMPARE(rows, 30);
    }

    void corpus()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        const Result<DecodedText> text = ReadTextFile(TestDataPath(u"corpus/"_qs + file));
        QVERIFY(text);
        const smart::SmartShow show = smart::ReadShow(text->text, UnitedStatesLocale());
        QStringList sizes;
        for (const smart::SmartDisc &d : show.discs)
            sizes << QString::number(d.tracks.size());
        const QString date = show.date.isValid() ? show.date.toString(Qt::ISODate) : QString();
        QCOMPARE((QStringList{show.band, date, show.city, sizes.join(u' ')}), expected);
    }
};

QTEST_GUILESS_MAIN(TestSmartCorpus)
#include "tst_smartcorpus.moc"
