#include "convert/tracklistwriter.h"

#include <algorithm>
#include <deque>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

namespace {

constexpr QStringView Head = u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n";
constexpr QStringView Tail = u"</CDR_Track_List>";

qsizetype digits(qsizetype n)
{
    qsizetype d = 1;
    for (; n >= 10; n /= 10)
        ++d;
    return d;
}

// Writes n in decimal at p; returns the number of digits.
qsizetype writeNumber(qsizetype n, char16_t *p)
{
    const qsizetype d = digits(n);
    for (char16_t *q = p + d; q != p; n /= 10)
        *--q = char16_t(u'0' + n % 10);
    return d;
}

// Room an Output leaves behind the document for copies of eight units at a time.
constexpr qsizetype Slack = 8;

// Copies n units eight at a time: it reads and writes up to seven units past n, so src must
// have them (a TrackTags buffer) and dst must be written again after them (or be slack).
void copyBlocks(char16_t *dst, const char16_t *src, qsizetype n)
{
#if defined(__SSE2__)
    for (qsizetype k = 0; k < n; k += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + k),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + k)));
#else
    std::copy_n(src, n, dst);
#endif
}

// The tags of one disc's tracks, kept written out: "<D1T3>", then "</D1T3>" and CR LF for a
// track without a time, or "</D1T3><D1T3Time>" and "</D1T3Time>" and CR LF. From one track to
// the next only the digits of the track number change in them; a number with one digit more
// rewrites them.
class TrackTags
{
public:
    explicit TrackTags(qsizetype disc) : m_disc(disc) { write(); }

    // To the next track (the first, at the start).
    void next()
    {
        for (qsizetype i = m_digits - 1; i >= 0; --i) {
            if (m_number[i] != u'9') {
                ++m_number[i];
                for (char16_t *place : m_places) {
                    for (qsizetype k = i; k < m_digits; ++k) // a digit or two: no memmove
                        place[k] = m_number[k];
                }
                return;
            }
            m_number[i] = u'0';
        }
        std::copy_backward(m_number, m_number + m_digits, m_number + m_digits + 1);
        m_number[0] = u'1';
        ++m_digits;
        write();
    }

    struct Piece
    {
        const char16_t *at;
        qsizetype size;
    };
    Piece open() const { return {m_open, m_openSize}; }
    Piece titleEnd(bool time) const
    {
        return time ? Piece{m_titleEnd, m_titleEndSize} : Piece{m_lineEnd, m_lineEndSize};
    }
    Piece timeEnd() const { return {m_timeEnd, m_timeEndSize}; }

private:
    // Writes the four pieces anew and notes where the track number's digits stand in each.
    void write()
    {
        int place = 0;
        const auto build = [&](char16_t *buffer, std::initializer_list<QStringView> parts) {
            char16_t *p = buffer;
            for (QStringView part : parts) {
                if (part.utf16() == m_number) // the track number, written in its place
                    m_places[size_t(place++)] = p;
                for (const QChar c : part) // a few units each: no memmove
                    *p++ = c.unicode();
            }
            return p - buffer;
        };
        char16_t disc[24];
        const QStringView d(disc, writeNumber(m_disc, disc));
        const QStringView t(m_number, m_digits);
        m_openSize = build(m_open, {u"<D", d, u"T", t, u">"});
        m_titleEndSize = build(m_titleEnd, {u"</D", d, u"T", t, u"><D", d, u"T", t, u"Time>"});
        m_lineEndSize = build(m_lineEnd, {u"</D", d, u"T", t, u">\r\n"});
        m_timeEndSize = build(m_timeEnd, {u"</D", d, u"T", t, u"Time>\r\n"});
    }

    qsizetype m_disc;
    char16_t m_number[24] = {u'0'};
    qsizetype m_digits = 1;
    // Each with room for its longest text (two tags of two 20-digit numbers) and a block more.
    char16_t m_open[128];
    char16_t m_titleEnd[128];
    char16_t m_lineEnd[128];
    char16_t m_timeEnd[128];
    qsizetype m_openSize = 0;
    qsizetype m_titleEndSize = 0;
    qsizetype m_lineEndSize = 0;
    qsizetype m_timeEndSize = 0;
    std::array<char16_t *, 5> m_places{}; // where the track number stands in the pieces
};

