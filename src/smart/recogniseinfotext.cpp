#include "smart/recogniseinfotext.h"

#include "convert/daterecogniser.h"
#include "convert/records.h"
#include "convert/tracklistwriter.h"
#include "smart/infotext.h"
#include "smart/setlist.h"
#include "smart/showheader.h"
#include "smart/showname.h"

#include <algorithm>
#include <vector>

namespace tapewright::smart {

namespace {

bool hasContent(const QString &text)
{
    for (QChar c : text) {
        if (!c.isSpace())
            return true;
    }
    return false;
}

// The element texts of one document, written one after the other into a buffer allocated once;
// each record refers to its piece of the buffer without a copy. The buffer must outlive the
// records, and is sized so that it never grows (which would move it).
class ElementBuffer
{
public:
    explicit ElementBuffer(qsizetype size)
        : m_buffer(size, Qt::Uninitialized), m_at(reinterpret_cast<char16_t *>(m_buffer.data())),
          m_end(m_at + size)
    {
    }

    // "<TAG>text</TAG>"
    QString element(QStringView tag, QStringView text)
    {
        const char16_t *from = m_at;
        put(u'<');
        put(tag);
        put(u'>');
        put(text);
        put(u'<');
        put(u'/');
        put(tag);
        put(u'>');
        return pieceFrom(from);
    }

    // What one element costs at most, beside its text.
    static constexpr qsizetype TagRoom = 64;

private:
    void put(char16_t c)
    {
        Q_ASSERT(m_at < m_end);
        *m_at++ = c;
    }
    void put(QStringView s)
    {
        Q_ASSERT(m_at + s.size() <= m_end);
        m_at = std::copy(s.utf16(), s.utf16() + s.size(), m_at);
    }
    QString pieceFrom(const char16_t *from) const
    {
        return QString::fromRawData(reinterpret_cast<const QChar *>(from), m_at - from);
    }

