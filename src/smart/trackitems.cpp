#include "smart/trackitems.h"

#include "smart/lexicon.h"
#include "smart/textscan.h"

#include <QVarLengthArray>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace tapewright::smart {

namespace {

bool isBlank(QChar c)
{
    return c == u' ';
}

bool isLetterOrDigit(QChar c)
{
    return c.isLetterOrNumber();
}

// A track number at p and where its title starts: "01 ", "1.", "1)", "1 -", "1-", "1: ",
// "d1t01 ". Dotted says the number carries a mark of its own, which makes a split inside a line
// safe.
struct Marker
{
    qsizetype start = 0;
    qsizetype titleStart = 0;
    int number = 0;
    int disc = 0;
    bool dotted = false;
};

std::optional<Marker> markerAt(QStringView s, qsizetype p)
{
    const qsizetype n = s.size();
    qsizetype i = p;
    int disc = 0;
    // "Track 01 - Song", "Trk 3. Song"
    if (const qsizetype word = TrackWordAt(s.sliced(i))) {
        qsizetype j = i + word;
        while (j < n && (isBlank(s[j]) || s[j] == u'#'))
            ++j;
        if (j < n && IsAsciiDigit(s[j]))
            i = j;
    }
    if (i + 3 < n && (s[i] == u'd' || s[i] == u'D') && IsAsciiDigit(s[i + 1])) {
        qsizetype j = i + 1;
        int d = 0;
        while (j < n && j - i <= 2 && IsAsciiDigit(s[j]))
            d = d * 10 + (s[j++].unicode() - u'0');
        if (j + 1 < n && (s[j] == u't' || s[j] == u'T') && IsAsciiDigit(s[j + 1])) {
            disc = d;
            i = j + 1;
        }
    }
    if (i >= n || !IsAsciiDigit(s[i]))
        return std::nullopt;
    int v = 0;
    qsizetype j = i;
    while (j < n && IsAsciiDigit(s[j])) {
        if (j - i == 3)
            return std::nullopt;
        v = v * 10 + (s[j++].unicode() - u'0');
    }
    if (v == 0)
        return std::nullopt;
    bool dotted = false;
    qsizetype k = j;
    // "6+7 Is There Life On Mars": one title over two index points; the list runs on from the
    // last.
    if (k + 2 < n && s[k] == u'+' && IsAsciiDigit(s[k + 1])) {
        qsizetype e = k + 1;
        int last = 0;
        while (e < n && e - k <= 3 && IsAsciiDigit(s[e]))
            last = last * 10 + (s[e++].unicode() - u'0');
        if (e < n && isBlank(s[e]) && last > v) {
            v = last;
            k = e;
        }
    }
    // "14Friend of the Devil": a number glued to its title's first capital.
    if (k + 1 < n && s[k].isUpper() && s[k + 1].isLower())
        return Marker{p, k, v, disc, false};
    if (k < n && (s[k] == u'.' || s[k] == u')' || s[k] == u'-')) {
        dotted = true;
        ++k;
        if (k < n && IsAsciiDigit(s[k]))
            return std::nullopt;
    } else if (k < n && s[k] == u':') {
        if (k + 1 >= n || !isBlank(s[k + 1]))
            return std::nullopt;
        dotted = true;
        ++k;
    } else if (k < n && isBlank(s[k])) {
        while (k < n && isBlank(s[k]))
            ++k;
        if (k + 1 < n && (s[k] == u'-' || s[k] == u'.' || s[k] == u')' || s[k] == u':') &&
            isBlank(s[k + 1])) {
            dotted = true;
            ++k;
        }
    } else {
        return std::nullopt;
    }
    while (k < n && isBlank(s[k]))
        ++k;
    if (k >= n)
        return std::nullopt;
    const QChar c = s[k];
    if (IsAsciiDigit(c)) {
        // "5 4th Time Around": a title may begin with a number that is part of a word.
        qsizetype e = k;
        while (e < n && IsAsciiDigit(s[e]))
            ++e;
        if (e >= n || !s[e].isLetter())
            return std::nullopt;
    } else if (c == u',' || c == u';' || c == u'&' || c == u'=' || c == u'+' || c == u'%' ||
               c == u':') {
        return std::nullopt;
    }
    return Marker{p, k, v, disc, dotted};
}

int numberWord(QStringView w)
{
    static constexpr std::u16string_view words[] = {u"one", u"two",   u"three", u"four", u"five",
                                                    u"six", u"seven", u"eight", u"nine", u"ten"};
    static constexpr std::u16string_view romans[] = {u"i",  u"ii",  u"iii",  u"iv", u"v",
                                                     u"vi", u"vii", u"viii", u"ix", u"x"};
    const std::u16string_view v(w.utf16(), size_t(w.size()));
    for (int k = 0; k < 10; ++k) {
        if (v == words[k] || v == romans[k])
            return k + 1;
    }
    return 0;
}

// A set heading has a few words: "second set (electric)", "encore 2". More is a title.
constexpr int MaxSetHeadingWords = 4;

// "disc 1", "disk one", "disc ii", "cd2", "cd 2:", "vol. 2", "d1": the disc word and its
// number.
struct DiscToken
{
    qsizetype end = 0;
    int number = 0;
};

std::optional<DiscToken> discTokenAt(QStringView lower, qsizetype p)
{
    const qsizetype n = lower.size();
    qsizetype i = p;
    const QStringView rest = lower.sliced(p);
    if (const qsizetype word = DiscWordAt(rest)) {
        i += word;
        if (i < n && lower[i] == u'.')
            ++i; // "vol. 2"
    } else if (!rest.isEmpty() && rest[0] == u'd' && rest.size() > 1 && IsAsciiDigit(rest[1])) {
        qsizetype j = p + 1;
        int v = 0;
        while (j < n && j - p <= 2 && IsAsciiDigit(lower[j]))
            v = v * 10 + (lower[j++].unicode() - u'0');
        if (j < n && isLetterOrDigit(lower[j]))
            return std::nullopt;
        return DiscToken{j, v};
    } else {
        return std::nullopt;
    }
    while (i < n && (isBlank(lower[i]) || lower[i] == u'#' || lower[i] == u':'))
        ++i;
    qsizetype j = i;
    if (j < n && IsAsciiDigit(lower[j])) {
        // A show may have any number of discs; past a billion the number stays put.
        int v = 0;
        for (; j < n && IsAsciiDigit(lower[j]); ++j)
            v = v < 100'000'000 ? v * 10 + (lower[j].unicode() - u'0') : v;
        if (j < n && isLetterOrDigit(lower[j]))
            return std::nullopt;
        return DiscToken{j, v};
    }
    while (j < n && lower[j].isLetter())
        ++j;
    const int v = numberWord(lower.sliced(i, j - i));
    if (v == 0)
        return std::nullopt;
    return DiscToken{j, v};
}

// Where a bracket group that opens at p closes (behind the closing bracket), or -1.
qsizetype groupEnd(QStringView s, qsizetype p)
{
    int depth = 0;
    for (qsizetype i = p; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'(' || c == u'[' || c == u'{')
            ++depth;
        else if ((c == u')' || c == u']' || c == u'}') && --depth == 0)
            return i + 1;
    }
    return -1;
}

