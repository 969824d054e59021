#include "cover/document/xmlpart.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace tapewright {

namespace {

constexpr const char *OdfTextNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr const char *WordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char *WordStrictNs = "http://purl.oclc.org/ooxml/wordprocessingml/main";
constexpr const char *MarkupCompatibilityNs =
    "http://schemas.openxmlformats.org/markup-compatibility/2006";

// How many levels deep the deepest node lies (the root element is at level 1), counted without
// recursion; stops counting a little past MaxXmlDepth.
int nestingDepth(const pugi::xml_document &doc)
{
    int depth = 1;
    int deepest = 0;
    for (pugi::xml_node n = doc.first_child(); n;) {
        deepest = std::max(deepest, depth);
        if (deepest > MaxXmlDepth)
            break;
        if (n.first_child()) {
            n = n.first_child();
            ++depth;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n)
            n = n.next_sibling();
    }
    return deepest;
}

} // namespace

XmlNames XmlNames::forPart(DocumentFlavor flavor, const pugi::xml_document &doc)
{
    XmlNames names;
    names.flavor = flavor;
    const pugi::xml_node root = doc.document_element();
    if (flavor == DocumentFlavor::OpenDocument) {
        names.text = DeclaredPrefix(root, OdfTextNs, "text:");
    } else {
        names.text = DeclaredPrefix(root, WordNs, DeclaredPrefix(root, WordStrictNs, "w:"));
        names.fallback = DeclaredPrefix(root, MarkupCompatibilityNs, "mc:") + "Fallback";
    }
    return names;
}

std::string DeclaredPrefix(const pugi::xml_node &root, const char *uri, const std::string &fallback)
{
    for (const pugi::xml_attribute &a : root.attributes()) {
        if (std::strcmp(a.value(), uri) != 0)
            continue;
        if (std::strcmp(a.name(), "xmlns") == 0)
            return {};
        if (std::strncmp(a.name(), "xmlns:", 6) == 0)
            return std::string(a.name() + 6) + ':';
    }
    return fallback;
}

Result<void> ParseXmlPart(const QByteArray &data, pugi::xml_document *doc)
{
    constexpr unsigned flags = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                               pugi::parse_ws_pcdata | pugi::parse_comments | pugi::parse_pi;
    const pugi::xml_parse_result r =
        doc->load_buffer(data.constData(), static_cast<std::size_t>(data.size()), flags);
    if (r) {
        if (nestingDepth(*doc) > MaxXmlDepth) {
            doc->reset();
            return Failure{
                QStringLiteral("nests its elements more than %1 levels deep").arg(MaxXmlDepth)};
        }
        return {};
    }
    const qsizetype at = std::clamp<qsizetype>(static_cast<qsizetype>(r.offset), 0, data.size());
    const qsizetype line = data.left(at).count('\n') + 1;
    return Failure{QStringLiteral("is not well-formed XML (%1, line %2)")
                       .arg(QString::fromUtf8(r.description()).toLower())
                       .arg(line)};
}

QByteArray SerializeXmlPart(pugi::xml_document &doc)
{
    // The part is written as UTF-8 whatever it was read as, so its declaration must say so.
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_declaration && n.attribute("encoding"))
            n.attribute("encoding").set_value("UTF-8");
    }
    struct Writer : pugi::xml_writer
    {
        QByteArray out;
        void write(const void *data, std::size_t size) override
        {
            out.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
        }
    } writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.out;
}

pugi::xml_node ChildWithAttribute(pugi::xml_node parent, const std::string &name,
                                  const std::string &attribute, const char *value)
{
    for (pugi::xml_node c = parent.child(name.c_str()); c; c = c.next_sibling(name.c_str())) {
        if (std::strcmp(c.attribute(attribute.c_str()).value(), value) == 0)
            return c;
    }
    return {};
}

pugi::xml_node ChildOrAppend(pugi::xml_node parent, const std::string &name,
                             const std::string &attribute, const char *value)
{
    pugi::xml_node c =
        value ? ChildWithAttribute(parent, name, attribute, value) : parent.child(name.c_str());
    if (!c) {
        c = parent.append_child(name.c_str());
        if (value)
            c.append_attribute(attribute.c_str()) = value;
    }
    return c;
}

std::string BoundPrefix(pugi::xml_node root, const char *uri, const char *preferred)
{
    const std::string p = DeclaredPrefix(root, uri, std::string());
    if (!p.empty() || std::strcmp(root.attribute("xmlns").value(), uri) == 0)
        return p;
    const std::string attr = std::string("xmlns:") + preferred;
    if (!root.attribute(attr.c_str()))
        root.append_attribute(attr.c_str()) = uri;
    return std::string(preferred) + ':';
}

} // namespace tapewright
