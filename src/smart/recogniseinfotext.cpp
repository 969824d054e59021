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

QString element(const char16_t *tag, const QString &text)
{
    const QString t = QString::fromUtf16(tag);
    return u'<' + t + u'>' + text + QStringLiteral("</") + t + u'>';
}

HeaderField field(const char16_t *tag, const QString &text)
{
    HeaderField f;
    if (!text.isEmpty()) {
        f.Element = element(tag, text);
        f.Found = true;
    }
    return f;
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

    QList<QList<TrackRec>> discs;
    discs.reserve(show.discs.size());
    for (qsizetype d = 0; d < show.discs.size(); ++d) {
        const QString open = QStringLiteral("<D%1T").arg(d + 1);
        const QString close = QStringLiteral("</D%1T").arg(d + 1);
        QList<TrackRec> list;
        const QList<SmartTrack> &tracks = show.discs[d].tracks;
        list.resize(tracks.size()); // past the 50th the records only count
        for (qsizetype t = 0; t < tracks.size() && t < MaxWrittenTracksPerDisc; ++t) {
            const QString n = QString::number(t + 1);
            list[t].TitleElement = open + n + u'>' + tracks[t].title + close + n + u'>';
            if (!tracks[t].time.isEmpty())
                list[t].TimeElement = open + n + QStringLiteral("Time>") + tracks[t].time + close +
                                      n + QStringLiteral("Time>");
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
