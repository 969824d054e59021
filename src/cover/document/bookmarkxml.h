// Bookmarks inside one XML part of a document package (ODF content.xml or styles.xml, OOXML
// document.xml, headers, footers): finding them, reading their text and replacing it.
//
// Every walk over the tree is iterative, and so is every removal (pugixml's own removal recurses
// once per level): a hostile part may nest elements deeply enough to overflow the stack of a
// recursive one. Parts nested deeper than any real document are refused all the same, when
// they are read (xmlpart.h).
#pragma once

#include "common/result.h"
#include "cover/document/xmlpart.h"

#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace tapewright {

struct BookmarkSite
{
    QString name;
    pugi::xml_node start; // text:bookmark, text:bookmark-start or w:bookmarkStart
    pugi::xml_node end;   // null for a point or a start without end
};

// The bookmarks of a part in document order; a name that occurs twice is kept once (the first).
// counts, when given, gets how many bookmarks of each name start in the part.
std::vector<BookmarkSite> CollectBookmarks(const pugi::xml_document &doc, const XmlNames &names,
                                           QHash<QString, int> *counts = nullptr);

// The text between the bookmark's start and end: paragraph ends and line breaks as CR LF.
QString BookmarkText(const BookmarkSite &site, const XmlNames &names);

// Replaces everything between start and end by value in the formatting of the run where the
// bookmark starts. Leaves the bookmark around the new text. A failure gives a reason, and
// leaves the part unchanged. True when the old text held markers of other bookmarks (or a
// marker elsewhere went with a merged paragraph): they are gone, and with them every
// BookmarkSite that pointed to them, so the part's bookmarks must be collected again.
Result<bool> SetBookmarkText(BookmarkSite &site, const XmlNames &names, const QString &value);

// Appends text at the end of paragraph, written as SetBookmarkText writes a value. An OOXML run
// gets a copy of runProperties (a w:rPr) when one is given.
void AppendText(pugi::xml_node paragraph, const XmlNames &names, const QString &text,
                const pugi::xml_node &runProperties = {});

} // namespace tapewright
