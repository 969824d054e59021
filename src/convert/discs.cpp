// Finds the header lines of up to four discs, then turns the lines below each header into track
// records. Everything works on the first characters and substrings of lines; there is no grammar.
#include "convert/discs.h"

#include "convert/textterms.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// The header text of a line: lower-cased, blanks and "#" gone, the colons after "c", "k" and "d"
// dropped, "disk" spelled "disc" and Roman disc numbers turned into digits.
//
// The steps run in this order because each one feeds the next: "Disk #2" only becomes "disc2"
// once the blank and the "#" are gone, and "disciv" must be replaced before "disci" would eat its
// first "i". This runs for many lines on every key release, so the removals and the three colon
// passes share one loop into a reused buffer. That gives the same text as separate passes:
// dropping blanks and "#" commutes, and a colon pass drops only a colon whose neighbour before it
// (after the removals) is its letter, never makes a new letter-colon pair (the letter kept is
// always "c", "k" or "d" itself, followed by what came after the colon) and never touches another
// pass's pair. Hence `before`, the last character the removals kept, colon or not.
QStringView normaliseHeader(QStringView lower, UnitBuffer &buffer)
{
    char16_t *const begin = buffer.reserve(lower.size());
    char16_t *out = begin;
    char16_t before = 0;
    bool dis = false;
    for (QChar c : lower) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'#')
            continue;
        const bool dropColon = u == u':' && (before == u'c' || before == u'k' || before == u'd');
        before = u;
        if (dropColon)
            continue;
        dis = dis || (u == u's' && out - begin >= 2 && out[-1] == u'i' && out[-2] == u'd');
        *out++ = u;
    }
    qsizetype size = out - begin;
    // Nearly every line lacks "dis"; the five spelling passes are skipped for those.
    if (dis) {
        size = ReplaceAll(begin, size, u"disk", u"disc");
        size = ReplaceAll(begin, size, u"disciv", u"disc4");
        size = ReplaceAll(begin, size, u"disciii", u"disc3");
        size = ReplaceAll(begin, size, u"discii", u"disc2");
        size = ReplaceAll(begin, size, u"disci", u"disc1");
    }
    return QStringView(begin, size);
}

// Which discs a header text heads; one line may head several. Every word looked for begins with
// "d", so one walk over the "d"s of the text finds them all.
std::array<bool, MaxDiscs> headedDiscs(QStringView text)
{
    std::array<bool, MaxDiscs> dn{};   // "d1" ... "d4"
    std::array<bool, MaxDiscs> disc{}; // "disc1"/"discone" ... "disc4"/"discfour"
    bool d100 = false;
    ForEachChar(text, 0, u'd', [&](qsizetype i) {
        const QStringView rest = text.sliced(i);
        if (rest.size() >= 2 && rest[1] >= u'1' && rest[1] <= u'4')
            dn[rest[1].unicode() - u'1'] = true;
        d100 = d100 || BeginsWith(rest, u"d100");
        if (!BeginsWith(rest, u"disc"))
            return true;
        const QStringView number = rest.sliced(4);
        if (!number.isEmpty() && number[0] >= u'1' && number[0] <= u'4')
            disc[number[0].unicode() - u'1'] = true;
        static constexpr QStringView words[MaxDiscs] = {u"one", u"two", u"three", u"four"};
        for (int k = 0; k < MaxDiscs; ++k)
            disc[k] = disc[k] || BeginsWith(number, words[k]);
        return true;
    });
    // "d3" and "d4" occur in ordinary track codes such as "d3t01 Long Song Title", so alone they
    // count only on short lines. "d100" is excluded because it names a hundredth track or a
    // recorder ("D100"), not disc 1.
    const bool shortLine = text.size() < 10;
    return {
        (dn[0] || disc[0]) && !d100,
        dn[1] || disc[1],
        (dn[2] && shortLine) || disc[2],
        (dn[3] && shortLine) || disc[3],
    };
}

