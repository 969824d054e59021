// The cover document served by filling the template file itself: OpenDocument text (.odt,
// .ott) and Word (.docx, .dotx, .docm, .dotm) packages are read into memory, their bookmarks
// filled, and the result written as a new file. No word processor needs to run; LibreOffice,
// when it is installed, converts legacy Word .doc templates once and prints covers to PDF.
#pragma once

#include "cover/document/templateformats.h"
#include "cover/fill/coverdocument.h"
#include "cover/fill/coverfiles.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tapewright {

class CoverPackage;

// A template holding more bookmarks than this is refused: a cover needs 36.
inline constexpr int MaxCoverBookmarks = 1000;
// Template files larger than this are refused before reading.
inline constexpr qint64 MaxTemplateFileSize = 128 * 1024 * 1024;

struct FileCoverOptions
{
    // Converted .doc templates are kept in <cacheFolder>/converted.
    QString cacheFolder = DefaultCacheFolder();
    // LibreOffice for .doc templates and PDF covers: unset, it is looked up on the PATH when a
    // conversion needs it; empty, it is not installed.
    std::optional<QString> officeProgram;
};

class FileCoverDocument final : public CoverDocument
{
public:
    explicit FileCoverDocument(FileCoverOptions options = {});
    ~FileCoverDocument() override;
    FileCoverDocument(const FileCoverDocument &) = delete;
    FileCoverDocument &operator=(const FileCoverDocument &) = delete;

    // Nothing to start.
    Result<void> start() override;
    Result<void> open(const QString &path) override;
    Result<void> setZoom(int percent) override;
    Result<void> lookUpBookmark(const QString &name) override;
    // A file has no window to scroll; fails only for a missing bookmark.
    Result<void> scrollIntoView(const QString &name) override;
    Result<void> setBookmarkText(const QString &name, const QString &text) override;
    // For a template that names a layout this program knows in its "Tapewright layout"
    // document property (the shipped templates) and has that layout's shape.
    QString fitLayout() override;
    // Writes the filled document to path as a document or a template of the template's
    // format (.odt or .ott, .docx or .dotx, .docm or .dotm), or as a PDF printed by
    // LibreOffice (.pdf), as the extension says; never over the template itself.
    Result<void> saveAs(const QString &path) override;

    // The bookmark names in the document, sorted.
    QStringList bookmarkNames() const;
    // A bookmark's current text (CR LF between lines and paragraphs); nullopt when absent.
    std::optional<QString> bookmarkText(const QString &name) const;

private:
    Result<void> writeFile(const QString &target, PackageKind kind);
    Result<void> writePdf(const QString &target);

    FileCoverOptions m_options;
    QString m_path; // as given to open(), the .doc for a converted template
    std::unique_ptr<CoverPackage> m_package;
    QString m_layoutProblem; // why the template lacks the shape of the layout it names
};

} // namespace tapewright
