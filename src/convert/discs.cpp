// Finds the header lines of up to four discs, then turns the lines below each header into track
// records. Everything works on the first characters and substrings of lines; there is no grammar.
#include "discs.h"

#include "textterms.h"

#include <string>
#include <string_view>

namespace tapewright {

namespace {

using Buffer = std::u16string;

QStringView viewOf(const Buffer &b)
{
    return QStringView(b.data(), qsizetype(b.size()));
}

bool contains(const Buffer &b, std::u16string_view w)
{
    return b.find(w) != Buffer::npos;
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
// The steps run in this order, each as one pass, because each one feeds the next: "Disk #2"
// only becomes "disc2" once the blank and the "#" are gone, and "disciv" must be replaced before
// "disci" would eat its first "i". The two removals are done together: dropping single
// characters gives the same text in either order.
void normaliseHeader(QStringView lower, Buffer &h)
{
    h.clear();
    bool colon = false;
    for (QChar c : lower) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'#')
            continue;
        colon = colon || u == u':';
        h.push_back(u);
    }
    if (colon) {
        replaceInPlace(h, u"c:", u"c");
        replaceInPlace(h, u"k:", u"k");
        replaceInPlace(h, u"d:", u"d");
    }
    // Nearly every line lacks "dis"; the five spelling passes are skipped for those.
    if (contains(h, u"dis")) {
        replaceInPlace(h, u"disk", u"disc");
        replaceInPlace(h, u"disciv", u"disc4");
        replaceInPlace(h, u"disciii", u"disc3");
        replaceInPlace(h, u"discii", u"disc2");
        replaceInPlace(h, u"disci", u"disc1");
    }
}

// Which discs a header text heads; one line may head several.
std::array<bool, MaxDiscs> headedDiscs(const Buffer &h)
{
    // "d3" and "d4" occur in ordinary track codes such as "d3t01 Long Song Title", so alone they
    // count only on short lines. "d100" is excluded because it names a hundredth track or a
    // recorder ("D100"), not disc 1.
    const bool shortLine = h.size() < 10;
    return {
        (contains(h, u"d1") || contains(h, u"disc1") || contains(h, u"discone")) &&
            !contains(h, u"d100"),
        contains(h, u"d2") || contains(h, u"disc2") || contains(h, u"disctwo"),
        (contains(h, u"d3") && shortLine) || contains(h, u"disc3") || contains(h, u"discthree"),
        (contains(h, u"d4") && shortLine) || contains(h, u"disc4") || contains(h, u"discfour"),
    };
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

bool beginsWithNoTrackWord(QStringView s)
{
    static constexpr QStringView words[] = {u"set", u"total", u"ii", u"iii", u"encore", u"filler"};
    for (QStringView w : words) {
        if (BeginsWith(s, w))
            return true;
    }
    return false;
}

void appendNumber(QString &out, qsizetype n)
{
    char16_t digits[24];
    int count = 0;
    do {
        digits[count++] = char16_t(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    while (count > 0)
        out.append(QChar(digits[--count]));
}

// "<D1T3>" + text + "</D1T3>", or with suffix "Time" "<D1T3Time>" + text + "</D1T3Time>".
QString trackElement(int disc, qsizetype t, QStringView suffix, QStringView text)
{
    QString e;
    e.reserve(text.size() + 2 * suffix.size() + 32);
    e.append(u"<D");
    appendNumber(e, disc);
    e.append(u'T');
    appendNumber(e, t);
    e.append(suffix);
    e.append(u'>');
    e.append(text);
    e.append(u"</D");
    appendNumber(e, disc);
    e.append(u'T');
    appendNumber(e, t);
    e.append(suffix);
    e.append(u'>');
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

class Gatherer
{
public:
    explicit Gatherer(const InfoLines &lines) : lines(lines) {}

    const InfoLines &lines;
    bool NumberedTracks = false;
    bool EncoreSeen = false;
    Buffer s;     // the lower-cased line without dashes, reused from line to line
    Buffer title; // the line being stripped of its time, reused likewise

    // Gathers the track lines from..to (inclusive) of disc d into list.
    void gather(int d, qsizetype from, qsizetype to, QList<TrackRec> &list)
    {
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
        QStringView sv = lines.lower(n);
        if (sv.contains(u'-')) {
            s.clear();
            for (QChar c : sv) {
                if (c != u'-')
                    s.push_back(c.unicode());
            }
            sv = viewOf(s);
        }
        if (sv.isEmpty() || beginsWithNoTrackWord(sv))
            return false;
        if (NumberedTracks && !isDigit(sv.front()))
            return false;

        const qsizetype t = list.size() + 1;
        TrackRec track;
        bool leftEmpty = false;
        const QStringView time = timeOf(l);
        if (time.isEmpty()) {
            track.TitleElement = trackElement(d, t, {}, l);
        } else {
            track.TimeElement = trackElement(d, t, u"Time", time);
            title.assign(l.utf16(), size_t(l.size()));
            replaceInPlace(title, std::u16string_view(time.utf16(), size_t(time.size())), u"");
            replaceInPlace(title, u"()", u"");
            replaceInPlace(title, u"[]", u"");
            leftEmpty = title.empty();
            track.TitleElement = trackElement(d, t, {}, Trimmed(viewOf(title)));
        }
        list.append(std::move(track));

        if (sv.contains(u"e:") || sv.contains(u"encore"))
            EncoreSeen = true;
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
        // Every header word holds a "d", and normalising never makes one.
        if (!lower.contains(u'd'))
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