// A cheap look at the lower-cased line that rules out most lines before they are normalised.
// Every header word is "d" and a disc digit, or "disc" (or "disk") followed by a disc digit,
// an "i" (Roman numbers are spelled out only later), "one", "two", "three" or "four"; and
// normalising only ever removes blanks, "#" and colons between their letters, never makes a
// letter. A word of a disc whose header is already known cannot change anything, so in a
// checksum list full of "d1", "d2" and "Disc 1" only the rare candidates for the missing discs
// are normalised.
bool mayHeadAnotherDisc(QStringView lower, const std::array<qsizetype, MaxDiscs> &headerLine)
{
    const qsizetype size = lower.size();
    // Where the next character normalising keeps stands, from j on.
    const auto keptFrom = [&](qsizetype j) {
        while (j < size && (lower[j] == u' ' || lower[j] == u'#' || lower[j] == u':'))
            ++j;
        return j;
    };
    const auto keptAt = [&](qsizetype j) { return j < size ? lower[j].unicode() : char16_t(0); };
    const auto missing = [&](int disc) { return headerLine[size_t(disc - 1)] == 0; };
    int shortLine = -1; // unknown yet
    bool may = false;
    ForEachChar(lower, 0, u'd', [&](qsizetype i) {
        qsizetype j = keptFrom(i + 1);
        if (j == size)
            return false; // nothing but blanks, "#" and colons after the last "d"
        char16_t next = lower[j].unicode();
        if (next == u'i') {
            j = keptFrom(j + 1);
            if (keptAt(j) != u's')
                return true;
            j = keptFrom(j + 1);
            if (keptAt(j) != u'c' && keptAt(j) != u'k')
                return true;
            switch (keptAt(keptFrom(j + 1))) {
            case u'1':
            case u'o':
                may = missing(1);
                break;
            case u'2':
                may = missing(2);
                break;
            case u'3':
                may = missing(3);
                break;
            case u'4':
            case u'f':
                may = missing(4);
                break;
            case u't':
                may = missing(2) || missing(3);
                break;
            case u'i':
                may = true;
                break;
            default:
                break;
            }
            return !may;
        }
        if (next < u'1' || next > u'4' || !missing(next - u'0'))
            return true;
        if (next <= u'2') {
            may = true;
            return false;
        }
        // "d3" and "d4" count only on a header text shorter than 10 characters, and only blanks,
        // "#" and colons are ever removed from the line: ten other characters rule it out.
        if (shortLine < 0) {
            qsizetype count = 0;
            for (qsizetype k = 0; k < size && count < 10; ++k)
                count += lower[k] != u' ' && lower[k] != u'#' && lower[k] != u':';
            shortLine = count < 10;
        }
        may = shortLine;
        return !may;
    });
    return may;
}

// True when l begins with a number greater than 0: an optional sign, digits, and optionally a
// decimal part ("01. Song", "12) Song", "+3", "0.5"; not "0 Song", "-2", "d1t01 Song", "Set I").
bool beginsWithPositiveNumber(QStringView l)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < l.size() && (l[i] == u'+' || l[i] == u'-')) {
        negative = l[i] == u'-';
        ++i;
    }
    const qsizetype digitsFrom = i;
    bool nonZero = false;
    for (; i < l.size() && isDigit(l[i]); ++i)
        nonZero = nonZero || l[i] != u'0';
    if (i == digitsFrom)
        return false;
    if (i < l.size() && l[i] == u'.') {
        for (++i; i < l.size() && isDigit(l[i]); ++i)
            nonZero = nonZero || l[i] != u'0';
    }
    return nonZero && !negative;
}

// The track tests read a line lower-cased and as if its dashes were gone, without making either
// copy: each character they look at is lower-cased where it is read.
char16_t lowerAt(QStringView l, qsizetype i)
{
    return LowerUnit(l[i].unicode());
}

qsizetype skipDashes(QStringView l, qsizetype from)
{
    while (from < l.size() && lowerAt(l, from) == u'-')
        ++from;
    return from;
}

// w (lower case, without dashes) stands in l from position `from` on, when the dashes of l are
// passed over.
bool matchesSkippingDashes(QStringView l, qsizetype from, QStringView w)
{
    for (QChar c : w) {
        from = skipDashes(l, from);
        if (from == l.size() || lowerAt(l, from) != c)
            return false;
        ++from;
    }
    return true;
}

