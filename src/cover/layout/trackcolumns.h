// The track area of a tray card: the discs' headings and track lists read from the cell that
// holds them, fitted in columns (FitTrackArea), and the cell rebuilt as a table of those
// columns with the discs' bookmarks around the same text.
#pragma once

#include "cover/layout/coverlayout.h"
#include "cover/layout/layoutfonts.h"
#include "cover/layout/layouts.h"
#include "cover/layout/partmarkup.h"

namespace tapewright {

// Fits the track area of layout where its anchor bookmark is found in sites, in a part that has
// the layout's shape (layoutshape.h). The tracks counted, and those that do not fit, go into
// result.
void FitTracks(PartMarkup &markup, const Sites &sites, const Layout &layout, LayoutFonts &fonts,
               LayoutFit *result);

} // namespace tapewright
