#include "cover/document/bookmarkxml.h"

#include "common/textfile.h"

#include <QHash>
#include <QSet>

#include <cstring>
#include <unordered_set>

namespace tapewright {

namespace {

// A hostile text:s may ask for two billion spaces; no cover line is wider than this.
constexpr int MaxSpaceRun = 1000;

const QString CrLf = QStringLiteral("\r\n");

// Names of one part, built once so the walks compare plain C strings.
struct Vocabulary
{
    bool odf;
    std::string point, start, end, nameAttr, idAttr;
    std::string paragraph, heading, span, run, t, br, cr, tab, s, c, lineBreak, styleName;
    std::string rPr, pPr, fallback;

    explicit Vocabulary(const XmlNames &n) : odf(n.flavor == DocumentFlavor::OpenDocument)
    {
        const std::string &p = n.text;
        fallback = n.fallback;
        if (odf) {
            point = p + "bookmark";
            start = p + "bookmark-start";
            end = p + "bookmark-end";
            nameAttr = p + "name";
            paragraph = p + "p";
            heading = p + "h";
            span = p + "span";
            s = p + "s";
            c = p + "c";
            tab = p + "tab";
            lineBreak = p + "line-break";
            styleName = p + "style-name";
        } else {
            start = p + "bookmarkStart";
            end = p + "bookmarkEnd";
            nameAttr = p + "name";
            idAttr = p + "id";
            paragraph = p + "p";
            run = p + "r";
            t = p + "t";
            br = p + "br";
            cr = p + "cr";
            tab = p + "tab";
            rPr = p + "rPr";
            pPr = p + "pPr";
        }
    }

