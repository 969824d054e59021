#include "smart/infotext.h"

#include "convert/textterms.h"
#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QVarLengthArray>

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <string_view>

namespace tapewright::smart {

namespace {

// The position of the next CR or LF at or after from, or n. Eight units at a time where the
// processor allows: a call of the library's search per line would cost more than the line.
qsizetype nextLineEnd(const char16_t *t, qsizetype from, qsizetype n)
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(short(u'\r'));
    const __m128i lf = _mm_set1_epi16(short(u'\n'));
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + i));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf)));
        if (mask != 0)
            return i + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    for (; i < n; ++i) {
        if (t[i] == u'\r' || t[i] == u'\n')
            return i;
    }
    return n;
}

// "gd1977-05-08.sbd.hicks.4982.sbeok.shnf": a set's folder name, as trading sites put it at the
// top of the info text. One word with digits and dots or underscores, never a band or a title.
bool isFolderName(QStringView s)
{
    if (s.size() < 8 || FindChar(s, 0, u' ') >= 0 || FindChar(s, 0, u':') >= 0)
        return false;
    bool digit = false;
    int dots = 0;
    for (QChar c : s) {
        digit = digit || IsAsciiDigit(c);
        dots += c == u'.' || c == u'_';
    }
    return digit && dots >= 1 && s.back() != u'.';
}

// Fewer marks than this at a line's ends are a title's own ("*Tombstone Blues*", "-> Song").
constexpr qsizetype MinFrame = 2;

// "--Disc 2--", "== February 7, 1990 ==", "***Filler***": decoration on both ends of a line
// frames a heading; the line is read as what it frames. Narrows [a, b) to it.
bool unwrapDecoration(const char16_t *t, qsizetype &a, qsizetype &b)
{
    const auto decoration = [](char16_t c) {
        return c == u'-' || c == u'=' || c == u'*' || c == u'~' || c == u'#' || c == u'_';
    };
    qsizetype x = a;
    qsizetype y = b;
    while (x < y && decoration(t[x]))
        ++x;
    while (y > x && decoration(t[y - 1]))
        --y;
    if (x - a < MinFrame || b - y < MinFrame)
        return false;
    while (x < y && t[x] == u' ')
        ++x;
    while (y > x && t[y - 1] == u' ')
        --y;
    if (x == y)
        return false; // a rule
    a = x;
    b = y;
    return true;
}

bool hasDigit(QStringView s)
{
    for (QChar c : s) {
        if (IsAsciiDigit(c))
            return true;
    }
    return false;
}

// A key further along than this is a sentence's colon ("We got there early and the sound was:").
constexpr qsizetype MaxKeyLength = 32;

// "Key: value", "Key : value", and the few keys written without a colon ("Venue Town Hall"):
// the key and where its value starts.
std::optional<std::pair<FieldKey, qsizetype>> readField(QStringView s, QStringView lower)
{
    const qsizetype colon = FindChar(lower, 0, u':');
    if (colon <= 0 || colon > MaxKeyLength) {
        const qsizetype v = BareKeyValueAt(lower);
        if (v < 0)
            return std::nullopt;
        return std::make_pair(
            FieldKeyOf(lower.first(FindChar(lower, 0, u' ') < 0 ? lower.size()
                                                                : FindChar(lower, 0, u' '))),
            v);
    }
    const QStringView key = lower.first(colon).trimmed();
    if (key.isEmpty() || !key[0].isLetter())
        return std::nullopt;
    int words = 1;
    for (QChar c : key) {
        if (c == u' ')
            ++words;
        else if (!(c.isLetter() || c == u'/' || c == u'&' || c == u'-' || c == u'\'' || c == u'.'))
            return std::nullopt;
    }
    qsizetype v = colon + 1;
    while (v < s.size() && s[v] == u' ')
        ++v;
    FieldKey field = FieldKeyOf(key);
    if (field == FieldKey::None) {
        if (words > 3 || v >= s.size())
            return std::nullopt;
        field = FieldKey::Other;
    }
    return std::make_pair(field, v);
}

// Splits at commas and spaced dashes into trimmed, non-empty parts.
using PlacePieces = QVarLengthArray<QStringView, 8>;

PlacePieces placeParts(QStringView s)
{
    PlacePieces parts;
    qsizetype from = 0;
    const auto cut = [&](qsizetype end, qsizetype next) {
        const QStringView part = s.sliced(from, end - from).trimmed();
        if (!part.isEmpty())
            parts.append(part);
        from = next;
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u',')
            cut(i, i + 1);
        else if (s[i] == u' ' && i + 2 < s.size() && s[i + 1] == u'-' && s[i + 2] == u' ')
            cut(i, i + 3);
    }
    cut(s.size(), s.size());
    return parts;
}

} // namespace

