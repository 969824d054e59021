// The XML parts of a document package: parsing them with limits a hostile file cannot pass,
// writing them back, the namespace prefixes a part declares, and the small edits the packages
// make to their own parts (settings, manifests, content types).
#pragma once

#include "common/result.h"

#include <QByteArray>

#include <pugixml.hpp>

#include <string>

namespace tapewright {

enum class DocumentFlavor
{
    OpenDocument,
    OfficeOpenXml,
};

// Element names of one part, with the namespace prefixes the part itself declares.
struct XmlNames
{
    DocumentFlavor flavor = DocumentFlavor::OpenDocument;
    std::string text;     // "text:" or "w:" as declared in the part ("" for a default namespace)
    std::string fallback; // "mc:Fallback" (OOXML) — alternate copies that are not filled

    static XmlNames forPart(DocumentFlavor flavor, const pugi::xml_document &doc);
};

// Real documents nest their elements a few dozen levels deep; a part nested deeper than this is
// refused.
inline constexpr int MaxXmlDepth = 1000;

// Parses an XML part. Entities are never expanded (pugixml knows only the five predefined
// ones), and a DTD is kept as an inert node. A part nested deeper than MaxXmlDepth is refused.
// A failure gives a reason ("is not ...").
Result<void> ParseXmlPart(const QByteArray &data, pugi::xml_document *doc);
QByteArray SerializeXmlPart(pugi::xml_document &doc);

// The namespace prefix (with its colon) that the root element declares for uri; "" when the
// namespace is the default one; `fallback` when the root does not declare it.
std::string DeclaredPrefix(const pugi::xml_node &root, const char *uri,
                           const std::string &fallback);

// Small edits of the packages' own XML (settings, manifests, content types).

// The first child named name whose attribute has value.
pugi::xml_node ChildWithAttribute(pugi::xml_node parent, const std::string &name,
                                  const std::string &attribute, const char *value);
// That child (or the first child named name when value is null), appended when missing.
pugi::xml_node ChildOrAppend(pugi::xml_node parent, const std::string &name,
                             const std::string &attribute = {}, const char *value = nullptr);
// The prefix (with its colon) root declares for uri; when it declares none, uri is declared on
// root with preferred.
std::string BoundPrefix(pugi::xml_node root, const char *uri, const char *preferred);

} // namespace tapewright
