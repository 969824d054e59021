#include "cover/layout/layoutshape.h"

#include "cover/document/bookmarkxml.h"

#include <QHash>
#include <QStringList>

#include <map>

namespace tapewright {

namespace {

QString quoted(const QString &name)
{
    return u'\u201C' + name + u'\u201D';
}

bool inside(pugi::xml_node n, const pugi::xml_node &ancestor)
{
    for (; n; n = n.parent()) {
        if (n == ancestor)
            return true;
    }
    return false;
}

} // namespace

QString ShapeProblem(const PartMarkup &markup, const pugi::xml_document &part, const Layout &layout)
{
    QHash<QString, int> counts;
    const std::vector<BookmarkSite> all = CollectBookmarks(part, markup.names(), &counts);
    const Sites sites = [&all] {
        Sites s;
        for (const BookmarkSite &site : all)
            s.insert(site.name, site);
        return s;
    }();

    QStringList discs;
    for (int n = 1; n <= layout.discs; ++n)
        discs << DiscHeadingBookmark(n) << DiscTracksBookmark(n);
    QStringList names;
    for (const Place &place : layout.places) {
        names << QString::fromLatin1(place.bookmark);
        if (place.secondBookmark)
            names << QString::fromLatin1(place.secondBookmark);
    }
    names << discs;

    std::map<pugi::xml_node, QString> paragraphs; // of the layout's bookmarks
    for (const QString &name : std::as_const(names)) {
        const int count = counts.value(name);
        if (count == 0)
            return QStringLiteral("its bookmark %1 is missing").arg(quoted(name));
        if (count > 1)
            return QStringLiteral("its bookmark %1 is there %2 times").arg(quoted(name)).arg(count);
        const BookmarkSite site = sites.value(name);
        const pugi::xml_node paragraph = markup.paragraphOf(site.start);
        if (!paragraph || (site.end && markup.paragraphOf(site.end) != paragraph))
            return QStringLiteral("its bookmark %1 does not lie within one paragraph")
                .arg(quoted(name));
        const auto [taken, added] = paragraphs.emplace(paragraph, name);
        if (!added)
            return QStringLiteral("its bookmarks %1 and %2 share a paragraph")
                .arg(quoted(taken->second), quoted(name));
    }

    // The track area is rebuilt from the discs' paragraphs: anything else in its cell would be
    // lost, and a bookmark reaching into it would lose its start or end.
    const pugi::xml_node cell =
        markup.cellOf(sites.value(QString::fromLatin1(layout.trackAnchor)).start);
    if (!cell)
        return QStringLiteral("its track lists are not in a table cell");
    for (const QString &name : std::as_const(discs)) {
        if (markup.cellOf(sites.value(name).start) != cell)
            return QStringLiteral("its bookmark %1 is not in the table cell of the track lists")
                .arg(quoted(name));
    }
    for (pugi::xml_node c = cell.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element || markup.isCellProperties(c))
            continue;
        const auto disc = paragraphs.find(c);
        const bool holdsDisc = disc != paragraphs.end() && discs.contains(disc->second);
        if (!markup.isParagraph(c) || (!holdsDisc && !markup.runs(c).empty()))
            return QStringLiteral("the table cell of its track lists holds more than the discs' "
                                  "headings and track lists");
    }
    for (const BookmarkSite &site : all) {
        if (!discs.contains(site.name) && (inside(site.start, cell) || inside(site.end, cell)))
            return QStringLiteral("its bookmark %1 reaches into the table cell of the track lists")
                .arg(quoted(site.name));
    }
    return {};
}

} // namespace tapewright
