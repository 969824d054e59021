// The word processor operations the cover filler needs, as an interface: the filler is written
// against it, and whatever serves it (the template files themselves here, a word processor
// elsewhere) can be swapped without touching the filling logic.
#pragma once

#include "common/result.h"
#include "cover/document/picturefile.h"

#include <QString>

namespace tapewright {

// A failing operation's message is one a user can read: which file, which bookmark, what is
// wrong.
class CoverDocument
{
public:
    virtual ~CoverDocument() = default;

    // Starts the word processor visibly and brings it to the front.
    virtual Result<void> start() = 0;
    // Opens the document at path (a cover template).
    virtual Result<void> open(const QString &path) = 0;
    // Sets the zoom percentage of the document's window.
    virtual Result<void> setZoom(int percent) = 0;
    // Fails when the document has no bookmark of that name (names match exactly).
    virtual Result<void> lookUpBookmark(const QString &name) = 0;
    // Brings the bookmark into view; fails like lookUpBookmark.
    virtual Result<void> scrollIntoView(const QString &name) = 0;
    // Replaces the bookmark's text by text (plain text; CR LF starts a new line; may be empty).
    virtual Result<void> setBookmarkText(const QString &name, const QString &text) = 0;
    // After the bookmarks are written: fits the type of the document to what was filled in,
    // where the template is one of Tapewright's own layouts; any other is left as it is. Returns
    // what the user should know about text that does not fit even so, or an empty text.
    virtual QString fitLayout() { return {}; }
    // After the type is fitted: puts the picture on the front of the cover, where the template
    // is one of Tapewright's own layouts with a place for one. False when it is not.
    virtual bool placePicture(const Picture &) { return false; }
    // Writes the filled document as a new file at path, in the format its extension names;
    // the template itself stays as it was.
    virtual Result<void> saveAs(const QString &path) = 0;

protected:
    CoverDocument() = default;
    CoverDocument(const CoverDocument &) = default;
    CoverDocument &operator=(const CoverDocument &) = default;
};

} // namespace tapewright
