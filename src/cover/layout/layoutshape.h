// Whether a part has the shape of the layout it names, checked before anything is fitted: the
// fitting finds each place and the track area by their bookmarks and rebuilds the track area,
// so a template whose bookmarks are not where the layout has them (one stretched over others,
// a track area without its table cell, a place gone) would be fitted wrongly. Such a template
// is filled without fitting.
#pragma once

#include "cover/layout/layouts.h"
#include "cover/layout/partmarkup.h"

#include <QString>

#include <pugixml.hpp>

namespace tapewright {

// Why part lacks the shape of layout, in a user's words and lower case ("its bookmark
// “TrayDisc2” is missing"); empty when it has it. The shape: each of the layout's bookmarks
// once, within one paragraph, no two in one paragraph; the discs' bookmarks in one table cell
// that holds nothing but their paragraphs (and empty ones), and no other bookmark reaching
// into that cell.
QString ShapeProblem(const PartMarkup &markup, const pugi::xml_document &part,
                     const Layout &layout);

} // namespace tapewright