    QString m_buffer;
    char16_t *m_at;
    const char16_t *m_end;
};

} // namespace

qsizetype PieceEnd(QStringView text, qsizetype from)
{
    const qsizetype limit = from + PieceSize;
    if (limit >= text.size())
        return text.size();
    qsizetype lineEnd = -1;
    for (qsizetype k = limit - 1; k > from + PieceSize / 2; --k) {
        if (text[k] != u'\n' && text[k] != u'\r')
            continue;
        const qsizetype end = text[k] == u'\r' && text[k + 1] == u'\n' ? k + 2 : k + 1;
        if (lineEnd < 0)
            lineEnd = end;
        const qsizetype before = text[k] == u'\n' && text[k - 1] == u'\r' ? k - 1 : k;
        if (text[before - 1] == u'\n' || text[before - 1] == u'\r')
            return end; // the line before this line end is empty
    }
    if (lineEnd >= 0)
        return lineEnd;
    return text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

namespace {

// The first piece of a long text and its header.
struct FirstPiece
{
    qsizetype end;
    InfoText text;
    ShowHeader header;

    FirstPiece(QStringView whole, const DateLocale &dates)
        : end(PieceEnd(whole, 0)), text(whole.first(end), dates),
          header(ReadShowHeader(text, dates))
    {
    }
};

// The set list of a long text, from every piece in turn.
void readSetListInPieces(QStringView whole, const FirstPiece &first, const DateLocale &dates,
                         DiscSink &out)
{
    SetListReader reader(out);
    reader.read(first.text, first.header.lastLine);
    for (qsizetype from = first.end; from < whole.size();) {
        const qsizetype end = PieceEnd(whole, from);
        reader.read(InfoText(whole.sliced(from, end - from), dates), -1);
        from = end;
    }
}

void setHeader(SmartShow &show, const ShowHeader &header)
{
    show.band = header.band;
    show.literalDate = header.literalDate;
    show.date = header.date;
    show.venue = header.venue;
    show.city = header.city;
    show.state = header.state;
    show.source = header.source;
    show.notes = header.notes;
}

// The show's fields as the writer takes them, their elements in buffer.
ShowFields fieldsOf(const SmartShow &show, const QString &shortDate, ElementBuffer &buffer)
{
    ShowFields fields;
    const auto field = [&buffer](QStringView tag, const QString &text) {
        HeaderField f;
        if (!text.isEmpty()) {
            f.Element = buffer.element(tag, text);
            f.Found = true;
        }
        return f;
    };
    fields.Band.Element = buffer.element(u"BAND", show.band); // the document always names a band
    if (show.date.isValid() && !show.literalDate.isEmpty()) {
        fields.Date.Element = buffer.element(u"LITERALDATE", show.literalDate);
        fields.Date.SecondElement = buffer.element(u"DATE", shortDate);
        fields.Date.Found = true;
    }
    fields.Venue = field(u"VENUE", show.venue);
    fields.City = field(u"CITY", show.city);
    fields.State = field(u"STATE", show.state);
    fields.Source = field(u"SOURCE", show.source);
    fields.Notes = field(u"NOTES", show.notes);
    return fields;
}

// What the element buffer of a show's fields takes.
qsizetype fieldsSize(const SmartShow &show, const QString &shortDate)
{
    qsizetype size = 8 * ElementBuffer::TagRoom;
    for (const QString *text : {&show.band, &show.literalDate, &shortDate, &show.venue, &show.city,
                                &show.state, &show.source, &show.notes})
        size += text->size();
    return size;
}

// The set list handed straight to the writer, which keeps nothing of it but each disc's count.
class WrittenDiscs final : public DiscSink
{
public:
    explicit WrittenDiscs(TrackLines &out) : m_out(out) {}
    void disc() override { m_out.disc(); }
    void track(const QString &title, const QString &time, qsizetype) override
    {
        m_out.track(title, time);
    }

private:
    TrackLines &m_out;
};

// A long text: its header read from the first piece, its set list twice from every piece in
// turn (to measure the document, then to write it), and never held whole.
QString recogniseInPieces(const QString &infoText, const QLocale &locale, const QString &infoPath)
{
    const DateLocale &dates = DateLocale::of(locale);
    const FirstPiece first(infoText, dates);
    SmartShow show;
    setHeader(show, first.header);
    TakeFromName(show, infoPath, dates);
    const QString shortDate = show.date.isValid() ? ShortDateText(show.date, locale) : QString();
    ElementBuffer buffer(fieldsSize(show, shortDate));
    const ShowFields fields = fieldsOf(show, shortDate, buffer);
    return WriteTrackList(fields, [&](TrackLines &out) {
        WrittenDiscs discs(out);
        readSetListInPieces(infoText, first, dates, discs);
    });
}

} // namespace

SmartShow ReadShow(const QString &infoText, const QLocale &locale)
{
    const DateLocale &dates = DateLocale::of(locale);
    SmartShow show;
    if (infoText.size() <= PieceSize) {
        const InfoText text(infoText, dates);
        const ShowHeader header = ReadShowHeader(text, dates);
        setHeader(show, header);
        show.discs = ReadSetList(text, header.lastLine);
        return show;
    }
    const FirstPiece first(infoText, dates);
    setHeader(show, first.header);
    KeptDiscs kept;
    readSetListInPieces(infoText, first, dates, kept);
    show.discs = std::move(kept.discs);
    return show;
}

// The one adapter from the recogniser's records to the writer's.
QString WriteSmartTrackList(const SmartShow &show, const QLocale &locale)
{
    const QString shortDate = show.date.isValid() ? ShortDateText(show.date, locale) : QString();
    ElementBuffer buffer(fieldsSize(show, shortDate));
    const ShowFields fields = fieldsOf(show, shortDate, buffer);

    // The track records point into the show's own titles and times.
    std::vector<std::vector<TrackRec>> records(size_t(show.discs.size()));
    std::vector<DiscTracks> discs(size_t(show.discs.size()));
    for (size_t d = 0; d < records.size(); ++d) {
        const QList<SmartTrack> &tracks = show.discs[qsizetype(d)].tracks;
        const qsizetype written = qMin<qsizetype>(tracks.size(), MaxWrittenTracksPerDisc);
        records[d].reserve(size_t(written));
        for (qsizetype t = 0; t < written; ++t)
            records[d].push_back({tracks[t].title, tracks[t].time});
        discs[d] = {tracks.size(), records[d]};
    }
    return WriteTrackList(fields, discs);
}

} // namespace tapewright::smart

namespace tapewright {

QString RecogniseInfoText(const QString &infoText, const ConvertOptions &options)
{
    if (!smart::hasContent(infoText))
        return {};
    if (options.observer)
        options.observer->busyOn();
    QString document;
    if (infoText.size() <= smart::PieceSize) {
        smart::SmartShow show = smart::ReadShow(infoText, options.locale);
        smart::TakeFromName(show, options.infoPath, DateLocale::of(options.locale));
        document = smart::WriteSmartTrackList(show, options.locale);
    } else {
        document = smart::recogniseInPieces(infoText, options.locale, options.infoPath);
    }
    if (options.observer)
        options.observer->busyOff();
    return document;
}

} // namespace tapewright
