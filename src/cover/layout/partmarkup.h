// How the layout reads and writes the main part of a filled cover, as one interface with an
// implementation for OpenDocument (odfmarkup.cpp) and one for Word (wordmarkup.cpp). The fitting
// decides sizes and columns; the markup knows where its format keeps them: OpenDocument in
// automatic styles, Word in direct formatting on the template's styles. A new kind of formatting
// (a tab stop, a frame) is a new field or method here and its two implementations.
#pragma once

#include "cover/document/bookmarkxml.h"
#include "cover/layout/typefit.h"

#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tapewright {

// The bookmarks of a part by name, found before the part is changed.
using Sites = QHash<QString, BookmarkSite>;
Sites SitesOf(const pugi::xml_document &part, const XmlNames &names);

// Paragraph formatting to write: a type size, and where given a line pitch, a hanging indent
// and the space above. Lengths in points.
struct ParagraphFormat
{
    double size = 0;
    double pitch = 0;       // 0: as the style has it
    double indent = 0;      // hanging
    double spaceAbove = -1; // -1: as the style has it
};

// A kind of paragraph the layout appends many of: a paragraph style of the template with a
// format on top. OpenDocument names a new automatic style that holds the format; Word names
// the template's style and sets the format on each paragraph.
struct ParagraphStyle
{
    std::string name;
    std::optional<ParagraphFormat> direct; // set on each paragraph and its text
};

// A bookmark written anew around appended text. Word keeps the id the template gave it;
// OpenDocument goes by the name alone.
struct BookmarkMark
{
    QString name;
    std::string id;
};

// A length in points as a whole number of twips, the unit of Word's lengths and of the widths
// of the tables the layout writes.
int Twips(double points);
bool IsElement(const pugi::xml_node &n, const std::string &name);

class PartMarkup
{
public:
    // The markup of a part of names' format. Writing changes the part through its nodes; an
    // OpenDocument part gets an element for automatic styles with the first style written.
    static std::unique_ptr<PartMarkup> of(const pugi::xml_document &part, const XmlNames &names);
    virtual ~PartMarkup();
    PartMarkup(const PartMarkup &) = delete;
    PartMarkup &operator=(const PartMarkup &) = delete;

    const XmlNames &names() const { return m_names; }

    // Reading what was filled.

    // The paragraph that is or holds n, the table cell that holds it; null when there is none.
    pugi::xml_node paragraphOf(pugi::xml_node n) const;
    pugi::xml_node cellOf(pugi::xml_node n) const;
    virtual bool isParagraph(const pugi::xml_node &n) const = 0;
    virtual bool isCell(const pugi::xml_node &n) const = 0;
    // A child of a cell that describes the cell, kept when the cell's content is replaced.
    virtual bool isCellProperties(const pugi::xml_node &n) const = 0;
    // The text of a paragraph as runs in the regular or bold face.
    virtual std::vector<TextRun> runs(const pugi::xml_node &paragraph) const = 0;
    // Children of a paragraph that print nothing (bookmarks, properties), and that print
    // nothing but blanks.
    virtual bool printsNothing(const pugi::xml_node &n) const = 0;
    virtual bool printsBlanks(const pugi::xml_node &n) const = 0;

    // Writing the fitted type.

    // Sets the size of everything in a paragraph, and the rest of format where given.
    virtual void formatParagraph(pugi::xml_node paragraph, const ParagraphFormat &format) = 0;
    // A kind of paragraph: the template's paragraph style base with format on top.
    virtual ParagraphStyle paragraphStyle(const std::string &base,
                                          const ParagraphFormat &format) = 0;
    // A new, empty paragraph at the end of parent.
    virtual pugi::xml_node appendParagraph(pugi::xml_node parent, const ParagraphStyle &style) = 0;
    // Text at the end of a paragraph appended in style.
    virtual void appendText(pugi::xml_node paragraph, const QString &text,
                            const ParagraphStyle &style) = 0;
    virtual void appendBookmarkStart(pugi::xml_node paragraph, const BookmarkMark &mark) = 0;
    virtual void appendBookmarkEnd(pugi::xml_node paragraph, const BookmarkMark &mark) = 0;
    // A table of n columns at the end of cell, each column wide and gap apart (in twips),
    // without borders or padding; its cells, left to right.
    virtual std::vector<pugi::xml_node> appendColumnTable(pugi::xml_node cell, int n, int column,
                                                          int gap) = 0;

protected:
    explicit PartMarkup(const XmlNames &names) : m_names(names) {}

    // Runs of text in the regular or the bold face, a run of the same face continued.
    struct RunList
    {
        std::vector<TextRun> runs;
        void add(const QString &text, bool bold);
    };
    // What a reader of runs does after a node: go on past it, or into its children in the face
    // it had or in bold.
    enum class Walk
    {
        Past,
        Into,
        IntoBold,
    };
    using RunReader = std::function<Walk(const pugi::xml_node &n, bool bold, RunList &runs)>;
    // The runs of a paragraph, its nodes read in document order by read, without recursion:
    // the part may come from anywhere.
    static std::vector<TextRun> readRuns(const pugi::xml_node &paragraph, const RunReader &read);
    static bool isBlank(const char *text);

private:
    XmlNames m_names;
};

// The two implementations, for PartMarkup::of.
std::unique_ptr<PartMarkup> NewOdfMarkup(const pugi::xml_document &part, const XmlNames &names);
std::unique_ptr<PartMarkup> NewWordMarkup(const XmlNames &names);

} // namespace tapewright
