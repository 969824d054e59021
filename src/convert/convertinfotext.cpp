#include "convertinfotext.h"

#include "discs.h"
#include "infolines.h"
#include "showdate.h"
#include "showfields.h"
#include "tracklistwriter.h"

namespace tapewright {

namespace {

constexpr qsizetype MinimumLines = 6;

} // namespace

QString ConvertInfoText(const QString &infoText, const ConvertOptions &options)
{
    if (infoText.isEmpty())
        return {};
    const InfoLines lines = InfoLines::cut(infoText);
    if (lines.count() < MinimumLines)
        return {};

    if (options.observer)
        options.observer->busyOn();

    // The fields are searched in this order; each search starts again from the stored lines.
    ShowFields fields;
    fields.Source = FindSource(lines);
    fields.Band = FindBand(lines);
    fields.Date = FindShowDate(lines, options.locale);
    fields.Venue = FindVenue(lines);
    fields.City = FindCity(lines);
    fields.State = FindState(lines);
    fields.Notes = FindNotes(lines);
    const DiscSet discs = FindDiscs(lines);
    QString document = WriteTrackList(fields, discs, lines.hasLoneLineBreaks());

    if (options.observer)
        options.observer->busyOff();
    return document;
}

} // namespace tapewright