bool beginsWithNoTrackWord(QStringView l, qsizetype first)
{
    switch (lowerAt(l, first)) { // the first letters of the words below
    case u's':
    case u't':
    case u'i':
    case u'e':
    case u'f':
        break;
    default:
        return false;
    }
    static constexpr QStringView words[] = {u"set", u"total", u"ii", u"iii", u"encore", u"filler"};
    for (QStringView w : words) {
        if (matchesSkippingDashes(l, first, w))
            return true;
    }
    return false;
}

// What the track tests look for in a line, found in one pass over it: the first colon (a time
// is looked for only there) and whether there is another (a second copy of the time holds one),
// whether an empty pair of brackets could be left behind, and whether it mentions an encore.
struct LineMarks
{
    qsizetype colon = -1;
    bool moreColons = false;
    qsizetype openings = 0;                  // "(" and "["
    std::array<qsizetype, 6> openingAt = {}; // where the first of them stand
    bool encore = false;
};

// The line, lower-cased and read without its dashes, has "e:" or "encore" at e. The "e" itself
// is no dash, so only what follows it needs the dashes skipped.
bool encoreAt(QStringView l, qsizetype e)
{
    // "e" is the commonest letter; nearly always the next one starts neither word.
    const char16_t next = e + 1 < l.size() ? lowerAt(l, e + 1) : char16_t(0);
    if (next != u':' && next != u'n' && next != u'-')
        return false;
    return matchesSkippingDashes(l, e + 1, u":") || matchesSkippingDashes(l, e + 1, u"ncore");
}

LineMarks marksOf(QStringView l, bool lookForEncore)
{
    LineMarks marks;
    const char16_t *const p = l.utf16();
    const qsizetype size = l.size();
    const auto at = [&](qsizetype i) {
        switch (LowerUnit(p[i])) {
        case u':':
            if (marks.colon < 0)
                marks.colon = i;
            else
                marks.moreColons = true;
            break;
        case u'(':
        case u'[':
            if (size_t(marks.openings) < marks.openingAt.size())
                marks.openingAt[size_t(marks.openings)] = i;
            ++marks.openings;
            break;
        case u'e':
            if (lookForEncore && !marks.encore)
                marks.encore = encoreAt(l, i);
            break;
        default:
            break;
        }
    };
    qsizetype i = 0;
#if defined(__SSE2__)
    // Looked for as the line stands: ":", "(", "[", and while an encore is still to be found an
    // "e" or "E" followed by ":", "n", "N" or "-" (the only ways "e:" and "encore" can go on).
    // Whatever is not ASCII is looked at too: the place where it is read lower-cases it.
    const __m128i colon = _mm_set1_epi16(short(u':'));
    const __m128i round = _mm_set1_epi16(short(u'('));
    const __m128i square = _mm_set1_epi16(short(u'['));
    const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const auto is = [](__m128i v, char16_t c) {
        return _mm_cmpeq_epi16(v, _mm_set1_epi16(short(c)));
    };
    for (; i + 9 <= size; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, colon), _mm_cmpeq_epi16(units, round)),
                         _mm_cmpeq_epi16(units, square));
        if (lookForEncore) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 1));
            const __m128i e = _mm_or_si128(is(units, u'e'), is(units, u'E'));
            const __m128i goesOn = _mm_or_si128(_mm_or_si128(is(next, u':'), is(next, u'-')),
                                                _mm_or_si128(is(next, u'n'), is(next, u'N')));
            const __m128i other = _mm_xor_si128(
                _mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(units, next), nonAscii), zero),
                _mm_set1_epi16(-1));
            hits = _mm_or_si128(hits, _mm_or_si128(_mm_and_si128(e, goesOn), other));
        }
        for (unsigned mask = unsigned(_mm_movemask_epi8(hits)); mask != 0;
             mask &= mask - 1, mask &= mask - 1)
            at(i + std::countr_zero(mask) / 2);
    }
#endif
    for (; i < size; ++i)
        at(i);
    return marks;
}

// A time ends before a character of two UTF-16 units that its last position would cut in half
// ("4:5" and an emoji): the character stays whole, in the title.
QStringView wholeCharacters(QStringView time)
{
    return !time.isEmpty() && time.back().isHighSurrogate() ? Trimmed(time.chopped(1)) : time;
}

