#include "cover/layout/trackcolumns.h"

#include <algorithm>
#include <cmath>

namespace tapewright {

namespace {

// A blank before the tab that sets a time flush right: where the title's last line leaves too
// little room, the word processor puts the time a blank after it or on a line of its own,
// never against it.
QString SpacedTime(const QString &text)
{
    const qsizetype tab = text.lastIndexOf(u'\t');
    if (tab <= 0 || text.at(tab - 1).isSpace())
        return text;
    return text.first(tab) + u' ' + text.sliced(tab);
}

} // namespace

std::vector<bool> AppendTrackColumns(PartMarkup &markup, pugi::xml_node cell,
                                     const std::vector<TrackDisc> &discs,
                                     const std::vector<DiscBookmarks> &bookmarks,
                                     const TrackAreaFit &fit, const TrackArea &area)
{
    const int n = std::max<int>(1, int(fit.columns.size()));
    const int gap = Twips(area.columnGap);
    const int column = int(std::floor(fit.columnWidth * 20));

    // The three kinds of paragraph are made before the table: OpenDocument numbers its
    // automatic styles in the order they are made. Times stand flush right, half a point
    // inside the column, where a word processor never takes the stop for one past the margin.
    const double tab = column * Tw - 0.5;
    const ParagraphStyle track =
        markup.paragraphStyle("TwTrackList", {fit.size, fit.pitch, fit.indent, 0, tab});
    const ParagraphStyle heading =
        markup.paragraphStyle("TwDiscHeading", {fit.headingSize, fit.headingPitch, 0, 0, tab});
    const ParagraphStyle spacedHeading = markup.paragraphStyle(
        "TwDiscHeading", {fit.headingSize, fit.headingPitch, 0, fit.headingSpace, tab});
    const ParagraphStyle cellEnd{"TwCell", std::nullopt};
    const std::vector<pugi::xml_node> cells = markup.appendColumnTable(cell, n, column, gap);

    std::vector<bool> placed(discs.size() * 2, false); // heading and track bookmarks written
    for (std::size_t c = 0; c < cells.size() && c < fit.columns.size(); ++c) {
        const std::vector<TrackPlace> &column = fit.columns[c];
        for (std::size_t i = 0; i < column.size();) {
            const std::size_t d = std::size_t(column[i].disc);
            const DiscBookmarks &b = bookmarks[d];
            if (column[i].continued) {
                pugi::xml_node para = markup.appendParagraph(cells[c], heading);
                markup.appendText(para, ContinuedHeading(discs[d].heading), heading);
                ++i;
                continue;
            }
            if (column[i].track < 0) {
                const ParagraphStyle &style = column[i].space ? spacedHeading : heading;
                pugi::xml_node para = markup.appendParagraph(cells[c], style);
                const bool marks = !b.heading.name.isEmpty();
                if (marks)
                    markup.appendBookmarkStart(para, b.heading);
                markup.appendText(para, SpacedTime(discs[d].heading), style);
                if (marks)
                    markup.appendBookmarkEnd(para, b.heading);
                placed[d * 2] = marks;
                ++i;
                continue;
            }
            // The disc's tracks in this column. Its track list bookmark runs over those of the
            // first column it takes, so that the range stays within one table cell.
            std::size_t j = i;
            while (j < column.size() && column[j].disc == column[i].disc && column[j].track >= 0)
                ++j;
            const bool marks = !placed[d * 2 + 1] && !b.tracks.name.isEmpty();
            for (std::size_t k = i; k < j; ++k) {
                pugi::xml_node para = markup.appendParagraph(cells[c], track);
                if (marks && k == i)
                    markup.appendBookmarkStart(para, b.tracks);
                markup.appendText(para, SpacedTime(discs[d].tracks.at(column[k].track)), track);
                if (marks && k + 1 == j)
                    markup.appendBookmarkEnd(para, b.tracks);
            }
            placed[d * 2 + 1] = placed[d * 2 + 1] || marks;
            i = j;
        }
    }
    // Word wants a paragraph in every cell, also in a column the discs left empty.
    const std::string paragraph = markup.names().text + "p";
    for (const pugi::xml_node &c : cells) {
        if (!c.child(paragraph.c_str()))
            markup.appendParagraph(c, cellEnd);
    }
    return placed;
}

FilledDiscs ReadFilledDiscs(const PartMarkup &markup, const Sites &sites, const Layout &layout,
                            LayoutFit *result)
{
    FilledDiscs filled;
    const auto anchor = sites.constFind(QString::fromLatin1(layout.trackAnchor));
    if (anchor == sites.constEnd())
        return filled;
    const pugi::xml_node cell = markup.cellOf(anchor->start);
    if (!cell)
        return filled;
    filled.cell = cell;

    // The discs whose bookmarks lie in that cell, as filled. Word's bookmarks keep their ids
    // (w:id); OpenDocument's have none.
    const std::string idAttr = markup.names().text + "id";
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
        filled.discs.push_back(std::move(disc));
        filled.bookmarks.push_back(std::move(b));
    }
    return filled;
}

void FitTracks(PartMarkup &markup, const FilledDiscs &filled, const Layout &layout,
               LayoutFonts &fonts, LayoutFit *result)
{
    if (!filled.cell)
        return;
    const MeasureText measure = fonts.measure(layout.trackFace);
    if (!measure)
        return;
    // Widths are measured in the track face; headings are bold.
    const TrackAreaFit fit = FitTrackArea(filled.discs, layout.tracks, measure);
    result->tracksNotFitting = fit.tracksNotFitting;

    pugi::xml_node cell = filled.cell;
    for (pugi::xml_node c = cell.first_child(); c;) {
        const pugi::xml_node next = c.next_sibling();
        if (!markup.isCellProperties(c))
            cell.remove_child(c);
        c = next;
    }
    const std::vector<bool> placed =
        AppendTrackColumns(markup, cell, filled.discs, filled.bookmarks, fit, layout.tracks);
    // The cell ends in a small paragraph (Word demands one after a table), which also keeps the
    // bookmarks of the discs the show does not have.
    pugi::xml_node end = markup.appendParagraph(cell, {"TwCell", std::nullopt});
    const auto keep = [&](const BookmarkMark &mark, bool isPlaced) {
        if (!isPlaced && !mark.name.isEmpty()) {
            markup.appendBookmarkStart(end, mark);
            markup.appendBookmarkEnd(end, mark);
        }
    };
    for (std::size_t d = 0; d < filled.discs.size(); ++d) {
        keep(filled.bookmarks[d].heading, placed[d * 2]);
        keep(filled.bookmarks[d].tracks, placed[d * 2 + 1]);
    }
}

} // namespace tapewright
