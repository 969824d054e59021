#include "smart/bandname.h"

#include "convert/textterms.h"
#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QStringList>
#include <QVarLengthArray>

namespace tapewright::smart {

namespace {

// "Dylan-Bob": a name written surname first, as folder names have it.
QString unreversedName(const QString &band)
{
    const qsizetype dash = band.indexOf(u'-');
    if (dash <= 0 || band.contains(u' ') || band.indexOf(u'-', dash + 1) >= 0)
        return {};
    const QString turned = LowerCased(QString(band.sliced(dash + 1) + u' ' + band.first(dash)));
    return ActNamed(turned);
}

// "Blind Boy Grunt (Bob Dylan)": an act playing under another name, named in brackets.
QString nameInBrackets(const QString &band)
{
    if (!band.endsWith(u')'))
        return {};
    const qsizetype open = band.lastIndexOf(u'(');
    if (open <= 0)
        return {};
    return ActNamed(LowerCased(QStringView(band).sliced(open + 1, band.size() - open - 2)));
}

// "Dylan & Dead Rehearsals" is "Bob Dylan & Grateful Dead": a band written only in traders'
// short names is written out; anything else stays as the file writes it.
QString writtenOut(const QString &band)
{
    if (const QString named = unreversedName(band); !named.isEmpty())
        return named;
    if (const QString named = nameInBrackets(band); !named.isEmpty())
        return named;
    const QString lower = LowerCased(band);
    QVarLengthArray<QStringView, 16> words;
    for (qsizetype i = 0; i < lower.size();) {
        qsizetype e = lower.indexOf(u' ', i);
        if (e < 0)
            e = lower.size();
        if (e > i)
            words.append(QStringView(lower).sliced(i, e - i));
        i = e + 1;
    }
    while (!words.isEmpty() && IsEventWord(words.back()))
        words.removeLast();
    // Names between the joining words, each a stretch of the lower-cased band.
    QStringList acts;
    qsizetype from = -1;
    qsizetype to = -1;
    const auto flush = [&]() {
        if (from < 0)
            return false;
        const QStringView part = QStringView(lower).sliced(from, to - from);
        QString named = ActForShortName(part);
        if (named.isEmpty())
            named = ActNamed(part);
        if (named.isEmpty())
            return false;
        acts.append(named);
        from = -1;
        return true;
    };
    for (const QStringView w : words) {
        if (w == u"&" || w == u"and" || w == u"+" || w == u"/") {
            if (!flush())
                return band;
            continue;
        }
        if (from < 0)
            from = w.data() - lower.data();
        to = w.data() - lower.data() + w.size();
    }
    if (!flush() || acts.isEmpty())
        return band;
    return acts.join(QStringLiteral(" & "));
}

// "Bob Dylan & Mick Taylor (former Rolling Stones guitarist)": a note in brackets at the end
// that describes someone (it begins with a small word) is no part of the name; one that bills
// a guest ("(with Patti Smith)") is.
QString withoutRemark(const QString &band)
{
    if (!band.endsWith(u')'))
        return band;
    const qsizetype open = band.lastIndexOf(u'(');
    if (open <= 0 || open + 1 >= band.size() || !band[open + 1].isLower())
        return band;
    qsizetype e = open + 1;
    while (e < band.size() && band[e].isLetter())
        ++e;
    const QString word = band.sliced(open + 1, e - open - 1);
    if (IsGuestWord(word))
        return band;
    return TrimmedName(QStringView(band).first(open));
}

bool startsWithAct(const QString &name)
{
    const QString lower = LowerCased(name);
    for (qsizetype blank = lower.indexOf(u' '); blank > 0; blank = lower.indexOf(u' ', blank + 1)) {
        if (!ActNamed(QStringView(lower).first(blank)).isEmpty())
            return true;
    }
    return false;
}

bool hasLetter(QStringView s)
{
    for (QChar c : s) {
        if (c.isLetter())
            return true;
    }
    return false;
}

} // namespace

QString WrittenOutBand(const QString &band)
{
    return writtenOut(withoutRemark(band));
}

// A second act named in an event field of the first line: "US tour with Grateful Dead",
// "Dead Dylan Rehearsals" (the band being Bob Dylan).
QString PartnerIn(QStringView field, const QString &band)
{
    const QString lower = LowerCased(field);
    const QString bandLower = LowerCased(band);
    qsizetype with = lower.indexOf(u"with ");
    if (with >= 0 && (with == 0 || lower[with - 1] == u' ')) {
        const QString act = TrimmedName(field.sliced(with + 5));
        if (!act.isEmpty() && act[0].isUpper()) {
            const QString shortAct = ActForShortName(LowerCased(act));
            return shortAct.isEmpty() ? act : shortAct;
        }
    }
    for (const QString &w : lower.split(u' ', Qt::SkipEmptyParts)) {
        const QString act = ActForShortName(w);
        if (!act.isEmpty() && !bandLower.contains(LowerCased(act)))
            return act;
    }
    return {};
}

QString BandFromFileHeaders(const InfoText &t, const DateLocale &loc)
{
    for (qsizetype i = 0; i < t.count(); ++i) {
        if (t.kind(i) != LineKind::FileHeader)
            continue;
        const QStringView name = t.fileName(i);
        const QString lower = LowerCased(name);
        const std::optional<FoundDate> d = FindDateIn(name, lower, loc);
        if (!d || d->start == 0)
            continue;
        QStringView band = name.first(d->start);
        if (const qsizetype dash = band.indexOf(u" - "); dash > 0)
            band = band.first(dash);
        const QString b = TrimmedName(band);
        if (hasLetter(b))
            return b;
    }
    return {};
}

// "01 Grateful Dead - Maggie's Farm.flac" in every listed file name: the artist.
QString BandFromListing(const InfoText &t)
{
    QString found;
    int seen = 0;
    for (qsizetype i = 0; i < t.count() && seen < 3; ++i) {
        if (t.kind(i) != LineKind::Listing)
            continue;
        QStringView name = AudioFileName(t.line(i), t.lower(i));
        if (name.isEmpty())
            continue;
        const qsizetype slash = qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
        name = name.sliced(slash + 1);
        const qsizetype dash = name.indexOf(u" - ");
        if (dash <= 0)
            return {};
        QStringView artist = name.first(dash);
        while (!artist.isEmpty() && (IsAsciiDigit(artist[0]) || !artist[0].isLetter()))
            artist = artist.sliced(1);
        const QString a = TrimmedName(artist);
        if (a.isEmpty() || (!found.isEmpty() && a != found))
            return {};
        found = a;
        ++seen;
    }
    return seen >= 2 ? found : QString();
}

// Where a known act is named on a line of its own in the head of the text ("BOB DYLAN"
// between rules, "Bob Dylan" under a remark), that line is the band line; failing one, a
// short line that begins with the act's name ("Bob Dylan and his band").
QString KnownActLine(const InfoText &t, qsizetype end)
{
    for (const bool whole : {true, false}) {
        for (qsizetype i = 0; i < end; ++i) {
            const LineKind k = t.kind(i);
            if (k != LineKind::Text && k != LineKind::Prose)
                continue;
            const QString name = TrimmedName(t.line(i));
            if (whole) {
                if (const QString act = ActNamed(LowerCased(name)); !act.isEmpty())
                    return act;
            } else if (CountWords(name).words <= MaxBandWords && !HasDigit(name) &&
                       startsWithAct(name)) {
                return name;
            }
        }
    }
    return {};
}

// A lineup lists the leader first: where nothing else names the band, the first musician of
// a lineup ("Band Members", then "Bob Dylan - piano, harp") is the act.
QString LineupLeader(const InfoText &t)
{
    for (qsizetype i = 0; i + 1 < t.count(); ++i) {
        const bool heading = (t.kind(i) == LineKind::Field && t.at(i).key == FieldKey::Lineup &&
                              t.value(i).isEmpty()) ||
                             IsLineupHeading(t.lower(i));
        if (!heading)
            continue;
        const qsizetype k = i + 1;
        const QStringView low = t.lower(k);
        const qsizetype dash = FindText(low, u" - ");
        if (dash <= 0)
            continue;
        qsizetype e = dash + 3;
        while (e < low.size() && low[e].isLetter())
            ++e;
        if (IsInstrumentWord(low.sliced(dash + 3, e - dash - 3)))
            return TrimmedName(t.line(k).first(dash));
    }
    return {};
}

} // namespace tapewright::smart
