// Smart recognition never knows less than the classic conversion: where the classic conversion
// takes the band, venue, city, state, source or notes from a keyword line ("Venue Town Hall",
// "City: Boston", "Band Blue Lantern"), smart recognition gives the same field. Checked over the
// corpus and over texts made of keyword lines in every order, case and spelling.
#include "convert/convertinfotext.h"
#include "smart/recogniseinfotext.h"
#include "testsupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QString element(const QString &xml, const QString &tag)
{
    const qsizetype open = xml.indexOf(u'<' + tag + u'>');
    if (open < 0)
        return {};
    const qsizetype from = open + tag.size() + 2;
    return xml.mid(from, xml.indexOf(u"</"_qs + tag + u'>', from) - from);
}

// A field's value as both read it: letter case, runs of blanks and the punctuation around it
// do not count.
QString normalised(QString s)
{
    s = s.toLower();
    s.replace(QRegularExpression(u"[^\\w]+"_qs), u" "_qs);
    return s.simplified();
}

// The fields the classic conversion takes from a keyword line of text, as {tag, the line's value}.
// A keyword line begins with the keyword, then a blank or a colon, then a value; a keyword that
// begins a longer one ("Band Members") or is followed by a small word ("City of New Orleans")
// starts a title or heading, not a field.
QList<std::pair<QString, QString>> keywordFields(const QString &text, const QString &classic)
{
    static const QRegularExpression line(
        u"^\\s*(band|venue|city|state|source|lineage)(?: *: *| +)(?!(members|name|of|the|and)\\b)(\\S.*?)\\s*$"_qs,
        QRegularExpression::CaseInsensitiveOption);
    QList<std::pair<QString, QString>> fields;
    QStringList taken;
    for (const QString &l : text.split(QRegularExpression(u"\r\n|\r|\n"_qs))) {
        const QRegularExpressionMatch m = line.match(l);
        if (!m.hasMatch())
            continue;
        QString tag = m.captured(1).toUpper();
        if (tag == u"LINEAGE")
            tag = u"SOURCE"_qs;
        if (taken.contains(tag))
            continue; // each field from its first line, as the classic conversion takes it
        taken.append(tag);
        const QString value = normalised(m.captured(3));
        // Only where the classic conversion did take the field from this line.
        if (!value.isEmpty() && normalised(element(classic, tag)).contains(value))
            fields.append({tag, value});
    }
    return fields;
}

void checkBothRead(const QString &text)
{
    const QString classic = ConvertInfoText(text, {UnitedStatesLocale()});
    const QString smart = RecogniseInfoText(text, {UnitedStatesLocale()});
    for (const auto &[tag, value] : keywordFields(text, classic)) {
        // A place keyword's value may hold the rest of the place, which smart recognition
        // splits ("Venue: Earls Court, London, England"): the fields from this one on count.
        static const QStringList place = {u"VENUE"_qs, u"CITY"_qs, u"STATE"_qs};
        QString got = element(smart, tag);
        for (qsizetype p = place.indexOf(tag) + 1; p > 0 && p < place.size(); ++p)
            got += u' ' + element(smart, place[p]);
        got = normalised(got);
        if (!got.contains(value))
            QFAIL(qPrintable(u"%1: classic reads \"%2\", smart \"%3\"\n%4"_qs.arg(
                tag, value, element(smart, tag), text)));
    }
    const QString notes = element(classic, u"NOTES"_qs);
    if (!notes.isEmpty())
        QVERIFY2(!element(smart, u"NOTES"_qs).isEmpty(), qPrintable(text));
}

// Texts of a band line, a date and keyword lines, in random order, letter case and spelling.
// Each keyword takes a value of its kind: a keyword that begins a venue's name ("City Winery")
// is no keyword line, for either reading.
QString generatedText(QRandomGenerator &random)
{
    const QList<std::pair<QString, QStringList>> keys = {
        {u"Band"_qs, {u"Blue Lantern"_qs, u"The Night Owls"_qs}},
        {u"Venue"_qs, {u"Town Hall"_qs, u"Memorial Auditorium"_qs, u"The Fillmore"_qs}},
        {u"City"_qs, {u"Springfield"_qs, u"New Haven"_qs, u"Eugene, OR"_qs}},
        {u"State"_qs, {u"Ohio"_qs, u"CT"_qs, u"New South Wales"_qs}},
        {u"Source"_qs, {u"SBD > DAT"_qs, u"Aud > CDR > FLAC"_qs}},
    };
    const QStringList separators = {u" "_qs, u": "_qs, u" : "_qs, u":"_qs, u"  "_qs};
    QStringList lines = {u"The Night Owls"_qs, u"May 8th, 1977"_qs};
    for (const auto &[key, values] : keys) {
        if (random.bounded(4) == 0)
            continue;
        QString k = key;
        switch (random.bounded(3)) {
        case 0:
            k = k.toUpper();
            break;
        case 1:
            k = k.toLower();
            break;
        default:
            break;
        }
        const QString value = values[random.bounded(values.size())];
        lines.insert(random.bounded(lines.size() + 1),
                     k + separators[random.bounded(separators.size())] + value);
    }
    if (random.bounded(2))
        lines << QString() << u"Notes"_qs << u"Great show."_qs;
    lines << QString() << u"1. Opener 4:56"_qs << u"2. Closer 3:30"_qs;
    return CrlfLines(lines);
}

} // namespace

class TestSmartClassic : public QObject
{
    Q_OBJECT

private slots:
    void keywordLines_corpus_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(TestDataPath(u"corpus"_qs));
        for (const QString &name : corpus.entryList({u"*.txt"_qs}))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
        QTest::newRow("worked example") << TestDataPath(u"worked-example.txt"_qs);
    }

    void keywordLines_corpus()
    {
        QFETCH(QString, path);
        checkBothRead(QString::fromUtf8(ReadBytes(path)));
    }

    void keywordLines_generated()
    {
        QRandomGenerator random(24);
        for (int n = 0; n < 300; ++n) {
            checkBothRead(generatedText(random));
            if (QTest::currentTestFailed())
                return;
        }
    }
};

QTEST_GUILESS_MAIN(TestSmartClassic)
#include "tst_smartclassic.moc"
