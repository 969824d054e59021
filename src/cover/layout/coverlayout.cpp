#include "cover/layout/coverlayout.h"

#include "cover/layout/fontmetrics.h"
#include "cover/layout/typefit.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string_view>

namespace tapewright {

namespace {

constexpr const char *OdfOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char *OdfStyleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
constexpr const char *OdfTableNs = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr const char *OdfFoNs = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";

// Twips (1/20 pt): the unit the templates' geometry is given in, so both formats agree on it.
constexpr double Tw = 1.0 / 20;

// Measured widths are taken this much wider than the font says: the word processor places
// glyphs on its own grid and may round each advance up.
constexpr double WidthSafety = 1.02;
// One-line places shrink below their range rather than break, down to this size.
constexpr double OneLineFloor = 2;
constexpr double Pitch = 1.15; // line pitch per point of type, as the templates set it

enum class Fit
{
    OneLine,
    Block,
};

struct Face
{
    const char *family;
    bool bold;
    bool italic;
};

constexpr Face Sans{"Liberation Sans", false, false};
constexpr Face SansBold{"Liberation Sans", true, false};
constexpr Face SerifBold{"Liberation Serif", true, false};
constexpr Face SerifItalic{"Liberation Serif", false, true};

// A paragraph (or two, for a block) found by a bookmark in it, and the room it has.
struct Place
{
    const char *bookmark;
    const char *secondBookmark; // a block's second paragraph, or nullptr
    Face face;                  // of the paragraph; runs in bold take the family's bold face
    Fit fit;
    double width;  // points
    double height; // points, blocks only
    TypeRange sizes;
    const char *crowdedName; // said when a block does not fit; nullptr: nothing is lost then
};

struct Layout
{
    const char *name;
    std::vector<Place> places;
    const char *trackAnchor; // the heading bookmark of disc 1: its table cell is the track area
    int discs;               // TrayDisc1 to TrayDisc<discs> are set there
    TrackArea tracks;
};

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
    Layout l{"Jewel Case 1", {}, "TrayDisc1", 4, {}};
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

const Layout *FindLayout(const QString &name)
{
    static const Layout layouts[] = {JewelCase()};
    for (const Layout &l : layouts) {
        if (name == QLatin1String(l.name))
            return &l;
    }
    return nullptr;
}

// A length in points as the documents write it: at most two decimals, no trailing zeros.
std::string Points(double points)
{
    QString s = QString::number(points, 'f', 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s.toStdString() + "pt";
}

int Twips(double points)
{
    return int(std::lround(points * 20));
}

bool IsElement(const pugi::xml_node &n, const std::string &name)
{
    return n.type() == pugi::node_element && name == n.name();
}

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

// Everything about the part the fitting needs: its prefixes, and for OpenDocument its
// automatic styles and the names already taken.
struct Part
{
    XmlNames names;
    bool odf;
    std::string text, table, style, fo, office, w;
    pugi::xml_node automaticStyles;
    std::set<std::string> styleNames;
    int nextStyle = 1;

    Part(pugi::xml_document &doc, const XmlNames &n)
        : names(n), odf(n.flavor == DocumentFlavor::OpenDocument), text(n.text)
    {
        pugi::xml_node root = doc.document_element();
        if (!odf) {
            w = n.text;
            return;
        }
        table = DeclaredPrefix(root, OdfTableNs, "table:");
        style = DeclaredPrefix(root, OdfStyleNs, "style:");
        fo = DeclaredPrefix(root, OdfFoNs, "fo:");
        office = DeclaredPrefix(root, OdfOfficeNs, "office:");
        automaticStyles = root.child((office + "automatic-styles").c_str());
        if (!automaticStyles) {
            const pugi::xml_node body = root.child((office + "body").c_str());
            automaticStyles =
                body ? root.insert_child_before((office + "automatic-styles").c_str(), body)
                     : root.append_child((office + "automatic-styles").c_str());
        }
        for (pugi::xml_node s : automaticStyles.children())
            styleNames.insert(s.attribute((style + "name").c_str()).value());
    }

    bool isParagraph(const pugi::xml_node &n) const
    {
        return IsElement(n, text + "p") || (odf && IsElement(n, text + "h"));
    }
    pugi::xml_node paragraphOf(pugi::xml_node n) const
    {
        for (; n; n = n.parent()) {
            if (isParagraph(n))
                return n;
        }
        return {};
    }
    pugi::xml_node cellOf(pugi::xml_node n) const
    {
        const std::string cell = odf ? table + "table-cell" : w + "tc";
        for (; n; n = n.parent()) {
            if (IsElement(n, cell))
                return n;
        }
        return {};
    }

    std::string newStyleName()
    {
        std::string name;
        do {
            name = "TwFit" + std::to_string(nextStyle++);
        } while (styleNames.count(name));
        styleNames.insert(name);
        return name;
    }

    // An automatic style of the family under that name, or a null node.
    pugi::xml_node automaticStyle(const char *name, const char *family) const
    {
        for (pugi::xml_node s : automaticStyles.children()) {
            if (std::strcmp(s.attribute((style + "name").c_str()).value(), name) == 0 &&
                std::strcmp(s.attribute((style + "family").c_str()).value(), family) == 0)
                return s;
        }
        return {};
    }
};

// Paragraph formatting to write: a type size, and where given a line pitch, a hanging indent
// and the space above.
struct ParagraphFormat
{
    double size = 0;
    double pitch = 0;       // 0: as the style has it
    double indent = 0;      // hanging, points
    double spaceAbove = -1; // -1: as the style has it
};

void SetOdfProperties(Part &part, pugi::xml_node style, const ParagraphFormat &f)
{
    const std::string pp = part.style + "paragraph-properties";
    const std::string tp = part.style + "text-properties";
    pugi::xml_node text = style.child(tp.c_str());
    if (!text)
        text = style.append_child(tp.c_str());
    pugi::xml_node para = style.child(pp.c_str());
    if (!para)
        para = style.insert_child_before(pp.c_str(), text);
    auto set = [](pugi::xml_node n, const std::string &name, const std::string &value) {
        pugi::xml_attribute a = n.attribute(name.c_str());
        if (!a)
            a = n.append_attribute(name.c_str());
        a.set_value(value.c_str());
    };
    if (f.pitch > 0)
        set(para, part.fo + "line-height", Points(f.pitch));
    if (f.indent > 0) {
        set(para, part.fo + "margin-left", Points(f.indent));
        set(para, part.fo + "text-indent", Points(-f.indent));
    }
    if (f.spaceAbove >= 0)
        set(para, part.fo + "margin-top", Points(f.spaceAbove));
    const std::string size = Points(f.size);
    set(text, part.fo + "font-size", size);
    set(text, part.style + "font-size-asian", size);
    set(text, part.style + "font-size-complex", size);
}

// A new automatic paragraph style: the paragraph style parent with the format on top. An
// automatic style cannot be a parent, so one of those is copied instead.
std::string OdfParagraphStyle(Part &part, const std::string &parent, const ParagraphFormat &f)
{
    const std::string name = part.newStyleName();
    pugi::xml_node style;
    if (pugi::xml_node automatic = part.automaticStyle(parent.c_str(), "paragraph")) {
        style = part.automaticStyles.append_copy(automatic);
        style.attribute((part.style + "name").c_str()).set_value(name.c_str());
    } else {
        style = part.automaticStyles.append_child((part.style + "style").c_str());
        style.append_attribute((part.style + "name").c_str()) = name.c_str();
        style.append_attribute((part.style + "family").c_str()) = "paragraph";
        if (!parent.empty())
            style.append_attribute((part.style + "parent-style-name").c_str()) = parent.c_str();
    }
    SetOdfProperties(part, style, f);
    return name;
}

void SetWordRunSize(Part &part, pugi::xml_node rPr, double size)
{
    const std::string halfPoints = std::to_string(std::lround(size * 2));
    for (const char *local : {"sz", "szCs"}) {
        pugi::xml_node n = OrderedChild(rPr, part.w, local, RunPropertyOrder);
        pugi::xml_attribute val = n.attribute((part.w + "val").c_str());
        if (!val)
            val = n.append_attribute((part.w + "val").c_str());
        val.set_value(halfPoints.c_str());
    }
}

void SetWordParagraphFormat(Part &part, pugi::xml_node pPr, const ParagraphFormat &f)
{
    auto set = [&](pugi::xml_node n, const char *local, const std::string &value) {
        const std::string name = part.w + local;
        pugi::xml_attribute a = n.attribute(name.c_str());
        if (!a)
            a = n.append_attribute(name.c_str());
        a.set_value(value.c_str());
    };
    if (f.pitch > 0 || f.spaceAbove >= 0) {
        pugi::xml_node spacing = OrderedChild(pPr, part.w, "spacing", ParagraphPropertyOrder);
        if (f.spaceAbove >= 0)
            set(spacing, "before", std::to_string(Twips(f.spaceAbove)));
        if (f.pitch > 0) {
            set(spacing, "line", std::to_string(Twips(f.pitch)));
            set(spacing, "lineRule", "exact");
        }
    }
    if (f.indent > 0) {
        pugi::xml_node ind = OrderedChild(pPr, part.w, "ind", ParagraphPropertyOrder);
        set(ind, "left", std::to_string(Twips(f.indent)));
        set(ind, "hanging", std::to_string(Twips(f.indent)));
    }
    SetWordRunSize(part, OrderedChild(pPr, part.w, "rPr", ParagraphPropertyOrder), f.size);
}

// Subtrees whose text is not printed as the paragraph's own: notes, comments, the copies Word
// keeps for old readers, and property elements.
bool SkipsSubtree(const Part &part, const pugi::xml_node &n)
{
    if (n.type() != pugi::node_element)
        return false;
    const char *name = n.name();
    if (part.odf)
        return IsElement(n, part.text + "note") || IsElement(n, part.office + "annotation");
    const std::size_t len = std::strlen(name);
    return IsElement(n, part.names.fallback) || (len > 2 && std::strcmp(name + len - 2, "Pr") == 0);
}

bool IsWordTrue(const pugi::xml_node &flag, const std::string &w)
{
    if (!flag)
        return false;
    const pugi::xml_attribute val = flag.attribute((w + "val").c_str());
    if (!val)
        return true;
    const std::string v = val.value();
    return v != "0" && v != "false" && v != "off";
}

// The text of a paragraph as runs in the regular or bold face. Walked without recursion: the
// part may come from anywhere.
std::vector<TextRun> ParagraphRuns(const Part &part, pugi::xml_node paragraph)
{
    std::vector<TextRun> runs;
    auto add = [&runs](const QString &text, bool bold) {
        if (text.isEmpty())
            return;
        if (!runs.empty() && runs.back().bold == bold)
            runs.back().text += text;
        else
            runs.push_back({text, bold});
    };
    std::vector<std::pair<pugi::xml_node, bool>> stack;
    for (pugi::xml_node c = paragraph.last_child(); c; c = c.previous_sibling())
        stack.emplace_back(c, false);
    while (!stack.empty()) {
        auto [n, bold] = stack.back();
        stack.pop_back();
        if (SkipsSubtree(part, n))
            continue;
        if (part.odf) {
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
                add(QString::fromUtf8(n.value()), bold);
                continue;
            }
            if (IsElement(n, part.text + "s")) {
                add(QString(qBound(1, n.attribute((part.text + "c").c_str()).as_int(1), 1000),
                            u' '),
                    bold);
                continue;
            }
            if (IsElement(n, part.text + "tab")) {
                add(QStringLiteral("\t"), bold);
                continue;
            }
            if (IsElement(n, part.text + "line-break")) {
                add(QStringLiteral("\n"), bold);
                continue;
            }
            // The shipped templates set the band of a spine in their bold text style.
            const bool inBold =
                bold || (IsElement(n, part.text + "span") &&
                         std::strcmp(n.attribute((part.text + "style-name").c_str()).value(),
                                     "TwBold") == 0);
            for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
                stack.emplace_back(c, inBold);
            continue;
        }
        if (IsElement(n, part.w + "r")) {
            const bool runBold =
                IsWordTrue(n.child((part.w + "rPr").c_str()).child((part.w + "b").c_str()), part.w);
            for (pugi::xml_node c : n.children()) {
                if (IsElement(c, part.w + "t"))
                    add(QString::fromUtf8(c.text().get()), runBold);
                else if (IsElement(c, part.w + "tab"))
                    add(QStringLiteral("\t"), runBold);
                else if (IsElement(c, part.w + "br") || IsElement(c, part.w + "cr"))
                    add(QStringLiteral("\n"), runBold);
            }
            continue;
        }
        for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
            stack.emplace_back(c, bold);
    }
    return runs;
}

// Sets the size of everything in a paragraph, and the pitch when given.
void FormatParagraph(Part &part, pugi::xml_node paragraph, const ParagraphFormat &f)
{
    if (part.odf) {
        const std::string attr = part.text + "style-name";
        const std::string style =
            OdfParagraphStyle(part, paragraph.attribute(attr.c_str()).value(), f);
        pugi::xml_attribute a = paragraph.attribute(attr.c_str());
        if (!a)
            a = paragraph.append_attribute(attr.c_str());
        a.set_value(style.c_str());
        return;
    }
    pugi::xml_node pPr = paragraph.child((part.w + "pPr").c_str());
    if (!pPr)
        pPr = paragraph.prepend_child((part.w + "pPr").c_str());
    SetWordParagraphFormat(part, pPr, f);
    // Every run, also those inside hyperlinks, fields and content controls.
    std::vector<pugi::xml_node> stack{paragraph};
    while (!stack.empty()) {
        const pugi::xml_node n = stack.back();
        stack.pop_back();
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
            if (IsElement(c, part.w + "r")) {
                pugi::xml_node rPr = c.child((part.w + "rPr").c_str());
                if (!rPr)
                    rPr = c.prepend_child((part.w + "rPr").c_str());
                SetWordRunSize(part, rPr, f.size);
            } else if (c.type() == pugi::node_element && !SkipsSubtree(part, c)) {
                stack.push_back(c);
            }
        }
    }
}

// The fonts of a place: its own face, and the bold face of its family for runs in bold.
struct Fonts
{
    QHash<QString, std::shared_ptr<const FontMetrics>> loaded;
    QString error;

