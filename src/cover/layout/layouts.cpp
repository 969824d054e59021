#include "cover/layout/layouts.h"

namespace tapewright {

namespace {

constexpr Face Sans{"Liberation Sans", false, false};
constexpr Face SansBold{"Liberation Sans", true, false};
constexpr Face SerifBold{"Liberation Serif", true, false};
constexpr Face SerifItalic{"Liberation Serif", false, true};

Place OneLine(const char *bookmark, Face face, double width, double largest, double smallest)
{
    return {bookmark, nullptr, face, Fit::OneLine, width, 0, {largest, smallest, 0.5}, nullptr};
}

Place Block(const char *bookmark, const char *second, Face face, double width, double height,
            TypeRange sizes, const char *crowdedName)
{
    return {bookmark, second, face, Fit::Block, width, height, sizes, crowdedName};
}

// "Jewel Case 1": the shipped Jewel Case templates, A4 and Letter alike. Widths and heights are
// those of the cells in the templates (in twips there), less their padding.
Layout JewelCase()
{
    const double panel = (6803 - 2 * 454) * Tw;       // booklet panel inside its padding
    const double spine = (6690 - 2 * 170) * Tw;       // spine length, 3 mm clear of each end
    const double face = (7824 - 2 * 227) * Tw;        // tray face inside its padding
    const double footerHalf = (3912 - 227 - 57) * Tw; // one of the two cells of the last line
    Layout l{"Jewel Case 1", {}, "TrayDisc1", 4, Sans, {}};
    l.places = {
        OneLine("SpineBand", Sans, spine, 8, 4.5),
        OneLine("CoverBand2", Sans, spine, 8, 4.5),
        OneLine("CoverBand", SansBold, face, 12, 4.5),
        OneLine("CoverDate", Sans, face, 8, 4.5),
        Block("TraySource", nullptr, Sans, face, (397 - 28) * Tw, {6.5, 4.5, 0.5},
              "the source line of the tray card"),
        OneLine("TrayBand", Sans, footerHalf, 6, 4.5),
        OneLine("TrayCollection", Sans, footerHalf, 6, 4.5),
        OneLine("LinerBand", SansBold, panel, 14, 6),
        OneLine("Linerdate", Sans, panel, 9, 4.5),
        OneLine("LinerVenue", Sans, panel, 9, 4.5),
        OneLine("LinerCity", Sans, panel, 9, 4.5),
        // What is left of the panel below the band and the three lines under it, the source's
        // rule and the spaces around it.
        Block("LinerSource", "LinerNotes", Sans, panel, 224, {7.5, 4.5, 0.5},
              "the source and notes on the back of the booklet"),
        // The front's band may take two lines of its largest size.
        Block("LinerCoverBand", nullptr, SerifBold, panel, 2 * LinePitch(26, Pitch), {26, 12, 0.5},
              nullptr),
        OneLine("LinerCoverDate", SerifItalic, panel, 13, 6),
        OneLine("LinerCoverVenue", Sans, panel, 10, 4.5),
        OneLine("LinerCoverCity", Sans, panel, 10, 4.5),
    };
    TrackArea &t = l.tracks;
    t.width = face;
    // The cell less its padding, the small paragraph that ends it and a point to spare.
    t.height = (5216 - 85 - 57) * Tw - 2 - 1;
    t.columnGap = 10;
    t.minColumnWidth = 56.7; // 20 mm
    t.sizes = {9, 4.5, 0.5};
    t.pitch = Pitch;
    t.headingLarger = 1;
    t.headingSpace = 0.6;
    t.indent = 1;
    t.tabStop = 35.45;
    return l;
}

} // namespace

const Layout *FindLayout(const QString &name)
{
    static const Layout layouts[] = {JewelCase()};
    for (const Layout &l : layouts) {
        if (name == QLatin1String(l.name))
            return &l;
    }
    return nullptr;
}

QString DiscHeadingBookmark(int n)
{
    return QStringLiteral("TrayDisc%1").arg(n);
}

QString DiscTracksBookmark(int n)
{
    return DiscHeadingBookmark(n) + QStringLiteral("Tracks");
}

} // namespace tapewright
