// Writes the track list XML: one element per line, CR LF between lines and none after the root's
// closing tag, element texts exactly as found (no escaping: readers search for tags as text).
#pragma once

#include "records.h"

#include <QString>

namespace tapewright {

// fieldsMayHoldLineBreaks: whether an element text may hold a lone CR or LF, which is then
// written as a blank so that every element stays on one line. Without any, the texts are
// appended without looking at them again.
QString WriteTrackList(const ShowFields &fields, const DiscSet &discs,
                       bool fieldsMayHoldLineBreaks = true);

// The same document for any number of discs, one list of records per disc (a set of seven
// discs gives <DISCS>7</DISCS>, <TRACKSD5>, <D5T1> ...). At most 50 tracks of a disc are
// written; its count line gives them all.
QString WriteTrackList(const ShowFields &fields, const QList<QList<TrackRec>> &discs,
                       bool fieldsMayHoldLineBreaks = true);

} // namespace tapewright
