// The word processor operations the cover filler needs, as an interface: the filler is written
// against it, and whatever serves it (a file-based filler here, a word processor elsewhere)
// can be swapped without touching the filling logic.
#pragma once

#include <QString>

namespace tapewright {

// Outcome of one document operation. A failure carries a message a user can read: which file,
// which bookmark, what is wrong. A success may carry a notice the user is to read as well (what
// did not fit on the cover).
struct [[nodiscard]] CoverResult
{
    bool ok = true;
    QString error;
    QString notice;

    static CoverResult success() { return {}; }
    static CoverResult failure(const QString &message) { return {false, message, {}}; }
    explicit operator bool() const { return ok; }
};

class CoverDocument
{
public:
    virtual ~CoverDocument() = default;

    // Starts the word processor visibly and brings it to the front.
    virtual CoverResult start() = 0;
    // Opens the document at path (a cover template).
    virtual CoverResult open(const QString &path) = 0;
    // Sets the zoom percentage of the document's window.
    virtual CoverResult setZoom(int percent) = 0;
    // Fails when the document has no bookmark of that name (names match exactly).
    virtual CoverResult lookUpBookmark(const QString &name) = 0;
    // Brings the bookmark into view; fails like lookUpBookmark.
    virtual CoverResult scrollIntoView(const QString &name) = 0;
    // Replaces the bookmark's text by text (plain text; CR LF starts a new line; may be empty).
    virtual CoverResult setBookmarkText(const QString &name, const QString &text) = 0;
    // After the bookmarks are written: fits the type of the document to what was filled in,
    // where the template is one of Tapewright's own layouts; any other is left as it is. Returns
    // what the user should know about text that does not fit even so, or an empty text.
    virtual QString fitLayout() { return {}; }
    // Hands the filled document to the user, unsaved; title names it (the show, say).
    virtual CoverResult show(const QString &title) = 0;

protected:
    CoverDocument() = default;
    CoverDocument(const CoverDocument &) = default;
    CoverDocument &operator=(const CoverDocument &) = default;
};

} // namespace tapewright
