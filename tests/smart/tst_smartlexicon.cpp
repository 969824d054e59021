// Every entry of the lexicon's lists is read where a text writes it: a key added to the keyword
// table, a disc word or a set heading word can never be turned away by a shortcut beside its
// list. Each list is one row; its entries are walked inside the row.
#include "smart/infotext.h"
#include "smart/recogniseinfotext.h"
#include "smart/trackitems.h"
#include "testsupport.h"

#include <QTest>

using namespace tapewright;
using namespace testsupport;

namespace {

QString text(std::u16string_view w)
{
    return QString::fromUtf16(w.data(), qsizetype(w.size()));
}

// "volume" as a heading writes it: "Volume".
QString capitalised(std::u16string_view w)
{
    QString s = text(w);
    s[0] = s[0].toUpper();
    return s;
}

} // namespace

class TestSmartLexicon : public QObject
{
    Q_OBJECT

private slots:
    void fieldKeys_eachReadsItsField()
    {
        const DateLocale &locale = DateLocale::of(UnitedStatesLocale());
        for (const smart::KeyName &k : smart::FieldKeyList()) {
            const QString line = capitalised(k.key) + u": Some Value"_qs;
            const smart::InfoText t(u"Band\r\n"_qs + line, locale);
            QVERIFY2(t.kind(1) == smart::LineKind::Field && t.at(1).key == k.field,
                     qPrintable(line));
        }
    }

    void discWords_eachHeadsADisc()
    {
        for (const std::u16string_view w : smart::DiscWordList()) {
            const QString heading = capitalised(w);
            const smart::SmartShow show =
                smart::ReadShow(CrlfLines({u"Band"_qs, QString(), heading + u" 1"_qs, u"1. A"_qs,
                                           u"2. B"_qs, heading + u" 2"_qs, u"1. C"_qs}),
                                UnitedStatesLocale());
            QVERIFY2(show.discs.size() == 2, qPrintable(heading));
        }
    }

    void trackWords_eachPrefixesANumber()
    {
        for (const std::u16string_view w : smart::TrackWordList()) {
            const smart::SmartShow show = smart::ReadShow(
                CrlfLines({u"Band"_qs, QString(), capitalised(w) + u" 01 - Porch Song"_qs,
                           capitalised(w) + u" 02 - Wilson"_qs}),
                UnitedStatesLocale());
            QVERIFY2(show.discs.size() == 1 && show.discs[0].tracks.size() == 2 &&
                         show.discs[0].tracks[0].title == u"Porch Song"_qs,
                     qPrintable(text(w)));
        }
    }

    void setWords_eachMakesAHeading()
    {
        for (const std::u16string_view w : smart::SetAnchorWordList())
            QVERIFY2(smart::IsSetHeading(text(w)), qPrintable(text(w)));
        // A word that stands beside a heading's own word, before or after it.
        for (const std::u16string_view w : smart::SetBesideWordList()) {
            QVERIFY2(smart::IsSetHeading(text(w) + u" set"_qs), qPrintable(text(w)));
            QVERIFY2(!smart::IsSetHeading(text(w)), qPrintable(text(w)));
        }
    }
};

QTEST_GUILESS_MAIN(TestSmartLexicon)
#include "tst_smartlexicon.moc"
