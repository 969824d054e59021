// The layouts this program knows, as data: the places of a layout, found by their bookmarks,
// with the face, the room and the sizes each may take, and the track area of its tray card.
// The shipped Jewel Case templates name "Jewel Case 1" in their "Tapewright layout" property.
// A new layout is a new table in layouts.cpp; fitting it needs no new code as long as its places
// are one-line places, blocks and one track area.
#pragma once

#include "cover/layout/layoutfonts.h"
#include "cover/layout/typefit.h"

#include <QString>

#include <vector>

namespace tapewright {

// One-line places shrink below their range rather than break, down to this size.
inline constexpr double OneLineFloor = 2;
inline constexpr double Pitch = 1.15; // line pitch per point of type, as the templates set it

enum class Fit
{
    OneLine,
    Block,
};

// A paragraph (or two, for a block) found by a bookmark in it, and the room it has.
struct Place
{
    const char *bookmark;
    const char *secondBookmark; // a block's second paragraph, or nullptr
    Face face;                  // of the paragraph; runs in bold take the family's bold face
    Fit fit;
    double width;  // points
    double height; // points, blocks only
    TypeRange sizes;
    const char *crowdedName; // said when a block does not fit; nullptr: nothing is lost then
};

struct Layout
{
    const char *name;
    std::vector<Place> places;
    const char *trackAnchor; // the heading bookmark of disc 1: its table cell is the track area
    int discs;               // TrayDisc1 to TrayDisc<discs> are set there
    Face trackFace;          // of the tracks; the headings are in its bold face
    TrackArea tracks;
};

// The layout of that name; nullptr for a name this program does not know.
const Layout *FindLayout(const QString &name);

// The bookmarks of disc n's heading and track list in a track area: "TrayDisc1",
// "TrayDisc1Tracks".
QString DiscHeadingBookmark(int n);
QString DiscTracksBookmark(int n);

} // namespace tapewright