qsizetype skipSeparators(QStringView s, qsizetype i)
{
    while (i < s.size() && (isBlank(s[i]) || s[i] == u':' || s[i] == u'-' || s[i] == u',' ||
                            s[i] == u'.' || s[i] == u'\u2013'))
        ++i;
    return i;
}

// A candidate split inside a line: a track number behind a blank or a list comma, or a disc
// heading behind a list comma with its first track after it.
struct Candidate
{
    Marker marker;
    bool comma = false;
    int disc = -1; // a disc heading's number before the marker; -1 when there is none
    qsizetype start = 0;
};

// Most lines hold a single track; a few list a whole set.
using Candidates = QVarLengthArray<Candidate, 16>;

Candidates candidatesFrom(QStringView s, QStringView lower, qsizetype from)
{
    Candidates out;
    const qsizetype n = s.size();
    for (qsizetype i = from; i < n; ++i) {
        if (i == 0 || !isBlank(s[i - 1]))
            continue;
        qsizetype b = i - 1;
        while (b > 0 && isBlank(s[b]))
            --b;
        const bool comma = s[b] == u',' || s[b] == u';';
        if (IsAsciiDigit(s[i]) || s[i] == u'd' || s[i] == u'D') {
            if (const std::optional<Marker> m = markerAt(s, i))
                out.append({*m, comma, -1, i});
        }
        if (comma && (lower[i] == u'd' || MayStartDiscWord(lower[i]))) {
            if (const std::optional<DiscToken> d = discTokenAt(lower, i)) {
                const qsizetype at = skipSeparators(s, d->end);
                if (const std::optional<Marker> m = markerAt(s, at))
                    out.append({*m, true, d->number, i});
            }
        }
    }
    return out;
}

