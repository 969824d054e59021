#include "cover/fill/covershow.h"

#include "cover/fill/tagreader.h"

#include <limits>

namespace tapewright {

int CoverCount(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max())
        return 0;
    return value;
}

CoverShow ReadCoverShow(const QString &xml)
{
    const TagText tags(xml);
    CoverShow show;
    show.band = tags.value(u"<band>");
    show.date = tags.value(u"<date>");
    show.venue = tags.value(u"<venue>");
    show.city = tags.value(u"<city>");
    show.state = tags.value(u"<state>");
    show.source = tags.value(u"<source>");
    show.notes = tags.value(u"<notes>");
    int left = MaxShowTracks;
    qsizetype textLeft = MaxShowTrackText;
    const int discs = CoverCount(tags.value(u"<discs>"));
    for (int n = 1; n <= discs; ++n) {
        ShowDisc disc;
        const int tracks = CoverCount(tags.value(QStringLiteral("<TracksD%1>").arg(n)));
        for (int t = 1; t <= tracks; ++t) {
            if (left-- <= 0 || textLeft < 0) {
                show.tracksCut = true;
                break;
            }
            const QString track = QStringLiteral("<D%1T%2").arg(n).arg(t);
            disc.titles << tags.value(track + u'>');
            disc.times << tags.value(track + QStringLiteral("Time>"));
            textLeft -= disc.titles.back().size() + disc.times.back().size();
        }
        show.discs.push_back(std::move(disc));
        if (show.tracksCut)
            break;
    }
    return show;
}

} // namespace tapewright
