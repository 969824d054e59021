#include "cover/layout/bookletfit.h"

#include "cover/layout/trackcolumns.h"

namespace tapewright {

void FitBack(PartMarkup &markup, const Sites &sites, const Layout &layout,
             const std::vector<TrackDisc> &discs, LayoutFonts &fonts, LayoutFit *result)
{
    const BackPanel &back = layout.back;
    if (!back.source || !back.notes)
        return;
    const auto source = sites.constFind(QString::fromLatin1(back.source));
    const auto notes = sites.constFind(QString::fromLatin1(back.notes));
    if (source == sites.constEnd() || notes == sites.constEnd())
        return;
    const pugi::xml_node sourceParagraph = markup.paragraphOf(source->start);
    const pugi::xml_node notesParagraph = markup.paragraphOf(notes->start);
    pugi::xml_node cell = markup.cellOf(sourceParagraph);
    if (!sourceParagraph || !notesParagraph || sourceParagraph == notesParagraph || !cell ||
        markup.cellOf(notesParagraph) != cell)
        return;
    const MeasureText measure = fonts.measure(layout.trackFace);
    if (!measure)
        return;

    const std::vector<TextRun> sourceRuns = markup.runs(sourceParagraph);
    const std::vector<TextRun> notesRuns = markup.runs(notesParagraph);
    const double width = back.panel.width;
    const double room = back.panel.height - back.headerRoom;
    bool hasTracks = false;
    for (const TrackDisc &disc : discs)
        hasTracks = hasTracks || !disc.heading.isEmpty() || !disc.tracks.isEmpty();

    // From the largest size down: the source and notes take the lines they need at that size,
    // and the set list, at the same size, what they leave. A set list too long for the panel
    // even at the smallest size is left to the tray card, which holds every track: the back
    // then carries the source and notes alone.
    TrackArea area = back.setList;
    const TypeRange sizes = area.sizes;
    TrackAreaFit fit;
    double size = sizes.smallest;
    bool fits = false;
    bool withList = hasTracks;
    for (const bool list : {true, false}) {
        if (list && !hasTracks)
            continue;
        withList = list;
        for (int i = 0; !fits && sizes.largest - i * sizes.step >= sizes.smallest - 1e-9; ++i) {
            size = sizes.largest - i * sizes.step;
            const int lines = LineCount(sourceRuns, size, width, 0, 0, measure) +
                              LineCount(notesRuns, size, width, 0, 0, measure);
            area.height = room - lines * LinePitch(size, area.pitch) - back.sourceExtra;
            area.sizes = {size, size, sizes.step};
            if (area.height < 0)
                continue;
            if (list)
                fit = FitTrackArea(discs, area, measure);
            fits = !list || fit.fits;
        }
        if (fits)
            break;
    }
    if (!fits && back.crowdedName)
        result->crowded << QString::fromLatin1(back.crowdedName);

    // The set list goes between the line that names the show and the source: the table is
    // appended to the cell, and the source and notes moved after it.
    if (withList) {
        AppendTrackColumns(markup, cell, discs, std::vector<DiscBookmarks>(discs.size()), fit,
                           area);
        cell.append_move(sourceParagraph);
        cell.append_move(notesParagraph);
    }
    const ParagraphFormat format{size, LinePitch(size, area.pitch)};
    markup.formatParagraph(sourceParagraph, format);
    markup.formatParagraph(notesParagraph, format);
}

} // namespace tapewright