// Whether a candidate for number k follows within the next few candidates.
bool followedBy(const Candidates &c, qsizetype from, int k)
{
    for (qsizetype i = from; i < c.size() && i < from + 8; ++i) {
        if (c[i].marker.number == k)
            return true;
    }
    return false;
}

TrackItem trackItem(QStringView s, const Marker &m, qsizetype end, bool ownLine)
{
    const CleanTitle t = CleanTrackTitle(s.sliced(m.titleStart, end - m.titleStart), ownLine);
    TrackItem item;
    item.kind = TrackItem::Kind::Track;
    item.number = m.number;
    item.disc = m.disc;
    item.missing = t.missing;
    item.title = t.title;
    item.time = t.time;
    return item;
}

bool isMissingNote(QStringView lower)
{
    return FindText(lower, u"missing") >= 0 || lower == u"not recorded" || lower == u"not taped" ||
           lower == u"not on tape" || lower == u"not on the tape" || lower == u"not on recording";
}

bool isFootnoteNumber(QStringView inner)
{
    return !inner.isEmpty() && inner.size() <= 2 && IsAsciiDigit(inner[0]) &&
           IsAsciiDigit(inner.back());
}

QStringView lowerInto(QStringView s, QVarLengthArray<char16_t, 64> &buffer)
{
    buffer.resize(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        buffer[i] = c < 0x80 ? char16_t(c >= u'A' && c <= u'Z' ? c + 32 : c) : QChar::toLower(c);
    }
    return QStringView(buffer.data(), buffer.size());
}

bool isMark(QChar c)
{
    return c == u'*' || c == u'#' || c == u'%' || c == u'@' || c == u'$' || c == u'^' ||
           c == u'~' || c == u'+';
}

// "Jam # (8:50) > Song": a time in brackets right before a segue arrow says where the segue
// comes, and a footnote mark may stand before it; neither is part of the title.
QString withoutSeguePosition(const QString &title)
{
    if (FindText(title, u") >") < 0 && FindText(title, u") ->") < 0 &&
        FindText(title, u"] >") < 0 && FindText(title, u"] ->") < 0)
        return title; // most titles: nothing to look at
    QStringList words = title.split(u' ');
    for (qsizetype k = 1; k + 1 < words.size(); ++k) {
        const QString &w = words[k];
        const bool bracketed = w.size() >= 6 && (w.front() == u'(' || w.front() == u'[') &&
                               (w.back() == u')' || w.back() == u']');
        if (!bracketed || TimeEndAt(w, 1) != w.size() - 1 ||
            !(words[k + 1].startsWith(u'>') || words[k + 1].startsWith(u"->")))
            continue;
        words.removeAt(k);
        if (std::all_of(words[k - 1].cbegin(), words[k - 1].cend(), isMark) && k > 1)
            words.removeAt(--k);
    }
    return words.join(u' ');
}

TrackItem setItem()
{
    TrackItem item;
    item.kind = TrackItem::Kind::Set;
    return item;
}

} // namespace

bool IsSetHeading(QStringView lower)
{
    // At least one word must be a heading's own word; the others may stand beside it.
    int count = 0;
    bool anchored = false;
    qsizetype i = 0;
    const qsizetype n = lower.size();
    while (i < n) {
        if (!isLetterOrDigit(lower[i])) {
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < n && isLetterOrDigit(lower[e]))
            ++e;
        const QStringView w = lower.sliced(i, e - i);
        i = e;
        if (IsAsciiDigit(w[0]) && IsAsciiDigit(w.back()))
            continue; // "set 1", "encore 2", "(72:34)"
        if (++count > MaxSetHeadingWords)
            return false;
        const SetWord word = SetHeadingWord(w);
        if (word == SetWord::None)
            return false;
        anchored = anchored || word == SetWord::Anchor;
    }
    return anchored;
}