// The time of a track line, looked for only around its first colon: two digits before it give
// five characters ("12:34"), one digit gives four ("4:56"). Anything else, including a colon at
// the very start, gives no time.
QStringView timeOf(QStringView l, qsizetype colon)
{
    if (colon >= 2 && isDigit(l[colon - 2]))
        return wholeCharacters(Trimmed(l.mid(colon - 2, 5)));
    if (colon >= 1 && isDigit(l[colon - 1]))
        return wholeCharacters(Trimmed(l.mid(colon - 1, 4)));
    return {};
}

// The title part of a track line, untrimmed: every copy of its time removed, then every "()",
// then every "[]" (in that order, so "(4:56)" leaves nothing). The first copy is the one at the
// first colon, as every copy holds a colon; others are looked for only when there are more.
//
// The common lines are a piece of the line itself: "Opener 4:56", "4:56 Opener" and
// "Opener (live) [4:56]", where the only empty pair the time leaves closes the line. Those are
// recognised from where the brackets stand; the others are put together in buffer.
QStringView stripTime(QStringView l, QStringView time, const LineMarks &marks, UnitBuffer &buffer)
{
    const qsizetype timeStart = time.utf16() - l.utf16();
    const qsizetype timeEnd = timeStart + time.size();
    if (!marks.moreColons && size_t(marks.openings) <= marks.openingAt.size()) {
        // With the time gone, the character after an opening bracket.
        const auto follower = [&](qsizetype p) {
            const qsizetype q = p + 1 == timeStart ? timeEnd : p + 1;
            return q < l.size() ? l[q].unicode() : char16_t(0);
        };
        bool pairAtTime = false; // the brackets around the time become an empty pair
        bool otherPair = false;
        for (qsizetype k = 0; k < marks.openings; ++k) {
            const qsizetype p = marks.openingAt[size_t(k)];
            if (p >= timeStart && p < timeEnd)
                continue; // goes with the time
            if (follower(p) != (l[p] == u'(' ? u')' : u']'))
                continue;
            (p == timeStart - 1 ? pairAtTime : otherPair) = true;
        }
        if (!otherPair && !pairAtTime && timeEnd == l.size())
            return l.first(timeStart);
        if (!otherPair && !pairAtTime && timeStart == 0)
            return l.sliced(timeEnd);
        if (!otherPair && pairAtTime && timeEnd + 1 == l.size())
            return l.first(timeStart - 1);
    }
    const QStringView after = l.sliced(timeEnd);
    char16_t *const title = buffer.reserve(l.size());
    std::copy_n(l.utf16(), timeStart, title);
    std::copy_n(after.utf16(), after.size(), title + timeStart);
    qsizetype size = timeStart + after.size();
    if (marks.moreColons)
        size = timeStart + RemoveAll(title + timeStart, after.size(), time);
    if (marks.openings != 0) {
        size = RemoveAll(title, size, u"()");
        size = RemoveAll(title, size, u"[]");
    }
    return QStringView(title, size);
}

class Gatherer
{
public:
    Gatherer(const InfoLines &lines, DiscSet &result) : m_lines(lines), m_result(result) {}

    // Gathers the track lines from..to (inclusive) of disc d.
    void gather(int d, qsizetype from, qsizetype to)
    {
        m_result.Tracks[size_t(d - 1)].reserve(
            size_t(qBound<qsizetype>(0, to - from + 1, qsizetype(MaxWrittenTracksPerDisc))));
        for (qsizetype n = from; n <= to; ++n) {
            const QStringView l = m_lines.line(n); // already trimmed when the text was cut
            if (d == 1 && !m_numberedTracks && beginsWithPositiveNumber(l))
                m_numberedTracks = true;
            const bool leftEmpty = l.isEmpty() || examine(d, l);
            if (leftEmpty && m_encoreSeen)
                return;
        }
    }

