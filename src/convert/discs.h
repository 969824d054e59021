// Disc headers and the track lines that belong to each disc.
#pragma once

#include "convert/infolines.h"
#include "convert/records.h"

#include <array>

namespace tapewright {

// Takes the lines one by one, in order, from line 1, and notes the first header line of each of
// the four discs.
class DiscHeaderScan
{
public:
    // Line n lower-cased. Returns false once every disc has its header.
    bool feed(qsizetype n, QStringView lower);

    int discCount() const { return m_discCount; }
    // The header line of each disc, 0 for a disc without one.
    const std::array<qsizetype, MaxDiscs> &headerLines() const { return m_headerLine; }

private:
    std::array<qsizetype, MaxDiscs> m_headerLine{};
    int m_discCount = 0;
    int m_found = 0;
    UnitBuffer m_header; // the header text of the line being tested
};

// The tracks below each header.
DiscSet GatherTracks(const InfoLines &lines, const DiscHeaderScan &headers);

// Both steps, for a caller that has no other use for the lines.
DiscSet FindDiscs(const InfoLines &lines);

} // namespace tapewright
