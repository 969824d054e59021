#include "cover/layout/picturefit.h"

#include "cover/layout/layouts.h"
#include "cover/layout/partmarkup.h"

#include <algorithm>
#include <cmath>

namespace tapewright {

namespace {

constexpr const char *OdfOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char *OdfStyleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
constexpr const char *OdfFoNs = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";
constexpr const char *OdfSvgNs = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0";
constexpr const char *OdfDrawNs = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";
constexpr const char *XlinkNs = "http://www.w3.org/1999/xlink";
constexpr const char *WpNs =
    "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
constexpr const char *RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char *DrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr const char *PictureNs = "http://schemas.openxmlformats.org/drawingml/2006/picture";
constexpr const char *PictureName = "Tapewright front picture";
// The picture's paragraph is set in type this small, so that its line is the picture's height.
constexpr double PictureLineType = 2;
constexpr long EmuPerPoint = 12700;

std::string Points(double points)
{
    return QString::number(points, 'f', 3).toStdString() + "pt";
}

std::string Number(long long n)
{
    return std::to_string(n);
}

// A name for a new automatic style that none of the part's automatic styles has.
std::string FreeStyleName(pugi::xml_node styles, const std::string &nameAttribute,
                          const std::string &stem)
{
    std::string name = stem;
    for (int n = 1;; ++n) {
        bool taken = false;
        for (pugi::xml_node s : styles.children())
            taken = taken || name == s.attribute(nameAttribute.c_str()).value();
        if (!taken)
            return name;
        name = stem + std::to_string(n);
    }
}

// <text:p style="centred, small type, space below"><draw:frame as-char><draw:image href/>
pugi::xml_node OdfPictureParagraph(pugi::xml_document &part, const XmlNames &names,
                                   pugi::xml_node before, const PictureSize &size,
                                   double spaceBelow, const FrontPicture &picture)
{
    pugi::xml_node root = part.document_element();
    const std::string office = BoundPrefix(root, OdfOfficeNs, "office");
    const std::string style = BoundPrefix(root, OdfStyleNs, "style");
    const std::string fo = BoundPrefix(root, OdfFoNs, "fo");
    const std::string svg = BoundPrefix(root, OdfSvgNs, "svg");
    const std::string draw = BoundPrefix(root, OdfDrawNs, "draw");
    const std::string xlink = BoundPrefix(root, XlinkNs, "xlink");
    const std::string &text = names.text;
    // PartMarkup::of gave the part its automatic styles.
    pugi::xml_node styles = root.child((office + "automatic-styles").c_str());
    const std::string styleName = style + "name";

    pugi::xml_node p = styles.append_child((style + "style").c_str());
    const std::string paragraphStyle = FreeStyleName(styles, styleName, "TapewrightFrontPicture");
    p.append_attribute(styleName.c_str()) = paragraphStyle.c_str();
    p.append_attribute((style + "family").c_str()) = "paragraph";
    p.append_attribute((style + "parent-style-name").c_str()) = "Standard";
    pugi::xml_node pp = p.append_child((style + "paragraph-properties").c_str());
    pp.append_attribute((fo + "text-align").c_str()) = "center";
    pp.append_attribute((fo + "margin-top").c_str()) = "0pt";
    pp.append_attribute((fo + "margin-bottom").c_str()) = Points(spaceBelow).c_str();
    pp.append_attribute((fo + "line-height").c_str()) = "100%";
    pugi::xml_node tp = p.append_child((style + "text-properties").c_str());
    for (const std::string &size :
         {fo + "font-size", style + "font-size-asian", style + "font-size-complex"})
        tp.append_attribute(size.c_str()) = Points(PictureLineType).c_str();

    pugi::xml_node g = styles.append_child((style + "style").c_str());
    const std::string frameStyle = FreeStyleName(styles, styleName, "TapewrightFrontPictureFrame");
    g.append_attribute(styleName.c_str()) = frameStyle.c_str();
    g.append_attribute((style + "family").c_str()) = "graphic";
    pugi::xml_node gp = g.append_child((style + "graphic-properties").c_str());
    gp.append_attribute((style + "vertical-pos").c_str()) = "top";
    gp.append_attribute((style + "vertical-rel").c_str()) = "baseline";
    for (const char *side : {"margin-left", "margin-right", "margin-top", "margin-bottom"})
        gp.append_attribute((fo + side).c_str()) = "0pt";
    gp.append_attribute((fo + "padding").c_str()) = "0pt";
    gp.append_attribute((fo + "border").c_str()) = "none";

    pugi::xml_node paragraph = before.parent().insert_child_before((text + "p").c_str(), before);
    paragraph.append_attribute((text + "style-name").c_str()) = paragraphStyle.c_str();
    pugi::xml_node frame = paragraph.append_child((draw + "frame").c_str());
    frame.append_attribute((draw + "style-name").c_str()) = frameStyle.c_str();
    frame.append_attribute((draw + "name").c_str()) = PictureName;
    frame.append_attribute((text + "anchor-type").c_str()) = "as-char";
    frame.append_attribute((svg + "width").c_str()) = Points(size.width).c_str();
    frame.append_attribute((svg + "height").c_str()) = Points(size.height).c_str();
    frame.append_attribute((draw + "z-index").c_str()) = "0";
    pugi::xml_node image = frame.append_child((draw + "image").c_str());
    image.append_attribute((xlink + "href").c_str()) = picture.reference.c_str();
    image.append_attribute((xlink + "type").c_str()) = "simple";
    image.append_attribute((xlink + "show").c_str()) = "embed";
    image.append_attribute((xlink + "actuate").c_str()) = "onLoad";
    image.append_attribute((draw + "mime-type").c_str()) = picture.mediaType;
    return paragraph;
}

// Word wants every drawing's id unique in the document.
long long FreeDrawingId(const pugi::xml_document &part)
{
    long long most = 0;
    for (const pugi::xpath_node &n : part.select_nodes("//*[local-name()='docPr']"))
        most = std::max(most, n.node().attribute("id").as_llong());
    return most + 1;
}

// <w:p centred, small type, space after><w:r><w:drawing><wp:inline> with the picture's blip.
pugi::xml_node WordPictureParagraph(pugi::xml_document &part, const XmlNames &names,
                                    pugi::xml_node before, const PictureSize &size,
                                    double spaceBelow, const std::string &relationship)
{
    pugi::xml_node root = part.document_element();
    const std::string wp = BoundPrefix(root, WpNs, "wp");
    const std::string r = BoundPrefix(root, RelNs, "r");
    const std::string &w = names.text;
    const std::string cx = Number(std::max(1L, std::lround(size.width * EmuPerPoint)));
    const std::string cy = Number(std::max(1L, std::lround(size.height * EmuPerPoint)));
    const std::string type = Number(std::lround(PictureLineType * 2)); // half points

    pugi::xml_node paragraph = before.parent().insert_child_before((w + "p").c_str(), before);
    // In the order Word demands: keepNext, spacing, jc, rPr.
    pugi::xml_node pPr = paragraph.append_child((w + "pPr").c_str());
    pPr.append_child((w + "keepNext").c_str());
    pugi::xml_node spacing = pPr.append_child((w + "spacing").c_str());
    spacing.append_attribute((w + "before").c_str()) = "0";
    spacing.append_attribute((w + "after").c_str()) = Number(Twips(spaceBelow)).c_str();
    spacing.append_attribute((w + "line").c_str()) = "240";
    spacing.append_attribute((w + "lineRule").c_str()) = "auto";
    pPr.append_child((w + "jc").c_str()).append_attribute((w + "val").c_str()) = "center";
    auto smallType = [&](pugi::xml_node rPr) {
        for (const char *local : {"sz", "szCs"})
            rPr.append_child((w + local).c_str()).append_attribute((w + "val").c_str()) =
                type.c_str();
    };
    smallType(pPr.append_child((w + "rPr").c_str()));
    pugi::xml_node run = paragraph.append_child((w + "r").c_str());
    smallType(run.append_child((w + "rPr").c_str()));

    pugi::xml_node inline_ =
        run.append_child((w + "drawing").c_str()).append_child((wp + "inline").c_str());
    for (const char *distance : {"distT", "distB", "distL", "distR"})
        inline_.append_attribute(distance) = "0";
    pugi::xml_node extent = inline_.append_child((wp + "extent").c_str());
    extent.append_attribute("cx") = cx.c_str();
    extent.append_attribute("cy") = cy.c_str();
    pugi::xml_node effect = inline_.append_child((wp + "effectExtent").c_str());
    for (const char *side : {"l", "t", "r", "b"})
        effect.append_attribute(side) = "0";
    pugi::xml_node docPr = inline_.append_child((wp + "docPr").c_str());
    docPr.append_attribute("id") = Number(FreeDrawingId(part)).c_str();
    docPr.append_attribute("name") = PictureName;
    pugi::xml_node locks = inline_.append_child((wp + "cNvGraphicFramePr").c_str())
                               .append_child("a:graphicFrameLocks");
    locks.append_attribute("xmlns:a") = DrawingNs;
    locks.append_attribute("noChangeAspect") = "1";

    pugi::xml_node graphic = inline_.append_child("a:graphic");
    graphic.append_attribute("xmlns:a") = DrawingNs;
    pugi::xml_node data = graphic.append_child("a:graphicData");
    data.append_attribute("uri") = PictureNs;
    pugi::xml_node pic = data.append_child("pic:pic");
    pic.append_attribute("xmlns:pic") = PictureNs;
    pugi::xml_node nv = pic.append_child("pic:nvPicPr");
    pugi::xml_node cNvPr = nv.append_child("pic:cNvPr");
    cNvPr.append_attribute("id") = "0";
    cNvPr.append_attribute("name") = PictureName;
    nv.append_child("pic:cNvPicPr");
    pugi::xml_node fill = pic.append_child("pic:blipFill");
    fill.append_child("a:blip").append_attribute((r + "embed").c_str()) = relationship.c_str();
    fill.append_child("a:stretch").append_child("a:fillRect");
    pugi::xml_node shape = pic.append_child("pic:spPr");
    pugi::xml_node xfrm = shape.append_child("a:xfrm");
    pugi::xml_node off = xfrm.append_child("a:off");
    off.append_attribute("x") = "0";
    off.append_attribute("y") = "0";
    pugi::xml_node ext = xfrm.append_child("a:ext");
    ext.append_attribute("cx") = cx.c_str();
    ext.append_attribute("cy") = cy.c_str();
    pugi::xml_node geometry = shape.append_child("a:prstGeom");
    geometry.append_attribute("prst") = "rect";
    geometry.append_child("a:avLst");
    return paragraph;
}

} // namespace

PictureSize FitPicture(int width, int height, double areaWidth, double areaHeight)
{
    if (width <= 0 || height <= 0)
        return {};
    const double scale = std::min({areaWidth / width, areaHeight / height, MostPointsPerPixel});
    return {std::max(width * scale, LeastPictureSide), std::max(height * scale, LeastPictureSide)};
}

QString FrontPictureAnchor(const QString &layout)
{
    const Layout *l = FindLayout(layout);
    return l && l->picture.anchor ? QString::fromLatin1(l->picture.anchor) : QString();
}

bool PlaceFrontPicture(const QString &layoutName, pugi::xml_document &part, const XmlNames &names,
                       const FrontPicture &picture)
{
    const Layout *layout = FindLayout(layoutName);
    if (!layout || !layout->picture.anchor)
        return false;
    const PictureArea &area = layout->picture;
    const std::unique_ptr<PartMarkup> markup = PartMarkup::of(part, names);
    const Sites sites = SitesOf(part, names);
    const auto anchor = sites.constFind(QString::fromLatin1(area.anchor));
    if (anchor == sites.constEnd())
        return false;
    const pugi::xml_node before = markup->paragraphOf(anchor->start);
    if (!before || !before.parent())
        return false;
    const PictureSize size = FitPicture(picture.width, picture.height, area.width, area.height);
    if (names.flavor == DocumentFlavor::OpenDocument)
        OdfPictureParagraph(part, names, before, size, area.spaceBelow, picture);
    else
        WordPictureParagraph(part, names, before, size, area.spaceBelow, picture.reference);
    return true;
}

} // namespace tapewright