    static bool is(const pugi::xml_node &n, const std::string &name)
    {
        return !name.empty() && n.type() == pugi::node_element && name == n.name();
    }
    // A bookmark's start, end or point.
    bool isMarker(const pugi::xml_node &n) const
    {
        return is(n, point) || is(n, start) || is(n, end);
    }
    bool isParagraph(const pugi::xml_node &n) const
    {
        return is(n, paragraph) || (odf && is(n, heading));
    }
    // Subtrees whose content is no text of the document: run and paragraph properties (their
    // w:tab children are tab stops), and the alternate copies Word keeps for old readers.
    bool skipsSubtree(const pugi::xml_node &n) const
    {
        return is(n, fallback) || (!odf && (is(n, rPr) || is(n, pPr)));
    }
    // OOXML property elements (w:pPr, w:rPr, w:sdtPr...) describe their parent and must stay
    // when the content around them is removed.
    bool isProperty(const pugi::xml_node &n) const
    {
        if (odf || n.type() != pugi::node_element)
            return false;
        const std::size_t len = std::strlen(n.name());
        return len > 2 && std::strcmp(n.name() + len - 2, "Pr") == 0;
    }
    QString keyOf(const pugi::xml_node &marker) const
    {
        return QString::fromUtf8(marker.attribute((odf ? nameAttr : idAttr).c_str()).value());
    }
};

pugi::xml_node nextInDocument(pugi::xml_node n, bool descend)
{
    if (descend && n.first_child())
        return n.first_child();
    while (n) {
        if (n.next_sibling())
            return n.next_sibling();
        n = n.parent();
    }
    return {};
}

pugi::xml_node paragraphOf(pugi::xml_node n, const Vocabulary &v)
{
    for (n = n.parent(); n; n = n.parent()) {
        if (v.isParagraph(n))
            return n;
    }
    return {};
}

// Elements with no content of their own (other bookmarks, proofing marks) and text between
// elements may lie between a bookmark marker and the paragraph it belongs to.
bool isEmptyMarker(const pugi::xml_node &n)
{
    return n.type() != pugi::node_element || !n.first_child();
}

// Removes n with everything inside it, and tells whether a bookmark's marker was among it.
// pugixml's own removal recurses once per level of nesting, so the subtree is taken apart from
// its leaves up and each removal is of a leaf.
bool removeNode(pugi::xml_node n, const Vocabulary &v)
{
    bool marker = false;
    for (pugi::xml_node at = n; at != n || n.first_child();) {
        if (const pugi::xml_node child = at.first_child()) {
            at = child;
            continue;
        }
        pugi::xml_node parent = at.parent();
        marker = marker || v.isMarker(at);
        parent.remove_child(at);
        at = parent;
    }
    marker = marker || v.isMarker(n);
    n.parent().remove_child(n);
    return marker;
}

bool removeFollowingSiblings(pugi::xml_node n, const Vocabulary &v)
{
    bool marker = false;
    for (pugi::xml_node x = n.next_sibling(); x;) {
        const pugi::xml_node next = x.next_sibling();
        if (!v.isProperty(x))
            marker = removeNode(x, v) || marker;
        x = next;
    }
    return marker;
}

bool removePrecedingSiblings(pugi::xml_node n, const Vocabulary &v)
{
    bool marker = false;
    for (pugi::xml_node x = n.previous_sibling(); x;) {
        const pugi::xml_node prev = x.previous_sibling();
        if (!v.isProperty(x))
            marker = removeNode(x, v) || marker;
        x = prev;
    }
    return marker;
}

// Removes everything that lies between s and e in document order; the elements that hold
// s or e (spans, hyperlinks, paragraphs) stay with the part on their side. Tells whether a
// bookmark's marker was removed.
bool removeBetween(pugi::xml_node s, pugi::xml_node e, const Vocabulary &v)
{
    bool marker = false;
    std::unordered_set<std::size_t> ancestorsOfS;
    for (pugi::xml_node n = s; n; n = n.parent())
        ancestorsOfS.insert(n.hash_value());
    pugi::xml_node lca = e;
    while (lca && !ancestorsOfS.count(lca.hash_value()))
        lca = lca.parent();

    pugi::xml_node sChild = s;
    while (sChild.parent() != lca) {
        marker = removeFollowingSiblings(sChild, v) || marker;
        sChild = sChild.parent();
    }
    pugi::xml_node eChild = e;
    while (eChild.parent() != lca) {
        marker = removePrecedingSiblings(eChild, v) || marker;
        eChild = eChild.parent();
    }
    for (pugi::xml_node x = sChild.next_sibling(); x && x != eChild;) {
        const pugi::xml_node next = x.next_sibling();
        if (!v.isProperty(x))
            marker = removeNode(x, v) || marker;
        x = next;
    }
    return marker;
}

bool isOdfText(const pugi::xml_node &n, const Vocabulary &v)
{
    if (n.type() != pugi::node_pcdata && n.type() != pugi::node_cdata)
        return false;
    // Text directly inside text:p, text:span, text:a ... (not the layout whitespace between
    // paragraphs).
    const std::string prefix = v.paragraph.substr(0, v.paragraph.size() - 1);
    return std::strncmp(n.parent().name(), prefix.c_str(), prefix.size()) == 0;
}

bool isWordTextRun(const pugi::xml_node &n, const Vocabulary &v)
{
    return Vocabulary::is(n, v.run) && n.child(v.t.c_str());
}

// The formatting of the new text: the run where the bookmark starts, else the run just
// before it in its paragraph.
struct Formatting
{
    pugi::xml_document runProperties; // OOXML: a copy of w:rPr as the first child
    std::string spanStyle;            // ODF: text:style-name for a new span, if one is needed
};

pugi::xml_node formattingCarrier(pugi::xml_node s, pugi::xml_node e, pugi::xml_node ps,
                                 const Vocabulary &v)
{
    auto carries = [&v](const pugi::xml_node &n) {
        return v.odf ? isOdfText(n, v) : isWordTextRun(n, v);
    };
    if (e) {
        for (pugi::xml_node n = nextInDocument(s, true); n && n != e;
             n = nextInDocument(n, !v.skipsSubtree(n))) {
            if (carries(n))
                return n;
        }
    }
    pugi::xml_node last;
    for (pugi::xml_node n = ps.first_child(); n && n != s;
         n = nextInDocument(n, !v.skipsSubtree(n))) {
        if (carries(n))
            last = n;
    }
    return last;
}

void chooseFormatting(pugi::xml_node s, pugi::xml_node e, pugi::xml_node ps, const Vocabulary &v,
                      Formatting *f)
{
    const pugi::xml_node carrier = formattingCarrier(s, e, ps, v);
    if (v.odf) {
        if (!carrier)
            return;
        // The innermost span around the text; none is needed when that span also holds the
        // start, since the new text then sits inside it.
        for (pugi::xml_node n = carrier.parent(); n && n != ps; n = n.parent()) {
            if (Vocabulary::is(n, v.span)) {
                bool holdsStart = false;
                for (pugi::xml_node a = s.parent(); a && a != ps; a = a.parent())
                    holdsStart = holdsStart || a == n;
                if (!holdsStart)
                    f->spanStyle = n.attribute(v.styleName.c_str()).value();
                return;
            }
        }
        return;
    }
    pugi::xml_node rPr =
        carrier ? carrier.child(v.rPr.c_str()) : ps.child(v.pPr.c_str()).child(v.rPr.c_str());
    if (!rPr)
        return;
    pugi::xml_node copy = f->runProperties.append_copy(rPr);
    // Tracked-change records belong to the old run or paragraph mark, not to the new text.
    const std::string prefix = v.rPr.substr(0, v.rPr.size() - 3);
    for (const char *local : {"rPrChange", "ins", "del", "moveFrom", "moveTo"}) {
        while (pugi::xml_node x = copy.child((prefix + local).c_str()))
            (void)removeNode(x, v);
    }
}

// XML 1.0 cannot hold most control characters or unpaired surrogates; a file with one is
// refused by every word processor, so such characters become U+FFFD.
QString xmlSafe(const QString &value)
{
    QString out = value;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < out.size() && out.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        const bool bad = (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') ||
                         QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF;
        if (bad)
            out[i] = QChar(0xFFFD);
    }
    return out;
}

// CR LF starts a new line; a lone CR or LF (which no text run can hold) does as well.
QStringList splitLines(const QString &value)
{
    QString v = value;
    v.replace(CrLf, QStringLiteral("\n"));
    v.replace(u'\r', u'\n');
    return v.split(u'\n');
}

// Appends nodes after a cursor, or at the end of parent when there is no cursor yet.
struct Inserter
{
    pugi::xml_node parent;
    pugi::xml_node cursor;

