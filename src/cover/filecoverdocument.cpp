#include "filecoverdocument.h"

#include "bookmarkxml.h"
#include "coverfiles.h"
#include "coverlayout.h"
#include "textfile.h"
#include "zippackage.h"

#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <map>

namespace tapewright {

namespace {

constexpr const char *OdfTextMime = "application/vnd.oasis.opendocument.text";
constexpr const char *OdfTemplateMime = "application/vnd.oasis.opendocument.text-template";
constexpr const char *ManifestNs = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";
constexpr const char *OfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char *ConfigNs = "urn:oasis:names:tc:opendocument:xmlns:config:1.0";
constexpr const char *WordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char *SettingsRelType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
constexpr const char *WordDocumentType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
constexpr const char *WordTemplateType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml";
constexpr const char *WordMacroDocumentType =
    "application/vnd.ms-word.document.macroEnabled.main+xml";
constexpr const char *WordMacroTemplateType =
    "application/vnd.ms-word.template.macroEnabledTemplate.main+xml";
constexpr const char *WordSettingsType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";

QString quoted(const QString &path)
{
    return QStringLiteral("“%1”").arg(QDir::toNativeSeparators(path));
}

QString quotedUtf8(const std::string &name)
{
    return QStringLiteral("“%1”").arg(QString::fromStdString(name));
}

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

pugi::xml_node childWithAttribute(pugi::xml_node parent, const std::string &name,
                                  const std::string &attribute, const char *value)
{
    for (pugi::xml_node c = parent.child(name.c_str()); c; c = c.next_sibling(name.c_str())) {
        if (std::strcmp(c.attribute(attribute.c_str()).value(), value) == 0)
            return c;
    }
    return {};
}

pugi::xml_node childOrAppend(pugi::xml_node parent, const std::string &name,
                             const std::string &attribute = {}, const char *value = nullptr)
{
    pugi::xml_node c =
        value ? childWithAttribute(parent, name, attribute, value) : parent.child(name.c_str());
    if (!c) {
        c = parent.append_child(name.c_str());
        if (value)
            c.append_attribute(attribute.c_str()) = value;
    }
    return c;
}

// Declares the namespace on root when the root does not, so a prefix chosen by fallback is bound.
std::string boundPrefix(pugi::xml_node root, const char *uri, const char *preferred)
{
    const std::string p = DeclaredPrefix(root, uri, std::string());
    if (!p.empty() || std::strcmp(root.attribute("xmlns").value(), uri) == 0)
        return p;
    const std::string attr = std::string("xmlns:") + preferred;
    if (!root.attribute(attr.c_str()))
        root.append_attribute(attr.c_str()) = uri;
    return std::string(preferred) + ':';
}

} // namespace

bool OpenWithDesktop(const QString &path)
{
    // QDesktopServices needs the platform integration that only a QGuiApplication brings.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

struct FileCoverDocument::Impl
{
    struct Part
    {
        pugi::xml_document doc;
        XmlNames names;
        bool changed = false;
        std::vector<BookmarkSite> sites;
    };
    struct Location
    {
        Part *part;
        std::size_t site;
    };

    FileCoverOptions options;
    bool isOpen = false;
    QString path; // as given to open(), the .doc for a converted template
    DocumentFlavor flavor = DocumentFlavor::OpenDocument;
    ZipPackage package;
    std::map<std::string, std::unique_ptr<Part>> parts; // parsed XML parts by entry name
    std::vector<Part *> bookmarkParts;                  // in lookup order
    QHash<QString, Location> index;
    std::string mainPart; // OOXML main document part
    bool macroEnabled = false;
    QString shownPath;

    QString failOpen(const QString &reason) const
    {
        return QStringLiteral("Cannot use the template %1: %2.").arg(quoted(path), reason);
    }

    // Parses an entry once; nullptr with *error set when it is absent (error empty) or broken.
    Part *parsePart(const std::string &name, QString *error)
    {
        error->clear();
        if (auto it = parts.find(name); it != parts.end())
            return it->second.get();
        const ZipEntry *entry = package.find(name);
        if (!entry)
            return nullptr;
        auto part = std::make_unique<Part>();
        const QString reason = ParseXmlPart(entry->data, &part->doc);
        if (!reason.isEmpty()) {
            *error = QStringLiteral("its part %1 %2").arg(quotedUtf8(name), reason);
            return nullptr;
        }
        part->names = XmlNames::forPart(flavor, part->doc);
        Part *raw = part.get();
        parts.emplace(name, std::move(part));
        return raw;
    }

    Part *addPart(const std::string &name, const char *xml)
    {
        ZipEntry &entry = package.findOrAdd(name);
        entry.data = QByteArray(xml);
        auto part = std::make_unique<Part>();
        (void)ParseXmlPart(entry.data, &part->doc);
        part->names = XmlNames::forPart(flavor, part->doc);
        part->changed = true;
        Part *raw = part.get();
        parts[name] = std::move(part);
        return raw;
    }

    void rebuildIndex()
    {
        index.clear();
        for (Part *p : bookmarkParts) {
            for (std::size_t i = 0; i < p->sites.size(); ++i) {
                if (!index.contains(p->sites[i].name))
                    index.insert(p->sites[i].name, Location{p, i});
            }
        }
    }

    QString load(const QString &file);
    QString loadOpenDocument();
    QString loadWord();
    QString convertLegacy(const QString &doc, QString *converted);
    QString layoutName();
    QString zoomOpenDocument(int percent);
    QString zoomWord(int percent);
    void applyKind(CoverPackageKind kind);
    QString build(CoverPackageKind kind, QByteArray *bytes);
    QString writeFile(const QString &target, CoverPackageKind kind);
};

QString FileCoverDocument::Impl::load(const QString &file)
{
    QFile f(file);
    if (!f.exists())
        return QStringLiteral("the file does not exist");
    if (f.size() > MaxTemplateFileSize)
        return QStringLiteral("it is larger than %1 MiB").arg(MaxTemplateFileSize / (1024 * 1024));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("it cannot be read (%1)").arg(f.errorString());
    const QByteArray bytes = ReadAtMost(f, MaxTemplateFileSize);
    if (f.error() != QFileDevice::NoError)
        return QStringLiteral("it cannot be read (%1)").arg(f.errorString());
    if (bytes.size() > MaxTemplateFileSize) // grew since its size was asked
        return QStringLiteral("it is larger than %1 MiB").arg(MaxTemplateFileSize / (1024 * 1024));

    if (bytes.isEmpty())
        return QStringLiteral("the file is empty");
    // Word writes password-protected .docx files as OLE compound files, the container of
    // old .doc files, so they fail as zips with a message that would mislead.
    if (bytes.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
        return QStringLiteral("it is a password-protected document or an old Word 97–2003 file "
                              "with the wrong extension; save it without a password as .docx "
                              "or .odt");
    const QString reason = ReadZipPackage(bytes, &package);
    if (!reason.isEmpty())
        return reason;
    return flavor == DocumentFlavor::OpenDocument ? loadOpenDocument() : loadWord();
}

QString FileCoverDocument::Impl::loadOpenDocument()
{
    if (const ZipEntry *mime = package.find("mimetype")) {
        const QByteArray type = mime->data.trimmed();
        if (type != OdfTextMime && type != OdfTemplateMime)
            return QStringLiteral("it is not an OpenDocument text (its type is “%1”)")
                .arg(QString::fromUtf8(type.left(100)));
    }
    QString error;
    if (Part *manifest = parsePart("META-INF/manifest.xml", &error)) {
        const pugi::xml_node root = manifest->doc.document_element();
        const std::string m = DeclaredPrefix(root, ManifestNs, "manifest:");
        for (pugi::xml_node entry : root.children()) {
            if (entry.child((m + "encryption-data").c_str()))
                return QStringLiteral("it is encrypted (password-protected); save it without a "
                                      "password");
        }
    } else if (!error.isEmpty()) {
        return error;
    }
    Part *content = parsePart("content.xml", &error);
    if (!content)
        return error.isEmpty() ? QStringLiteral("it has no content.xml, so it is no OpenDocument "
                                                "text")
                               : error;
    bookmarkParts.push_back(content);
    if (Part *styles = parsePart("styles.xml", &error))
        bookmarkParts.push_back(styles); // headers and footers live in the master pages
    else if (!error.isEmpty())
        return error;
    return {};
}

QString FileCoverDocument::Impl::loadWord()
{
    QString error;
    Part *types = parsePart("[Content_Types].xml", &error);
    if (!types)
        return error.isEmpty() ? QStringLiteral("it has no [Content_Types].xml, so it is no Word "
                                                "document")
                               : error;
    mainPart = "word/document.xml";
    if (Part *rels = parsePart("_rels/.rels", &error)) {
        for (pugi::xml_node r : rels->doc.document_element().children()) {
            if (endsWith(r.attribute("Type").value(), "/officeDocument")) {
                mainPart = resolveTarget({}, r.attribute("Target").value());
                break;
            }
        }
    } else if (!error.isEmpty()) {
        return error;
    }
    for (pugi::xml_node o : types->doc.document_element().children()) {
        if (std::strcmp(o.attribute("PartName").value(), ("/" + mainPart).c_str()) != 0)
            continue;
        const char *type = o.attribute("ContentType").value();
        if (!std::strstr(type, "wordprocessingml") && !std::strstr(type, "ms-word"))
            return QStringLiteral("it is not a Word document (its type is “%1”)")
                .arg(QString::fromUtf8(type));
        macroEnabled = std::strstr(type, "macroEnabled") != nullptr;
    }
    Part *main = parsePart(mainPart, &error);
    if (!main)
        return error.isEmpty()
                   ? QStringLiteral("it has no main document part (%1)").arg(quotedUtf8(mainPart))
                   : error;
    bookmarkParts.push_back(main);
    Part *mainRels = parsePart(relsPartOf(mainPart), &error);
    if (!mainRels && !error.isEmpty())
        return error;
    if (mainRels) {
        for (pugi::xml_node r : mainRels->doc.document_element().children()) {
            const char *type = r.attribute("Type").value();
            if (!endsWith(type, "/header") && !endsWith(type, "/footer"))
                continue;
            if (std::strcmp(r.attribute("TargetMode").value(), "External") == 0)
                continue;
            const std::string target =
                resolveTarget(folderOf(mainPart), r.attribute("Target").value());
            Part *p = parsePart(target, &error);
            if (!p && !error.isEmpty())
                return error;
            if (p &&
                std::find(bookmarkParts.begin(), bookmarkParts.end(), p) == bookmarkParts.end())
                bookmarkParts.push_back(p);
        }
    }
    return {};
}

QString FileCoverDocument::Impl::convertLegacy(const QString &doc, QString *converted)
{
    const QFileInfo fi(doc);
    if (!fi.exists())
        return QStringLiteral("the file does not exist");
    const QByteArray key = (fi.absoluteFilePath() + u'\n' + QString::number(fi.size()) + u'\n' +
                            QString::number(fi.lastModified().toMSecsSinceEpoch()))
                               .toUtf8();
    const QString folder = options.cacheFolder + QStringLiteral("/converted");
    const QString cached =
        folder + u'/' +
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex()) +
        QStringLiteral(".odt");
    if (QFileInfo::exists(cached)) {
        *converted = cached;
        return {};
    }
    if (options.officeProgram.isEmpty())
        return QStringLiteral(
            "it is a Word 97–2003 document (.doc). Tapewright fills .odt and .docx templates: "
            "open the template in Word or LibreOffice Writer and save it as a Word document "
            "(.docx) or an ODF text document (.odt) in the template folder, or install "
            "LibreOffice so that Tapewright can convert it");

    QTemporaryDir work;
    if (!work.isValid())
        return QStringLiteral("no temporary folder for converting it could be made");
    const OfficeConversion out =
        ConvertWithOffice(options.officeProgram, fi.absoluteFilePath(), QStringLiteral("odt"),
                          work.path(), OfficeConversionTimeoutMs);
    if (!out)
        return QStringLiteral("it is a Word 97–2003 document (.doc), and converting it failed: ") +
               out.error;
    const QString partial = cached + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QDir().mkpath(folder) || !QFile::copy(out.outputPath, partial) ||
        !QFile::rename(partial, cached)) {
        QFile::remove(partial);
        return QStringLiteral("its converted copy cannot be stored in %1").arg(quoted(folder));
    }
    *converted = cached;
    return {};
}

// The layout the template names in its "Tapewright layout" document property; empty when it
// names none. Elements and attributes are matched by local name: whatever prefixes the writer
// chose.
QString FileCoverDocument::Impl::layoutName()
{
    auto local = [](const char *name) {
        const char *colon = std::strchr(name, ':');
        return colon ? colon + 1 : name;
    };
    QString error;
    if (flavor == DocumentFlavor::OpenDocument) {
        Part *meta = parsePart("meta.xml", &error);
        if (!meta)
            return {};
        for (pugi::xml_node group : meta->doc.document_element().children()) {
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
    Part *rels = parsePart("_rels/.rels", &error);
    if (!rels)
        return {};
    for (pugi::xml_node r : rels->doc.document_element().children()) {
        if (!endsWith(r.attribute("Type").value(), "/custom-properties"))
            continue;
        Part *custom = parsePart(resolveTarget({}, r.attribute("Target").value()), &error);
        if (!custom)
            return {};
        for (pugi::xml_node property : custom->doc.document_element().children()) {
            if (std::strcmp(property.attribute("name").value(), LayoutPropertyName) == 0)
                return QString::fromUtf8(property.first_child().text().get()).trimmed();
        }
    }
    return {};
}

QString FileCoverDocument::Impl::zoomOpenDocument(int percent)
{
    QString error;
    Part *settings = parsePart("settings.xml", &error);
    if (!settings && !error.isEmpty())
        return error;
    if (!settings) {
        settings = addPart("settings.xml",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                           "<office:document-settings "
                           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                           "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\" "
                           "office:version=\"1.2\"/>");
        if (Part *manifest = parsePart("META-INF/manifest.xml", &error)) {
            pugi::xml_node root = manifest->doc.document_element();
            const std::string m = DeclaredPrefix(root, ManifestNs, "manifest:");
            pugi::xml_node entry = root.append_child((m + "file-entry").c_str());
            entry.append_attribute((m + "full-path").c_str()) = "settings.xml";
            entry.append_attribute((m + "media-type").c_str()) = "text/xml";
            manifest->changed = true;
        }
    }
    pugi::xml_node root = settings->doc.document_element();
    const std::string office = boundPrefix(root, OfficeNs, "office");
    const std::string config = boundPrefix(root, ConfigNs, "config");
    const std::string name = config + "name";
    pugi::xml_node set = childOrAppend(childOrAppend(root, office + "settings"),
                                       config + "config-item-set", name, "ooo:view-settings");
    pugi::xml_node views = childOrAppend(set, config + "config-item-map-indexed", name, "Views");
    if (!views.child((config + "config-item-map-entry").c_str()))
        views.append_child((config + "config-item-map-entry").c_str());
    const std::string item = config + "config-item";
    for (pugi::xml_node view = views.child((config + "config-item-map-entry").c_str()); view;
         view = view.next_sibling((config + "config-item-map-entry").c_str())) {
        // ZoomType 0 is "by factor"; the others (whole page, page width) ignore the factor.
        const std::pair<const char *, int> values[] = {{"ZoomType", 0}, {"ZoomFactor", percent}};
        for (const auto &[key, value] : values) {
            pugi::xml_node it = childWithAttribute(view, item, name, key);
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

QString FileCoverDocument::Impl::zoomWord(int percent)
{
    QString error;
    const std::string relsName = relsPartOf(mainPart);
    Part *rels = parsePart(relsName, &error);
    if (!rels && !error.isEmpty())
        return error;
    std::string settingsName;
    if (rels) {
        for (pugi::xml_node r : rels->doc.document_element().children()) {
            if (endsWith(r.attribute("Type").value(), "/settings"))
                settingsName = resolveTarget(folderOf(mainPart), r.attribute("Target").value());
        }
    }
    Part *settings = settingsName.empty() ? nullptr : parsePart(settingsName, &error);
    if (!settings && !error.isEmpty())
        return error;
    if (!settings) {
        // A document without settings (written by some converters): add the part, its
        // relationship and its content type.
        settingsName = folderOf(mainPart) + "settings.xml";
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
        while (childWithAttribute(relsRoot, "Relationship", "Id", id.c_str()))
            id += '1';
        pugi::xml_node r = relsRoot.append_child("Relationship");
        r.append_attribute("Id") = id.c_str();
        r.append_attribute("Type") = SettingsRelType;
        r.append_attribute("Target") = settingsName.substr(folderOf(mainPart).size()).c_str();
        rels->changed = true;
        if (Part *types = parsePart("[Content_Types].xml", &error)) {
            pugi::xml_node o = types->doc.document_element().append_child("Override");
            o.append_attribute("PartName") = ("/" + settingsName).c_str();
            o.append_attribute("ContentType") = WordSettingsType;
            types->changed = true;
        }
    }
    pugi::xml_node root = settings->doc.document_element();
    const std::string w = boundPrefix(root, WordNs, "w");
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

void FileCoverDocument::Impl::applyKind(CoverPackageKind kind)
{
    const bool isTemplate = kind == CoverPackageKind::Template;
    QString error;
    if (flavor == DocumentFlavor::OpenDocument) {
        const char *mime = isTemplate ? OdfTemplateMime : OdfTextMime;
        ZipEntry &entry = package.findOrAdd("mimetype");
        entry.data = QByteArray(mime);
        entry.stored = true;
        // Readers recognise an ODF package by its first entry, stored uncompressed.
        auto it = std::find_if(package.entries.begin(), package.entries.end(),
                               [](const ZipEntry &e) { return e.name == "mimetype"; });
        std::rotate(package.entries.begin(), it, it + 1);
        if (Part *manifest = parsePart("META-INF/manifest.xml", &error)) {
            pugi::xml_node root = manifest->doc.document_element();
            const std::string m = DeclaredPrefix(root, ManifestNs, "manifest:");
            pugi::xml_node top = childWithAttribute(root, m + "file-entry", m + "full-path", "/");
            if (top) {
                pugi::xml_attribute type = top.attribute((m + "media-type").c_str());
                if (!type)
                    type = top.append_attribute((m + "media-type").c_str());
                type.set_value(mime);
                manifest->changed = true;
            }
        }
        return;
    }
    const char *type = macroEnabled ? (isTemplate ? WordMacroTemplateType : WordMacroDocumentType)
                                    : (isTemplate ? WordTemplateType : WordDocumentType);
    if (Part *types = parsePart("[Content_Types].xml", &error)) {
        pugi::xml_node root = types->doc.document_element();
        const std::string partName = "/" + mainPart;
        pugi::xml_node o = childWithAttribute(root, "Override", "PartName", partName.c_str());
        if (!o) {
            o = root.append_child("Override");
            o.append_attribute("PartName") = partName.c_str();
            o.append_attribute("ContentType");
        }
        o.attribute("ContentType").set_value(type);
        types->changed = true;
    }
}

QString FileCoverDocument::Impl::build(CoverPackageKind kind, QByteArray *bytes)
{
    applyKind(kind);
    ZipPackage out = package; // entry data is shared, not copied
    for (auto &[name, part] : parts) {
        if (!part->changed)
            continue;
        ZipEntry &entry = out.findOrAdd(name);
        entry.data = SerializeXmlPart(part->doc);
        entry.mtime = std::time(nullptr);
    }
    return WriteZipPackage(out, bytes);
}

QString FileCoverDocument::Impl::writeFile(const QString &target, CoverPackageKind kind)
{
    QByteArray bytes;
    const QString reason = build(kind, &bytes);
    if (!reason.isEmpty())
        return QStringLiteral("Cannot write the cover %1: %2.").arg(quoted(target), reason);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("Cannot write the cover %1: %2.")
            .arg(quoted(target), file.errorString());
    return {};
}

FileCoverDocument::FileCoverDocument(FileCoverOptions options) : d(std::make_unique<Impl>())
{
    d->options = std::move(options);
}

FileCoverDocument::~FileCoverDocument() = default;

CoverResult FileCoverDocument::start()
{
    RemoveOldCovers(d->options.cacheFolder + QStringLiteral("/covers"),
                    QDateTime::currentDateTimeUtc());
    return CoverResult::success();
}

CoverResult FileCoverDocument::open(const QString &path)
{
    FileCoverOptions options = std::move(d->options);
    d = std::make_unique<Impl>();
    d->options = std::move(options);
    d->path = path;

    const QString suffix = QFileInfo(path).suffix().toLower();
    QString file = path;
    if (suffix == QLatin1String("doc")) {
        const QString reason = d->convertLegacy(path, &file);
        if (!reason.isEmpty())
            return CoverResult::failure(d->failOpen(reason));
        d->flavor = DocumentFlavor::OpenDocument;
    } else if (suffix == QLatin1String("odt") || suffix == QLatin1String("ott")) {
        d->flavor = DocumentFlavor::OpenDocument;
    } else if (QStringList{QStringLiteral("docx"), QStringLiteral("dotx"), QStringLiteral("docm"),
                           QStringLiteral("dotm")}
                   .contains(suffix)) {
        d->flavor = DocumentFlavor::OfficeOpenXml;
    } else {
        return CoverResult::failure(d->failOpen(
            QStringLiteral("Tapewright fills OpenDocument (.odt, .ott) and Word (.docx, .dotx) "
                           "templates, and this file is neither")));
    }

    QString reason = d->load(file);
    if (reason.isEmpty()) {
        std::size_t count = 0;
        for (Impl::Part *p : d->bookmarkParts) {
            p->sites = CollectBookmarks(p->doc, p->names);
            count += p->sites.size();
        }
        if (count > static_cast<std::size_t>(MaxCoverBookmarks))
            reason = QStringLiteral("it holds %1 bookmarks, more than the %2 a cover template "
                                    "may have")
                         .arg(count)
                         .arg(MaxCoverBookmarks);
    }
    if (!reason.isEmpty()) {
        const QString message = d->failOpen(reason);
        FileCoverOptions keep = std::move(d->options);
        d = std::make_unique<Impl>();
        d->options = std::move(keep);
        return CoverResult::failure(message);
    }
    d->rebuildIndex();
    d->isOpen = true;
    return CoverResult::success();
}

CoverResult FileCoverDocument::setZoom(int percent)
{
    if (!d->isOpen)
        return CoverResult::failure(QStringLiteral("No cover template is open."));
    if (percent < 10 || percent > 500)
        return CoverResult::failure(
            QStringLiteral("A zoom of %1 percent is outside 10 to 500 percent.").arg(percent));
    const QString reason = d->flavor == DocumentFlavor::OpenDocument ? d->zoomOpenDocument(percent)
                                                                     : d->zoomWord(percent);
    if (!reason.isEmpty())
        return CoverResult::failure(
            QStringLiteral("Cannot set the zoom of %1: %2.").arg(quoted(d->path), reason));
    return CoverResult::success();
}

CoverResult FileCoverDocument::lookUpBookmark(const QString &name)
{
    if (!d->isOpen)
        return CoverResult::failure(QStringLiteral("No cover template is open."));
    if (!d->index.contains(name))
        return CoverResult::failure(QStringLiteral("The template %1 has no bookmark named “%2”.")
                                        .arg(quoted(d->path), name));
    return CoverResult::success();
}

CoverResult FileCoverDocument::scrollIntoView(const QString &name)
{
    return lookUpBookmark(name);
}

CoverResult FileCoverDocument::setBookmarkText(const QString &name, const QString &text)
{
    if (CoverResult found = lookUpBookmark(name); !found)
        return found;
    const Impl::Location at = d->index.value(name);
    const QString reason = SetBookmarkText(at.part->sites[at.site], at.part->names, text);
    if (!reason.isEmpty())
        return CoverResult::failure(QStringLiteral("Cannot fill the bookmark “%1” of %2: %3.")
                                        .arg(name, quoted(d->path), reason));
    at.part->changed = true;
    // Removing the old text may have removed other bookmarks that lay inside it, so the
    // part's bookmarks are found afresh.
    at.part->sites = CollectBookmarks(at.part->doc, at.part->names);
    d->rebuildIndex();
    return CoverResult::success();
}

QString FileCoverDocument::fitLayout()
{
    if (!d->isOpen || d->bookmarkParts.empty())
        return {};
    const QString layout = d->layoutName();
    if (!IsKnownLayout(layout))
        return {};
    Impl::Part *main = d->bookmarkParts.front();
    const LayoutFit fit = FitLayoutType(layout, main->doc, main->names);
    main->changed = true;
    // The track area was rebuilt: its bookmarks are new nodes.
    main->sites = CollectBookmarks(main->doc, main->names);
    d->rebuildIndex();
    return LayoutFitNotice(fit);
}

CoverResult FileCoverDocument::show(const QString &title)
{
    if (!d->isOpen)
        return CoverResult::failure(QStringLiteral("No cover template is open."));
    const QString folder = d->options.cacheFolder + QStringLiteral("/covers");
    if (!QDir().mkpath(folder))
        return CoverResult::failure(
            QStringLiteral("Cannot create the folder %1 for finished covers.").arg(quoted(folder)));
    const QString extension =
        d->flavor == DocumentFlavor::OpenDocument
            ? QStringLiteral(".ott")
            : (d->macroEnabled ? QStringLiteral(".dotm") : QStringLiteral(".dotx"));
    const QString base = folder + u'/' + CoverFileBaseName(title);
    QString target = base + extension;
    // An earlier cover of the same show may still be open in the word processor.
    for (int n = 2; QFileInfo::exists(target) && n < 1000; ++n)
        target = base + QStringLiteral(" (%1)").arg(n) + extension;
    if (const QString error = d->writeFile(target, CoverPackageKind::Template); !error.isEmpty())
        return CoverResult::failure(error);
    d->shownPath = target;
    if (!d->options.opener || !d->options.opener(target))
        return CoverResult::failure(
            QStringLiteral("The cover was saved as %1, but no application could be started to "
                           "open it.")
                .arg(quoted(target)));
    return CoverResult::success();
}

CoverResult FileCoverDocument::saveAs(const QString &path)
{
    if (!d->isOpen)
        return CoverResult::failure(QStringLiteral("No cover template is open."));
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool odf = d->flavor == DocumentFlavor::OpenDocument;
    const QStringList documents = odf ? QStringList{QStringLiteral("odt")}
                                      : QStringList{QStringLiteral("docx"), QStringLiteral("docm")};
    const QStringList templates = odf ? QStringList{QStringLiteral("ott")}
                                      : QStringList{QStringLiteral("dotx"), QStringLiteral("dotm")};
    if (!documents.contains(suffix) && !templates.contains(suffix))
        return CoverResult::failure(
            QStringLiteral("Cannot write the cover %1: a cover made from %2 is saved as %3.")
                .arg(quoted(path), quoted(QFileInfo(d->path).fileName()),
                     odf ? QStringLiteral(".odt or .ott") : QStringLiteral(".docx or .dotx")));
    const QFileInfo source(d->path);
    const QFileInfo target(path);
    if (target.exists() && source.exists() &&
        target.canonicalFilePath() == source.canonicalFilePath())
        return CoverResult::failure(
            QStringLiteral("Cannot write the cover over its own template %1.").arg(quoted(path)));
    const QString error = d->writeFile(
        path, templates.contains(suffix) ? CoverPackageKind::Template : CoverPackageKind::Document);
    if (!error.isEmpty())
        return CoverResult::failure(error);
    return CoverResult::success();
}

QStringList FileCoverDocument::bookmarkNames() const
{
    QStringList names = d->index.keys();
    names.sort();
    return names;
}

std::optional<QString> FileCoverDocument::bookmarkText(const QString &name) const
{
    const auto it = d->index.constFind(name);
    if (it == d->index.constEnd())
        return std::nullopt;
    return BookmarkText(it->part->sites[it->site], it->part->names);
}

QString FileCoverDocument::shownPath() const
{
    return d->shownPath;
}

} // namespace tapewright
