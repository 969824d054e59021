// The cover document served by filling the template file itself: OpenDocument text (.odt,
// .ott) and Word (.docx, .dotx) packages are read into memory, their bookmarks filled, and the
// result written as a new template-typed file that the desktop opens as an untitled document.
// No word processor needs to run; legacy Word .doc templates are converted once by LibreOffice
// when it is installed.
#pragma once

#include "coverdocument.h"
#include "coverfiles.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tapewright {

// A template holding more bookmarks than this is refused: a cover needs 36.
inline constexpr int MaxCoverBookmarks = 1000;
// Template files larger than this are refused before reading.
inline constexpr qint64 MaxTemplateFileSize = 128 * 1024 * 1024;
// How long a legacy .doc conversion by LibreOffice may take.
inline constexpr int OfficeConversionTimeoutMs = 180 * 1000;

// Opens a file with the desktop's application; false when nothing could be started.
using CoverOpener = std::function<bool(const QString &path)>;

// The desktop's opening of a file (QDesktopServices). Needs a running QGuiApplication;
// returns false without one.
bool OpenWithDesktop(const QString &path);

struct FileCoverOptions
{
    // Finished covers go to <cacheFolder>/covers, converted .doc templates to
    // <cacheFolder>/converted.
    QString cacheFolder = DefaultCacheFolder();
    CoverOpener opener = OpenWithDesktop;
    // LibreOffice for legacy .doc templates; empty when it is not installed.
    QString officeProgram = FindOfficeProgram();
};

// Which kind of file a package is written as.
enum class CoverPackageKind
{
    Document, // .odt, .docx
    Template, // .ott, .dotx: opens as a new untitled document
};

class FileCoverDocument final : public CoverDocument
{
public:
    explicit FileCoverDocument(FileCoverOptions options = {});
    ~FileCoverDocument() override;
    FileCoverDocument(const FileCoverDocument &) = delete;
    FileCoverDocument &operator=(const FileCoverDocument &) = delete;

    // Nothing to start; removes the covers of earlier runs older than a week.
    CoverResult start() override;
    CoverResult open(const QString &path) override;
    CoverResult setZoom(int percent) override;
    CoverResult lookUpBookmark(const QString &name) override;
    // A file has no window to scroll; fails only for a missing bookmark.
    CoverResult scrollIntoView(const QString &name) override;
    CoverResult setBookmarkText(const QString &name, const QString &text) override;
    // For a template that names a layout this program knows in its "Tapewright layout"
    // document property (the shipped templates).
    QString fitLayout() override;
    // Writes the filled document as a template-typed file into <cacheFolder>/covers, named
    // after title ("Blue Lantern 1977-05-08 cover.ott"), and opens it with the opener.
    CoverResult show(const QString &title) override;

    // Writes the filled document to path: as a template for .ott/.dotx/.dotm, as a document
    // otherwise. The extension must fit the template's format; the template itself is never
    // overwritten.
    CoverResult saveAs(const QString &path);

    // The bookmark names in the document, sorted.
    QStringList bookmarkNames() const;
    // A bookmark's current text (CR LF between lines and paragraphs); nullopt when absent.
    std::optional<QString> bookmarkText(const QString &name) const;
    // The file show() wrote last; empty before.
    QString shownPath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace tapewright