CleanTitle CleanTrackTitle(QStringView raw, bool ownLine)
{
    CleanTitle out;
    QVarLengthArray<char16_t, 64> buffer;
    // Everything is cut from a view of the line; the title is written once, at the end.
    QStringView t = raw;
    // "Rainy Day Women #12 & #35; bonus 5/22/95 ... 7 It Takes A Lot": among tracks run
    // together on one line a note follows the semicolon; a track on a line of its own keeps
    // what follows it ("Knockin' On Heaven's Door - RTR; co-Lead Vocals: Roger McGuinn").
    for (qsizetype semi = ownLine ? -1 : FindChar(t, 0, u';'); semi > 0;
         semi = FindChar(t, semi + 1, u';')) {
        if (semi + 1 < t.size() && t[semi + 1] == u' ') {
            t.truncate(semi);
            break;
        }
    }
    for (int round = 0; round < 12; ++round) {
        bool changed = false;
        while (!t.isEmpty() &&
               (t.back() == u' ' || t.back() == u',' || t.back() == u';' || t.back() == u':')) {
            t.chop(1);
            changed = true;
        }
        if (out.time.isEmpty()) {
            if (const std::optional<TrailingTime> tt = FindTrailingTime(t)) {
                out.time = tt->time.toString();
                t.truncate(tt->start);
                continue;
            }
        }
        if (t.isEmpty())
            break;
        const QChar last = t.back();
        if (last == u'>') {
            t.chop(1);
            while (!t.isEmpty() && (t.back() == u'-' || t.back() == u'='))
                t.chop(1);
            continue;
        }
        if (EndsWith(t, u" -") || EndsWith(t, u" \u2013") || EndsWith(t, u"//")) {
            t.chop(2); // "Song - 5:32", "Choka Choka//"
            continue;
        }
        if (isMark(last)) {
            t.chop(1);
            continue;
        }
        if (last == u')' || last == u']') {
            const qsizetype open = LastChar(t, last == u')' ? u'(' : u'[');
            if (open > 0) {
                const QStringView inner =
                    lowerInto(t.sliced(open + 1, t.size() - open - 2).trimmed(), buffer);
                const bool missing = isMissingNote(inner);
                if (missing || isFootnoteNumber(inner) || IsSetHeading(inner)) {
                    out.missing = out.missing || missing;
                    t.truncate(open);
                    continue;
                }
            }
        }
        if (!changed)
            break;
    }
    qsizetype lead = 0;
    while (lead < t.size() && (isMark(t[lead]) || t[lead] == u' ' || t[lead] == u'/'))
        ++lead;
    t = t.sliced(lead);
    // "Encore: Harry Hood", "(encore) Harry Hood": the set mark before the title goes.
    if (const qsizetype colon = FindChar(t.first(qMin<qsizetype>(t.size(), 12)), 0, u':');
        colon > 0 && IsSetHeading(lowerInto(t.first(colon), buffer))) {
        t = t.sliced(colon + 1);
    } else if (!t.isEmpty() && (t[0] == u'(' || t[0] == u'[')) {
        const qsizetype close = groupEnd(t, 0);
        if (close > 0 && close < t.size() && IsSetHeading(lowerInto(t.first(close), buffer)))
            t = t.sliced(close);
    }
    // "(7/12/87 Giants Stadium), The Times ...": the list comma behind a leading note goes.
    qsizetype comma = -1;
    if (!t.isEmpty() && t[0] == u'(') {
        const qsizetype close = groupEnd(t, 0);
        if (close > 0 && close < t.size() && t[close] == u',')
            comma = close;
    }
    out.title = comma < 0
                    ? CollapsedBlanks(t)
                    : CollapsedBlanks(t.first(comma).toString() + t.sliced(comma + 1).toString());
    out.title = withoutSeguePosition(out.title);
    return out;
}