    std::shared_ptr<const FontMetrics> get(const char *family, bool bold, bool italic)
    {
        const QString key =
            QStringLiteral("%1/%2/%3").arg(QLatin1String(family)).arg(bold).arg(italic);
        if (auto it = loaded.constFind(key); it != loaded.constEnd())
            return *it;
        QString why;
        auto metrics = FontMetrics::load({QString::fromLatin1(family), bold, italic}, &why);
        if (!metrics && error.isEmpty())
            error = why;
        loaded.insert(key, metrics);
        return metrics;
    }

    // Null when a face cannot be loaded.
    MeasureText measure(const Face &face)
    {
        const auto regular = get(face.family, face.bold, face.italic);
        const auto bold = get(face.family, true, face.italic);
        if (!regular || !bold)
            return {};
        return [regular, bold](QStringView text, bool inBold) {
            return (inBold ? bold : regular)->width(text) * WidthSafety;
        };
    }
};

using Sites = QHash<QString, BookmarkSite>;

Sites SitesOf(const pugi::xml_document &doc, const XmlNames &names)
{
    Sites sites;
    for (const BookmarkSite &site : CollectBookmarks(doc, names))
        sites.insert(site.name, site);
    return sites;
}

bool IsBlank(const char *text)
{
    for (; *text; ++text) {
        if (*text != ' ' && *text != '\t')
            return false;
    }
    return true;
}

// Removes the blanks that part the fields of a line where they end up at its start or end, the
// fields beside them being empty: word processors disagree on whether trailing blanks count
// when a line is centred. Bookmarks and the filled text are kept.
void TrimEdgeBlanks(const Part &part, pugi::xml_node paragraph)
{
    auto isBookmark = [&](const pugi::xml_node &n) {
        if (part.odf)
            return IsElement(n, part.text + "bookmark-start") ||
                   IsElement(n, part.text + "bookmark-end") || IsElement(n, part.text + "bookmark");
        return IsElement(n, part.w + "bookmarkStart") || IsElement(n, part.w + "bookmarkEnd") ||
               IsElement(n, part.w + "pPr");
    };
    // Bookmarks, and a span that holds nothing else (the spine's bold band, when empty).
    auto isMarker = [&](const pugi::xml_node &n) {
        if (!part.odf || !IsElement(n, part.text + "span"))
            return isBookmark(n);
        for (pugi::xml_node c : n.children()) {
            if (!isBookmark(c))
                return false;
        }
        return true;
    };
    auto isBlank = [&](const pugi::xml_node &n) {
        if (part.odf)
            return IsElement(n, part.text + "s") ||
                   (n.type() == pugi::node_pcdata && IsBlank(n.value()));
        if (!IsElement(n, part.w + "r"))
            return false;
        for (pugi::xml_node c : n.children()) {
            if (IsElement(c, part.w + "t") ? !IsBlank(c.text().get())
                                           : !IsElement(c, part.w + "rPr"))
                return false;
        }
        return true;
    };
    for (const bool fromEnd : {false, true}) {
        for (pugi::xml_node n = fromEnd ? paragraph.last_child() : paragraph.first_child(); n;) {
            const pugi::xml_node next = fromEnd ? n.previous_sibling() : n.next_sibling();
            if (isBlank(n))
                paragraph.remove_child(n);
            else if (!isMarker(n))
                break;
            n = next;
        }
    }
}

void FitPlace(Part &part, const Sites &sites, const Place &place, Fonts &fonts, LayoutFit *result)
{
    const auto first = sites.constFind(QString::fromLatin1(place.bookmark));
    if (first == sites.constEnd())
        return;
    std::vector<pugi::xml_node> paragraphs{part.paragraphOf(first->start)};
    if (place.secondBookmark) {
        const auto second = sites.constFind(QString::fromLatin1(place.secondBookmark));
        if (second != sites.constEnd())
            paragraphs.push_back(part.paragraphOf(second->start));
    }
    if (std::find(paragraphs.begin(), paragraphs.end(), pugi::xml_node()) != paragraphs.end())
        return;
    const MeasureText measure = fonts.measure(place.face);
    if (!measure)
        return;
    std::vector<std::vector<TextRun>> texts;
    for (const pugi::xml_node &p : paragraphs) {
        if (place.fit == Fit::OneLine)
            TrimEdgeBlanks(part, p);
        std::vector<TextRun> runs = ParagraphRuns(part, p);
        if (place.face.bold) {
            for (TextRun &run : runs)
                run.bold = true;
        }
        texts.push_back(std::move(runs));
    }
    ParagraphFormat format;
    if (place.fit == Fit::OneLine) {
        format.size =
            FitOneLine(texts.front(), place.width, place.sizes, OneLineFloor, measure).size;
    } else {
        const LineFit fit = FitBlock(texts, place.width, place.height, place.sizes, Pitch, measure);
        format.size = fit.size;
        format.pitch = LinePitch(fit.size, Pitch);
        if (!fit.fits && place.crowdedName)
            result->crowded << QString::fromLatin1(place.crowdedName);
    }
    for (const pugi::xml_node &p : paragraphs)
        FormatParagraph(part, p, format);
}

// A new, empty paragraph at the end of parent, in the paragraph style styleId (Word) or the
// automatic style (OpenDocument).
pugi::xml_node AppendParagraph(Part &part, pugi::xml_node parent, const std::string &style)
{
    pugi::xml_node p = parent.append_child((part.text + "p").c_str());
    if (part.odf) {
        p.append_attribute((part.text + "style-name").c_str()) = style.c_str();
    } else {
        pugi::xml_node pPr = p.append_child((part.w + "pPr").c_str());
        pPr.append_child((part.w + "pStyle").c_str()).append_attribute((part.w + "val").c_str()) =
            style.c_str();
    }
    return p;
}

void AppendBookmarkStart(Part &part, pugi::xml_node p, const QString &name, const std::string &id)
{
    if (part.odf) {
        p.append_child((part.text + "bookmark-start").c_str())
            .append_attribute((part.text + "name").c_str()) = name.toUtf8().constData();
        return;
    }
    pugi::xml_node s = p.append_child((part.w + "bookmarkStart").c_str());
    s.append_attribute((part.w + "id").c_str()) = id.c_str();
    s.append_attribute((part.w + "name").c_str()) = name.toUtf8().constData();
}

void AppendBookmarkEnd(Part &part, pugi::xml_node p, const QString &name, const std::string &id)
{
    if (part.odf) {
        p.append_child((part.text + "bookmark-end").c_str())
            .append_attribute((part.text + "name").c_str()) = name.toUtf8().constData();
        return;
    }
    p.append_child((part.w + "bookmarkEnd").c_str()).append_attribute((part.w + "id").c_str()) =
        id.c_str();
}

struct DiscBookmarks
{
    QString heading, tracks;
    std::string headingId, tracksId; // Word keeps the ids the template gave them
};

// A table of n columns at the end of cell, each column wide and gap apart (in twips), without
// borders or padding; its cells, left to right.
std::vector<pugi::xml_node> AppendOdfColumnTable(Part &part, pugi::xml_node cell, int n, int column,
                                                 int gap)
{
    std::vector<pugi::xml_node> cells;
    const std::string tableStyle = part.newStyleName();
    pugi::xml_node ts = part.automaticStyles.append_child((part.style + "style").c_str());
    ts.append_attribute((part.style + "name").c_str()) = tableStyle.c_str();
    ts.append_attribute((part.style + "family").c_str()) = "table";
    pugi::xml_node tp = ts.append_child((part.style + "table-properties").c_str());
    tp.append_attribute((part.style + "width").c_str()) =
        Points((n * column + (n - 1) * gap) * Tw).c_str();
    tp.append_attribute((part.table + "align").c_str()) = "left";
    for (const char *m : {"margin-left", "margin-top", "margin-bottom"})
        tp.append_attribute((part.fo + m).c_str()) = "0pt";
    auto columnStyle = [&](int twips) {
        const std::string name = part.newStyleName();
        pugi::xml_node s = part.automaticStyles.append_child((part.style + "style").c_str());
        s.append_attribute((part.style + "name").c_str()) = name.c_str();
        s.append_attribute((part.style + "family").c_str()) = "table-column";
        s.append_child((part.style + "table-column-properties").c_str())
            .append_attribute((part.style + "column-width").c_str()) = Points(twips * Tw).c_str();
        return name;
    };
    auto cellStyle = [&](int paddingRight) {
        const std::string name = part.newStyleName();
        pugi::xml_node s = part.automaticStyles.append_child((part.style + "style").c_str());
        s.append_attribute((part.style + "name").c_str()) = name.c_str();
        s.append_attribute((part.style + "family").c_str()) = "table-cell";
        pugi::xml_node p = s.append_child((part.style + "table-cell-properties").c_str());
        p.append_attribute((part.style + "vertical-align").c_str()) = "top";
        p.append_attribute((part.fo + "padding").c_str()) = "0pt";
        p.append_attribute((part.fo + "padding-right").c_str()) = Points(paddingRight * Tw).c_str();
        p.append_attribute((part.fo + "border").c_str()) = "none";
        return name;
    };
    const std::string inner = columnStyle(column + gap);
    const std::string last = columnStyle(column);
    const std::string innerCell = cellStyle(gap);
    const std::string lastCell = cellStyle(0);
    pugi::xml_node t = cell.append_child((part.table + "table").c_str());
    t.append_attribute((part.table + "name").c_str()) = "TrackColumns";
    t.append_attribute((part.table + "style-name").c_str()) = tableStyle.c_str();
    if (n > 1) {
        pugi::xml_node c = t.append_child((part.table + "table-column").c_str());
        c.append_attribute((part.table + "style-name").c_str()) = inner.c_str();
        if (n > 2)
            c.append_attribute((part.table + "number-columns-repeated").c_str()) = n - 1;
    }
    t.append_child((part.table + "table-column").c_str())
        .append_attribute((part.table + "style-name").c_str()) = last.c_str();
    pugi::xml_node row = t.append_child((part.table + "table-row").c_str());
    for (int i = 0; i < n; ++i) {
        pugi::xml_node c = row.append_child((part.table + "table-cell").c_str());
        c.append_attribute((part.table + "style-name").c_str()) =
            (i + 1 < n ? innerCell : lastCell).c_str();
        c.append_attribute((part.office + "value-type").c_str()) = "string";
        cells.push_back(c);
    }
    return cells;
}

std::vector<pugi::xml_node> AppendWordColumnTable(Part &part, pugi::xml_node cell, int n,
                                                  int column, int gap)
{
    std::vector<pugi::xml_node> cells;
    const std::string &w = part.w;
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

// The track area rebuilt as a table of the fitted columns, in the cell that held the discs.
void WriteTrackColumns(Part &part, pugi::xml_node cell, const std::vector<TrackDisc> &discs,
                       const std::vector<DiscBookmarks> &bookmarks, const TrackAreaFit &fit,
                       const TrackArea &area)
{
    for (pugi::xml_node c = cell.first_child(); c;) {
        const pugi::xml_node next = c.next_sibling();
        if (part.odf || !IsElement(c, part.w + "tcPr"))
            cell.remove_child(c);
        c = next;
    }
    const int n = std::max<int>(1, int(fit.columns.size()));
    const int gap = Twips(area.columnGap);
    const int column = int(std::floor(fit.columnWidth * 20));

    const ParagraphFormat track{fit.size, fit.pitch, fit.indent, 0};
    const ParagraphFormat heading{fit.headingSize, fit.headingPitch, 0, 0};
    const ParagraphFormat spacedHeading{fit.headingSize, fit.headingPitch, 0, fit.headingSpace};
    // OpenDocument gets automatic styles for the three kinds of paragraph; Word gets the
    // template's styles and direct formatting on each paragraph.
    std::string trackStyle = "TwTrackList", headingStyle = "TwDiscHeading",
                spacedStyle = "TwDiscHeading";
    if (part.odf) {
        trackStyle = OdfParagraphStyle(part, "TwTrackList", track);
        headingStyle = OdfParagraphStyle(part, "TwDiscHeading", heading);
        spacedStyle = OdfParagraphStyle(part, "TwDiscHeading", spacedHeading);
    }
    const std::vector<pugi::xml_node> cells =
        part.odf ? AppendOdfColumnTable(part, cell, n, column, gap)
                 : AppendWordColumnTable(part, cell, n, column, gap);

    // Word wants the run size on the runs themselves.
    pugi::xml_document trackRun, headingRun;
    if (!part.odf) {
        SetWordRunSize(part, trackRun.append_child((part.w + "rPr").c_str()), fit.size);
        SetWordRunSize(part, headingRun.append_child((part.w + "rPr").c_str()), fit.headingSize);
    }
    std::vector<bool> placed(discs.size() * 2, false); // heading and track bookmarks written
    auto appendTrack = [&](pugi::xml_node into) {
        pugi::xml_node para = AppendParagraph(part, into, trackStyle);
        if (!part.odf)
            SetWordParagraphFormat(part, para.child((part.w + "pPr").c_str()), track);
        return para;
    };
    for (std::size_t c = 0; c < cells.size() && c < fit.columns.size(); ++c) {
        const std::vector<TrackPlace> &column = fit.columns[c];
        for (std::size_t i = 0; i < column.size();) {
            const std::size_t d = std::size_t(column[i].disc);
            const DiscBookmarks &b = bookmarks[d];
            if (column[i].track < 0) {
                const bool space = column[i].space;
                pugi::xml_node para =
                    AppendParagraph(part, cells[c], space ? spacedStyle : headingStyle);
                if (!part.odf)
                    SetWordParagraphFormat(part, para.child((part.w + "pPr").c_str()),
                                           space ? spacedHeading : heading);
                AppendBookmarkStart(part, para, b.heading, b.headingId);
                AppendText(para, part.names, discs[d].heading, headingRun.first_child());
                AppendBookmarkEnd(part, para, b.heading, b.headingId);
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
                pugi::xml_node para = appendTrack(cells[c]);
                if (marks && k == i)
                    AppendBookmarkStart(part, para, b.tracks, b.tracksId);
                AppendText(para, part.names, discs[d].tracks.at(column[k].track),
                           trackRun.first_child());
                if (marks && k + 1 == j)
                    AppendBookmarkEnd(part, para, b.tracks, b.tracksId);
            }
            placed[d * 2 + 1] = true;
            i = j;
        }
    }
    // Word wants a paragraph in every cell, also in a column the discs left empty.
    for (const pugi::xml_node &c : cells) {
        if (!c.child((part.text + "p").c_str()))
            AppendParagraph(part, c, "TwCell");
    }
    // The cell ends in a small paragraph (Word demands one after a table), which also keeps the
    // bookmarks of the discs the show does not have.
    pugi::xml_node end = AppendParagraph(part, cell, "TwCell");
    for (std::size_t d = 0; d < discs.size(); ++d) {
        if (!placed[d * 2] && !bookmarks[d].heading.isEmpty()) {
            AppendBookmarkStart(part, end, bookmarks[d].heading, bookmarks[d].headingId);
            AppendBookmarkEnd(part, end, bookmarks[d].heading, bookmarks[d].headingId);
        }
        if (!placed[d * 2 + 1] && !bookmarks[d].tracks.isEmpty()) {
            AppendBookmarkStart(part, end, bookmarks[d].tracks, bookmarks[d].tracksId);
            AppendBookmarkEnd(part, end, bookmarks[d].tracks, bookmarks[d].tracksId);
        }
    }
}

// Whether the cell holds the discs' paragraphs and nothing else: it is rebuilt, and a template
// that names the layout but has more in that cell keeps it all.
bool HoldsOnlyDiscs(const Part &part, const pugi::xml_node &cell)
{
    const std::string start = part.odf ? part.text + "bookmark-start" : part.w + "bookmarkStart";
    const std::string nameAttr = part.text + "name";
    for (pugi::xml_node c = cell.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element || (!part.odf && IsElement(c, part.w + "tcPr")))
            continue;
        if (!part.isParagraph(c))
            return false;
        bool disc = false;
        for (pugi::xml_node b = c.child(start.c_str()); b; b = b.next_sibling(start.c_str()))
            disc = disc || std::strncmp(b.attribute(nameAttr.c_str()).value(), "TrayDisc", 8) == 0;
        if (!disc && !ParagraphRuns(part, c).empty())
            return false;
    }
    return true;
}

void FitTracks(Part &part, const Sites &sites, const Layout &layout, Fonts &fonts,
               LayoutFit *result)
{
    const auto anchor = sites.constFind(QString::fromLatin1(layout.trackAnchor));
    if (anchor == sites.constEnd())
        return;
    const pugi::xml_node cell = part.cellOf(anchor->start);
    if (!cell || !HoldsOnlyDiscs(part, cell))
        return;
    const MeasureText measure = fonts.measure(Sans);
    if (!measure)
        return;

    // The discs whose bookmarks lie in that cell, as filled.
    std::vector<TrackDisc> discs;
    std::vector<DiscBookmarks> bookmarks;
    for (int n = 1; n <= layout.discs; ++n) {
        const QString heading = QStringLiteral("TrayDisc%1").arg(n);
        const QString tracks = heading + QStringLiteral("Tracks");
        const auto h = sites.constFind(heading);
        const auto t = sites.constFind(tracks);
        const bool hasHeading = h != sites.constEnd() && part.cellOf(h->start) == cell;
        const bool hasTracks = t != sites.constEnd() && part.cellOf(t->start) == cell;
        if (!hasHeading && !hasTracks)
            break;
        TrackDisc disc;
        DiscBookmarks b;
        const std::string idAttr = part.w + "id";
        if (hasHeading) {
            disc.heading = BookmarkText(*h, part.names).trimmed();
            b.heading = heading;
            b.headingId = h->start.attribute(idAttr.c_str()).value();
        }
        if (hasTracks) {
            // Empty lines at the end of a list (a count larger than the titles the track list
            // holds) print nothing and need no room.
            QStringList list = BookmarkText(*t, part.names).split(QStringLiteral("\r\n"));
            while (!list.isEmpty() && list.last().trimmed().isEmpty())
                list.removeLast();
            disc.tracks = list;
            b.tracks = tracks;
            b.tracksId = t->start.attribute(idAttr.c_str()).value();
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
    WriteTrackColumns(part, cell, discs, bookmarks, fit, layout.tracks);
}

} // namespace

bool IsKnownLayout(const QString &layout)
{
    return FindLayout(layout) != nullptr;
}

LayoutFit FitLayoutType(const QString &layoutName, pugi::xml_document &doc, const XmlNames &names)
{
    LayoutFit result;
    const Layout *layout = FindLayout(layoutName);
    if (!layout)
        return result;
    Part part(doc, names);
    Fonts fonts;
    // All places are found before any is changed: the track area is rebuilt, and the sites
    // of the other places must not point into what it removed.
    const Sites sites = SitesOf(doc, names);
    for (const Place &place : layout->places)
        FitPlace(part, sites, place, fonts, &result);
    FitTracks(part, sites, *layout, fonts, &result);
    result.error = fonts.error;
    return result;
}

QString LayoutFitNotice(const LayoutFit &fit)
{
    QStringList sentences;
    if (fit.tracksNotFitting > 0) {
        sentences << QStringLiteral("%1 of the %2 tracks do not fit on the tray card, even at "
                                    "the smallest type, and are not printed; shorten their "
                                    "titles in the track list to make room.")
                         .arg(fit.tracksNotFitting)
                         .arg(fit.tracks);
    }
    for (const QString &place : fit.crowded) {
        sentences << QStringLiteral("The text of %1 does not fit, even at the smallest type, and "
                                    "is cut off.")
                         .arg(place);
    }
    if (!fit.error.isEmpty()) {
        sentences << QStringLiteral("The type could not be fitted to the show (%1), so long track "
                                    "lists may be cut off.")
                         .arg(fit.error);
    }
    return sentences.join(u' ');
}

} // namespace tapewright
