// The work behind the cover dialog's OK button, without the window: making a cover (filling a
// template's bookmarks from the track list XML and writing the cover file), and the dialog's
// template list and stored choices. tapewright-cli cover makes its covers the same way.
#pragma once

#include "cover/fill/coverdocument.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tapewright {

// What the cover dialog hands over: its controls as they stand when OK is pressed.
struct CoverChoices
{
    QString templateFileName; // cboTemplate's text: a bare file name, "" when none is chosen
    int collectionState = 1;  // chkCollection: 0 unchecked, 1 checked, 2 grayed
    QString userName;         // txtYourName, untrimmed
    QString picturePath = {}; // a PNG or JPEG for the front (txtPicture); "" for none
};

struct CoverFillOptions
{
    QLocale locale; // dates are recognised and written in this locale
    QDate today;    // the cover's creation date
};

inline constexpr int CoverZoomPercent = 75;

// What a cover takes, in UTF-16 units: one bookmark's text, and all bookmarks' texts together.
// A printed cover holds a few thousand characters; the bounds keep a track list with giant or
// overlapping elements (each track as long as the whole text) from asking for gigabytes. Text
// beyond them is cut.
inline constexpr qsizetype MaxCoverValueLength = 32767;
inline constexpr qsizetype MaxCoverTextLength = 1000000;

// The bookmark rows, disc headings and track lists, the collection line and the creation date.
// Every write stands alone: a bookmark the template lacks, or a write that fails, is skipped and
// the next one runs. Returns the bookmarks whose text was cut to the bounds above, in the order
// they were written.
QStringList FillCoverBookmarks(CoverDocument &document, const QString &xml,
                               const CoverChoices &choices, const CoverFillOptions &options);

// Starts the document, opens the template at templatePath, zooms, and fills the bookmarks: the
// bookmarks whose text was cut. A failure to start, open or zoom comes back with its message
// and nothing is filled.
Result<QStringList> FillCover(CoverDocument &document, const QString &templatePath,
                              const QString &xml, const CoverChoices &choices,
                              const CoverFillOptions &options);

// What to tell the user about bookmarks whose text was cut; empty when none was.
QString CutTextNotice(const QStringList &bookmarks);

// Whether xml holds anything a cover is filled from: a value in one of the elements the bookmark
// rows read, or a disc count. The elements' names, in a message, otherwise.
Result<void> CheckCoverFields(const QString &xml);

// One cover to make, as the cover dialog or tapewright-cli hands it over.
struct CoverJob
{
    QString templateFolder; // holds choices.templateFileName
    CoverChoices choices;
    QString xml; // the track list XML
    CoverFillOptions fill;
    // The file to write, in the format its extension names (a document, a template, a PDF).
    // When empty, a new template file in coversFolder named after the show, which opens as a
    // new untitled document; covers there older than a week are removed first.
    QString outputPath;
    QString coversFolder;
};

// A cover made: the file written, and what the user should know about it (tracks that do not
// fit on it even at the smallest type, text cut to what a cover takes), empty when there is
// nothing to tell.
struct MadeCover
{
    QString path;
    QString notice;
};

// Reads the chosen picture, if any (a picture that cannot be used is a failure, before anything
// is filled), fills the chosen template (FillCover), fits its type to the show where the
// template's layout allows (CoverDocument::fitLayout), puts the picture on the front
// (CoverDocument::placePicture) and writes the cover file. A template without a place for a
// picture is filled without it, and the notice tells of it. A failure comes back with its
// message; a cover that is not written leaves no file behind. Text that does not fit is no
// failure: the cover is written, and the notice tells of it.
Result<MadeCover> MakeCover(CoverDocument &document, const CoverJob &job);

// The path of the chosen template in folder; a failure when no template is chosen.
Result<QString> CoverTemplatePath(const QString &folder, const QString &templateFileName);

// A name for the filled cover: the band and the show's date ("Blue Lantern 1977-05-08"), either
// alone when the other is missing, "Cover" when both are.
QString CoverTitle(const QString &xml, const QLocale &locale);

// Whether the cover documents can fill a file of this name (by its extension, in any case).
bool IsCoverTemplateName(const QString &fileName);
// The templates of folder that can be filled: ordinary files only, sorted by name without
// regard to letter case. Empty when the folder is missing.
QStringList ListCoverTemplates(const QString &folder);

// The choices stored by the last cover run; the defaults (no template, box checked, no name, no
// picture) for what is missing, and the default box state for a stored state other than 0, 1
// or 2.
CoverChoices LoadCoverChoices(const QString &settingsFile);
// Stores the choices in the order Template, PrintCollectionName, UserName, Picture (no picture
// removes its key); stops at the first that cannot be stored, with its message.
Result<void> StoreCoverChoices(const CoverChoices &choices, const QString &settingsFile);

} // namespace tapewright
