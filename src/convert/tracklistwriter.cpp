#include "convert/tracklistwriter.h"

#include "convert/textterms.h"

#include <algorithm>

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

qsizetype lineSize(const QString &element)
{
    return element.isEmpty() ? 0 : element.size() + 2;
}

// The document is measured first and then written straight into a string of exactly its size.
class Output
{
public:
    Output(QString &out, bool mayHoldLineBreaks)
        : m_p(reinterpret_cast<char16_t *>(out.data())), m_breaks(mayHoldLineBreaks)
    {
    }

    void put(QStringView s) { m_p = std::copy_n(s.utf16(), s.size(), m_p); }

    // The short pieces between texts, too short for a call to memcpy to pay.
    void putShort(QStringView s)
    {
        for (qsizetype i = 0; i < s.size(); ++i)
            *m_p++ = s.utf16()[i];
    }

    void number(qsizetype n) { m_p += writeNumber(n, m_p); }

    // An element's text. Lines are cut only at CR LF, so a lone CR or LF can sit inside a field
    // (a file with mixed line ends, a paste); written as it is, it would break the element over
    // two lines of a document that readers take line by line. A blank stands in for it, as in
    // the notes.
    void text(QStringView s)
    {
        char16_t *const from = m_p;
        put(s);
        if (!m_breaks)
            return;
        for (const char16_t c : {u'\r', u'\n'}) {
            for (qsizetype i = FindChar(s, 0, c); i >= 0; i = FindChar(s, i + 1, c))
                from[i] = u' ';
        }
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
    bool m_breaks;
};

} // namespace

QString WriteTrackList(const ShowFields &fields, std::span<const DiscTracks> discs,
                       bool textsMayHoldLineBreaks)
{
    const HeaderField *const first[] = {&fields.Band,  &fields.Venue,  &fields.City,
                                        &fields.State, &fields.Source, &fields.Notes};
    qsizetype size = Head.size() + Tail.size();
    for (const HeaderField *f : first)
        size += lineSize(f->Element);
    if (!fields.Date.Element.isEmpty())
        size += lineSize(fields.Date.Element) + lineSize(fields.Date.SecondElement);
    const qsizetype discCount = qsizetype(discs.size());
    size += 17 + digits(discCount); // <DISCS>n</DISCS> CR LF
    for (qsizetype n = 1; n <= discCount; ++n) {
        const DiscTracks &disc = discs[size_t(n - 1)];
        size += 21 + 2 * digits(n) + digits(disc.Count); // <TRACKSDn>count</TRACKSDn> CR LF
        const qsizetype written =
            qMin<qsizetype>(qsizetype(disc.Tracks.size()), MaxWrittenTracksPerDisc);
        for (qsizetype t = 1; t <= written; ++t) {
            const TrackRec &track = disc.Tracks[size_t(t - 1)];
            const qsizetype tag = 2 + digits(n) + digits(t); // D n T t
            size += 2 * tag + 5 + track.Title.size() + 2;    // <tag>title</tag> CR LF
            if (!track.Time.isEmpty())
                size += 2 * tag + 13 + track.Time.size(); // <tagTime>time</tagTime>
        }
    }

    QString document(size + Slack, Qt::Uninitialized);
    Output w(document, textsMayHoldLineBreaks);
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
        w.number(discs[size_t(n - 1)].Count);
        w.putShort(u"</TRACKSD");
        w.number(n);
        w.putShort(u">\r\n");
    }
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
    w.lineIfFound(fields.Notes.Element);
    w.put(Tail);
    Q_ASSERT(w.position() == QStringView(document).utf16() + size);
    document.truncate(size);
    return document;
}

} // namespace tapewright
