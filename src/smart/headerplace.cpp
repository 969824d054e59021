#include "smart/headerplace.h"

#include "convert/textterms.h"
#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QVarLengthArray>

namespace tapewright::smart {

namespace {

// A city, venue or state is a few words; a longer part is a remark.
constexpr int MaxPlaceWords = 6;

QString cleaned(QStringView s)
{
    s = s.trimmed();
    while (!s.isEmpty() && (s.front() == u'@' || s.front() == u'-' || s.front() == u','))
        s = s.sliced(1).trimmed();
    while (!s.isEmpty() && (s.back() == u',' || s.back() == u'-' || s.back() == u'.'))
        s.chop(1);
    return CollapsedBlanks(s);
}

// A state or country, also where a sentence's full stop ends it ("London, England.").
bool isState(QStringView f)
{
    if (f.endsWith(u'.') && !f.endsWith(u".."))
        f.chop(1);
    return IsStateCode(f) || IsStateName(LowerCased(f));
}

bool isName(QStringView part)
{
    return !part.isEmpty() && part[0].isLetter() && IsTitleLike(part) &&
           CountWords(part).words <= MaxPlaceWords;
}

// The parts of a line: cut at commas, spaced dashes, runs of blanks and "@"; a bracketed
// group at the end is a part of its own ("New Haven, Connecticut (Woolsey Hall)").
QVarLengthArray<QStringView, 8> parts(QStringView s)
{
    QVarLengthArray<QStringView, 8> out;
    QStringView tail;
    if (s.endsWith(u')')) {
        const qsizetype open = s.lastIndexOf(u'(');
        if (open > 0) {
            tail = s.sliced(open + 1, s.size() - open - 2).trimmed();
            s = s.first(open);
        }
    }
    qsizetype from = 0;
    const auto cut = [&](qsizetype end, qsizetype next) {
        const QStringView p = s.sliced(from, end - from).trimmed();
        if (!p.isEmpty())
            out.append(p);
        from = next;
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u',' || s[i] == u'@')
            cut(i, i + 1);
        else if (s[i] == u' ' && i + 2 < s.size() && s[i + 1] == u'-' && s[i + 2] == u' ')
            cut(i, i + 3);
        else if (s[i] == u' ' && i + 1 < s.size() && s[i + 1] == u' ') {
            qsizetype e = i;
            while (e < s.size() && s[e] == u' ')
                ++e;
            cut(i, e);
            i = e - 1;
        }
    }
    cut(s.size(), s.size());
    if (!tail.isEmpty())
        out.append(tail);
    return out;
}

} // namespace

// What the one-line header's place fields give: "Warfield, San Francisco, CA", "Oakland, CA",
// "Marseilles".
std::optional<PlaceParts> PlaceOfFields(const QList<QStringView> &fields, bool *withState)
{
    QList<QStringView> names;
    qsizetype state = -1;
    for (const QStringView f : fields) {
        if (state >= 0)
            break;
        names.append(f);
        if (isState(f))
            state = names.size() - 1;
    }
    *withState = state >= 0;
    PlaceParts p;
    if (state >= 0) {
        QStringView st = names[state];
        if (st.endsWith(u'.') && st.indexOf(u'.') == st.size() - 1)
            st.chop(1); // "England.", but "D.C."
        p.state = TrimmedName(st);
        names.resize(state);
    }
    if (names.isEmpty())
        return state >= 0 ? std::optional<PlaceParts>(p) : std::nullopt;
    // "Mountain View CA": a state's code after the city without a comma.
    if (const qsizetype blank = names.back().lastIndexOf(u' ');
        state < 0 && blank > 0 && IsStateCode(names.back().sliced(blank + 1))) {
        p.state = names.back().sliced(blank + 1).toString();
        names.back() = names.back().first(blank);
        *withState = true;
    }
    p.city = TrimmedName(names.back());
    names.removeLast();
    QStringList venue;
    for (const QStringView v : std::as_const(names))
        venue.append(TrimmedName(v));
    p.venue = venue.join(QStringLiteral(", "));
    return p;
}

bool HasVenueWord(QStringView s)
{
    return AnyLetterWord(LowerCased(s), [](QStringView w) { return IsVenueWord(w); });
}

PlaceParts ReadHeaderPlace(QStringView s)
{
    PlaceParts p;
    const auto all = parts(s);
    if (all.isEmpty() || all.size() > 4)
        return p;
    for (const QStringView part : all) {
        if (!isName(part) && !isState(part))
            return p; // a remark, a number, a sentence: no place
    }
    // "Noblesville, IN, USA", "Ontario, Canada": the first state found is the state; a country
    // after it adds nothing a cover needs.
    qsizetype state = -1;
    for (qsizetype k = 0; k < all.size(); ++k) {
        if (isState(all[k]) &&
            (k > 0 || all.size() == 1 || (k + 1 < all.size() && isState(all[k + 1])))) {
            state = k;
            break;
        }
    }
    QStringList venue;
    QString city;
    for (qsizetype k = 0; k < all.size(); ++k) {
        if (k == state || (state >= 0 && k > state && isState(all[k])))
            continue;
        if (HasVenueWord(all[k]) || (state >= 0 && k > state))
            venue.append(cleaned(all[k])); // "Charlotte, North Carolina  Belk Theater"
        else if (city.isEmpty() && (state < 0 || k == state - 1))
            city = cleaned(all[k]);
        else
            venue.append(cleaned(all[k]));
    }
    // Of two names without a venue word or a state, the first is the venue ("Winston Farm,
    // Saugerties").
    if (state < 0 && venue.isEmpty() && all.size() == 2) {
        venue.append(cleaned(all[0]));
        city = cleaned(all[1]);
    }
    p.venue = venue.join(QStringLiteral(", "));
    p.city = city;
    if (state >= 0)
        p.state = cleaned(all[state]);
    return p;
}

} // namespace tapewright::smart