std::optional<PlaceParts> ReadPlace(QStringView s, QStringView lower, const DateLocale &locale)
{
    if (s.size() > 80 || !(s[0].isLetter() || IsAsciiDigit(s[0])))
        return std::nullopt;
    int commas = 0;
    for (qsizetype k = FindChar(s, 0, u','); k >= 0; k = FindChar(s, k + 1, u',')) {
        if (++commas > 3) // a place has at most venue, city, state and a date's comma
            return std::nullopt;
    }
    // A place without a comma or dash ends in a state written out, in capitals.
    const bool parted = FindChar(s, 0, u',') >= 0 || FindText(s, u" - ") >= 0;
    if (!parted) {
        const qsizetype w = LastChar(s, u' ');
        if (w < 0 || !s[w + 1].isUpper())
            return std::nullopt;
    }
    QString without;
    QString withoutLower;
    if (hasDigit(s)) {
        // A date beside the place has a year of two digits at least.
        bool pair = false;
        for (qsizetype k = 1; k < s.size() && !pair; ++k)
            pair = IsAsciiDigit(s[k]) && IsAsciiDigit(s[k - 1]);
        if (!pair)
            return std::nullopt;
        // "Marriott Inn, Mansfield, Massachusetts 1986-07-10"
        const std::optional<FoundDate> d = FindDateIn(s, lower, locale);
        if (!d)
            return std::nullopt;
        qsizetype end = d->start;
        while (end > 0 && (s[end - 1] == u' ' || s[end - 1] == u',' || s[end - 1] == u'-'))
            --end;
        // A date between two parts separates them as a comma does ("Bob Dylan - 2024 08 03 @
        // Shoreline Amphitheatre, ...").
        const bool between = end > 0 && !s.sliced(d->end).trimmed().isEmpty();
        const QString join = between ? QStringLiteral(", ") : QString();
        without = s.first(end).toString() + join + s.sliced(d->end).toString();
        withoutLower = lower.first(end).toString() + join + lower.sliced(d->end).toString();
        s = without;
        lower = withoutLower;
        if (hasDigit(s))
            return std::nullopt;
    }
    // The same piece of the lower-cased line.
    const auto low = [&](QStringView part) {
        return lower.sliced(part.data() - s.data(), part.size());
    };
    const PlacePieces parts = placeParts(s);
    const auto nameLike = [](QStringView part) {
        return part.size() <= 48 && part[0].isLetter() && IsTitleLike(part);
    };
    if (parts.size() == 2 || parts.size() == 3) {
        if (!(IsStateCode(parts.back()) || IsStateName(low(parts.back()))))
            return std::nullopt;
        for (qsizetype k = 0; k + 1 < parts.size(); ++k) {
            if (!nameLike(parts[k]))
                return std::nullopt;
        }
        PlaceParts p;
        p.state = parts.back().toString();
        p.city = parts[parts.size() - 2].toString();
        if (parts.size() == 3)
            p.venue = parts[0].toString();
        // "Noblesville, IN, USA": a city, its state and the country that holds it.
        if (parts.size() == 3 && IsCountryName(low(parts[2])) &&
            (IsStateCode(parts[1]) || IsStateName(low(parts[1])))) {
            p.venue.clear();
            p.city = parts[0].toString();
            p.state = parts[1].toString();
        }
        return p;
    }
    if (parts.size() != 1 || !nameLike(parts[0]))
        return std::nullopt;
    // "Providence Rhode Island": a state written out after the city.
    const QStringView whole = low(parts[0]);
    for (int words = 3; words >= 1; --words) {
        qsizetype cut = whole.size();
        for (int w = 0; w < words && cut > 0; ++w)
            cut = LastChar(whole.first(cut), u' ');
        if (cut <= 0)
            continue;
        if (IsStateName(whole.sliced(cut + 1))) {
            PlaceParts p;
            p.city = parts[0].first(cut).trimmed().toString();
            p.state = parts[0].sliced(cut + 1).toString();
            return p;
        }
    }
    return std::nullopt;
}

