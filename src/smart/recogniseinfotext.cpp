#include "recogniseinfotext.h"

#include "daterecogniser.h"
#include "infotext.h"
#include "records.h"
#include "setlist.h"
#include "showheader.h"
#include "tracklistwriter.h"

#include <algorithm>

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

    // "<D1T3>" text "</D1T3>", or with time "<D1T3Time>" text "</D1T3Time>"
    QString track(qsizetype disc, qsizetype track, QStringView text, bool time)
    {
        const char16_t *from = m_at;
        for (const bool closing : {false, true}) {
            put(u'<');
            if (closing)
                put(u'/');
            put(u'D');
            putNumber(disc);
            put(u'T');
            putNumber(track);
            if (time)
                put(u"Time");
            put(u'>');
            if (!closing)
                put(text);
        }
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
    void putNumber(qsizetype n)
    {
        char16_t digits[20];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + n % 10);
            n /= 10;
        } while (n > 0);
        while (count > 0)
            put(digits[--count]);
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
    for (const SmartDisc &disc : show.discs) {
        for (qsizetype t = 0; t < disc.tracks.size() && t < MaxWrittenTracksPerDisc; ++t)
            size += disc.tracks[t].title.size() + disc.tracks[t].time.size() +
                    2 * ElementBuffer::TagRoom;
    }
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

    QList<QList<TrackRec>> discs;
    discs.reserve(show.discs.size());
    for (qsizetype d = 0; d < show.discs.size(); ++d) {
        const QList<SmartTrack> &tracks = show.discs[d].tracks;
        QList<TrackRec> list(tracks.size()); // past the 50th the records only count
        for (qsizetype t = 0; t < tracks.size() && t < MaxWrittenTracksPerDisc; ++t) {
            list[t].TitleElement = buffer.track(d + 1, t + 1, tracks[t].title, false);
            if (!tracks[t].time.isEmpty())
                list[t].TimeElement = buffer.track(d + 1, t + 1, tracks[t].time, true);
        }
        discs.append(std::move(list));
    }
    // Lines are cut at every CR and LF, so no element text holds one.
    return WriteTrackList(fields, discs, false);
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