    pugi::xml_node element(const std::string &name)
    {
        cursor = cursor ? parent.insert_child_after(name.c_str(), cursor)
                        : parent.append_child(name.c_str());
        return cursor;
    }
    void text(const QString &t)
    {
        if (t.isEmpty())
            return;
        cursor = cursor ? parent.insert_child_after(pugi::node_pcdata, cursor)
                        : parent.append_child(pugi::node_pcdata);
        cursor.set_value(Utf8Bytes(t).constData());
    }
};

// Writes the lines after the node `after` in parent (at the end of parent when it is null).
void insertOdfValue(pugi::xml_node parent, pugi::xml_node after, const QStringList &lines,
                    const Formatting &f, const Vocabulary &v)
{
    Inserter ins{parent, after};
    if (!f.spanStyle.empty()) {
        pugi::xml_node span = ins.element(v.span);
        span.append_attribute(v.styleName.c_str()) = f.spanStyle.c_str();
        ins = Inserter{span, {}};
    }
    for (qsizetype li = 0; li < lines.size(); ++li) {
        if (li > 0)
            ins.element(v.lineBreak);
        const QString &line = lines.at(li);
        QString plain;
        for (qsizetype i = 0; i < line.size();) {
            const QChar ch = line.at(i);
            if (ch == u'\t') {
                ins.text(plain);
                plain.clear();
                ins.element(v.tab);
                ++i;
                continue;
            }
            if (ch != u' ') {
                plain += ch;
                ++i;
                continue;
            }
            // ODF collapses white space: a lone blank between words stays plain text, every
            // other run of blanks (and any at the start or end of a line) is written counted.
            qsizetype k = 0;
            while (i + k < line.size() && line.at(i + k) == u' ')
                ++k;
            if (k == 1 && i > 0 && i + 1 < line.size()) {
                plain += ch;
            } else {
                ins.text(plain);
                plain.clear();
                pugi::xml_node sp = ins.element(v.s);
                if (k > 1)
                    sp.append_attribute(v.c.c_str()) = static_cast<long long>(k);
            }
            i += k;
        }
        ins.text(plain);
    }
}

void insertWordValue(pugi::xml_node parent, pugi::xml_node after, const QStringList &lines,
                     const Formatting &f, const Vocabulary &v)
{
    pugi::xml_node run = after ? parent.insert_child_after(v.run.c_str(), after)
                               : parent.append_child(v.run.c_str());
    if (f.runProperties.first_child())
        run.append_copy(f.runProperties.first_child());
    Inserter ins{run, run.last_child()};
    for (qsizetype li = 0; li < lines.size(); ++li) {
        if (li > 0)
            ins.element(v.br);
        const QStringList pieces = lines.at(li).split(u'\t');
        for (qsizetype pi = 0; pi < pieces.size(); ++pi) {
            if (pi > 0)
                ins.element(v.tab);
            if (pieces.at(pi).isEmpty())
                continue;
            pugi::xml_node t = ins.element(v.t);
            t.append_attribute("xml:space") = "preserve";
            t.append_child(pugi::node_pcdata).set_value(Utf8Bytes(pieces.at(pi)).constData());
        }
    }
}

} // namespace

std::vector<BookmarkSite> CollectBookmarks(const pugi::xml_document &doc, const XmlNames &names,
                                           QHash<QString, int> *counts)
{
    const Vocabulary v(names);
    std::vector<BookmarkSite> sites;
    QSet<QString> seen;
    QHash<QString, std::size_t> open; // key (ODF name, OOXML id) -> index into sites
    for (pugi::xml_node n = doc.first_child(); n;) {
        bool descend = true;
        if (n.type() == pugi::node_element) {
            if (v.skipsSubtree(n)) {
                descend = false;
            } else if (Vocabulary::is(n, v.point) || Vocabulary::is(n, v.start)) {
                const QString name = QString::fromUtf8(n.attribute(v.nameAttr.c_str()).value());
                if (counts && !name.isEmpty())
                    ++(*counts)[name];
                if (!name.isEmpty() && !seen.contains(name)) {
                    seen.insert(name);
                    if (Vocabulary::is(n, v.start))
                        open.insert(v.keyOf(n), sites.size());
                    sites.push_back(BookmarkSite{name, n, {}});
                }
            } else if (Vocabulary::is(n, v.end)) {
                // An end met before its start, or one whose start was a duplicate, is ignored.
                const auto it = open.find(v.keyOf(n));
                if (it != open.end()) {
                    sites[it.value()].end = n;
                    open.erase(it);
                }
            }
        }
        n = nextInDocument(n, descend);
    }
    return sites;
}

QString BookmarkText(const BookmarkSite &site, const XmlNames &names)
{
    const Vocabulary v(names);
    QString out;
    if (!site.end)
        return out;
    pugi::xml_node n = site.start;
    for (;;) {
        pugi::xml_node next;
        if (n != site.start && !v.skipsSubtree(n) && n.first_child()) {
            next = n.first_child();
        } else {
            // Leaving n's subtree: every paragraph left behind ends a line.
            for (pugi::xml_node m = n; m; m = m.parent()) {
                if (v.isParagraph(m))
                    out += CrLf;
                if (m.next_sibling()) {
                    next = m.next_sibling();
                    break;
                }
            }
        }
        if (!next || next == site.end)
            break;
        n = next;
        if (v.odf) {
            if (isOdfText(n, v)) {
                out += QString::fromUtf8(n.value());
            } else if (Vocabulary::is(n, v.s)) {
                const int c = n.attribute(v.c.c_str()).as_int(1);
                out += QString(qBound(1, c, MaxSpaceRun), u' ');
            } else if (Vocabulary::is(n, v.tab)) {
                out += u'\t';
            } else if (Vocabulary::is(n, v.lineBreak)) {
                out += CrLf;
            }
        } else {
            if (n.type() == pugi::node_pcdata && Vocabulary::is(n.parent(), v.t)) {
                out += QString::fromUtf8(n.value());
            } else if (Vocabulary::is(n, v.tab)) {
                out += u'\t';
            } else if (Vocabulary::is(n, v.br) || Vocabulary::is(n, v.cr)) {
                out += CrLf;
            }
        }
    }
    return out;
}

Result<bool> SetBookmarkText(BookmarkSite &site, const XmlNames &names, const QString &value)
{
    const Vocabulary v(names);
    pugi::xml_node s = site.start;
    pugi::xml_node e = site.end;

    // Where start and end belong. Word may put a marker between paragraphs; it then belongs
    // to the paragraph next to it. Everything is decided before anything is changed, so a
    // bookmark that cannot be filled leaves the part as it was.
    pugi::xml_node ps = paragraphOf(s, v);
    pugi::xml_node moveStartInto;
    bool endFollowsStart = false;
    if (!ps) {
        pugi::xml_node n = s.next_sibling();
        for (; n && !v.isParagraph(n); n = n.next_sibling()) {
            if (n == e)
                endFollowsStart = true;
            else if (!isEmptyMarker(n))
                break;
        }
        if (!n || !v.isParagraph(n))
            return Failure{QStringLiteral("it does not start inside a paragraph")};
        ps = moveStartInto = n;
    }
    pugi::xml_node pe = ps;
    pugi::xml_node moveEndInto;
    if (e && !endFollowsStart) {
        pe = paragraphOf(e, v);
        if (!pe) {
            pugi::xml_node n = e.previous_sibling();
            for (; n && !v.isParagraph(n); n = n.previous_sibling()) {
                if (!isEmptyMarker(n))
                    break;
            }
            if (!n || !v.isParagraph(n))
                return Failure{QStringLiteral("it does not end inside a paragraph")};
            pe = moveEndInto = n;
        }
    }
    if (ps != pe && ps.parent() != pe.parent())
        return Failure{QStringLiteral("it spans more than one table cell, frame or section")};

    Formatting formatting;
    chooseFormatting(s, endFollowsStart ? pugi::xml_node() : e, ps, v, &formatting);

    if (moveStartInto) {
        const pugi::xml_node pPr = v.odf ? pugi::xml_node() : moveStartInto.child(v.pPr.c_str());
        s = pPr ? moveStartInto.insert_move_after(s, pPr) : moveStartInto.prepend_move(s);
    }
    if (!e) {
        // A point (or a start without end) becomes a pair, so the new text sits inside it.
        if (v.odf) {
            s.set_name(v.start.c_str());
            e = s.parent().insert_child_after(v.end.c_str(), s);
            e.append_attribute(v.nameAttr.c_str()) = site.name.toUtf8().constData();
        } else {
            e = s.parent().insert_child_after(v.end.c_str(), s);
            e.append_attribute(v.idAttr.c_str()) = s.attribute(v.idAttr.c_str()).value();
        }
    } else if (endFollowsStart) {
        e = s.parent().insert_move_after(e, s);
    } else if (moveEndInto) {
        e = moveEndInto.append_move(e);
    }

    bool removedMarker = removeBetween(s, e, v);
    if (ps != pe) {
        // The paragraphs the range touched become one, with the first one's properties.
        for (pugi::xml_node x = pe.first_child(); x;) {
            const pugi::xml_node next = x.next_sibling();
            if (!Vocabulary::is(x, v.pPr))
                ps.append_move(x);
            x = next;
        }
        removedMarker = removeNode(pe, v) || removedMarker;
    }

    const QStringList lines = splitLines(xmlSafe(value));
    if (!value.isEmpty()) {
        if (v.odf)
            insertOdfValue(s.parent(), s, lines, formatting, v);
        else
            insertWordValue(s.parent(), s, lines, formatting, v);
    }
    site.start = s;
    site.end = e;
    return removedMarker;
}

void AppendText(pugi::xml_node paragraph, const XmlNames &names, const QString &text,
                const pugi::xml_node &runProperties)
{
    if (text.isEmpty())
        return;
    const Vocabulary v(names);
    Formatting formatting;
    if (runProperties)
        formatting.runProperties.append_copy(runProperties);
    const QStringList lines = splitLines(xmlSafe(text));
    if (v.odf)
        insertOdfValue(paragraph, {}, lines, formatting, v);
    else
        insertWordValue(paragraph, {}, lines, formatting, v);
}

} // namespace tapewright