bool IsSourceLine(QStringView lower)
{
    int arrows = 0;
    bool gear = false;
    bool recording = false;
    bool kind = false;
    int words = 0;
    qsizetype i = 0;
    const qsizetype n = lower.size();
    while (i < n) {
        const QChar c = lower[i];
        if (c == u'>')
            ++arrows;
        if (!c.isLetterOrNumber()) {
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < n && (lower[e].isLetterOrNumber() || lower[e] == u'-'))
            ++e;
        const QStringView w = lower.sliced(i, e - i);
        ++words;
        gear = gear || IsGearWord(w);
        if (gear && arrows >= 1)
            return true; // a chain: what follows cannot change that
        recording = recording || w == u"recording";
        kind = kind || w == u"audience" || w == u"soundboard" || w == u"sbd" || w == u"aud" ||
               w == u"fm" || w == u"pa" || w == u"matrix" || w == u"radio" || w == u"broadcast" ||
               w == u"stereo" || w == u"mono";
        i = e;
    }
    if (arrows >= 1 && gear)
        return true;
    if (arrows >= 3)
        return true;
    return recording && kind && words <= 8; // "Very Good Audience Recording"
}

InfoText::InfoText(QStringView text, const DateLocale &locale)
{
    // The text keeps its positions: tabs and no-break spaces become blanks in place, and each
    // line is a span between its line ends, without the blanks at its ends. Line ends and tabs
    // are found with vectorised searches: a loop over every character here would cost more
    // than all the tests that follow.
    m_text = text.toString();
    char16_t *t = reinterpret_cast<char16_t *>(m_text.data());
    const QStringView all(m_text);
    const qsizetype n = m_text.size();
    for (const char16_t blank : {u'\t', char16_t(0xA0)}) {
        for (qsizetype k = FindChar(all, 0, blank); k >= 0; k = FindChar(all, k + 1, blank))
            t[k] = u' ';
    }
    m_lines.reserve(n / 32 + 1);
    m_items.reserve(n / 64 + 1);
    qsizetype i = 0;
    for (;;) {
        const qsizetype e = nextLineEnd(t, i, n);
        qsizetype a = i;
        qsizetype b = e;
        while (a < b && t[a] == u' ')
            ++a;
        while (b > a && t[b - 1] == u' ')
            --b;
        InfoLine line;
        line.decorated = unwrapDecoration(t, a, b);
        line.start = a;
        line.length = b - a;
        m_lines.append(line);
        if (e == n)
            break;
        // CR LF, a lone LF or a lone CR (old Mac files, pastes) ends the line.
        i = e + 1 < n && t[e] == u'\r' && t[e + 1] == u'\n' ? e + 2 : e + 1;
        if (i == n)
            break; // a line end closes the last line; no empty line follows it
    }
    m_lower = LowerCased(m_text);
    for (qsizetype k = 0; k < m_lines.size(); ++k)
        classify(k, locale);
    markListingSections();
}

QStringView InfoText::fileName(qsizetype i) const
{
    QStringView s = line(i);
    qsizetype k = 0;
    while (k < s.size() && s[k] == u'=')
        ++k;
    return s.sliced(k).trimmed();
}

bool InfoText::isContent(qsizetype i) const
{
    switch (m_lines[i].kind) {
    case LineKind::Blank:
    case LineKind::Rule:
    case LineKind::FileHeader:
    case LineKind::Listing:
    case LineKind::Url:
        return false;
    default:
        return true;
    }
}

struct LineProbe
{
    InfoLine &line;
    QStringView s;
    QStringView low;
    const DateLocale &locale;
    QList<TrackItem> &items;
    bool letterOrDigit;
};

