#include "cover/fill/covercheck.h"

#include "convert/daterecogniser.h"
#include "cover/document/templateformats.h"
#include "cover/layout/tracktimes.h"

#include <QDate>

namespace tapewright {

namespace {

// "disc 5", "discs 5 and 6", "discs 3, 4 and 5".
QString discNames(const QList<int> &discs)
{
    if (discs.size() == 1)
        return QStringLiteral("disc %1").arg(discs.first());
    QStringList numbers;
    for (int n : discs)
        numbers << QString::number(n);
    const QString last = numbers.takeLast();
    return QStringLiteral("discs %1 and %2").arg(numbers.join(QStringLiteral(", ")), last);
}

QString counted(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// The tracks the tray card prints of a disc: the blank ones print nothing.
qsizetype printedTracks(const ShowDisc &disc)
{
    return std::count_if(disc.titles.cbegin(), disc.titles.cend(),
                         [](const QString &title) { return !blank(title); });
}

// The fitting sets the tracks in order and leaves off those past the last column: the last ones
// of the discs on the tray card.
QString tracksNotFittingWarning(const CoverShow &show, int onTray, int notFitting)
{
    QList<int> discs;
    int left = notFitting;
    for (int n = onTray; n >= 1 && left > 0; --n) {
        const qsizetype printed = printedTracks(show.discs[std::size_t(n - 1)]);
        if (printed > 0)
            discs.prepend(n);
        left -= int(printed);
    }
    const QString which = notFitting == 1 ? QStringLiteral("The last track")
                                          : QStringLiteral("The last %1 tracks").arg(notFitting);
    const QString of = discs.size() == 1 ? QStringLiteral(" of ") + discNames(discs)
                       : discs.isEmpty() ? QString()
                                         : QStringLiteral(" (on ") + discNames(discs) + u')';
    return which + of +
           QStringLiteral(" will not fit on the tray card, even at the smallest type, and will "
                          "not be printed; shorter titles make room.");
}

} // namespace

CoverCheck CheckCoverShow(const CoverShow &show, const TemplateRoom &room, const QLocale &locale)
{
    CoverCheck check;
    const QString band = show.band.trimmed();
    const QString venue = show.venue.trimmed();
    QStringList placeParts;
    for (const QString &part : {show.city.trimmed(), show.state.trimmed()}) {
        if (!part.isEmpty())
            placeParts << part;
    }
    const QString place = placeParts.join(QStringLiteral(", "));
    QString date = show.date.trimmed();
    if (const std::optional<QDate> recognised = RecogniseDate(date, locale))
        date = LongDateText(*recognised, locale);

    qsizetype tracks = 0;
    for (const ShowDisc &disc : show.discs)
        tracks += disc.titles.size();
    const int discs = int(show.discs.size());
    check.summary =
        QStringList{band.isEmpty() ? QStringLiteral("no band") : band,
                    date.isEmpty() ? QStringLiteral("no date") : date,
                    !venue.isEmpty()   ? venue
                    : !place.isEmpty() ? place
                                       : QStringLiteral("no venue"),
                    counted(discs, "disc", "discs") + u'/' + counted(tracks, "track", "tracks")}
            .join(QStringLiteral(" · "));

    QStringList &w = check.warnings;
    if (band.isEmpty())
        w << QStringLiteral("No band was found: the cover will name none.");
    if (date.isEmpty())
        w << QStringLiteral("No date was found: the cover will print none.");
    if (venue.isEmpty() && place.isEmpty())
        w << QStringLiteral("No venue, city or state was found: the cover will name no place.");
    if (!band.isEmpty() && band.compare(venue, Qt::CaseInsensitive) == 0)
        w << QStringLiteral("The band and the venue are both \u201C%1\u201D: the venue was "
                            "probably read as the band.")
                 .arg(band);
    if (tracks == 0)
        w << QStringLiteral("No tracks were found: the tray card will list none.");

    for (int n = 1; n <= discs; ++n) {
        const std::optional<int> seconds = DiscSeconds(show.discs[std::size_t(n - 1)].times);
        if (seconds && *seconds > CdrSeconds)
            w << QStringLiteral("Disc %1 runs %2, longer than a CD-R holds (%3).")
                     .arg(n)
                     .arg(RunningTime(*seconds), RunningTime(CdrSeconds));
    }
    if (discs > room.discs) {
        QList<int> left;
        qsizetype leftTracks = 0;
        for (int n = std::max(room.discs, 0) + 1; n <= discs; ++n) {
            left << n;
            leftTracks += show.discs[std::size_t(n - 1)].titles.size();
        }
        const QString room_ = room.discs > 0 ? QStringLiteral("The template has room for %1")
                                                   .arg(counted(room.discs, "disc", "discs"))
                                             : QStringLiteral("The template has no room for discs");
        w << QStringLiteral("%1: %2 (%3) will not be printed.")
                 .arg(room_, discNames(left), counted(leftTracks, "track", "tracks"));
    }
    if (room.fit.tracksNotFitting > 0)
        w << tracksNotFittingWarning(show, std::min(discs, room.discs), room.fit.tracksNotFitting);
    for (const QString &place : room.fit.crowded)
        w << QStringLiteral("The text of %1 will not fit, even at the smallest type, and will be "
                            "cut off.")
                 .arg(place);
    return check;
}

CoverCheck CheckCover(const QString &xml, const CoverCheckOptions &options)
{
    if (!CheckCoverFields(xml))
        return {};
    TemplateRoom room;
    const TemplateFormat *format = TemplateFormatOf(options.templatePath);
    FileCoverDocument document(options.document);
    if (format && format->family != FormatFamily::LegacyWord &&
        document.open(options.templatePath)) {
        room.discs = 0;
        while (room.discs < MaxCoverBookmarks &&
               document.lookUpBookmark(QStringLiteral("TrayDisc%1Tracks").arg(room.discs + 1)))
            ++room.discs;
        if (options.dryRun) {
            FillCoverBookmarks(document, xml, options.choices,
                               {options.locale, QDate::currentDate()});
            (void)document.fitLayout();
            room.fit = document.layoutFit();
        }
    }
    return CheckCoverShow(ReadCoverShow(xml), room, options.locale);
}

CoverCheckLine CoverCheckStatus(const CoverCheck &check)
{
    CoverCheckLine line{check.summary, check.warnings.join(u'\n')};
    if (check.warnings.size() == 1)
        line.summary += QStringLiteral(" \u2014 ") + check.warnings.first();
    else if (check.warnings.size() > 1)
        line.summary += QStringLiteral(" \u2014 %1 (and %2 more)")
                            .arg(check.warnings.first())
                            .arg(check.warnings.size() - 1);
    return line;
}

} // namespace tapewright