qsizetype ItemsOfLine(QStringView s, QStringView lower, QList<TrackItem> &items)
{
    const qsizetype begin = items.size();
    const qsizetype n = s.size();
    if (n == 0)
        return items.size() - begin;
    qsizetype p = 0;
    std::optional<Marker> first;

    if (const std::optional<DiscToken> d = discTokenAt(lower, 0)) {
        qsizetype r = skipSeparators(s, d->end);
        TrackItem disc;
        disc.kind = TrackItem::Kind::Disc;
        disc.number = d->number;
        const QStringView rest = s.sliced(r);
        if (!rest.isEmpty() && !markerAt(s, r)) {
            const bool bracket = rest[0] == u'(' || rest[0] == u'[' || rest[0] == u'{';
            const bool total = TimeEndAt(rest, 0) > 0;
            const bool ofN = rest.startsWith(u"of ") && rest.size() > 3 && IsAsciiDigit(rest[3]);
            if (!bracket && !total && !ofN && !(rest.size() <= 40 && IsTitleLike(rest)))
                return 0; // "Disc 1 has a skip at 3:10": a remark, not a heading
            if (bracket) {
                const qsizetype close = groupEnd(s, r);
                const qsizetype end = close < 0 ? n : close;
                disc.title = s.sliced(r + 1, qMax<qsizetype>(0, end - r - 2)).trimmed().toString();
                r = skipSeparators(s, end);
            } else if (total) {
                r = skipSeparators(s, TimeEndAt(s, r));
            } else {
                r = n;
            }
        }
        items.append(disc);
        p = r;
        if (p >= n || !markerAt(s, p))
            return items.size() - begin;
    } else if ((first = markerAt(s, 0))) {
        // a track line; "1. Encore" is a track called so, not a heading
    } else if (IsSetHeading(lower)) {
        items.append(setItem());
        return items.size() - begin;
    } else if (s[0] == u'(' || s[0] == u'[') {
        // "(encore 1) 1. Love Sick ...": a set mark before the line's first track.
        const qsizetype close = groupEnd(s, 0);
        if (close > 0 && IsSetHeading(lower.first(close))) {
            const qsizetype at = skipSeparators(s, close);
            if (markerAt(s, at)) {
                items.append(setItem());
                p = at;
            }
        }
    } else if (const qsizetype colon = FindChar(lower, 0, u':'); colon > 0 && colon < 24) {
        // "Encore: 15. Song"
        const qsizetype at = skipSeparators(s, colon + 1);
        if (IsSetHeading(lower.first(colon)) && markerAt(s, at)) {
            items.append(setItem());
            p = at;
        }
    }

    if (p > 0 || !first)
        first = markerAt(s, p);
    Candidates candidates;
    if (first) {
        // Another track in the line needs a number of its own, or a disc heading behind a comma.
        bool more = false;
        for (qsizetype k = first->titleStart; k < n && !more; ++k)
            more = IsAsciiDigit(s[k]) || s[k] == u',';
        if (more)
            candidates = candidatesFrom(s, lower, first->titleStart);
    } else if (s[0] == u'(') {
        // "(7/4/87 Foxboro, Soundboard), 1 Intro, 2 The Times ...": a note before a run.
        candidates = candidatesFrom(s, lower, 1);
        qsizetype k = 0;
        while (k < candidates.size() &&
               !(candidates[k].comma && candidates[k].disc < 0 &&
                 candidates[k].marker.number == 1 && followedBy(candidates, k + 1, 2)))
            ++k;
        if (k == candidates.size())
            return items.size() - begin;
        first = candidates[k].marker;
        candidates.remove(0, k + 1);
    } else {
        return items.size() - begin;
    }

    // The splits that continue the numbering; a bare number without a mark of its own splits
    // only in a line already known to be a run, or when the next number follows it.
    QVarLengthArray<std::pair<Marker, int>, 16> chain{{*first, -1}};
    int expected = first->number + 1;
    int tracks = 1;
    for (qsizetype k = 0; k < candidates.size(); ++k) {
        const Candidate &c = candidates[k];
        if (c.marker.start < chain.back().first.titleStart)
            continue;
        if (c.disc >= 0) {
            if (c.marker.number == 1 || c.marker.number == expected) {
                chain.append({c.marker, c.disc});
                chain.back().first.start = c.start;
                expected = c.marker.number + 1;
                ++tracks;
            }
            continue;
        }
        if (c.marker.number != expected)
            continue;
        if (c.marker.dotted || c.comma || tracks >= 2 ||
            followedBy(candidates, k + 1, expected + 1)) {
            chain.append({c.marker, -1});
            ++expected;
            ++tracks;
        }
    }
    for (qsizetype k = 0; k < chain.size(); ++k) {
        const Marker &m = chain[k].first;
        if (chain[k].second >= 0) {
            TrackItem disc;
            disc.kind = TrackItem::Kind::Disc;
            disc.number = chain[k].second;
            items.append(disc);
        }
        const qsizetype end = k + 1 < chain.size() ? chain[k + 1].first.start : n;
        items.append(trackItem(s, m, end, chain.size() == 1));
    }
    return items.size() - begin;
}

} // namespace tapewright::smart
