#include "convert/convertinfotext.h"

#include "convert/discs.h"
#include "convert/infolines.h"
#include "convert/showdate.h"
#include "convert/showfields.h"
#include "convert/tracklistwriter.h"

namespace tapewright {

QString ConvertInfoText(const QString &infoText, const ConvertOptions &options)
{
    if (infoText.isEmpty())
        return {};
    const InfoLines lines = InfoLines::cut(infoText);
    if (lines.count() < MinimumInfoLines)
        return {};

    if (options.observer)
        options.observer->busyOn();

    // One pass over the lines finds the show fields and the disc headers, each line lower-cased
    // once for both; every field and header comes from the first line that gives it, so the
    // searches do not depend on one another. The date looks at the first six lines only, the
    // tracks at the lines below each header.
    ShowFieldScan fieldScan(lines);
    DiscHeaderScan headerScan;
    UnitBuffer lower;
    bool fieldsOpen = true;
    bool headersOpen = true;
    for (qsizetype n = 1; n <= lines.count() && (fieldsOpen || headersOpen); ++n) {
        const QStringView w = lines.lower(n, lower);
        fieldsOpen = fieldsOpen && fieldScan.feed(n, w);
        headersOpen = headersOpen && headerScan.feed(n, w);
    }
    ShowFields fields = fieldScan.finish();
    fields.Date = FindShowDate(lines, options.locale);
    const DiscSet discs = GatherTracks(lines, headerScan);
    const auto discList = discs.discs();
    QString document = WriteTrackList(fields, std::span(discList).first(size_t(discs.DiscCount)));

    if (options.observer)
        options.observer->busyOff();
    return document;
}

} // namespace tapewright
