// The layout's markup in an OpenDocument text: sizes go into new automatic paragraph styles
// (each derived from the style the paragraph had), and the track columns into a table with
// automatic table, column and cell styles.
#include "cover/layout/partmarkup.h"

#include <QString>

#include <cstring>
#include <set>

namespace tapewright {

namespace {

constexpr const char *OdfOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char *OdfStyleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
constexpr const char *OdfTableNs = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr const char *OdfFoNs = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";

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

void SetAttribute(pugi::xml_node n, const std::string &name, const std::string &value)
{
    pugi::xml_attribute a = n.attribute(name.c_str());
    if (!a)
        a = n.append_attribute(name.c_str());
    a.set_value(value.c_str());
}

class OdfMarkup final : public PartMarkup
{
public:
    OdfMarkup(const pugi::xml_document &doc, const XmlNames &names);

    bool isParagraph(const pugi::xml_node &n) const override
    {
        return IsElement(n, m_text + "p") || IsElement(n, m_text + "h");
    }
    bool isCell(const pugi::xml_node &n) const override
    {
        return IsElement(n, m_table + "table-cell");
    }
    bool isCellProperties(const pugi::xml_node &) const override { return false; }
    std::vector<TextRun> runs(const pugi::xml_node &paragraph) const override;
    bool printsNothing(const pugi::xml_node &n) const override;
    bool printsBlanks(const pugi::xml_node &n) const override
    {
        return IsElement(n, m_text + "s") || (n.type() == pugi::node_pcdata && isBlank(n.value()));
    }

    void formatParagraph(pugi::xml_node paragraph, const ParagraphFormat &format) override;
    ParagraphStyle paragraphStyle(const std::string &base, const ParagraphFormat &format) override
    {
        return {newParagraphStyle(base, format), std::nullopt};
    }
    pugi::xml_node appendParagraph(pugi::xml_node parent, const ParagraphStyle &style) override;
    void appendText(pugi::xml_node paragraph, const QString &text, const ParagraphStyle &) override
    {
        AppendText(paragraph, names(), text);
    }
    void appendBookmarkStart(pugi::xml_node paragraph, const BookmarkMark &mark) override
    {
        appendBookmark(paragraph, "bookmark-start", mark);
    }
    void appendBookmarkEnd(pugi::xml_node paragraph, const BookmarkMark &mark) override
    {
        appendBookmark(paragraph, "bookmark-end", mark);
    }
    std::vector<pugi::xml_node> appendColumnTable(pugi::xml_node cell, int n, int column,
                                                  int gap) override;

private:
    bool isBookmark(const pugi::xml_node &n) const
    {
        return IsElement(n, m_text + "bookmark-start") || IsElement(n, m_text + "bookmark-end") ||
               IsElement(n, m_text + "bookmark");
    }
    void appendBookmark(pugi::xml_node paragraph, const char *local, const BookmarkMark &mark)
    {
        paragraph.append_child((m_text + local).c_str())
            .append_attribute((m_text + "name").c_str()) = mark.name.toUtf8().constData();
    }
    std::string newStyleName();
    // An automatic style of the family under that name, or a null node.
    pugi::xml_node automaticStyle(const char *name, const char *family) const;
    // A new automatic style of family; its name.
    std::string appendStyle(const char *family, pugi::xml_node *style);
    std::string newParagraphStyle(const std::string &parent, const ParagraphFormat &format);
    void setProperties(pugi::xml_node style, const ParagraphFormat &format);

    pugi::xml_node automaticStyles();

