#include "smart/recogniseinfotext.h"

#include "convert/daterecogniser.h"
#include "convert/records.h"
#include "convert/tracklistwriter.h"
#include "smart/infotext.h"
#include "smart/setlist.h"
#include "smart/showheader.h"

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

SmartShow ReadShow(const QString &infoText, const QLocale &locale)
{
    const DateLocale &dates = DateLocale::of(locale);
    const InfoText text(infoText, dates);
    const ShowHeader header = ReadShowHeader(text, dates);
    SmartShow show;
    show.band = header.band;
    show.literalDate = header.literalDate;
    show.date = header.date;
    show.venue = header.venue;
    show.city = header.city;
    show.state = header.state;
    show.source = header.source;
    show.notes = header.notes;
    show.discs = ReadSetList(text, header.lastLine);
    return show;
}

// The one adapter from the recogniser's records to the writer's.
QString WriteSmartTrackList(const SmartShow &show, const QLocale &locale)
{
    const QString shortDate = show.date.isValid() ? ShortDateText(show.date, locale) : QString();
    qsizetype size = 8 * ElementBuffer::TagRoom;
    for (const QString *text : {&show.band, &show.literalDate, &shortDate, &show.venue, &show.city,
                                &show.state, &show.source, &show.notes})
        size += text->size();
    ElementBuffer buffer(size);

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
    QString document =
        smart::WriteSmartTrackList(smart::ReadShow(infoText, options.locale), options.locale);
    if (options.observer)
        options.observer->busyOff();
    return document;
}

} // namespace tapewright
