// The plain records the converter passes from one step to the next within one conversion.
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <span>
#include <vector>

namespace tapewright {

// One show field. Element is the finished element, tags included; empty while not found.
struct HeaderField
{
    QString Element;
    QString SecondElement; // the date field's <DATE> element (Element holds <LITERALDATE>)
    bool Found = false;
};

struct ShowFields
{
    HeaderField Band;
    HeaderField Date;
    HeaderField Venue;
    HeaderField City;
    HeaderField State;
    HeaderField Source;
    HeaderField Notes;
};

// One track: the texts of its title and time elements, without tags. They are views into text
// kept elsewhere (for the converter, the info text or the DiscSet's Titles).
struct TrackRec
{
    QStringView Title;
    QStringView Time; // empty when the track has no time
};

// The most tracks a disc's list shows; a disc with more still counts them all.
inline constexpr int MaxWrittenTracksPerDisc = 50;

// One disc as the track list writes it: the number of its tracks, and its tracks in order, of
// which the first 50 are written. Count may be larger than Tracks.size(): records of tracks
// that are never written need not be kept.
struct DiscTracks
{
    qsizetype Count = 0;
    std::span<const TrackRec> Tracks;
};

// The discs an info text can name by their headers.
inline constexpr int MaxDiscs = 4;

struct DiscSet
{
    int DiscCount = 0; // highest disc number whose header was found, 0..4
    std::array<qsizetype, MaxDiscs> TrackCount{};
    // The records of each disc's written tracks (at most 50 a disc).
    std::array<std::vector<TrackRec>, MaxDiscs> Tracks;
    // The texts the records point into: the info text (shared, not copied) and the titles that
    // are no piece of their line as it stands (a time taken out of the middle).
    QString Text;
    QString Titles;

    // Discs 1 to 4 as the writer takes them; the writer is given the first DiscCount.
    std::array<DiscTracks, MaxDiscs> discs() const
    {
        std::array<DiscTracks, MaxDiscs> out;
        for (size_t d = 0; d < MaxDiscs; ++d)
            out[d] = {TrackCount[d], Tracks[d]};
        return out;
    }
};

} // namespace tapewright
