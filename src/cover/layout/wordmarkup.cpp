// The layout's markup in a Word document: sizes, pitches and indents are set as direct
// formatting on each paragraph and each of its runs (a run's size does not follow its
// paragraph's), and the track columns go into a fixed table without borders or padding.
#include "cover/layout/partmarkup.h"

#include <cstring>
#include <string_view>

namespace tapewright {

namespace {

// OOXML wants the children of a properties element in its schema's order; a Word that meets
// them in another order calls the file damaged. The orders, as lists of local names:
constexpr const char *RunPropertyOrder =
    " rStyle rFonts b bCs i iCs caps smallCaps strike dstrike outline shadow emboss imprint "
    "noProof snapToGrid vanish webHidden color spacing w kern position sz szCs highlight u effect "
    "bdr shd fitText vertAlign rtl cs em lang eastAsianLayout specVanish oMath ";
constexpr const char *ParagraphPropertyOrder =
    " pStyle keepNext keepLines pageBreakBefore framePr widowControl numPr suppressLineNumbers "
    "pBdr shd tabs suppressAutoHyphens kinsoku wordWrap overflowPunct topLinePunct autoSpaceDE "
    "autoSpaceDN bidi adjustRightInd snapToGrid spacing ind contextualSpacing mirrorIndents "
    "suppressOverlap jc textDirection textAlignment textboxTightWrap outlineLvl divId cnfStyle "
    "rPr sectPr pPrChange ";

// The child prefix+local of parent, made where the order puts it when there is none.
pugi::xml_node OrderedChild(pugi::xml_node parent, const std::string &prefix,
                            const std::string &local, const char *order)
{
    const std::string name = prefix + local;
    if (pugi::xml_node c = parent.child(name.c_str()))
        return c;
    const std::string_view list(order);
    const auto rank = [&](const char *qualified) {
        if (std::strncmp(qualified, prefix.c_str(), prefix.size()) != 0)
            return list.size(); // other namespaces (extensions) go last
        const std::string token = ' ' + std::string(qualified + prefix.size()) + ' ';
        const std::size_t at = list.find(token);
        return at == std::string_view::npos ? list.size() : at;
    };
    const std::size_t mine = rank(name.c_str());
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && rank(c.name()) > mine)
            return parent.insert_child_before(name.c_str(), c);
    }
    return parent.append_child(name.c_str());
}

class WordMarkup final : public PartMarkup
{
public:
    explicit WordMarkup(const XmlNames &names) : PartMarkup(names), w(names.text) {}

    bool isParagraph(const pugi::xml_node &n) const override { return IsElement(n, w + "p"); }
    bool isCell(const pugi::xml_node &n) const override { return IsElement(n, w + "tc"); }
    bool isCellProperties(const pugi::xml_node &n) const override
    {
        return IsElement(n, w + "tcPr");
    }
    std::vector<TextRun> runs(const pugi::xml_node &paragraph) const override;
    bool printsNothing(const pugi::xml_node &n) const override
    {
        return IsElement(n, w + "bookmarkStart") || IsElement(n, w + "bookmarkEnd") ||
               IsElement(n, w + "pPr");
    }
    bool printsBlanks(const pugi::xml_node &n) const override;

    void formatParagraph(pugi::xml_node paragraph, const ParagraphFormat &format) override;
    ParagraphStyle paragraphStyle(const std::string &base, const ParagraphFormat &format) override
    {
        return {base, format};
    }
    pugi::xml_node appendParagraph(pugi::xml_node parent, const ParagraphStyle &style) override;
    void appendText(pugi::xml_node paragraph, const QString &text,
                    const ParagraphStyle &style) override;
    void appendBookmarkStart(pugi::xml_node paragraph, const BookmarkMark &mark) override
    {
        pugi::xml_node s = paragraph.append_child((w + "bookmarkStart").c_str());
        s.append_attribute((w + "id").c_str()) = mark.id.c_str();
        s.append_attribute((w + "name").c_str()) = mark.name.toUtf8().constData();
    }
    void appendBookmarkEnd(pugi::xml_node paragraph, const BookmarkMark &mark) override
    {
        paragraph.append_child((w + "bookmarkEnd").c_str()).append_attribute((w + "id").c_str()) =
            mark.id.c_str();
    }
    std::vector<pugi::xml_node> appendColumnTable(pugi::xml_node cell, int n, int column,
                                                  int gap) override;

private:
    // Subtrees whose text is not printed as the paragraph's own: the copies Word keeps for old
    // readers, and property elements.
    bool skipsSubtree(const pugi::xml_node &n) const
    {
        if (n.type() != pugi::node_element)
            return false;
        const std::size_t len = std::strlen(n.name());
        return IsElement(n, names().fallback) ||
               (len > 2 && std::strcmp(n.name() + len - 2, "Pr") == 0);
    }
    bool isTrue(const pugi::xml_node &flag) const;
    void setRunSize(pugi::xml_node rPr, double size);
    void setParagraphFormat(pugi::xml_node pPr, const ParagraphFormat &f);

