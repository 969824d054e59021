// A cover template read into memory, with one subclass per format: OdfPackage
// (odfpackage.cpp) for OpenDocument text, OoxmlPackage (ooxmlpackage.cpp) for Word. The base holds
// what both share: the zip entries, the XML parts parsed so far, the bookmarks and their editing
// (bookmarkxml.h), and the writing of a new file. A subclass knows its format's parts: which are
// checked and hold bookmarks, where the zoom is kept, how the package says whether it is a
// document or a template, and where it names its layout.
#pragma once

#include "common/result.h"
#include "cover/document/bookmarkxml.h"
#include "cover/document/templateformats.h"
#include "cover/document/xmlpart.h"
#include "cover/document/zippackage.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tapewright {

// The document property that names a cover's layout (cover/layout): user-defined metadata in an
// OpenDocument file, a custom property in a Word file.
inline constexpr char LayoutPropertyName[] = "Tapewright layout";

class CoverPackage
{
public:
    virtual ~CoverPackage();
    CoverPackage(const CoverPackage &) = delete;
    CoverPackage &operator=(const CoverPackage &) = delete;

    // The package class of an OpenDocument or Word family (a legacy .doc is converted to
    // OpenDocument first).
    static std::unique_ptr<CoverPackage> forFamily(FormatFamily family);

    // Reads the package from a file's bytes. Failures here and below give a reason that the
    // caller frames with the file's name ("it is not a zip package").
    Result<void> load(const QByteArray &bytes);

    // Makes the word processor open the document at this zoom.
    virtual Result<void> setZoom(int percent) = 0;
    // The format of a new file written from this package as kind.
    virtual const TemplateFormat &format(PackageKind kind) const = 0;
    // The package as a new file of the given kind.
    Result<QByteArray> save(PackageKind kind);

    // Bookmarks by name, matched exactly; a name found in several parts is the first one's.
    std::size_t bookmarkCount() const;
    QStringList bookmarkNames() const; // sorted
    bool hasBookmark(const QString &name) const { return m_index.contains(name); }
    // CR LF between lines and paragraphs; nullopt when absent.
    std::optional<QString> bookmarkText(const QString &name) const;
    Result<void> setBookmarkText(const QString &name, const QString &text);

    // The layout the package names in its "Tapewright layout" document property; empty when
    // it names none.
    virtual QString layoutName() = 0;
    // Lets edit change the main part (content.xml, word/document.xml) beyond the text of its
    // bookmarks, as the fitting of a layout does. The part's bookmarks are found afresh
    // afterwards: edit may have rebuilt what held them.
    void editMainPart(const std::function<void(pugi::xml_document &, const XmlNames &)> &edit);
    // Lets read look at the main part as it stands.
    void readMainPart(
        const std::function<void(const pugi::xml_document &, const XmlNames &)> &read) const;

protected:
    struct Part
    {
        pugi::xml_document doc;
        XmlNames names;
        bool changed = false;
        std::vector<BookmarkSite> sites;
    };

    explicit CoverPackage(DocumentFlavor flavor) : m_flavor(flavor) {}

    // Checks that the package is of the subclass's format and adds the parts that hold
    // bookmarks, in the order they are looked up.
    virtual Result<void> readParts() = 0;
    // Declares the package a document or a template of its format.
    virtual void markKind(PackageKind kind) = 0;

    // The entry parsed once: nullptr when the package has no such entry, a failure when it is
    // not well-formed.
    Result<Part *> part(const std::string &name);
    // Adds (or replaces) an entry holding xml, marked as changed.
    Part *addPart(const std::string &name, const char *xml);
    void addBookmarkPart(Part *part);

    ZipPackage m_zip;

private:
    struct Location
    {
        Part *part;
        std::size_t site;
    };
    void rebuildIndex();

    DocumentFlavor m_flavor;
    std::map<std::string, std::unique_ptr<Part>> m_parts; // parsed XML parts by entry name
    std::vector<Part *> m_bookmarkParts;                  // in lookup order
    QHash<QString, Location> m_index;
};

// The two formats' packages, empty until load().
std::unique_ptr<CoverPackage> NewOdfPackage();
std::unique_ptr<CoverPackage> NewOoxmlPackage();

} // namespace tapewright
