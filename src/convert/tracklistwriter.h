// Writes the track list XML: one element per line, CR LF between lines and none after the root's
// closing tag, element texts exactly as found (no escaping: readers search for tags as text).
#pragma once

#include "convert/records.h"

#include <QString>

#include <span>

namespace tapewright {

// discs holds discs 1, 2, ... in order; the document counts as many discs as it holds, and lists
// at most the first 50 tracks of each. The texts need live only for the call.
//
// textsMayHoldLineBreaks: whether an element text may hold a CR or LF, which is then written as
// a blank so that every element stays on one line. Without any, the texts are copied without
// looking at them again.
QString WriteTrackList(const ShowFields &fields, std::span<const DiscTracks> discs,
                       bool textsMayHoldLineBreaks = true);

} // namespace tapewright
