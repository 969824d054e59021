#include "tracklistwriter.h"

#include "textterms.h"

#include <algorithm>

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

// Adds one to the decimal number of `size` digits at p; returns its new number of digits.
qsizetype increment(char16_t *p, qsizetype size)
{
    for (qsizetype i = size - 1; i >= 0; --i) {
        if (p[i] != u'9') {
            ++p[i];
            return size;
        }
        p[i] = u'0';
    }
    std::copy_backward(p, p + size, p + size + 1);
    p[0] = u'1';
    return size + 1;
}

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
    // has a time. tag is "D1T3", written four times.
    void trackLine(QStringView tag, const TrackRec &track)
    {
        *m_p++ = u'<';
        putShort(tag);
        *m_p++ = u'>';
        text(track.Title);
        putShort(u"</");
        putShort(tag);
        *m_p++ = u'>';
        if (!track.Time.isEmpty()) {
            *m_p++ = u'<';
            putShort(tag);
            putShort(u"Time>");
            text(track.Time);
            putShort(u"</");
            putShort(tag);
            putShort(u"Time>");
        }
        putShort(u"\r\n");
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

    QString document(size, Qt::Uninitialized);
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
        // "D" n "T" and the track number, counted up in place.
        char16_t tag[48] = {u'D'};
        char16_t *const disc = tag + 1;
        char16_t *const number = disc + writeNumber(n, disc) + 1;
        number[-1] = u'T';
        number[0] = u'0';
        qsizetype digitsOfT = 1;
        for (qsizetype t = 1; t <= written; ++t) {
            digitsOfT = increment(number, digitsOfT);
            w.trackLine(QStringView(tag, number + digitsOfT - tag), tracks[size_t(t - 1)]);
        }
    }
    w.lineIfFound(fields.Notes.Element);
    w.put(Tail);
    Q_ASSERT(w.position() == QStringView(document).utf16() + document.size());
    return document;
}

} // namespace tapewright