    const std::string w; // the prefix of Word's main namespace
};

bool WordMarkup::isTrue(const pugi::xml_node &flag) const
{
    if (!flag)
        return false;
    const pugi::xml_attribute val = flag.attribute((w + "val").c_str());
    if (!val)
        return true;
    const std::string v = val.value();
    return v != "0" && v != "false" && v != "off";
}

std::vector<TextRun> WordMarkup::runs(const pugi::xml_node &paragraph) const
{
    return readRuns(paragraph, [this](const pugi::xml_node &n, bool, RunList &list) {
        if (skipsSubtree(n))
            return Walk::Past;
        if (!IsElement(n, w + "r"))
            return Walk::Into;
        const bool bold = isTrue(n.child((w + "rPr").c_str()).child((w + "b").c_str()));
        for (pugi::xml_node c : n.children()) {
            if (IsElement(c, w + "t"))
                list.add(QString::fromUtf8(c.text().get()), bold);
            else if (IsElement(c, w + "tab"))
                list.add(QStringLiteral("\t"), bold);
            else if (IsElement(c, w + "br") || IsElement(c, w + "cr"))
                list.add(QStringLiteral("\n"), bold);
        }
        return Walk::Past;
    });
}

// A run of nothing but blanks and its properties.
bool WordMarkup::printsBlanks(const pugi::xml_node &n) const
{
    if (!IsElement(n, w + "r"))
        return false;
    for (pugi::xml_node c : n.children()) {
        if (IsElement(c, w + "t") ? !isBlank(c.text().get()) : !IsElement(c, w + "rPr"))
            return false;
    }
    return true;
}

void WordMarkup::formatParagraph(pugi::xml_node paragraph, const ParagraphFormat &format)
{
    pugi::xml_node pPr = paragraph.child((w + "pPr").c_str());
    if (!pPr)
        pPr = paragraph.prepend_child((w + "pPr").c_str());
    setParagraphFormat(pPr, format);
    // Every run, also those inside hyperlinks, fields and content controls.
    std::vector<pugi::xml_node> stack{paragraph};
    while (!stack.empty()) {
        const pugi::xml_node n = stack.back();
        stack.pop_back();
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
            if (IsElement(c, w + "r")) {
                pugi::xml_node rPr = c.child((w + "rPr").c_str());
                if (!rPr)
                    rPr = c.prepend_child((w + "rPr").c_str());
                setRunSize(rPr, format.size);
            } else if (c.type() == pugi::node_element && !skipsSubtree(c)) {
                stack.push_back(c);
            }
        }
    }
}

pugi::xml_node WordMarkup::appendParagraph(pugi::xml_node parent, const ParagraphStyle &style)
{
    pugi::xml_node p = parent.append_child((w + "p").c_str());
    pugi::xml_node pPr = p.append_child((w + "pPr").c_str());
    pPr.append_child((w + "pStyle").c_str()).append_attribute((w + "val").c_str()) =
        style.name.c_str();
    if (style.direct)
        setParagraphFormat(pPr, *style.direct);
    return p;
}

void WordMarkup::appendText(pugi::xml_node paragraph, const QString &text,
                            const ParagraphStyle &style)
{
    pugi::xml_document run;
    if (style.direct)
        setRunSize(run.append_child((w + "rPr").c_str()), style.direct->size);
    AppendText(paragraph, names(), text, run.first_child());
}

