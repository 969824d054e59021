// Disc headers and the track lines that belong to each disc.
#pragma once

#include "infolines.h"
#include "records.h"

namespace tapewright {

DiscSet FindDiscs(const InfoLines &lines);

} // namespace tapewright
