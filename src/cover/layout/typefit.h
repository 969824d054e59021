// Choosing the type size at which text fits its place on a printed cover: the track lists of
// the discs in the columns of a tray card, a spine or title that must stay on one line, a block
// of source and notes. Pure functions: widths come from a measure the caller gives (a font's
// metrics, or fixed widths in tests); sizes and lengths are in points.
//
// Lines are broken as a word processor breaks them: at blanks, a word longer than the line at
// any character. It may break at more places (after a hyphen, say), never at fewer, so a text
// that fits here fits there.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

namespace tapewright {

// Points in a twip (1/20 pt): the unit the templates' geometry is given in, so both document
// formats agree on it.
inline constexpr double Tw = 1.0 / 20;

// Width in em of text set in the regular or the bold face (multiply by the size for points).
using MeasureText = std::function<double(QStringView text, bool bold)>;

// The type sizes to try, from the largest down.
struct TypeRange
{
    double largest = 9;
    double smallest = 4.5;
    double step = 0.5;
};

// The distance between baselines for a type size: size × factor, rounded up to a twentieth of a
// point, a length both document formats state exactly.
double LinePitch(double size, double factor);

// A piece of a paragraph in one face. "\r\n" (or a lone "\r" or "\n") starts a new line.
struct TextRun
{
    QString text;
    bool bold = false;
};

// The number of lines runs take when set at size in lines width points wide; lines after the
// first of a paragraph are indent points narrower (a hanging indent). Tabs advance to the next
// multiple of tabStop points.
int LineCount(const std::vector<TextRun> &runs, double size, double width, double indent,
              double tabStop, const MeasureText &measure);

struct LineFit
{
    double size = 0;
    bool fits = false; // false: even the smallest size (or the floor, for one line) is too large
};

// One line: the largest size of sizes at which runs fit width without breaking. When even the
// smallest is too large the size goes on down in the same steps, to floor at most, so that the
// line never breaks (a spine set on two lines runs over its folds); fits is then false.
LineFit FitOneLine(const std::vector<TextRun> &runs, double width, const TypeRange &sizes,
                   double floor, const MeasureText &measure);

// Paragraphs set one below the other in a box: the largest size at which all their lines, at
// LinePitch(size, pitch) apart, take no more than height. Not fitting, the smallest size.
LineFit FitBlock(const std::vector<std::vector<TextRun>> &paragraphs, double width, double height,
                 const TypeRange &sizes, double pitch, const MeasureText &measure);

// The track lists of a tray card: each disc's heading and its tracks, one paragraph a track.
// A heading or a track may end in a tab and a time ("1. Opener\t4:56"): the time is set flush
// right in its column, on the title's last line when there is room for it there.
struct TrackDisc
{
    QString heading;
    QStringList tracks;
};

// What a disc heading reads at the top of a column its tracks run on into: "Disc 1 (cont.)"
// for "Disc 1\t72:34".
QString ContinuedHeading(const QString &heading);

struct TrackArea
{
    double width = 0;  // the whole area the columns share
    double height = 0; // of every column
    double columnGap = 10;
    double minColumnWidth = 57; // no more columns than this allows
    TypeRange sizes;
    double pitch = 1.15;       // line pitch per point of type size
    double headingLarger = 1;  // a disc heading is this many points larger than the tracks
    double headingSpace = 0.6; // above a heading that does not open its column, in track lines
    double indent = 1;         // em of the track type: lines of a wrapped title after the first
    double tabStop = 35.4;     // default tab stops of the paragraphs
    double timeGap = 1;        // em: the least room between a title and its time
    // Above this size every paragraph must stay on one line: a type larger than usual is for
    // room to spare, not for titles broken over lines. 0: no such size.
    double wrapsUpTo = 0;
};

// Where a heading or track goes: columns are filled top to bottom, one after the other.
struct TrackPlace
{
    int disc = 0;           // index into the discs
    int track = -1;         // index into the disc's tracks; -1 for its heading
    int lines = 1;          // lines the paragraph takes
    bool space = false;     // a heading with headingSpace above it
    bool fits = true;       // false: past the bottom of the last column, not printed
    bool continued = false; // a heading repeated atop a column its disc runs on into
};

struct TrackAreaFit
{
    double size = 0; // of the tracks
    double pitch = 0;
    double headingSize = 0;
    double headingPitch = 0;
    double headingSpace = 0; // points
    double columnWidth = 0;
    double indent = 0; // points
    std::vector<std::vector<TrackPlace>> columns;
    bool fits = true;         // false: even the smallest size leaves something out
    int tracksNotFitting = 0; // tracks past the last column even at the smallest size, blank
                              // ones (which print nothing) not counted
};

// The largest track size at which every disc fits the area, with the columns the discs need.
// At that size the discs each open a column of their own when they can, else follow each
// other; of the column counts that fit, the fewest (the widest columns), filled to the least
// height that takes them all, so that the columns end about level. A heading never ends a
// column, and a disc that runs on into another column is headed there again (continued).
// Discs with neither heading nor tracks are left out. When nothing fits at the smallest size,
// the column count that fits the most tracks, the rest placed after the last column and
// counted.
TrackAreaFit FitTrackArea(const std::vector<TrackDisc> &discs, const TrackArea &area,
                          const MeasureText &measure);

} // namespace tapewright
