#include "cover/layout/partmarkup.h"

#include <cmath>

namespace tapewright {

Sites SitesOf(const pugi::xml_document &part, const XmlNames &names)
{
    Sites sites;
    for (const BookmarkSite &site : CollectBookmarks(part, names))
        sites.insert(site.name, site);
    return sites;
}

int Twips(double points)
{
    return int(std::lround(points * 20));
}

bool IsElement(const pugi::xml_node &n, const std::string &name)
{
    return n.type() == pugi::node_element && name == n.name();
}

std::unique_ptr<PartMarkup> PartMarkup::of(const pugi::xml_document &part, const XmlNames &names)
{
    return names.flavor == DocumentFlavor::OpenDocument ? NewOdfMarkup(part, names)
                                                        : NewWordMarkup(names);
}

PartMarkup::~PartMarkup() = default;

pugi::xml_node PartMarkup::paragraphOf(pugi::xml_node n) const
{
    for (; n; n = n.parent()) {
        if (isParagraph(n))
            return n;
    }
    return {};
}

pugi::xml_node PartMarkup::cellOf(pugi::xml_node n) const
{
    for (; n; n = n.parent()) {
        if (isCell(n))
            return n;
    }
    return {};
}

void PartMarkup::RunList::add(const QString &text, bool bold)
{
    if (text.isEmpty())
        return;
    if (!runs.empty() && runs.back().bold == bold)
        runs.back().text += text;
    else
        runs.push_back({text, bold});
}

std::vector<TextRun> PartMarkup::readRuns(const pugi::xml_node &paragraph, const RunReader &read)
{
    RunList list;
    std::vector<std::pair<pugi::xml_node, bool>> stack;
    for (pugi::xml_node c = paragraph.last_child(); c; c = c.previous_sibling())
        stack.emplace_back(c, false);
    while (!stack.empty()) {
        auto [n, bold] = stack.back();
        stack.pop_back();
        const Walk walk = read(n, bold, list);
        if (walk == Walk::Past)
            continue;
        for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
            stack.emplace_back(c, bold || walk == Walk::IntoBold);
    }
    return list.runs;
}

bool PartMarkup::isBlank(const char *text)
{
    for (; *text; ++text) {
        if (*text != ' ' && *text != '\t')
            return false;
    }
    return true;
}

} // namespace tapewright