    std::string m_text, m_table, m_style, m_fo, m_office;
    pugi::xml_node m_root;
    pugi::xml_node m_automaticStyles; // null until a style is written, where the part has none
    std::set<std::string> m_styleNames;
    int m_nextStyle = 1;
};

OdfMarkup::OdfMarkup(const pugi::xml_document &doc, const XmlNames &names)
    : PartMarkup(names), m_text(names.text)
{
    pugi::xml_node root = doc.document_element();
    m_table = DeclaredPrefix(root, OdfTableNs, "table:");
    m_style = DeclaredPrefix(root, OdfStyleNs, "style:");
    m_fo = DeclaredPrefix(root, OdfFoNs, "fo:");
    m_office = DeclaredPrefix(root, OdfOfficeNs, "office:");
    m_root = root;
    m_automaticStyles = root.child((m_office + "automatic-styles").c_str());
    for (pugi::xml_node s : m_automaticStyles.children())
        m_styleNames.insert(s.attribute((m_style + "name").c_str()).value());
}

// Notes and comments are not printed as the paragraph's own text.
std::vector<TextRun> OdfMarkup::runs(const pugi::xml_node &paragraph) const
{
    return readRuns(paragraph, [this](const pugi::xml_node &n, bool bold, RunList &list) {
        if (IsElement(n, m_text + "note") || IsElement(n, m_office + "annotation"))
            return Walk::Past;
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            list.add(QString::fromUtf8(n.value()), bold);
            return Walk::Past;
        }
        if (IsElement(n, m_text + "s")) {
            list.add(QString(qBound(1, n.attribute((m_text + "c").c_str()).as_int(1), 1000), u' '),
                     bold);
            return Walk::Past;
        }
        if (IsElement(n, m_text + "tab")) {
            list.add(QStringLiteral("\t"), bold);
            return Walk::Past;
        }
        if (IsElement(n, m_text + "line-break")) {
            list.add(QStringLiteral("\n"), bold);
            return Walk::Past;
        }
        // The shipped templates set the band of a spine in their bold text style.
        const bool boldSpan =
            IsElement(n, m_text + "span") &&
            std::strcmp(n.attribute((m_text + "style-name").c_str()).value(), "TwBold") == 0;
        return boldSpan ? Walk::IntoBold : Walk::Into;
    });
}

// Bookmarks, and a span that holds nothing else (the spine's bold band, when empty).
bool OdfMarkup::printsNothing(const pugi::xml_node &n) const
{
    if (!IsElement(n, m_text + "span"))
        return isBookmark(n);
    for (pugi::xml_node c : n.children()) {
        if (!isBookmark(c))
            return false;
    }
    return true;
}

void OdfMarkup::formatParagraph(pugi::xml_node paragraph, const ParagraphFormat &format)
{
    const std::string attr = m_text + "style-name";
    const std::string style = newParagraphStyle(paragraph.attribute(attr.c_str()).value(), format);
    SetAttribute(paragraph, attr, style);
}

pugi::xml_node OdfMarkup::appendParagraph(pugi::xml_node parent, const ParagraphStyle &style)
{
    pugi::xml_node p = parent.append_child((m_text + "p").c_str());
    p.append_attribute((m_text + "style-name").c_str()) = style.name.c_str();
    return p;
}

std::vector<pugi::xml_node> OdfMarkup::appendColumnTable(pugi::xml_node cell, int n, int column,
                                                         int gap)
{
    std::vector<pugi::xml_node> cells;
    pugi::xml_node ts;
    const std::string tableStyle = appendStyle("table", &ts);
    pugi::xml_node tp = ts.append_child((m_style + "table-properties").c_str());
    tp.append_attribute((m_style + "width").c_str()) =
        Points((n * column + (n - 1) * gap) * Tw).c_str();
    tp.append_attribute((m_table + "align").c_str()) = "left";
    for (const char *m : {"margin-left", "margin-top", "margin-bottom"})
        tp.append_attribute((m_fo + m).c_str()) = "0pt";
    auto columnStyle = [&](int twips) {
        pugi::xml_node s;
        const std::string name = appendStyle("table-column", &s);
        s.append_child((m_style + "table-column-properties").c_str())
            .append_attribute((m_style + "column-width").c_str()) = Points(twips * Tw).c_str();
        return name;
    };
    auto cellStyle = [&](int paddingRight) {
        pugi::xml_node s;
        const std::string name = appendStyle("table-cell", &s);
        pugi::xml_node p = s.append_child((m_style + "table-cell-properties").c_str());
        p.append_attribute((m_style + "vertical-align").c_str()) = "top";
        p.append_attribute((m_fo + "padding").c_str()) = "0pt";
        p.append_attribute((m_fo + "padding-right").c_str()) = Points(paddingRight * Tw).c_str();
        p.append_attribute((m_fo + "border").c_str()) = "none";
        return name;
    };
    const std::string inner = columnStyle(column + gap);
    const std::string last = columnStyle(column);
    const std::string innerCell = cellStyle(gap);
    const std::string lastCell = cellStyle(0);
    pugi::xml_node t = cell.append_child((m_table + "table").c_str());
    t.append_attribute((m_table + "name").c_str()) = "TrackColumns";
    t.append_attribute((m_table + "style-name").c_str()) = tableStyle.c_str();
    if (n > 1) {
        pugi::xml_node c = t.append_child((m_table + "table-column").c_str());
        c.append_attribute((m_table + "style-name").c_str()) = inner.c_str();
        if (n > 2)
            c.append_attribute((m_table + "number-columns-repeated").c_str()) = n - 1;
    }
    t.append_child((m_table + "table-column").c_str())
        .append_attribute((m_table + "style-name").c_str()) = last.c_str();
    pugi::xml_node row = t.append_child((m_table + "table-row").c_str());
    for (int i = 0; i < n; ++i) {
        pugi::xml_node c = row.append_child((m_table + "table-cell").c_str());
        c.append_attribute((m_table + "style-name").c_str()) =
            (i + 1 < n ? innerCell : lastCell).c_str();
        c.append_attribute((m_office + "value-type").c_str()) = "string";
        cells.push_back(c);
    }
    return cells;
}

std::string OdfMarkup::newStyleName()
{
    std::string name;
    do {
        name = "TwFit" + std::to_string(m_nextStyle++);
    } while (m_styleNames.count(name));
    m_styleNames.insert(name);
    return name;
}

pugi::xml_node OdfMarkup::automaticStyle(const char *name, const char *family) const
{
    for (pugi::xml_node s : m_automaticStyles.children()) {
        if (std::strcmp(s.attribute((m_style + "name").c_str()).value(), name) == 0 &&
            std::strcmp(s.attribute((m_style + "family").c_str()).value(), family) == 0)
            return s;
    }
    return {};
}

// Made with the first style written: a part that is only read stays as it was.
pugi::xml_node OdfMarkup::automaticStyles()
{
    if (!m_automaticStyles) {
        const pugi::xml_node body = m_root.child((m_office + "body").c_str());
        m_automaticStyles =
            body ? m_root.insert_child_before((m_office + "automatic-styles").c_str(), body)
                 : m_root.append_child((m_office + "automatic-styles").c_str());
    }
    return m_automaticStyles;
}

std::string OdfMarkup::appendStyle(const char *family, pugi::xml_node *style)
{
    const std::string name = newStyleName();
    *style = automaticStyles().append_child((m_style + "style").c_str());
    style->append_attribute((m_style + "name").c_str()) = name.c_str();
    style->append_attribute((m_style + "family").c_str()) = family;
    return name;
}

// A new automatic paragraph style: the paragraph style parent with the format on top. An
// automatic style cannot be a parent, so one of those is copied instead.
std::string OdfMarkup::newParagraphStyle(const std::string &parent, const ParagraphFormat &format)
{
    pugi::xml_node style;
    std::string name;
    if (pugi::xml_node automatic = automaticStyle(parent.c_str(), "paragraph")) {
        name = newStyleName();
        style = automaticStyles().append_copy(automatic);
        style.attribute((m_style + "name").c_str()).set_value(name.c_str());
    } else {
        name = appendStyle("paragraph", &style);
        if (!parent.empty())
            style.append_attribute((m_style + "parent-style-name").c_str()) = parent.c_str();
    }
    setProperties(style, format);
    return name;
}

void OdfMarkup::setProperties(pugi::xml_node style, const ParagraphFormat &f)
{
    const std::string pp = m_style + "paragraph-properties";
    const std::string tp = m_style + "text-properties";
    pugi::xml_node text = style.child(tp.c_str());
    if (!text)
        text = style.append_child(tp.c_str());
    pugi::xml_node para = style.child(pp.c_str());
    if (!para)
        para = style.insert_child_before(pp.c_str(), text);
    if (f.pitch > 0)
        SetAttribute(para, m_fo + "line-height", Points(f.pitch));
    if (f.indent > 0) {
        SetAttribute(para, m_fo + "margin-left", Points(f.indent));
        SetAttribute(para, m_fo + "text-indent", Points(-f.indent));
    }
    if (f.spaceAbove >= 0)
        SetAttribute(para, m_fo + "margin-top", Points(f.spaceAbove));
    const std::string size = Points(f.size);
    SetAttribute(text, m_fo + "font-size", size);
    SetAttribute(text, m_style + "font-size-asian", size);
    SetAttribute(text, m_style + "font-size-complex", size);
}

} // namespace

std::unique_ptr<PartMarkup> NewOdfMarkup(const pugi::xml_document &part, const XmlNames &names)
{
    return std::make_unique<OdfMarkup>(part, names);
}

} // namespace tapewright
