// The cover document served by filling the template file itself: OpenDocument text (.odt,
// .ott) and Word (.docx, .dotx, .docm, .dotm) packages are read into memory, their bookmarks
// filled, and the result written as a new file. No word processor needs to run; legacy Word
// .doc templates are converted once by LibreOffice when it is installed.
#pragma once

#include "coverdocument.h"
#include "coverfiles.h"
#include "templateformats.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tapewright {

class CoverPackage;

// A template holding more bookmarks than this is refused: a cover needs 36.
inline constexpr int MaxCoverBookmarks = 1000;
// Template files larger than this are refused before reading.
inline constexpr qint64 MaxTemplateFileSize = 128 * 1024 * 1024;

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
    // LibreOffice for legacy .doc templates: unset, it is looked up on the PATH when a
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

    // Nothing to start; removes the covers of earlier runs older than a week.
    Result<void> start() override;
    Result<void> open(const QString &path) override;
    Result<void> setZoom(int percent) override;
    Result<void> lookUpBookmark(const QString &name) override;
    // A file has no window to scroll; fails only for a missing bookmark.
    Result<void> scrollIntoView(const QString &name) override;
    Result<void> setBookmarkText(const QString &name, const QString &text) override;
    // Writes the filled document as a template-typed file into <cacheFolder>/covers, named
    // after title ("Blue Lantern 1977-05-08 cover.ott"), and opens it with the opener.
    Result<void> show(const QString &title) override;

    // Writes the filled document to path, as a document or a template of the template's
    // format, as the extension says (.odt or .ott, .docx or .dotx, .docm or .dotm); the
    // template itself is never overwritten.
    Result<void> saveAs(const QString &path);

    // The bookmark names in the document, sorted.
    QStringList bookmarkNames() const;
    // A bookmark's current text (CR LF between lines and paragraphs); nullopt when absent.
    std::optional<QString> bookmarkText(const QString &name) const;
    // The file show() wrote last; empty before.
    QString shownPath() const { return m_shownPath; }

private:
    Result<void> writeFile(const QString &target, PackageKind kind);

    FileCoverOptions m_options;
    QString m_path; // as given to open(), the .doc for a converted template
    std::unique_ptr<CoverPackage> m_package;
    QString m_shownPath;
};

} // namespace tapewright