// What no element text holds, whichever recogniser found it: the control characters of both
// ranges (NUL, a lone CR or LF, tab, ESC, DEL, NEL ...) and the line and paragraph separators
// U+2028 and U+2029. A reader takes the document line by line, XML admits no NUL nor most other
// controls, and none of them is printed on a cover. Each is written as one blank, not U+FFFD:
// most of them part words (tab, line ends, NEL, the separators), and a blank keeps the words
// apart as the joined lines of the notes are; the others are invisible in the text a user sees,
// where U+FFFD would print a mark on the cover that the info text never showed. One unit for one
// unit, so the document keeps the size measured for it.
bool unwritable(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// Whether the n units at p may hold an unwritable one: whether one lies outside printable ASCII
// (U+0020..U+007E), where every unwritable unit lies. Nearly every text is printable ASCII
// throughout, and that is told eight units at a time; the others are looked at unit by unit.
bool mayHoldUnwritable(const char16_t *p, qsizetype n)
{
#if defined(__SSE2__)
    // Zero exactly in the lanes of printable ASCII units.
    const auto outside = [](const char16_t *at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        return _mm_subs_epu16(_mm_sub_epi16(v, _mm_set1_epi16(0x20)), _mm_set1_epi16(0x7E - 0x20));
    };
    const auto anyLane = [](__m128i lanes) {
        return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(lanes, _mm_setzero_si128()))) ^ 0xFFFF;
    };
    if (n < 8) // reads the units after the text too, which the document's slack has room for
        return (anyLane(outside(p)) & ((1u << (2 * n)) - 1)) != 0;
    // Whole blocks, the last one ending with the text (it may overlap the one before).
    __m128i found = outside(p + n - 8);
    for (qsizetype k = 0; k + 8 < n; k += 8)
        found = _mm_or_si128(found, outside(p + k));
    return anyLane(found) != 0;
#else
    return std::any_of(p, p + n, [](char16_t c) { return c < 0x20 || c > 0x7E; });
#endif
}

qsizetype lineSize(const QString &element)
{
    return element.isEmpty() ? 0 : element.size() + 2;
}

// The document is measured first and then written straight into a string of exactly its size.
class Output
{
public:
    explicit Output(QString &out) : m_p(reinterpret_cast<char16_t *>(out.data())) {}

    void put(QStringView s) { m_p = std::copy_n(s.utf16(), s.size(), m_p); }

    // The short pieces between texts, too short for a call to memcpy to pay.
    void putShort(QStringView s)
    {
        for (qsizetype i = 0; i < s.size(); ++i)
            *m_p++ = s.utf16()[i];
    }

    void number(qsizetype n) { m_p += writeNumber(n, m_p); }

    // An element's text, what it may not hold made blanks.
    void text(QStringView s)
    {
        char16_t *const from = m_p;
        put(s);
        if (mayHoldUnwritable(from, s.size()))
            std::replace_if(from, m_p, unwritable, u' ');
    }

    void lineIfFound(const QString &element)
    {
        if (element.isEmpty())
            return;
        text(element);
        putShort(u"\r\n");
    }

    // A track's line: "<D1T3>" title "</D1T3>", then "<D1T3Time>" time "</D1T3Time>" when it
    // has a time.
    void trackLine(const TrackTags &tags, const TrackRec &track)
    {
        const bool time = !track.Time.isEmpty();
        put(tags.open());
        text(track.Title);
        put(tags.titleEnd(time));
        if (time) {
            text(track.Time);
            put(tags.timeEnd());
        }
    }

    void put(TrackTags::Piece piece)
    {
        copyBlocks(m_p, piece.at, piece.size);
        m_p += piece.size;
    }

    const char16_t *position() const { return m_p; }

private:
    char16_t *m_p;
};

// The document's size without its track lines: the fields, the disc count and each disc's
// track count. count(n) is disc n's track count.
template <typename Count>
qsizetype sizeBesideTracks(const ShowFields &fields, qsizetype discCount, Count count)
{
    const HeaderField *const first[] = {&fields.Band,  &fields.Venue,  &fields.City,
                                        &fields.State, &fields.Source, &fields.Notes};
    qsizetype size = Head.size() + Tail.size();
    for (const HeaderField *f : first)
        size += lineSize(f->Element);
    if (!fields.Date.Element.isEmpty())
        size += lineSize(fields.Date.Element) + lineSize(fields.Date.SecondElement);
    size += 17 + digits(discCount); // <DISCS>n</DISCS> CR LF
    for (qsizetype n = 1; n <= discCount; ++n)
        size += 21 + 2 * digits(n) + digits(count(n)); // <TRACKSDn>count</TRACKSDn> CR LF
    return size;
}

// Track t of disc n as written: "<DnTt>title</DnTt>", "<DnTtTime>time</DnTtTime>" when it
// has a time, CR LF.
qsizetype trackLineSize(qsizetype n, qsizetype t, qsizetype title, qsizetype time)
{
    const qsizetype tag = 2 + digits(n) + digits(t); // D n T t
    qsizetype size = 2 * tag + 5 + title + 2;
    if (time > 0)
        size += 2 * tag + 13 + time;
    return size;
}

