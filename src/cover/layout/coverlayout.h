// Tapewright's own cover layouts: recognised by a document property the shipped templates carry
// ("Tapewright layout", read by the package), and their type fitted to the show once the
// bookmarks are filled. The discs' track lists are set in as many columns as they need, at the
// largest size that fits; spines and title lines stay on one line; the source and notes shrink
// to their boxes. Sizes are measured with the metrics of the layout's fonts and written into the
// filled part as styles (OpenDocument) or direct formatting (Word). A template without the
// property, or with a layout this program does not know, is left exactly as filled; so is one
// that names a layout but lacks its shape (layoutshape.h), and the user is told.
//
// The room: layouts.h holds the layouts as data; typefit.h chooses sizes (pure functions);
// fontmetrics.h and layoutfonts.h measure text; placefit.h and trackcolumns.h fit the places and
// the track area; partmarkup.h reads and writes the part in OpenDocument or Word markup.
#pragma once

#include "cover/document/xmlpart.h"

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

namespace tapewright {

bool IsKnownLayout(const QString &layout);

// What fitting the type of a cover did.
struct LayoutFit
{
    int tracks = 0;           // on the tray card
    int tracksNotFitting = 0; // past the last column even at the smallest size: not printed
    QStringList crowded;      // other places whose text does not fit at their smallest size
    QString error;            // why nothing was fitted (no font to measure with); else empty
    QString misshapen;        // why the part is not the layout it names, so nothing was fitted
};

// Why the main part of a cover, filled or not, lacks the shape of the layout it names, in a
// user's words and lower case ("its track lists are not in a table cell"); empty when it has
// it, or when this program does not know the layout.
QString LayoutShapeProblem(const QString &layout, const pugi::xml_document &part,
                           const XmlNames &names);

// Fits the type of the filled main part (content.xml, word/document.xml) of a cover in the
// given layout. The part's bookmarks stay, around the same text, as far as the new columns
// allow: a disc's track list bookmark covers its tracks in the first column the disc takes.
// A part without the layout's shape is left as it is.
LayoutFit FitLayoutType(const QString &layout, pugi::xml_document &part, const XmlNames &names);

// What the user is told about the fitting of the template templateName (a file name) in
// layout: empty when everything fits.
QString LayoutFitNotice(const LayoutFit &fit, const QString &layout, const QString &templateName);

} // namespace tapewright
