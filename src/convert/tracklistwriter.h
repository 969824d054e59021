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
// Control characters (a lone CR or LF, NUL, tab, NEL ...) and the line and paragraph separators
// U+2028 and U+2029 are written as blanks: every element stays on its one line and holds only
// what can be printed.
QString WriteTrackList(const ShowFields &fields, std::span<const DiscTracks> discs);

} // namespace tapewright
