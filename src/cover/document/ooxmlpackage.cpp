// A Word package (.docx, .dotx, .docm, .dotm): its main part found through the package's
// relationships, with the headers and footers it refers to, the zoom in its settings part, and
// the kind in the main part's content type.
#include "cover/document/coverpackage.h"

#include <cstring>

namespace tapewright {

namespace {

class OoxmlPackage final : public CoverPackage
{
public:
    OoxmlPackage() : CoverPackage(DocumentFlavor::OfficeOpenXml) {}

    Result<void> setZoom(int percent) override;
    QString layoutName() override;
    // Macro-enabled when the template is: its macros stay in the package.
    const TemplateFormat &format(PackageKind kind) const override;

protected:
    Result<void> readParts() override;
    void markKind(PackageKind kind) override;

private:
    std::string m_mainPart = "word/document.xml";
    bool m_macroEnabled = false;
};

constexpr const char *WordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char *SettingsRelType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
constexpr const char *WordSettingsType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";

bool endsWith(const char *text, const char *tail)
{
    const std::size_t a = std::strlen(text);
    const std::size_t b = std::strlen(tail);
    return a >= b && std::strcmp(text + a - b, tail) == 0;
}

// "word/document.xml" -> "word/"
std::string folderOf(const std::string &partName)
{
    const std::size_t slash = partName.rfind('/');
    return slash == std::string::npos ? std::string() : partName.substr(0, slash + 1);
}

// A relationship target, relative to the folder of its source part, as a zip entry name.
std::string resolveTarget(const std::string &folder, const std::string &target)
{
    std::string path =
        !target.empty() && target.front() == '/' ? target.substr(1) : folder + target;
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t slash = path.find('/', at);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string piece = path.substr(at, slash - at);
        if (piece == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        at = slash + 1;
    }
    std::string out;
    for (const std::string &p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string relsPartOf(const std::string &partName)
{
    const std::string folder = folderOf(partName);
    return folder + "_rels/" + partName.substr(folder.size()) + ".rels";
}

} // namespace

std::unique_ptr<CoverPackage> NewOoxmlPackage()
{
    return std::make_unique<OoxmlPackage>();
}

const TemplateFormat &OoxmlPackage::format(PackageKind kind) const
{
    return FilledFormat(FormatFamily::OfficeOpenXml, m_macroEnabled, kind);
}

Result<void> OoxmlPackage::readParts()
{
    const Result<Part *> types = part("[Content_Types].xml");
    if (!types)
        return Failure{types.error()};
    if (!*types)
        return Failure{QStringLiteral("it has no [Content_Types].xml, so it is no Word document")};
    const Result<Part *> rels = part("_rels/.rels");
    if (!rels)
        return Failure{rels.error()};
    if (*rels) {
        for (pugi::xml_node r : (*rels)->doc.document_element().children()) {
            if (endsWith(r.attribute("Type").value(), "/officeDocument")) {
                m_mainPart = resolveTarget({}, r.attribute("Target").value());
                break;
            }
        }
    }
    for (pugi::xml_node o : (*types)->doc.document_element().children()) {
        if (std::strcmp(o.attribute("PartName").value(), ("/" + m_mainPart).c_str()) != 0)
            continue;
        const char *type = o.attribute("ContentType").value();
        if (!std::strstr(type, "wordprocessingml") && !std::strstr(type, "ms-word"))
            return Failure{QStringLiteral("it is not a Word document (its type is “%1”)")
                               .arg(QString::fromUtf8(type))};
        m_macroEnabled = std::strstr(type, "macroEnabled") != nullptr;
    }
    const Result<Part *> main = part(m_mainPart);
    if (!main)
        return Failure{main.error()};
    if (!*main)
        return Failure{QStringLiteral("it has no main document part (“%1”)")
                           .arg(QString::fromStdString(m_mainPart))};
    addBookmarkPart(*main);
    const Result<Part *> mainRels = part(relsPartOf(m_mainPart));
    if (!mainRels)
        return Failure{mainRels.error()};
    if (!*mainRels)
        return {};
    // The headers and footers hold bookmarks. The styles are only checked: they are copied
    // into the cover as they are, and Word opens no document whose styles are not XML (as the
    // OpenDocument package refuses a broken styles.xml, which it reads for its bookmarks).
    for (pugi::xml_node r : (*mainRels)->doc.document_element().children()) {
        const char *type = r.attribute("Type").value();
        const bool holdsBookmarks = endsWith(type, "/header") || endsWith(type, "/footer");
        if (!holdsBookmarks && !endsWith(type, "/styles"))
            continue;
        if (std::strcmp(r.attribute("TargetMode").value(), "External") == 0)
            continue;
        const Result<Part *> p =
            part(resolveTarget(folderOf(m_mainPart), r.attribute("Target").value()));
        if (!p)
            return Failure{p.error()};
        if (*p && holdsBookmarks)
            addBookmarkPart(*p);
    }
    return {};
}

Result<void> OoxmlPackage::setZoom(int percent)
{
    const std::string relsName = relsPartOf(m_mainPart);
    Result<Part *> foundRels = part(relsName);
    if (!foundRels)
        return Failure{foundRels.error()};
    Part *rels = *foundRels;
    std::string settingsName;
    if (rels) {
        for (pugi::xml_node r : rels->doc.document_element().children()) {
            if (endsWith(r.attribute("Type").value(), "/settings"))
                settingsName = resolveTarget(folderOf(m_mainPart), r.attribute("Target").value());
        }
    }
    Result<Part *> foundSettings = settingsName.empty() ? nullptr : part(settingsName);
    if (!foundSettings)
        return Failure{foundSettings.error()};
    Part *settings = *foundSettings;
    if (!settings) {
        // A document without settings (written by some converters): add the part, its
        // relationship and its content type.
        settingsName = folderOf(m_mainPart) + "settings.xml";
        settings = addPart(settingsName, "<?xml version=\"1.0\" encoding=\"UTF-8\" "
                                         "standalone=\"yes\"?><w:settings xmlns:w=\"http://"
                                         "schemas.openxmlformats.org/wordprocessingml/2006/"
                                         "main\"/>");
        if (!rels)
            rels = addPart(relsName, "<?xml version=\"1.0\" encoding=\"UTF-8\" "
                                     "standalone=\"yes\"?><Relationships xmlns=\"http://"
                                     "schemas.openxmlformats.org/package/2006/relationships\"/>");
        pugi::xml_node relsRoot = rels->doc.document_element();
        std::string id = "rIdTapewrightSettings";
        while (ChildWithAttribute(relsRoot, "Relationship", "Id", id.c_str()))
            id += '1';
        pugi::xml_node r = relsRoot.append_child("Relationship");
        r.append_attribute("Id") = id.c_str();
        r.append_attribute("Type") = SettingsRelType;
        r.append_attribute("Target") = settingsName.substr(folderOf(m_mainPart).size()).c_str();
        rels->changed = true;
        const Result<Part *> types = part("[Content_Types].xml");
        if (types && *types) {
            pugi::xml_node o = (*types)->doc.document_element().append_child("Override");
            o.append_attribute("PartName") = ("/" + settingsName).c_str();
            o.append_attribute("ContentType") = WordSettingsType;
            (*types)->changed = true;
        }
    }
    pugi::xml_node root = settings->doc.document_element();
    const std::string w = BoundPrefix(root, WordNs, "w");
    pugi::xml_node zoom = root.child((w + "zoom").c_str());
    if (!zoom) {
        // w:zoom follows w:writeProtection and w:view in the settings' fixed element order.
        pugi::xml_node after = root.child((w + "view").c_str());
        if (!after)
            after = root.child((w + "writeProtection").c_str());
        zoom = after ? root.insert_child_after((w + "zoom").c_str(), after)
                     : root.prepend_child((w + "zoom").c_str());
    }
    // w:val (best fit, full page) would override the percentage.
    zoom.remove_attribute((w + "val").c_str());
    pugi::xml_attribute attr = zoom.attribute((w + "percent").c_str());
    if (!attr)
        attr = zoom.append_attribute((w + "percent").c_str());
    attr.set_value(percent);
    settings->changed = true;
    return {};
}

void OoxmlPackage::markKind(PackageKind kind)
{
    const Result<Part *> types = part("[Content_Types].xml");
    if (!types || !*types)
        return;
    pugi::xml_node root = (*types)->doc.document_element();
    const std::string partName = "/" + m_mainPart;
    pugi::xml_node o = ChildWithAttribute(root, "Override", "PartName", partName.c_str());
    if (!o) {
        o = root.append_child("Override");
        o.append_attribute("PartName") = partName.c_str();
        o.append_attribute("ContentType");
    }
    o.attribute("ContentType").set_value(format(kind).mediaType);
    (*types)->changed = true;
}

// A custom property of the package (docProps/custom.xml, found through its relationship).
QString OoxmlPackage::layoutName()
{
    const Result<Part *> rels = part("_rels/.rels");
    if (!rels || !*rels)
        return {};
    for (pugi::xml_node r : (*rels)->doc.document_element().children()) {
        if (!endsWith(r.attribute("Type").value(), "/custom-properties"))
            continue;
        const Result<Part *> custom = part(resolveTarget({}, r.attribute("Target").value()));
        if (!custom || !*custom)
            return {};
        for (pugi::xml_node property : (*custom)->doc.document_element().children()) {
            if (std::strcmp(property.attribute("name").value(), LayoutPropertyName) == 0)
                return QString::fromUtf8(property.first_child().text().get()).trimmed();
        }
    }
    return {};
}

} // namespace tapewright
