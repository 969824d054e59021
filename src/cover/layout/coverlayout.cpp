// A fitting in order: the places one by one, then the track area (placefit.cpp,
// trackcolumns.cpp), in the markup of the part's format (partmarkup.h).
#include "cover/layout/coverlayout.h"

#include "cover/layout/layoutfonts.h"
#include "cover/layout/layouts.h"
#include "cover/layout/layoutshape.h"
#include "cover/layout/partmarkup.h"
#include "cover/layout/placefit.h"
#include "cover/layout/trackcolumns.h"

namespace tapewright {

bool IsKnownLayout(const QString &layout)
{
    return FindLayout(layout) != nullptr;
}

QString LayoutShapeProblem(const QString &layoutName, const pugi::xml_document &part,
                           const XmlNames &names)
{
    const Layout *layout = FindLayout(layoutName);
    return layout ? ShapeProblem(*PartMarkup::of(part, names), part, *layout) : QString();
}

LayoutFit FitLayoutType(const QString &layoutName, pugi::xml_document &part, const XmlNames &names)
{
    LayoutFit result;
    const Layout *layout = FindLayout(layoutName);
    if (!layout)
        return result;
    const std::unique_ptr<PartMarkup> markup = PartMarkup::of(part, names);
    result.misshapen = ShapeProblem(*markup, part, *layout);
    if (!result.misshapen.isEmpty())
        return result;
    LayoutFonts fonts;
    // All places are found before any is changed: the track area is rebuilt, and the sites
    // of the other places must not point into what it removed.
    const Sites sites = SitesOf(part, names);
    for (const Place &place : layout->places)
        FitPlace(*markup, sites, place, fonts, &result);
    FitTracks(*markup, sites, *layout, fonts, &result);
    result.error = fonts.error();
    return result;
}

QString LayoutFitNotice(const LayoutFit &fit, const QString &layout, const QString &templateName)
{
    if (!fit.misshapen.isEmpty()) {
        return QStringLiteral("The template “%1” says it has the layout “%2” (in its document "
                              "property “Tapewright layout”), but %3. It was filled as it stands, "
                              "without fitting its type to the show; look the cover over before "
                              "you print it.")
            .arg(templateName, layout, fit.misshapen);
    }
    QStringList sentences;
    if (fit.tracksNotFitting > 0) {
        sentences << QStringLiteral("%1 of the %2 tracks do not fit on the tray card, even at "
                                    "the smallest type, and are not printed; shorten their "
                                    "titles in the track list to make room.")
                         .arg(fit.tracksNotFitting)
                         .arg(fit.tracks);
    }
    for (const QString &place : fit.crowded) {
        sentences << QStringLiteral("The text of %1 does not fit, even at the smallest type, and "
                                    "is cut off.")
                         .arg(place);
    }
    if (!fit.error.isEmpty()) {
        sentences << QStringLiteral("The type could not be fitted to the show (%1), so long track "
                                    "lists may be cut off.")
                         .arg(fit.error);
    }
    return sentences.join(u' ');
}

} // namespace tapewright