std::vector<pugi::xml_node> WordMarkup::appendColumnTable(pugi::xml_node cell, int n, int column,
                                                          int gap)
{
    std::vector<pugi::xml_node> cells;
    pugi::xml_node t = cell.append_child((w + "tbl").c_str());
    pugi::xml_node pr = t.append_child((w + "tblPr").c_str());
    pugi::xml_node width = pr.append_child((w + "tblW").c_str());
    width.append_attribute((w + "w").c_str()) = n * column + (n - 1) * gap;
    width.append_attribute((w + "type").c_str()) = "dxa";
    pugi::xml_node borders = pr.append_child((w + "tblBorders").c_str());
    for (const char *side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        borders.append_child((w + side).c_str()).append_attribute((w + "val").c_str()) = "nil";
    pr.append_child((w + "tblLayout").c_str()).append_attribute((w + "type").c_str()) = "fixed";
    pugi::xml_node margins = pr.append_child((w + "tblCellMar").c_str());
    for (const char *side : {"top", "left", "bottom", "right"}) {
        pugi::xml_node m = margins.append_child((w + side).c_str());
        m.append_attribute((w + "w").c_str()) = 0;
        m.append_attribute((w + "type").c_str()) = "dxa";
    }
    pr.append_child((w + "tblLook").c_str()).append_attribute((w + "val").c_str()) = "0000";
    pugi::xml_node grid = t.append_child((w + "tblGrid").c_str());
    for (int i = 0; i < n; ++i)
        grid.append_child((w + "gridCol").c_str()).append_attribute((w + "w").c_str()) =
            column + (i + 1 < n ? gap : 0);
    pugi::xml_node row = t.append_child((w + "tr").c_str());
    for (int i = 0; i < n; ++i) {
        pugi::xml_node c = row.append_child((w + "tc").c_str());
        pugi::xml_node tcPr = c.append_child((w + "tcPr").c_str());
        pugi::xml_node tcW = tcPr.append_child((w + "tcW").c_str());
        tcW.append_attribute((w + "w").c_str()) = column + (i + 1 < n ? gap : 0);
        tcW.append_attribute((w + "type").c_str()) = "dxa";
        if (i + 1 < n) {
            pugi::xml_node right =
                tcPr.append_child((w + "tcMar").c_str()).append_child((w + "right").c_str());
            right.append_attribute((w + "w").c_str()) = gap;
            right.append_attribute((w + "type").c_str()) = "dxa";
        }
        cells.push_back(c);
    }
    return cells;
}

void WordMarkup::setRunSize(pugi::xml_node rPr, double size)
{
    const std::string halfPoints = std::to_string(std::lround(size * 2));
    for (const char *local : {"sz", "szCs"}) {
        pugi::xml_node n = OrderedChild(rPr, w, local, RunPropertyOrder);
        pugi::xml_attribute val = n.attribute((w + "val").c_str());
        if (!val)
            val = n.append_attribute((w + "val").c_str());
        val.set_value(halfPoints.c_str());
    }
}

void WordMarkup::setParagraphFormat(pugi::xml_node pPr, const ParagraphFormat &f)
{
    auto set = [&](pugi::xml_node n, const char *local, const std::string &value) {
        const std::string name = w + local;
        pugi::xml_attribute a = n.attribute(name.c_str());
        if (!a)
            a = n.append_attribute(name.c_str());
        a.set_value(value.c_str());
    };
    if (f.pitch > 0 || f.spaceAbove >= 0) {
        pugi::xml_node spacing = OrderedChild(pPr, w, "spacing", ParagraphPropertyOrder);
        if (f.spaceAbove >= 0)
            set(spacing, "before", std::to_string(Twips(f.spaceAbove)));
        if (f.pitch > 0) {
            set(spacing, "line", std::to_string(Twips(f.pitch)));
            set(spacing, "lineRule", "exact");
        }
    }
    if (f.indent > 0) {
        pugi::xml_node ind = OrderedChild(pPr, w, "ind", ParagraphPropertyOrder);
        set(ind, "left", std::to_string(Twips(f.indent)));
        set(ind, "hanging", std::to_string(Twips(f.indent)));
    }
    setRunSize(OrderedChild(pPr, w, "rPr", ParagraphPropertyOrder), f.size);
}

} // namespace

std::unique_ptr<PartMarkup> NewWordMarkup(const XmlNames &names)
{
    return std::make_unique<WordMarkup>(names);
}

} // namespace tapewright
