// Finds the header lines of up to four discs, then turns the lines below each header into track
// records. Everything works on the first characters and substrings of lines; there is no grammar.
#include "discs.h"

#include "textterms.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace tapewright {

namespace {

using Buffer = std::u16string;

QStringView viewOf(const Buffer &b)
{
    return QStringView(b.data(), qsizetype(b.size()));
}

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Every occurrence of a, left to right without overlap, replaced by b in one pass. b is never
// longer than a, so the result is written over the text it is read from: the write position never
// passes the read position, and nothing written is searched again.
void replaceInPlace(Buffer &text, std::u16string_view a, std::u16string_view b)
{
    size_t at = text.find(a);
    if (at == Buffer::npos)
        return;
    size_t write = at;
    size_t read = at;
    while (at != Buffer::npos) {
        for (size_t i = read; i < at; ++i)
            text[write++] = text[i];
        for (char16_t c : b)
            text[write++] = c;
        read = at + a.size();
        at = text.find(a, read);
    }
    for (size_t i = read; i < text.size(); ++i)
        text[write++] = text[i];
    text.resize(write);
}

// The header text of a line: lower-cased, blanks and "#" gone, the colons after "c", "k" and "d"
// dropped, "disk" spelled "disc" and Roman disc numbers turned into digits.
//
// The steps run in this order because each one feeds the next: "Disk #2" only becomes "disc2"
// once the blank and the "#" are gone, and "disciv" must be replaced before "disci" would eat its
// first "i". This runs for most lines on every key release, so the removals and the three colon
// passes share one loop into a reused buffer. That gives the same text as separate passes:
// dropping blanks and "#" commutes, and a colon pass drops only a colon whose neighbour before it
// (after the removals) is its letter, never makes a new letter-colon pair (the letter kept is
// always "c", "k" or "d" itself, followed by what came after the colon) and never touches another
// pass's pair. Hence `before`, the last character the removals kept, colon or not.
void normaliseHeader(QStringView lower, Buffer &h)
{
    h.resize(size_t(lower.size()));
    char16_t *const begin = h.data();
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
    h.resize(size_t(out - begin));
    // Nearly every line lacks "dis"; the five spelling passes are skipped for those.
    if (dis) {
        replaceInPlace(h, u"disk", u"disc");
        replaceInPlace(h, u"disciv", u"disc4");
        replaceInPlace(h, u"disciii", u"disc3");
        replaceInPlace(h, u"discii", u"disc2");
        replaceInPlace(h, u"disci", u"disc1");
    }
}

// Which discs a header text heads; one line may head several. Every word looked for begins with
// "d", so one walk over the "d"s of the text finds them all.
std::array<bool, MaxDiscs> headedDiscs(const Buffer &h)
{
    const QStringView text = viewOf(h);
    std::array<bool, MaxDiscs> dn{};   // "d1" ... "d4"
    std::array<bool, MaxDiscs> disc{}; // "disc1"/"discone" ... "disc4"/"discfour"
    bool d100 = false;
    for (qsizetype i = FindChar(text, 0, u'd'); i >= 0; i = FindChar(text, i + 1, u'd')) {
        const QStringView rest = text.sliced(i);
        if (rest.size() >= 2 && rest[1] >= u'1' && rest[1] <= u'4')
            dn[rest[1].unicode() - u'1'] = true;
        d100 = d100 || BeginsWith(rest, u"d100");
        if (!BeginsWith(rest, u"disc"))
            continue;
        const QStringView number = rest.sliced(4);
        if (!number.isEmpty() && number[0] >= u'1' && number[0] <= u'4')
            disc[number[0].unicode() - u'1'] = true;
        static constexpr QStringView words[MaxDiscs] = {u"one", u"two", u"three", u"four"};
        for (int k = 0; k < MaxDiscs; ++k)
            disc[k] = disc[k] || BeginsWith(number, words[k]);
    }
    // "d3" and "d4" occur in ordinary track codes such as "d3t01 Long Song Title", so alone they
    // count only on short lines. "d100" is excluded because it names a hundredth track or a
    // recorder ("D100"), not disc 1.
    const bool shortLine = h.size() < 10;
    return {
        (dn[0] || disc[0]) && !d100,
        dn[1] || disc[1],
        (dn[2] && shortLine) || disc[2],
        (dn[3] && shortLine) || disc[3],
    };
}

// A cheap look at the lower-cased line that rules out most lines before they are normalised:
// every header word begins with "d" followed by "i" or by a disc digit, and normalising only ever
// removes blanks, "#" and colons between them (it never makes a "d"). A digit of a disc whose
// header is already known cannot change anything, so in a checksum list full of "d1" and "d2"
// only the rare candidates for the missing discs are normalised.
bool mayHeadAnotherDisc(QStringView lower, const std::array<qsizetype, MaxDiscs> &headerLine)
{
    const qsizetype size = lower.size();
    int shortLine = -1; // unknown yet
    for (qsizetype i = FindChar(lower, 0, u'd'); i >= 0; i = FindChar(lower, i + 1, u'd')) {
        qsizetype j = i + 1;
        while (j < size && (lower[j] == u' ' || lower[j] == u'#' || lower[j] == u':'))
            ++j;
        if (j == size)
            return false;
        const char16_t next = lower[j].unicode();
        if (next == u'i')
            return true;
        if (next < u'1' || next > u'4' || headerLine[next - u'1'] != 0)
            continue;
        if (next <= u'2')
            return true;
        // "d3" and "d4" count only on a header text shorter than 10 characters, and only blanks,
        // "#" and colons are ever removed from the line: ten other characters rule it out.
        if (shortLine < 0) {
            qsizetype kept = 0;
            for (qsizetype k = 0; k < size && kept < 10; ++k)
                kept += lower[k] != u' ' && lower[k] != u'#' && lower[k] != u':';
            shortLine = kept < 10;
        }
        if (shortLine)
            return true;
    }
    return false;
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

qsizetype skipDashes(QStringView text, qsizetype from)
{
    while (from < text.size() && text[from] == u'-')
        ++from;
    return from;
}

// w (which holds no dash) stands in text from position `from` on, when the dashes of text are
// passed over.
bool matchesSkippingDashes(QStringView text, qsizetype from, QStringView w)
{
    for (QChar c : w) {
        from = skipDashes(text, from);
        if (from == text.size() || text[from] != c)
            return false;
        ++from;
    }
    return true;
}

bool beginsWithNoTrackWord(QStringView lower, qsizetype first)
{
    switch (lower[first].unicode()) { // the first letters of the words below
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
        if (matchesSkippingDashes(lower, first, w))
            return true;
    }
    return false;
}

// "<D1T3>" + text + "</D1T3>", or with the suffix "Time" "<D1T3Time>" + text + "</D1T3Time>".
// Written straight into one allocation: this runs twice for every track of every keystroke.
QString trackElement(int disc, qsizetype t, QStringView suffix, QStringView text)
{
    char16_t digits[24];
    qsizetype nDigits = 0;
    for (qsizetype n = t; n > 0; n /= 10)
        digits[nDigits++] = char16_t(u'0' + n % 10);
    const QStringView number(digits, nDigits);               // reversed
    const qsizetype tag = 4 + nDigits + suffix.size();       // "D1T" + t + suffix + ">"
    QString e(2 * tag + 3 + text.size(), Qt::Uninitialized); // plus "<" and "</"
    char16_t *p = reinterpret_cast<char16_t *>(e.data());
    const auto put = [&p](QStringView s) {
        std::copy_n(s.utf16(), s.size(), p);
        p += s.size();
    };
    const auto putTag = [&] {
        *p++ = u'D';
        *p++ = char16_t(u'0' + disc);
        *p++ = u'T';
        for (qsizetype i = number.size(); i > 0; --i)
            *p++ = number[i - 1].unicode();
        put(suffix);
        *p++ = u'>';
    };
    *p++ = u'<';
    putTag();
    put(text);
    *p++ = u'<';
    *p++ = u'/';
    putTag();
    Q_ASSERT(p == reinterpret_cast<char16_t *>(e.data()) + e.size());
    return e;
}

// The time of a track line, looked for only around its first colon: two digits before it give
// five characters ("12:34"), one digit gives four ("4:56"). Anything else, including a colon at
// the very start, gives no time.
QStringView timeOf(QStringView l)
{
    const qsizetype colon = l.indexOf(u':');
    if (colon < 0)
        return {};
    if (colon >= 2 && isDigit(l[colon - 2]))
        return Trimmed(l.mid(colon - 2, 5));
    if (colon >= 1 && isDigit(l[colon - 1]))
        return Trimmed(l.mid(colon - 1, 4));
    return {};
}

// Every w removed from text, left to right without overlap, in one pass, written to out; a
// removal that brings two halves of w together leaves them, as the pass does not look back.
// text and out may be the same buffer: out never runs ahead of the reading. The search jumps
// from one first character of w to the next, as w rarely occurs at all.
void removeAll(const char16_t *text, size_t size, std::u16string_view w, Buffer &out)
{
    const QStringView all(text, qsizetype(size));
    char16_t *const begin = out.data();
    char16_t *o = begin;
    const auto keep = [&o, text](qsizetype a, qsizetype b) {
        std::memmove(o, text + a, size_t(b - a) * sizeof(char16_t)); // may overlap
        o += b - a;
    };
    qsizetype from = 0;
    for (qsizetype at = FindChar(all, 0, w.front()); at >= 0; at = FindChar(all, at, w.front())) {
        if (size - size_t(at) < w.size() || !std::equal(w.begin(), w.end(), text + at)) {
            ++at;
            continue;
        }
        keep(from, at);
        from = at + qsizetype(w.size());
        at = from;
    }
    keep(from, qsizetype(size));
    out.resize(size_t(o - begin));
}

// The title part of a track line: every copy of its time removed, then every "()", then every
// "[]" (in that order, so "(4:56)" leaves nothing). Written into a reused buffer.
void stripTime(QStringView l, QStringView time, Buffer &title)
{
    title.resize(size_t(l.size()));
    removeAll(l.utf16(), size_t(l.size()), {time.utf16(), size_t(time.size())}, title);
    removeAll(title.data(), title.size(), u"()", title);
    removeAll(title.data(), title.size(), u"[]", title);
}

// The lower-cased line, read without its dashes, contains "e:" or "encore". The "e" itself is
// no dash, so only what follows it needs the dashes skipped.
bool mentionsEncore(QStringView lower)
{
    for (qsizetype i = FindChar(lower, 0, u'e'); i >= 0; i = FindChar(lower, i + 1, u'e')) {
        if (matchesSkippingDashes(lower, i + 1, u":") ||
            matchesSkippingDashes(lower, i + 1, u"ncore"))
            return true;
    }
    return false;
}

class Gatherer
{
public:
    explicit Gatherer(const InfoLines &lines) : lines(lines) {}

    const InfoLines &lines;
    bool NumberedTracks = false;
    bool EncoreSeen = false;
    Buffer title; // the line being stripped of its time, reused from line to line

    // Gathers the track lines from..to (inclusive) of disc d into list.
    void gather(int d, qsizetype from, qsizetype to, QList<TrackRec> &list)
    {
        // Most lines of a disc's range are its tracks; growing the list one step at a time
        // would move every record several times.
        list.reserve(
            qMin<qsizetype>(qMax<qsizetype>(to - from + 1, 0), 4 * MaxWrittenTracksPerDisc));
        for (qsizetype n = from; n <= to; ++n) {
            const QStringView l = lines.line(n); // already trimmed when the text was cut
            if (d == 1 && !NumberedTracks && beginsWithPositiveNumber(l))
                NumberedTracks = true;
            bool lineLeftEmpty = l.isEmpty();
            if (!l.isEmpty())
                lineLeftEmpty = examine(d, l, n, list);
            if (lineLeftEmpty && EncoreSeen)
                return;
        }
    }

    // Records the line as a track when it is one; returns whether the line was left empty.
    bool examine(int d, QStringView l, qsizetype n, QList<TrackRec> &list)
    {
        // The tests below read the lower-cased line as if its dashes were gone, without making
        // that copy.
        const QStringView lower = lines.lower(n);
        const qsizetype first = skipDashes(lower, 0);
        if (first == lower.size() || beginsWithNoTrackWord(lower, first))
            return false;
        if (NumberedTracks && !isDigit(lower[first]))
            return false;

        // The encore test reads the line as it stands, so it may come before the track is built;
        // knowing it first spares stripping lines whose result nobody reads.
        if (!EncoreSeen && mentionsEncore(lower))
            EncoreSeen = true;

        const qsizetype t = list.size() + 1;
        // Tracks past the fiftieth of a disc are counted but never written, so they get an empty
        // record: building their elements would only cost time on every key release.
        const bool written = t <= MaxWrittenTracksPerDisc;
        TrackRec track;
        bool leftEmpty = false;
        const QStringView time = timeOf(l);
        if (!time.isEmpty() && (written || EncoreSeen)) {
            stripTime(l, time, title);
            leftEmpty = title.empty();
        }
        if (written) {
            if (time.isEmpty()) {
                track.TitleElement = trackElement(d, t, {}, l);
            } else {
                track.TimeElement = trackElement(d, t, u"Time", time);
                track.TitleElement = trackElement(d, t, {}, Trimmed(viewOf(title)));
            }
        }
        list.append(std::move(track));
        return leftEmpty;
    }
};

} // namespace

DiscSet FindDiscs(const InfoLines &lines)
{
    DiscSet result;
    std::array<qsizetype, MaxDiscs> headerLine{}; // 0: no header found for that disc
    const qsizetype count = lines.count();

    Buffer h;
    int found = 0;
    for (qsizetype n = 1; n <= count && found < MaxDiscs; ++n) {
        const QStringView lower = lines.lower(n);
        if (!mayHeadAnotherDisc(lower, headerLine))
            continue;
        normaliseHeader(lower, h);
        const auto heads = headedDiscs(h);
        for (int d = 0; d < MaxDiscs; ++d) {
            if (!heads[d])
                continue;
            if (headerLine[d] == 0) {
                headerLine[d] = n; // the first header line of a disc wins
                ++found;
            }
            result.DiscCount = qMax(result.DiscCount, d + 1);
        }
    }

    Gatherer gatherer(lines);
    for (int d = 0; d < MaxDiscs; ++d) {
        // Gathering stops at the first disc without a header, even when a later disc has one;
        // the disc before it has then already taken every line to the end of the text.
        if (headerLine[d] == 0)
            break;
        const qsizetype from = headerLine[d] + 1;
        const qsizetype to =
            d + 1 < MaxDiscs && headerLine[d + 1] != 0 ? headerLine[d + 1] - 1 : count;
        gatherer.gather(d + 1, from, to, result.Tracks[d]);
    }
    return result;
}

} // namespace tapewright
