#include "recogniseinfotext.h"

#include "daterecogniser.h"
#include "infotext.h"
#include "records.h"
#include "setlist.h"
#include "showheader.h"
#include "tracklistwriter.h"

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

QString element(QStringView tag, const QString &text)
{
    QString e;
    e.reserve(2 * tag.size() + text.size() + 5);
    e += u'<';
    e += tag;
    e += u'>';
    e += text;
    e += u"</";
    e += tag;
    e += u'>';
    return e;
}

HeaderField field(QStringView tag, const QString &text)
{
    HeaderField f;
    if (!text.isEmpty()) {
        f.Element = element(tag, text);
        f.Found = true;
    }
    return f;
}

// Writes n in decimal into buffer at k and returns the end: the adapter writes four tags a
// track, and a string for each number would cost more than the tags.
qsizetype putNumber(char16_t *buffer, qsizetype k, qsizetype n)
{
    char16_t digits[20];
    int count = 0;
    do {
        digits[count++] = char16_t(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    while (count > 0)
        buffer[k++] = digits[--count];
    return k;
}

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
    ShowFields fields;
    fields.Band.Element = element(u"BAND", show.band); // the document always names a band
    if (show.date.isValid() && !show.literalDate.isEmpty()) {
        fields.Date.Element = element(u"LITERALDATE", show.literalDate);
        fields.Date.SecondElement = element(u"DATE", ShortDateText(show.date, locale));
        fields.Date.Found = true;
    }
    fields.Venue = field(u"VENUE", show.venue);
    fields.City = field(u"CITY", show.city);
    fields.State = field(u"STATE", show.state);
    fields.Source = field(u"SOURCE", show.source);
    fields.Notes = field(u"NOTES", show.notes);

    // Every title and time element is written into one buffer, and the records refer to their
    // piece of it without copying: one allocation for the set list instead of two a track.
    qsizetype size = 0;
    for (const SmartDisc &disc : show.discs) {
        for (qsizetype t = 0; t < disc.tracks.size() && t < MaxWrittenTracksPerDisc; ++t)
            size += disc.tracks[t].title.size() + disc.tracks[t].time.size() + 4 * 24;
    }
    QString buffer;
    buffer.reserve(size); // never grows, so the records' pointers stay valid
    const auto tag = [&buffer](bool closing, qsizetype d, qsizetype t, bool time) {
        char16_t text[48];
        qsizetype k = 0;
        text[k++] = u'<';
        if (closing)
            text[k++] = u'/';
        text[k++] = u'D';
        k = putNumber(text, k, d);
        text[k++] = u'T';
        k = putNumber(text, k, t);
        if (time) {
            for (const char16_t c : {u'T', u'i', u'm', u'e'})
                text[k++] = c;
        }
        text[k++] = u'>';
        buffer.append(reinterpret_cast<const QChar *>(text), k);
    };
    const auto piece = [&buffer](qsizetype from) {
        return QString::fromRawData(buffer.constData() + from, buffer.size() - from);
    };
    QList<QList<TrackRec>> discs;
    discs.reserve(show.discs.size());
    for (qsizetype d = 0; d < show.discs.size(); ++d) {
        const QList<SmartTrack> &tracks = show.discs[d].tracks;
        QList<TrackRec> list(tracks.size()); // past the 50th the records only count
        for (qsizetype t = 0; t < tracks.size() && t < MaxWrittenTracksPerDisc; ++t) {
            // "<D1T3>" title "</D1T3>", then "<D1T3Time>" time "</D1T3Time>"
            qsizetype from = buffer.size();
            tag(false, d + 1, t + 1, false);
            buffer += tracks[t].title;
            tag(true, d + 1, t + 1, false);
            list[t].TitleElement = piece(from);
            if (!tracks[t].time.isEmpty()) {
                from = buffer.size();
                tag(false, d + 1, t + 1, true);
                buffer += tracks[t].time;
                tag(true, d + 1, t + 1, true);
                list[t].TimeElement = piece(from);
            }
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
