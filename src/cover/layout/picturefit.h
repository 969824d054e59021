// A picture on the front of one of Tapewright's own layouts: its size, scaled into the layout's
// picture area (layouts.h) with its proportions kept, and the paragraph that shows it before the
// front's text, written as OpenDocument (a draw:frame in the text) or Word (an inline
// w:drawing) markup. The picture's bytes are the package's business (CoverPackage::addPicture);
// here the main part refers to them.
#pragma once

#include "cover/document/xmlpart.h"

#include <QString>

#include <pugixml.hpp>

#include <string>

namespace tapewright {

// A picture is never drawn larger than one pixel a point (72 pixels an inch): a small picture
// stays as sharp as it is rather than printing in blocks.
inline constexpr double MostPointsPerPixel = 1;
// Nor thinner than a twip: a picture of one pixel's height still prints as a line.
inline constexpr double LeastPictureSide = 0.05;

struct PictureSize
{
    double width = 0; // points
    double height = 0;
};

// The size of a picture of width × height pixels in an area of areaWidth × areaHeight points:
// as large as fits, proportions kept, within the bounds above.
PictureSize FitPicture(int width, int height, double areaWidth, double areaHeight);

// The bookmark before whose paragraph the layout of that name takes a picture on its front;
// empty when it takes none.
QString FrontPictureAnchor(const QString &layout);

// A picture the package holds, as the main part refers to it.
struct FrontPicture
{
    int width = 0; // pixels
    int height = 0;
    const char *mediaType = "image/png";
    std::string reference; // what the package's addPicture gave
};

// Puts the picture on the front of the filled main part of a cover in the given layout, in a
// centred paragraph of its own before the front's text. False, and the part as it was, when the
// layout takes no picture or the part lacks the bookmark it goes before.
bool PlaceFrontPicture(const QString &layout, pugi::xml_document &part, const XmlNames &names,
                       const FrontPicture &picture);

} // namespace tapewright