// Everything before the track lines.
template <typename Count>
void writeHead(Output &w, const ShowFields &fields, qsizetype discCount, Count count)
{
    w.put(Head);
    w.lineIfFound(fields.Band.Element);
    if (!fields.Date.Element.isEmpty()) {
        w.lineIfFound(fields.Date.Element);
        w.lineIfFound(fields.Date.SecondElement);
    }
    w.lineIfFound(fields.Venue.Element);
    w.lineIfFound(fields.City.Element);
    w.lineIfFound(fields.State.Element);
    w.lineIfFound(fields.Source.Element);

    w.putShort(u"<DISCS>");
    w.number(discCount);
    w.putShort(u"</DISCS>\r\n");
    for (qsizetype n = 1; n <= discCount; ++n) {
        w.putShort(u"<TRACKSD");
        w.number(n);
        w.putShort(u">");
        w.number(count(n));
        w.putShort(u"</TRACKSD");
        w.number(n);
        w.putShort(u">\r\n");
    }
}

void writeTail(Output &w, const ShowFields &fields)
{
    w.lineIfFound(fields.Notes.Element);
    w.put(Tail);
}

// The first reading: each disc's track count and the size of the written track lines.
class MeasuredLines final : public TrackLines
{
public:
    void disc() override { m_counts.push_back(0); }
    void track(QStringView title, QStringView time) override
    {
        if (m_counts.empty())
            m_counts.push_back(0); // a track before any disc is the first disc's
        const qsizetype t = ++m_counts.back();
        if (t <= MaxWrittenTracksPerDisc)
            m_size += trackLineSize(qsizetype(m_counts.size()), t, title.size(), time.size());
    }

    // A disc every few bytes of a long text: kept in blocks, never moved to grow.
    std::deque<qsizetype> m_counts;
    qsizetype m_size = 0;
};

// The second reading: the track lines written.
class WrittenLines final : public TrackLines
{
public:
    explicit WrittenLines(Output &w) : m_w(w) {}
    void disc() override
    {
        ++m_disc;
        m_track = 0;
        m_tags.reset();
    }
    void track(QStringView title, QStringView time) override
    {
        if (m_disc == 0)
            disc();
        if (++m_track > MaxWrittenTracksPerDisc)
            return;
        if (!m_tags)
            m_tags.emplace(m_disc);
        m_tags->next();
        m_w.trackLine(*m_tags, TrackRec{title, time});
    }

private:
    Output &m_w;
    qsizetype m_disc = 0;
    qsizetype m_track = 0;
    std::optional<TrackTags> m_tags;
};

} // namespace

QString WriteTrackList(const ShowFields &fields, std::span<const DiscTracks> discs)
{
    const qsizetype discCount = qsizetype(discs.size());
    const auto count = [&](qsizetype n) { return discs[size_t(n - 1)].Count; };
    qsizetype size = sizeBesideTracks(fields, discCount, count);
    for (qsizetype n = 1; n <= discCount; ++n) {
        const DiscTracks &disc = discs[size_t(n - 1)];
        const qsizetype written =
            qMin<qsizetype>(qsizetype(disc.Tracks.size()), MaxWrittenTracksPerDisc);
        for (qsizetype t = 1; t <= written; ++t) {
            const TrackRec &track = disc.Tracks[size_t(t - 1)];
            size += trackLineSize(n, t, track.Title.size(), track.Time.size());
        }
    }

    QString document(size + Slack, Qt::Uninitialized);
    Output w(document);
    writeHead(w, fields, discCount, count);
    for (qsizetype n = 1; n <= discCount; ++n) {
        const std::span<const TrackRec> tracks = discs[size_t(n - 1)].Tracks;
        const qsizetype written =
            qMin<qsizetype>(qsizetype(tracks.size()), MaxWrittenTracksPerDisc);
        if (written == 0)
            continue;
        TrackTags tags(n);
        for (qsizetype t = 1; t <= written; ++t) {
            tags.next();
            w.trackLine(tags, tracks[size_t(t - 1)]);
        }
    }
    writeTail(w, fields);
    Q_ASSERT(w.position() == QStringView(document).utf16() + size);
    document.truncate(size);
    return document;
}

QString WriteTrackList(const ShowFields &fields,
                       const std::function<void(TrackLines &)> &readTracks)
{
    MeasuredLines measured;
    readTracks(measured);
    const std::deque<qsizetype> &counts = measured.m_counts;
    const qsizetype discCount = qsizetype(counts.size());
    const auto count = [&](qsizetype n) { return counts[size_t(n - 1)]; };
    const qsizetype size = sizeBesideTracks(fields, discCount, count) + measured.m_size;

    QString document(size + Slack, Qt::Uninitialized);
    Output w(document);
    writeHead(w, fields, discCount, count);
    WrittenLines written(w);
    readTracks(written);
    writeTail(w, fields);
    Q_ASSERT(w.position() == QStringView(document).utf16() + size);
    document.truncate(size);
    return document;
}

} // namespace tapewright
