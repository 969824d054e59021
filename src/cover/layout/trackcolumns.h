// The track area of a tray card: the discs' headings and track lists read from the cell that
// holds them, fitted in columns (FitTrackArea), and the cell rebuilt as a table of those
// columns with the discs' bookmarks around the same text. The back of the booklet sets the
// same discs in a table of its own (bookletfit.cpp).
#pragma once

#include "cover/layout/coverlayout.h"
#include "cover/layout/layoutfonts.h"
#include "cover/layout/layouts.h"
#include "cover/layout/partmarkup.h"

#include <vector>

namespace tapewright {

// The heading and track list bookmarks of a disc; a name is empty where there is none.
struct DiscBookmarks
{
    BookmarkMark heading, tracks;
};

// The discs as filled into the track area of a layout.
struct FilledDiscs
{
    pugi::xml_node cell; // null: no track area the layout can rebuild
    std::vector<TrackDisc> discs;
    std::vector<DiscBookmarks> bookmarks;
};

// The discs whose bookmarks lie in the cell of the layout's track anchor, in a part that has the
// layout's shape (layoutshape.h); the cell is null when the anchor is in none. The tracks are
// counted into result.
FilledDiscs ReadFilledDiscs(const PartMarkup &markup, const Sites &sites, const Layout &layout,
                            LayoutFit *result);

// Fits the discs into the track area and rebuilds its cell; the tracks that do not fit go into
// result.
void FitTracks(PartMarkup &markup, const FilledDiscs &filled, const Layout &layout,
               LayoutFonts &fonts, LayoutFit *result);

// Appends the fitted columns to the end of cell as a table, writing the bookmarks given (a
// disc's track list bookmark around its tracks in the first column it takes). Returns which
// bookmarks were written: heading and track list of each disc, in turn.
std::vector<bool> AppendTrackColumns(PartMarkup &markup, pugi::xml_node cell,
                                     const std::vector<TrackDisc> &discs,
                                     const std::vector<DiscBookmarks> &bookmarks,
                                     const TrackAreaFit &fit, const TrackArea &area);

} // namespace tapewright
