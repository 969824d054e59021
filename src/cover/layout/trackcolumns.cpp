#include "cover/layout/trackcolumns.h"

#include <algorithm>
#include <cmath>

namespace tapewright {

namespace {

struct DiscBookmarks
{
    BookmarkMark heading, tracks;
};

// The track area rebuilt as a table of the fitted columns, in the cell that held the discs.
void WriteTrackColumns(PartMarkup &markup, pugi::xml_node cell, const std::vector<TrackDisc> &discs,
                       const std::vector<DiscBookmarks> &bookmarks, const TrackAreaFit &fit,
                       const TrackArea &area)
{
    for (pugi::xml_node c = cell.first_child(); c;) {
        const pugi::xml_node next = c.next_sibling();
        if (!markup.isCellProperties(c))
            cell.remove_child(c);
        c = next;
    }
    const int n = std::max<int>(1, int(fit.columns.size()));
    const int gap = Twips(area.columnGap);
    const int column = int(std::floor(fit.columnWidth * 20));

    // The three kinds of paragraph are made before the table: OpenDocument numbers its
    // automatic styles in the order they are made.
    const ParagraphStyle track =
        markup.paragraphStyle("TwTrackList", {fit.size, fit.pitch, fit.indent, 0});
    const ParagraphStyle heading =
        markup.paragraphStyle("TwDiscHeading", {fit.headingSize, fit.headingPitch, 0, 0});
    const ParagraphStyle spacedHeading = markup.paragraphStyle(
        "TwDiscHeading", {fit.headingSize, fit.headingPitch, 0, fit.headingSpace});
    const ParagraphStyle cellEnd{"TwCell", std::nullopt};
    const std::vector<pugi::xml_node> cells = markup.appendColumnTable(cell, n, column, gap);

    std::vector<bool> placed(discs.size() * 2, false); // heading and track bookmarks written
    for (std::size_t c = 0; c < cells.size() && c < fit.columns.size(); ++c) {
        const std::vector<TrackPlace> &column = fit.columns[c];
        for (std::size_t i = 0; i < column.size();) {
            const std::size_t d = std::size_t(column[i].disc);
            const DiscBookmarks &b = bookmarks[d];
            if (column[i].track < 0) {
                const ParagraphStyle &style = column[i].space ? spacedHeading : heading;
                pugi::xml_node para = markup.appendParagraph(cells[c], style);
                markup.appendBookmarkStart(para, b.heading);
                markup.appendText(para, discs[d].heading, style);
                markup.appendBookmarkEnd(para, b.heading);
                placed[d * 2] = true;
                ++i;
                continue;
            }
            // The disc's tracks in this column. Its track list bookmark runs over those of the
            // first column it takes, so that the range stays within one table cell.
            std::size_t j = i;
            while (j < column.size() && column[j].disc == column[i].disc && column[j].track >= 0)
                ++j;
            const bool marks = !placed[d * 2 + 1];
            for (std::size_t k = i; k < j; ++k) {
                pugi::xml_node para = markup.appendParagraph(cells[c], track);
                if (marks && k == i)
                    markup.appendBookmarkStart(para, b.tracks);
                markup.appendText(para, discs[d].tracks.at(column[k].track), track);
                if (marks && k + 1 == j)
                    markup.appendBookmarkEnd(para, b.tracks);
            }
            placed[d * 2 + 1] = true;
            i = j;
        }
    }
    // Word wants a paragraph in every cell, also in a column the discs left empty.
    const std::string paragraph = markup.names().text + "p";
    for (const pugi::xml_node &c : cells) {
        if (!c.child(paragraph.c_str()))
            markup.appendParagraph(c, cellEnd);
    }
    // The cell ends in a small paragraph (Word demands one after a table), which also keeps the
    // bookmarks of the discs the show does not have.
    pugi::xml_node end = markup.appendParagraph(cell, cellEnd);
    const auto keep = [&](const BookmarkMark &mark, bool isPlaced) {
        if (!isPlaced && !mark.name.isEmpty()) {
            markup.appendBookmarkStart(end, mark);
            markup.appendBookmarkEnd(end, mark);
        }
    };
    for (std::size_t d = 0; d < discs.size(); ++d) {
        keep(bookmarks[d].heading, placed[d * 2]);
        keep(bookmarks[d].tracks, placed[d * 2 + 1]);
    }
}

} // namespace

void FitTracks(PartMarkup &markup, const Sites &sites, const Layout &layout, LayoutFonts &fonts,
               LayoutFit *result)
{
    const auto anchor = sites.constFind(QString::fromLatin1(layout.trackAnchor));
    if (anchor == sites.constEnd())
        return;
    const pugi::xml_node cell = markup.cellOf(anchor->start);
    if (!cell)
        return;
    const MeasureText measure = fonts.measure(layout.trackFace);
    if (!measure)
        return;

    // The discs whose bookmarks lie in that cell, as filled. Word's bookmarks keep their ids
    // (w:id); OpenDocument's have none.
    const std::string idAttr = markup.names().text + "id";
    std::vector<TrackDisc> discs;
    std::vector<DiscBookmarks> bookmarks;
    for (int n = 1; n <= layout.discs; ++n) {
        const QString heading = DiscHeadingBookmark(n);
        const QString tracks = DiscTracksBookmark(n);
        const auto h = sites.constFind(heading);
        const auto t = sites.constFind(tracks);
        const bool hasHeading = h != sites.constEnd() && markup.cellOf(h->start) == cell;
        const bool hasTracks = t != sites.constEnd() && markup.cellOf(t->start) == cell;
        if (!hasHeading && !hasTracks)
            break;
        TrackDisc disc;
        DiscBookmarks b;
        if (hasHeading) {
            disc.heading = BookmarkText(*h, markup.names()).trimmed();
            b.heading = {heading, h->start.attribute(idAttr.c_str()).value()};
        }
        if (hasTracks) {
            // Empty lines at the end of a list (a count larger than the titles the track list
            // holds) print nothing and need no room.
            QStringList list = BookmarkText(*t, markup.names()).split(QStringLiteral("\r\n"));
            while (!list.isEmpty() && list.last().trimmed().isEmpty())
                list.removeLast();
            disc.tracks = list;
            b.tracks = {tracks, t->start.attribute(idAttr.c_str()).value()};
        }
        result->tracks +=
            int(std::count_if(disc.tracks.cbegin(), disc.tracks.cend(),
                              [](const QString &t) { return !t.trimmed().isEmpty(); }));
        discs.push_back(std::move(disc));
        bookmarks.push_back(std::move(b));
    }

    // Widths are measured in the track face; headings are bold.
    const TrackAreaFit fit = FitTrackArea(discs, layout.tracks, measure);
    result->tracksNotFitting = fit.tracksNotFitting;
    WriteTrackColumns(markup, cell, discs, bookmarks, fit, layout.tracks);
}

} // namespace tapewright
