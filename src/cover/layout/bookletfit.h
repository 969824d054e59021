// The back of a layout's booklet: the set list (the tray card's discs with their numbered
// tracks and times) in columns under the line that names the show, then the source and the
// notes, at the largest size at which all of it fits the panel.
#pragma once

#include "cover/layout/coverlayout.h"
#include "cover/layout/layoutfonts.h"
#include "cover/layout/layouts.h"
#include "cover/layout/partmarkup.h"

#include <vector>

namespace tapewright {

// Sets discs on the back panel of layout, found by its bookmarks in sites; a back that does not
// fit even at the smallest size is named in result's crowded places.
void FitBack(PartMarkup &markup, const Sites &sites, const Layout &layout,
             const std::vector<TrackDisc> &discs, LayoutFonts &fonts, LayoutFit *result);

} // namespace tapewright
