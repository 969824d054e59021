// A show as its cover sees it: the fields and every disc's tracks with their times, read once
// from the track list XML by the tag reader. What the tray card prints, the check before a cover
// is made and the set list of the booklet all read it, so they agree on what the show holds.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tapewright {

struct ShowDisc
{
    QStringList titles; // as the XML holds them ("1. Opener" from the classic conversion)
    QStringList times;  // one per title, "" where the track has none
};

struct CoverShow
{
    QString band, date, venue, city, state, source, notes;
    std::vector<ShowDisc> discs;
    // The XML counted more tracks (or longer ones) than were read: a cover holds a few hundred,
    // and a hand-edited count of thousands on thousands of discs would otherwise be read in full.
    bool tracksCut = false;
};

// At most this many tracks of a show are read, over all its discs, and titles and times of at
// most this many characters together: overlapping elements can make every track as long as the
// whole text.
inline constexpr int MaxShowTracks = 4096;
inline constexpr qsizetype MaxShowTrackText = 1000000;

// A disc or track count as the cover reads it: a whole number that fits 16 signed bits, else 0.
int CoverCount(const QString &text);

// Reads the show with the tag reader's rules (GetTagValue): values as they stand, the disc and
// track counts as the cover filler reads them (a count that is no 16-bit number is 0).
CoverShow ReadCoverShow(const QString &xml);

} // namespace tapewright
