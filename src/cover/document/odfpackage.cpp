// An OpenDocument text package (.odt, .ott): its text in content.xml, headers and footers in
// styles.xml, the zoom in settings.xml, and the kind in its mimetype and manifest.
#include "cover/document/coverpackage.h"

#include <algorithm>
#include <cstring>

namespace tapewright {

namespace {

class OdfPackage final : public CoverPackage
{
public:
    OdfPackage() : CoverPackage(DocumentFlavor::OpenDocument) {}

    Result<void> setZoom(int percent) override;
    QString layoutName() override;
    const TemplateFormat &format(PackageKind kind) const override;
    std::string addPicture(const Picture &picture) override;

protected:
    Result<void> readParts() override;
    void markKind(PackageKind kind) override;
};

constexpr const char *ManifestNs = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";
constexpr const char *OfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char *ConfigNs = "urn:oasis:names:tc:opendocument:xmlns:config:1.0";

} // namespace

std::unique_ptr<CoverPackage> NewOdfPackage()
{
    return std::make_unique<OdfPackage>();
}

const TemplateFormat &OdfPackage::format(PackageKind kind) const
{
    return FilledFormat(FormatFamily::OpenDocument, false, kind);
}

Result<void> OdfPackage::readParts()
{
    if (const ZipEntry *mime = m_zip.find("mimetype")) {
        const QByteArray type = mime->data.trimmed();
        if (type != format(PackageKind::Document).mediaType &&
            type != format(PackageKind::Template).mediaType)
            return Failure{QStringLiteral("it is not an OpenDocument text (its type is “%1”)")
                               .arg(QString::fromUtf8(type.left(100)))};
    }
    const Result<Part *> manifest = part("META-INF/manifest.xml");
    if (!manifest)
        return Failure{manifest.error()};
    if (*manifest) {
        const pugi::xml_node root = (*manifest)->doc.document_element();
        const std::string m = DeclaredPrefix(root, ManifestNs, "manifest:");
        for (pugi::xml_node entry : root.children()) {
            if (entry.child((m + "encryption-data").c_str()))
                return Failure{QStringLiteral("it is encrypted (password-protected); save it "
                                              "without a password")};
        }
    }
    const Result<Part *> content = part("content.xml");
    if (!content)
        return Failure{content.error()};
    if (!*content)
        return Failure{QStringLiteral("it has no content.xml, so it is no OpenDocument text")};
    addBookmarkPart(*content);
    const Result<Part *> styles = part("styles.xml");
    if (!styles)
        return Failure{styles.error()};
    if (*styles)
        addBookmarkPart(*styles); // headers and footers live in the master pages
    return {};
}

Result<void> OdfPackage::setZoom(int percent)
{
    Result<Part *> found = part("settings.xml");
    if (!found)
        return Failure{found.error()};
    Part *settings = *found;
    if (!settings) {
        settings = addPart("settings.xml",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                           "<office:document-settings "
                           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                           "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\" "
                           "office:version=\"1.2\"/>");
        const Result<Part *> manifest = part("META-INF/manifest.xml");
        if (manifest && *manifest) {
            pugi::xml_node root = (*manifest)->doc.document_element();
            const std::string m = DeclaredPrefix(root, ManifestNs, "manifest:");
            pugi::xml_node entry = root.append_child((m + "file-entry").c_str());
            entry.append_attribute((m + "full-path").c_str()) = "settings.xml";
            entry.append_attribute((m + "media-type").c_str()) = "text/xml";
            (*manifest)->changed = true;
        }
    }
    pugi::xml_node root = settings->doc.document_element();
    const std::string office = BoundPrefix(root, OfficeNs, "office");
    const std::string config = BoundPrefix(root, ConfigNs, "config");
    const std::string name = config + "name";
    pugi::xml_node set = ChildOrAppend(ChildOrAppend(root, office + "settings"),
                                       config + "config-item-set", name, "ooo:view-settings");
    pugi::xml_node views = ChildOrAppend(set, config + "config-item-map-indexed", name, "Views");
    if (!views.child((config + "config-item-map-entry").c_str()))
        views.append_child((config + "config-item-map-entry").c_str());
    const std::string item = config + "config-item";
    for (pugi::xml_node view = views.child((config + "config-item-map-entry").c_str()); view;
         view = view.next_sibling((config + "config-item-map-entry").c_str())) {
        // ZoomType 0 is "by factor"; the others (whole page, page width) ignore the factor.
        const std::pair<const char *, int> values[] = {{"ZoomType", 0}, {"ZoomFactor", percent}};
        for (const auto &[key, value] : values) {
            pugi::xml_node it = ChildWithAttribute(view, item, name, key);
            if (!it) {
                it = view.append_child(item.c_str());
                it.append_attribute(name.c_str()) = key;
                it.append_attribute((config + "type").c_str()) = "short";
            }
            it.text().set(value);
        }
    }
    settings->changed = true;
    return {};
}

void OdfPackage::markKind(PackageKind kind)
{
    const char *mime = format(kind).mediaType;
    ZipEntry &entry = m_zip.findOrAdd("mimetype");
    entry.data = QByteArray(mime);
    entry.stored = true;
    // Readers recognise an ODF package by its first entry, stored uncompressed.
    auto it = std::find_if(m_zip.entries.begin(), m_zip.entries.end(),
                           [](const ZipEntry &e) { return e.name == "mimetype"; });
    std::rotate(m_zip.entries.begin(), it, it + 1);
    const Result<Part *> manifest = part("META-INF/manifest.xml");
    if (!manifest || !*manifest)
        return;
    pugi::xml_node root = (*manifest)->doc.document_element();
    const std::string m = DeclaredPrefix(root, ManifestNs, "manifest:");
    pugi::xml_node top = ChildWithAttribute(root, m + "file-entry", m + "full-path", "/");
    if (top) {
        pugi::xml_attribute type = top.attribute((m + "media-type").c_str());
        if (!type)
            type = top.append_attribute((m + "media-type").c_str());
        type.set_value(mime);
        (*manifest)->changed = true;
    }
}

std::string OdfPackage::addPicture(const Picture &picture)
{
    const std::string name = addStoredEntry("Pictures/", "TapewrightFront",
                                            PictureExtension(picture.info.type), picture.bytes);
    // A package without a manifest is read without one; with one, every entry is listed.
    const Result<Part *> manifest = part("META-INF/manifest.xml");
    if (manifest && *manifest) {
        pugi::xml_node root = (*manifest)->doc.document_element();
        const std::string m = DeclaredPrefix(root, ManifestNs, "manifest:");
        pugi::xml_node entry = root.append_child((m + "file-entry").c_str());
        entry.append_attribute((m + "full-path").c_str()) = name.c_str();
        entry.append_attribute((m + "media-type").c_str()) = PictureMediaType(picture.info.type);
        (*manifest)->changed = true;
    }
    return name;
}

// User-defined metadata in meta.xml, matched by local name whatever prefixes the writer chose.
QString OdfPackage::layoutName()
{
    auto local = [](const char *name) {
        const char *colon = std::strchr(name, ':');
        return colon ? colon + 1 : name;
    };
    const Result<Part *> meta = part("meta.xml");
    if (!meta || !*meta)
        return {};
    for (pugi::xml_node group : (*meta)->doc.document_element().children()) {
        for (pugi::xml_node item : group.children()) {
            if (std::strcmp(local(item.name()), "user-defined") != 0)
                continue;
            for (pugi::xml_attribute a : item.attributes()) {
                if (std::strcmp(local(a.name()), "name") == 0 &&
                    std::strcmp(a.value(), LayoutPropertyName) == 0)
                    return QString::fromUtf8(item.text().get()).trimmed();
            }
        }
    }
    return {};
}

} // namespace tapewright
