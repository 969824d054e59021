#include "cover/document/coverpackage.h"

#include <algorithm>
#include <ctime>

namespace tapewright {

CoverPackage::~CoverPackage() = default;

std::unique_ptr<CoverPackage> CoverPackage::forFamily(FormatFamily family)
{
    return family == FormatFamily::OfficeOpenXml ? NewOoxmlPackage() : NewOdfPackage();
}

Result<void> CoverPackage::load(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return Failure{QStringLiteral("the file is empty")};
    // Word writes password-protected .docx files as OLE compound files, the container of
    // old .doc files, so they fail as zips with a message that would mislead.
    if (bytes.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
        return Failure{QStringLiteral("it is a password-protected document or an old Word "
                                      "97–2003 file with the wrong extension; save it without a "
                                      "password as .docx or .odt")};
    Result<ZipPackage> zip = ReadZipPackage(bytes);
    if (!zip)
        return Failure{zip.error()};
    m_zip = *std::move(zip);
    if (Result<void> read = readParts(); !read)
        return read;
    for (Part *p : m_bookmarkParts)
        p->sites = CollectBookmarks(p->doc, p->names);
    rebuildIndex();
    return {};
}

Result<QByteArray> CoverPackage::save(PackageKind kind)
{
    markKind(kind);
    ZipPackage out = m_zip; // entry data is shared, not copied
    for (auto &[name, part] : m_parts) {
        if (!part->changed)
            continue;
        ZipEntry &entry = out.findOrAdd(name);
        entry.data = SerializeXmlPart(part->doc);
        entry.mtime = std::time(nullptr);
    }
    return WriteZipPackage(out);
}

std::size_t CoverPackage::bookmarkCount() const
{
    std::size_t count = 0;
    for (const Part *p : m_bookmarkParts)
        count += p->sites.size();
    return count;
}

QStringList CoverPackage::bookmarkNames() const
{
    QStringList names = m_index.keys();
    names.sort();
    return names;
}

std::optional<QString> CoverPackage::bookmarkText(const QString &name) const
{
    const auto it = m_index.constFind(name);
    if (it == m_index.constEnd())
        return std::nullopt;
    return BookmarkText(it->part->sites[it->site], it->part->names);
}

Result<void> CoverPackage::setBookmarkText(const QString &name, const QString &text)
{
    const auto it = m_index.constFind(name);
    if (it == m_index.constEnd())
        return Failure{QStringLiteral("there is no such bookmark")};
    const Location at = *it;
    const Result<bool> set = SetBookmarkText(at.part->sites[at.site], at.part->names, text);
    if (!set)
        return Failure{set.error()};
    at.part->changed = true;
    // The index stays as it is, unless the old text held other bookmarks: they went with it,
    // so the part's bookmarks are found afresh. Doing that on every write would walk the whole
    // part for each of a thousand bookmarks.
    if (*set) {
        at.part->sites = CollectBookmarks(at.part->doc, at.part->names);
        rebuildIndex();
    }
    return {};
}

void CoverPackage::editMainPart(
    const std::function<void(pugi::xml_document &, const XmlNames &)> &edit)
{
    if (m_bookmarkParts.empty())
        return;
    // The main part is the first that holds bookmarks.
    Part *main = m_bookmarkParts.front();
    edit(main->doc, main->names);
    main->changed = true;
    main->sites = CollectBookmarks(main->doc, main->names);
    rebuildIndex();
}

void CoverPackage::readMainPart(
    const std::function<void(const pugi::xml_document &, const XmlNames &)> &read) const
{
    if (!m_bookmarkParts.empty())
        read(m_bookmarkParts.front()->doc, m_bookmarkParts.front()->names);
}

Result<CoverPackage::Part *> CoverPackage::part(const std::string &name)
{
    if (auto it = m_parts.find(name); it != m_parts.end())
        return it->second.get();
    const ZipEntry *entry = m_zip.find(name);
    if (!entry)
        return nullptr;
    auto part = std::make_unique<Part>();
    if (Result<void> parsed = ParseXmlPart(entry->data, &part->doc); !parsed)
        return Failure{
            QStringLiteral("its part “%1” %2").arg(QString::fromStdString(name), parsed.error())};
    part->names = XmlNames::forPart(m_flavor, part->doc);
    Part *raw = part.get();
    m_parts.emplace(name, std::move(part));
    return raw;
}

CoverPackage::Part *CoverPackage::addPart(const std::string &name, const char *xml)
{
    ZipEntry &entry = m_zip.findOrAdd(name);
    entry.data = QByteArray(xml);
    auto part = std::make_unique<Part>();
    (void)ParseXmlPart(entry.data, &part->doc);
    part->names = XmlNames::forPart(m_flavor, part->doc);
    part->changed = true;
    Part *raw = part.get();
    m_parts[name] = std::move(part);
    return raw;
}

void CoverPackage::addBookmarkPart(Part *part)
{
    if (std::find(m_bookmarkParts.begin(), m_bookmarkParts.end(), part) == m_bookmarkParts.end())
        m_bookmarkParts.push_back(part);
}

void CoverPackage::rebuildIndex()
{
    m_index.clear();
    for (Part *p : m_bookmarkParts) {
        for (std::size_t i = 0; i < p->sites.size(); ++i) {
            if (!m_index.contains(p->sites[i].name))
                m_index.insert(p->sites[i].name, Location{p, i});
        }
    }
}

} // namespace tapewright