namespace {

// "004 Chuck Berry & Ron Wood 1986-06-25 New York City, NY": a numbered line that names a show
// by its date is an entry of a list of shows or releases, never a track. Its items are dropped.
bool isCatalogueEntry(QList<TrackItem> &items, qsizetype count, qsizetype first)
{
    if (count != 1 || items[first].kind != TrackItem::Kind::Track ||
        !HasIsoDate(items[first].title))
        return false;
    items.resize(first);
    return true;
}

bool readItems(LineProbe &p)
{
    const qsizetype first = p.items.size();
    const qsizetype count = ItemsOfLine(p.s, p.low, p.items);
    if (count == 0 || isCatalogueEntry(p.items, count, first))
        return false;
    p.line.firstItem = first;
    p.line.itemCount = count;
    return true;
}

bool readKeywordLine(LineProbe &p)
{
    if (!p.s[0].isLetter())
        return false;
    const auto field = readField(p.s, p.low);
    if (!field)
        return false;
    p.line.key = field->first;
    p.line.valueStart = field->second;
    return true;
}

// The rules in the order they are tried. The order matters where two rules hold for one line:
// a keyword line is no place ("Venue: Town Hall, Ithaca"), a numbered track no sentence, a date
// no place, and a sentence is cheaper to tell than a place and never one.
constexpr LineRule Rules[] = {
    {LineKind::Blank, u"empty", u"", [](LineProbe &p) { return p.s.isEmpty(); }},
    {LineKind::Rule, u"decoration: no letter or digit", u"==========",
     [](LineProbe &p) { return !p.letterOrDigit && p.s.size() >= 3; }},
    {LineKind::Text, u"a mark too short to be decoration", u"?",
     [](LineProbe &p) { return !p.letterOrDigit; }},
    {LineKind::FileHeader, u"\"===\": another file begins", u"=== Bob Dylan 2000-06-18.txt",
     [](LineProbe &p) { return BeginsWith(p.s, u"==="); }},
    {LineKind::Listing, u"checksum, file listing or folder name",
     u"d6c00972fc256bb520b8ef5f474d13cf *bd99-04-23t01.flac",
     [](LineProbe &p) { return IsListingLine(p.s, p.low) || isFolderName(p.s); }},
    {LineKind::Url, u"a web address alone", u"http://www.example.org/shows/1977",
     [](LineProbe &p) { return IsUrlLine(p.low); }},
    {LineKind::Date, u"a date alone", u"Wednesday, May 21, 2008",
     [](LineProbe &p) { return WholeDate(p.s, p.low, p.locale).has_value(); }},
    {LineKind::Items, u"disc or set headings and numbered tracks", u"1. Cocaine Blues (acoustic)",
     readItems},
    {LineKind::Field, u"keyword line", u"Venue: Town Hall", readKeywordLine},
    {LineKind::Source, u"a recording chain or type", u"Aud > CDR > EAC > Flac",
     [](LineProbe &p) {
         return (FindChar(p.low, 0, u'>') >= 0 || FindText(p.low, u"recording") >= 0) &&
                IsSourceLine(p.low);
     }},
    {LineKind::Prose, u"a sentence or remark", u"Thanks to the taper for sharing this one.",
     [](LineProbe &p) { return IsProse(p.s); }},
    {LineKind::Place, u"a place", u"Ithaca, NY",
     [](LineProbe &p) { return ReadPlace(p.s, p.low, p.locale).has_value(); }},
    {LineKind::Text, u"none of the above: a name, title or heading", u"Barton Hall",
     [](LineProbe &) { return true; }},
};

} // namespace

QStringView KindName(LineKind kind)
{
    switch (kind) {
    case LineKind::Blank:
        return u"blank";
    case LineKind::Rule:
        return u"rule";
    case LineKind::FileHeader:
        return u"file";
    case LineKind::Listing:
        return u"listing";
    case LineKind::Url:
        return u"url";
    case LineKind::Items:
        return u"items";
    case LineKind::Date:
        return u"date";
    case LineKind::Field:
        return u"field";
    case LineKind::Source:
        return u"source";
    case LineKind::Place:
        return u"place";
    case LineKind::Prose:
        return u"prose";
    case LineKind::Text:
        break;
    }
    return u"text";
}

std::span<const LineRule> LineRules()
{
    return Rules;
}

void InfoText::classify(qsizetype i, const DateLocale &locale)
{
    InfoLine &l = m_lines[i];
    const QStringView s = line(i);
    bool letterOrDigit = false;
    for (qsizetype k = 0; k < s.size() && !letterOrDigit; ++k)
        letterOrDigit = s[k].isLetterOrNumber();
    LineProbe probe{l, s, lower(i), locale, m_items, letterOrDigit};
    for (quint8 r = 0; r < std::size(Rules); ++r) {
        if (Rules[r].holds(probe)) {
            l.kind = Rules[r].kind;
            l.rule = r;
            return;
        }
    }
}

// In a concatenation of files, a file that is mostly a checksum or length listing is one
// whole: its heading row and total row are no more info than its checksums.
void InfoText::markListingSections()
{
    qsizetype from = -1;
    for (qsizetype i = 0; i <= m_lines.size(); ++i) {
        if (i < m_lines.size() && m_lines[i].kind != LineKind::FileHeader)
            continue;
        if (from >= 0) {
            int listing = 0;
            int content = 0;
            for (qsizetype k = from; k < i; ++k) {
                if (m_lines[k].kind == LineKind::Listing)
                    ++listing;
                else if (isContent(k))
                    ++content;
            }
            if (listing >= 4 && content * 5 <= listing) {
                for (qsizetype k = from; k < i; ++k) {
                    if (isContent(k))
                        m_lines[k].kind = LineKind::Listing;
                }
            }
        }
        from = i + 1;
    }
}

} // namespace tapewright::smart
