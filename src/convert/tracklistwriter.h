// Writes the track list XML: one element per line, CR LF between lines and none after the root's
// closing tag, element texts exactly as found (no escaping: readers search for tags as text).
#pragma once

#include "records.h"

#include <QString>

namespace tapewright {

QString WriteTrackList(const ShowFields &fields, const DiscSet &discs);

} // namespace tapewright