    // Titles that had to be put together are kept in the result's Titles, which may move while
    // it grows: they are pointed at once every disc is gathered.
    void finish()
    {
        const QStringView titles(m_result.Titles);
        for (const Pending &p : m_pending)
            m_result.Tracks[p.disc][p.track].Title = titles.sliced(p.start, p.length);
    }

private:
    // Records the line as a track when it is one; returns whether the line was left empty.
    bool examine(int d, QStringView l)
    {
        const qsizetype first = skipDashes(l, 0);
        if (first == l.size() || beginsWithNoTrackWord(l, first))
            return false;
        if (m_numberedTracks && !isDigit(lowerAt(l, first)))
            return false;

        // The encore test reads the line as it stands, so it may come before the track is built;
        // knowing it first spares stripping lines whose result nobody reads.
        const LineMarks marks = marksOf(l, !m_encoreSeen);
        m_encoreSeen = m_encoreSeen || marks.encore;

        // Tracks past the fiftieth of a disc are counted but never written, so they get no
        // record: building one would only cost time on every key release.
        const bool written = ++m_result.TrackCount[size_t(d - 1)] <= MaxWrittenTracksPerDisc;
        const QStringView time = marks.colon < 0 ? QStringView() : timeOf(l, marks.colon);
        if (time.isEmpty()) {
            if (written)
                m_result.Tracks[size_t(d - 1)].push_back({l, {}});
            return false;
        }
        if (!written && !m_encoreSeen)
            return false;
        const QStringView title = stripTime(l, time, marks, m_title);
        if (written)
            keep(d, Trimmed(title), time, l);
        return title.isEmpty();
    }

    // Most titles are a piece of their line ("01. Opener", "Opener"), so they are pointed at in
    // the line itself; the others are copied.
    void keep(int d, QStringView title, QStringView time, QStringView l)
    {
        std::vector<TrackRec> &list = m_result.Tracks[size_t(d - 1)];
        const qsizetype size = title.size();
        const bool inLine =
            title.utf16() >= l.utf16() && title.utf16() + size <= l.utf16() + l.size();
        if (inLine) {
            list.push_back({title, time});
        } else if (std::equal(title.begin(), title.end(), l.begin())) {
            list.push_back({l.first(size), time});
        } else if (std::equal(title.begin(), title.end(), l.end() - size)) {
            list.push_back({l.last(size), time});
        } else {
            m_pending.push_back({size_t(d - 1), list.size(), m_result.Titles.size(), size});
            m_result.Titles.append(title);
            list.push_back({{}, time});
        }
    }

    struct Pending
    {
        size_t disc;
        size_t track;
        qsizetype start;
        qsizetype length;
    };

    const InfoLines &m_lines;
    DiscSet &m_result;
    bool m_numberedTracks = false;
    bool m_encoreSeen = false;
    UnitBuffer m_title; // the line being stripped of its time
    std::vector<Pending> m_pending;
};

} // namespace

bool DiscHeaderScan::feed(qsizetype n, QStringView lower)
{
    if (!mayHeadAnotherDisc(lower, m_headerLine))
        return true;
    const auto heads = headedDiscs(normaliseHeader(lower, m_header));
    for (int d = 0; d < MaxDiscs; ++d) {
        if (!heads[size_t(d)])
            continue;
        if (m_headerLine[size_t(d)] == 0) {
            m_headerLine[size_t(d)] = n; // the first header line of a disc wins
            ++m_found;
        }
        m_discCount = qMax(m_discCount, d + 1);
    }
    return m_found < MaxDiscs;
}

DiscSet GatherTracks(const InfoLines &lines, const DiscHeaderScan &headers)
{
    DiscSet result;
    result.Text = lines.text();
    result.DiscCount = headers.discCount();
    const std::array<qsizetype, MaxDiscs> &headerLine = headers.headerLines();
    Gatherer gatherer(lines, result);
    for (int d = 0; d < MaxDiscs; ++d) {
        // Gathering stops at the first disc without a header, even when a later disc has one;
        // the disc before it has then already taken every line to the end of the text.
        if (headerLine[size_t(d)] == 0)
            break;
        const qsizetype from = headerLine[size_t(d)] + 1;
        const qsizetype to = d + 1 < MaxDiscs && headerLine[size_t(d + 1)] != 0
                                 ? headerLine[size_t(d + 1)] - 1
                                 : lines.count();
        gatherer.gather(d + 1, from, to);
    }
    gatherer.finish();
    return result;
}

DiscSet FindDiscs(const InfoLines &lines)
{
    DiscHeaderScan headers;
    UnitBuffer lower;
    for (qsizetype n = 1; n <= lines.count() && headers.feed(n, lines.lower(n, lower)); ++n) {
    }
    return GatherTracks(lines, headers);
}

} // namespace tapewright
