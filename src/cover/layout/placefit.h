// Fitting the type of a layout's places other than the track area: a spine or title line set
// on one line at the largest size that fits, a block of source and notes shrunk to its box.
#pragma once

#include "cover/layout/coverlayout.h"
#include "cover/layout/layoutfonts.h"
#include "cover/layout/layouts.h"
#include "cover/layout/partmarkup.h"

namespace tapewright {

// Fits place where its bookmark is found in sites; a block that does not fit even at its
// smallest size is named in result's crowded places.
void FitPlace(PartMarkup &markup, const Sites &sites, const Place &place, LayoutFonts &fonts,
              LayoutFit *result);

} // namespace tapewright
