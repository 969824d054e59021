// The pieces of set list lines: disc headings ("Disc 1", "CD2", "Disk 2 [54:28]", "D1 58:46"),
// set headings ("set 1:", "(encore)", "***FIller***") and numbered tracks ("01.", "1)", "1 -",
// "1-", "d1t01"), several of which may share one line ("1. Song 2. Song", "Disc 1, 1. Song, 2.
// Song", "(encore 1) 1. Song").
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace tapewright::smart {

struct TrackItem
{
    enum class Kind : quint8
    {
        Disc,
        Set,
        Track
    };
    Kind kind = Kind::Track;
    int number = 0;       // the track's number; a disc heading's own number (0: none given)
    int disc = 0;         // the disc a "d1t01" track names; 0 for other tracks
    bool missing = false; // marked "(missing)": it counts, but it is not on the disc
    QString title;        // a track's title; a disc heading's note ("sbd > dat > cdr")
    QString time;
};

// Appends the items of one line (blanks at both ends already removed, tabs made blanks) to
// items, in order, and returns how many; 0 when the line holds none.
qsizetype ItemsOfLine(QStringView s, QStringView lower, QList<TrackItem> &items);

// Whether the whole line is a set heading: "set 2:", "Set II", "(encore)", "***FIller***",
// "[show] (72:34)", "Tracklist:".
bool IsSetHeading(QStringView lower);

// A track's title as a cover shows it, and its time: the number is already gone; this takes off
// the time, segue arrows and footnote marks at the end, footnote numbers "(1)", set marks
// "(encore)", cut marks "//" and list commas, and joins runs of blanks.
struct CleanTitle
{
    QString title;
    QString time;
    bool missing = false;
};
// ownLine: the track has its line to itself, so that a semicolon in it ends no title.
CleanTitle CleanTrackTitle(QStringView raw, bool ownLine = true);

} // namespace tapewright::smart
