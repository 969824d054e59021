// The plain records the converter passes from one step to the next within one conversion.
#pragma once

#include <QList>
#include <QString>

#include <array>

namespace tapewright {

// One show field. Element is the finished element, tags included; empty while not found.
struct HeaderField
{
    QString Element;
    QString SecondElement; // the date field's <DATE> element (Element holds <LITERALDATE>)
    int LineNo = 0;        // 1-based line the field was found on, 0 while not found
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

struct TrackRec
{
    QString TitleElement;
    QString TimeElement; // empty when the line had no recognised time
};

inline constexpr int MaxDiscs = 4;
inline constexpr int MaxWrittenTracksPerDisc = 50;

struct DiscSet
{
    int DiscCount = 0; // highest disc number whose header was found, 0..4
    // One record per recognised track, disc 1 first; past the 50th of a disc (never written)
    // the records stay empty and only count.
    std::array<QList<TrackRec>, MaxDiscs> Tracks;
};

} // namespace tapewright
