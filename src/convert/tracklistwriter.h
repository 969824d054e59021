// Writes the track list XML: one element per line, CR LF between lines and none after the root's
// closing tag, element texts exactly as found (no escaping: readers search for tags as text).
#pragma once

#include "convert/records.h"

#include <QString>

#include <functional>
#include <span>

namespace tapewright {

// discs holds discs 1, 2, ... in order; the document counts as many discs as it holds, and lists
// at most the first 50 tracks of each. The texts need live only for the call.
//
// Control characters (a lone CR or LF, NUL, tab, NEL ...) and the line and paragraph separators
// U+2028 and U+2029 are written as blanks: every element stays on its one line and holds only
// what can be printed.
QString WriteTrackList(const ShowFields &fields, std::span<const DiscTracks> discs);

// A show's discs and tracks, handed over one at a time in order.
class TrackLines
{
public:
    virtual void disc() = 0;                                     // the next disc begins
    virtual void track(QStringView title, QStringView time) = 0; // a track of the present disc

protected:
    ~TrackLines() = default;
};

// The same document for a show too long to keep its tracks: readTracks hands every disc and
// every track over in order (the tracks past a disc's 50th too, which count). It is called
// twice, to measure the document and then to write it, and must hand over the same both times.
// What is kept meanwhile is a number per disc.
QString WriteTrackList(const ShowFields &fields,
                       const std::function<void(TrackLines &)> &readTracks);

} // namespace tapewright
