// Small cover templates built in code for the cover document tests: the same bookmarks in both
// formats, placed in body text, table cells, frames or text boxes, headers and footers, as a
// point, a plain range, a range across runs and a range across paragraphs.
#pragma once

#include "testsupport.h"
#include "zippackage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace covertest {

enum class Format
{
    Odt,
    Ott,
    Docx,
    Dotx,
};

inline bool isOdf(Format f)
{
    return f == Format::Odt || f == Format::Ott;
}

inline QString extension(Format f)
{
    switch (f) {
    case Format::Odt:
        return QStringLiteral(".odt");
    case Format::Ott:
        return QStringLiteral(".ott");
    case Format::Docx:
        return QStringLiteral(".docx");
    case Format::Dotx:
        return QStringLiteral(".dotx");
    }
    return {};
}

enum class Place
{
    Body,
    TableCell,
    Frame,
    Header,
    Footer,
};

enum class Shape
{
    Point,
    Range,
    AcrossRuns,
    AcrossParagraphs,
};

struct Mark
{
    QString name;
    Place place = Place::Body;
    Shape shape = Shape::Range;
    bool enclosed = false; // an "Outer<name>" bookmark around "[" bookmark "]"
};

// Every place with every shape: name i goes to place i mod 5 with shape (i / 5) mod 4.
inline std::vector<Mark> coverMarks(const QStringList &names = testsupport::CoverBookmarkNames())
{
    std::vector<Mark> marks;
    for (int i = 0; i < names.size(); ++i)
        marks.push_back(
            Mark{names.at(i), static_cast<Place>(i % 5), static_cast<Shape>((i / 5) % 4), false});
    return marks;
}

inline QByteArray u8(const QString &s)
{
    return s.toUtf8();
}

// ---- OpenDocument -------------------------------------------------------------------------

inline QByteArray odfParagraphs(const Mark &m)
{
    const QByteArray n = u8(m.name);
    const QByteArray start = "<text:bookmark-start text:name=\"" + n + "\"/>";
    const QByteArray end = "<text:bookmark-end text:name=\"" + n + "\"/>";
    const QByteArray outerStart =
        m.enclosed ? "<text:bookmark-start text:name=\"Outer" + n + "\"/>" : QByteArray();
    const QByteArray outerEnd =
        m.enclosed ? "<text:bookmark-end text:name=\"Outer" + n + "\"/>" : QByteArray();
    const QByteArray open = "<text:p text:style-name=\"Standard\">" + outerStart + "[";
    const QByteArray close = "]" + outerEnd + "</text:p>";
    switch (m.shape) {
    case Shape::Point:
        return open + "<text:bookmark text:name=\"" + n + "\"/>" + close;
    case Shape::Range:
        return open + start + "<text:span text:style-name=\"T1\">old " + n + "</text:span>" + end +
               close;
    case Shape::AcrossRuns:
        return open + start +
               "old <text:span text:style-name=\"T1\">mid</text:span>"
               "<text:span text:style-name=\"T2\">dle" +
               end + "</text:span>" + close;
    case Shape::AcrossParagraphs:
        return open + start +
               "<text:span text:style-name=\"T1\">first</text:span></text:p>"
               "<text:p>second</text:p><text:p>third" +
               end + close;
    }
    return {};
}

inline QByteArray odfPlaced(const Mark &m, int serial)
{
    const QByteArray paras = odfParagraphs(m);
    const QByteArray id = QByteArray::number(serial);
    switch (m.place) {
    case Place::TableCell:
        return "<table:table table:name=\"Table" + id +
               "\"><table:table-column/><table:table-row>"
               "<table:table-cell office:value-type=\"string\">" +
               paras + "</table:table-cell></table:table-row></table:table>";
    case Place::Frame:
        return "<text:p><draw:frame draw:name=\"Frame" + id +
               "\" text:anchor-type=\"as-char\" svg:width=\"12cm\" svg:height=\"2.5cm\" "
               "draw:z-index=\"0\"><draw:text-box>" +
               paras + "</draw:text-box></draw:frame></text:p>";
    default:
        return paras;
    }
}

inline const char *odfNamespaces()
{
    return " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
           " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
           " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
           " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
           " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
           " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
           " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
           " office:version=\"1.2\"";
}

inline QByteArray odfContent(const QByteArray &body)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content") +
           odfNamespaces() +
           "><office:automatic-styles>"
           "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties "
           "fo:font-weight=\"bold\"/></style:style>"
           "<style:style style:name=\"T2\" style:family=\"text\"><style:text-properties "
           "fo:font-style=\"italic\"/></style:style>"
           "</office:automatic-styles><office:body><office:text>" +
           body + "</office:text></office:body></office:document-content>";
}

inline QByteArray odfStyles(const QByteArray &header, const QByteArray &footer)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-styles") +
           odfNamespaces() +
           "><office:automatic-styles><style:page-layout style:name=\"pm1\">"
           "<style:page-layout-properties fo:page-width=\"21cm\" fo:page-height=\"29.7cm\" "
           "fo:margin-top=\"1cm\" fo:margin-bottom=\"1cm\" fo:margin-left=\"1cm\" "
           "fo:margin-right=\"1cm\"/>"
           "<style:header-style><style:header-footer-properties fo:min-height=\"0.5cm\"/>"
           "</style:header-style><style:footer-style><style:header-footer-properties "
           "fo:min-height=\"0.5cm\"/></style:footer-style></style:page-layout>"
           "</office:automatic-styles><office:master-styles>"
           "<style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\">"
           "<style:header>" +
           header + "</style:header><style:footer>" + footer +
           "</style:footer></style:master-page></office:master-styles></office:document-styles>";
}

inline QByteArray odfManifest(bool isTemplate, bool withSettings)
{
    QByteArray m = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest "
                   "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
                   "manifest:version=\"1.2\"><manifest:file-entry manifest:full-path=\"/\" "
                   "manifest:media-type=\"application/vnd.oasis.opendocument.text";
    m += isTemplate ? "-template\"/>" : "\"/>";
    for (const char *part : {"content.xml", "styles.xml", "settings.xml"}) {
        if (!withSettings && QByteArray(part) == "settings.xml")
            continue;
        m += QByteArray("<manifest:file-entry manifest:full-path=\"") + part +
             "\" manifest:media-type=\"text/xml\"/>";
    }
    // LibreOffice refuses a package with an entry the manifest does not list.
    m += "<manifest:file-entry manifest:full-path=\"Pictures/blob.bin\" "
         "manifest:media-type=\"application/octet-stream\"/>";
    return m + "</manifest:manifest>";
}

inline const char *odfSettings()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-settings "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\" "
           "office:version=\"1.2\"><office:settings><config:config-item-set "
           "config:name=\"ooo:view-settings\"><config:config-item-map-indexed "
           "config:name=\"Views\">"
           "<config:config-item-map-entry><config:config-item config:name=\"ZoomType\" "
           "config:type=\"short\">2</config:config-item><config:config-item "
           "config:name=\"ZoomFactor\" config:type=\"short\">100</config:config-item>"
           "</config:config-item-map-entry></config:config-item-map-indexed>"
           "</config:config-item-set></office:settings></office:document-settings>";
}

// ---- Office Open XML ----------------------------------------------------------------------

inline QByteArray wordParagraphs(const Mark &m, int id)
{
    const QByteArray n = u8(m.name);
    const QByteArray i = QByteArray::number(id);
    const QByteArray start = "<w:bookmarkStart w:id=\"" + i + "\" w:name=\"" + n + "\"/>";
    const QByteArray end = "<w:bookmarkEnd w:id=\"" + i + "\"/>";
    const QByteArray oi = QByteArray::number(id + 5000);
    const QByteArray outerStart =
        m.enclosed ? "<w:bookmarkStart w:id=\"" + oi + "\" w:name=\"Outer" + n + "\"/>"
                   : QByteArray();
    const QByteArray outerEnd = m.enclosed ? "<w:bookmarkEnd w:id=\"" + oi + "\"/>" : QByteArray();
    const QByteArray open = "<w:p>" + outerStart + "<w:r><w:t>[</w:t></w:r>";
    const QByteArray close = "<w:r><w:t>]</w:t></w:r>" + outerEnd + "</w:p>";
    switch (m.shape) {
    case Shape::Point:
        return open + start + end + close;
    case Shape::Range:
        return open + start + "<w:r><w:rPr><w:b/></w:rPr><w:t>old " + n + "</w:t></w:r>" + end +
               close;
    case Shape::AcrossRuns:
        return open + start +
               "<w:r><w:t xml:space=\"preserve\">old </w:t></w:r><w:r><w:rPr><w:i/></w:rPr>"
               "<w:t>mid</w:t></w:r><w:hyperlink w:anchor=\"x\"><w:r><w:t>dle</w:t></w:r>" +
               end + "</w:hyperlink>" + close;
    case Shape::AcrossParagraphs:
        return open + start +
               "<w:r><w:rPr><w:b/></w:rPr><w:t>first</w:t></w:r></w:p>"
               "<w:p><w:r><w:t>second</w:t></w:r></w:p><w:p><w:r><w:t>third</w:t></w:r>" +
               end + close;
    }
    return {};
}

inline QByteArray wordPlaced(const Mark &m, int id)
{
    const QByteArray paras = wordParagraphs(m, id);
    switch (m.place) {
    case Place::TableCell:
        return "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>"
               "<w:gridCol w:w=\"6000\"/></w:tblGrid><w:tr><w:tc><w:tcPr><w:tcW w:w=\"6000\" "
               "w:type=\"dxa\"/></w:tcPr>" +
               paras + "</w:tc></w:tr></w:tbl><w:p/>";
    case Place::Frame:
        return "<w:p><w:r><w:pict><v:shape id=\"Box" + QByteArray::number(id) +
               "\" type=\"#_x0000_t202\" style=\"width:340pt;height:70pt\"><v:textbox>"
               "<w:txbxContent>" +
               paras + "</w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p>";
    default:
        return paras;
    }
}

inline const char *wordNamespaces()
{
    return " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
           " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
           " xmlns:v=\"urn:schemas-microsoft-com:vml\""
           " xmlns:o=\"urn:schemas-microsoft-com:office:office\"";
}

inline QByteArray wordDocument(const QByteArray &body)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document") +
           wordNamespaces() + "><w:body>" + body +
           "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdHeader\"/>"
           "<w:footerReference w:type=\"default\" r:id=\"rIdFooter\"/>"
           "<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1134\" w:right=\"1134\" "
           "w:bottom=\"1134\" w:left=\"1134\" w:header=\"567\" w:footer=\"567\" w:gutter=\"0\"/>"
           "</w:sectPr></w:body></w:document>";
}

inline QByteArray wordHeaderFooter(const char *root, const QByteArray &paras)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:") + root +
           wordNamespaces() + ">" + (paras.isEmpty() ? QByteArray("<w:p/>") : paras) +
           "</w:" + root + ">";
}

inline QByteArray wordContentTypes(bool isTemplate, bool withSettings)
{
    QByteArray t = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Types "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                   "<Default Extension=\"rels\" "
                   "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                   "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                   "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
                   "vnd.openxmlformats-officedocument.wordprocessingml.";
    t += isTemplate ? "template" : "document";
    t += ".main+xml\"/><Override PartName=\"/word/header1.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>"
         "<Override PartName=\"/word/footer1.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>";
    if (withSettings)
        t += "<Override PartName=\"/word/settings.xml\" ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>";
    return t + "</Types>";
}

inline QByteArray wordDocumentRels(bool withSettings)
{
    const QByteArray base = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    QByteArray r = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Relationships "
                   "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                   "<Relationship Id=\"rIdHeader\" Type=\"" +
                   base +
                   "header\" Target=\"header1.xml\"/><Relationship Id=\"rIdFooter\" Type=\"" +
                   base + "footer\" Target=\"footer1.xml\"/>";
    if (withSettings)
        r += "<Relationship Id=\"rIdSettings\" Type=\"" + base +
             "settings\" Target=\"settings.xml\"/>";
    return r + "</Relationships>";
}

inline const char *wordRootRels()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
           "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
}

inline const char *wordSettings()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:settings "
           "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
           "<w:zoom w:val=\"bestFit\" w:percent=\"100\"/><w:defaultTabStop w:val=\"708\"/>"
           "</w:settings>";
}

// ---- Packages -----------------------------------------------------------------------------

struct Parts
{
    QByteArray body, header, footer;
};

inline Parts placeMarks(Format format, const std::vector<Mark> &marks)
{
    Parts parts;
    int serial = 1;
    for (const Mark &m : marks) {
        const QByteArray xml = isOdf(format) ? odfPlaced(m, serial) : wordPlaced(m, serial);
        ++serial;
        if (m.place == Place::Header)
            parts.header += xml;
        else if (m.place == Place::Footer)
            parts.footer += xml;
        else
            parts.body += xml;
    }
    if (isOdf(format)) {
        parts.body = "<text:p>Cover</text:p>" + parts.body;
    } else {
        parts.body = "<w:p><w:r><w:t>Cover</w:t></w:r></w:p>" + parts.body;
    }
    return parts;
}

inline tapewright::ZipPackage packageFromParts(Format format, const QByteArray &body,
                                               const QByteArray &header, const QByteArray &footer,
                                               bool withSettings = true)
{
    using tapewright::ZipEntry;
    tapewright::ZipPackage p;
    const bool isTemplate = format == Format::Ott || format == Format::Dotx;
    auto add = [&p](const char *name, const QByteArray &data, bool stored = false) {
        p.entries.push_back(ZipEntry{name, data, stored, 0});
    };
    if (isOdf(format)) {
        add("mimetype",
            isTemplate ? "application/vnd.oasis.opendocument.text-template"
                       : "application/vnd.oasis.opendocument.text",
            true);
        add("META-INF/manifest.xml", odfManifest(isTemplate, withSettings));
        add("content.xml", odfContent(body));
        add("styles.xml", odfStyles(header, footer));
        if (withSettings)
            add("settings.xml", odfSettings());
        add("Pictures/blob.bin", QByteArray("\x89PNG\r\n\x1a\n not really", 20), true);
    } else {
        add("[Content_Types].xml", wordContentTypes(isTemplate, withSettings));
        add("_rels/.rels", wordRootRels());
        add("word/document.xml", wordDocument(body));
        add("word/_rels/document.xml.rels", wordDocumentRels(withSettings));
        add("word/header1.xml", wordHeaderFooter("hdr", header));
        add("word/footer1.xml", wordHeaderFooter("ftr", footer));
        if (withSettings)
            add("word/settings.xml", wordSettings());
        add("word/media/blob.bin", QByteArray("\x89PNG\r\n\x1a\n not really", 20), true);
    }
    return p;
}

inline QByteArray zipBytes(const tapewright::ZipPackage &p)
{
    const tapewright::Result<QByteArray> bytes = tapewright::WriteZipPackage(p);
    if (!bytes)
        qFatal("cannot build a test package: %s", qPrintable(bytes.error()));
    return *bytes;
}

inline QByteArray buildTemplate(Format format, const std::vector<Mark> &marks,
                                bool withSettings = true)
{
    const Parts parts = placeMarks(format, marks);
    return zipBytes(packageFromParts(format, parts.body, parts.header, parts.footer, withSettings));
}

} // namespace covertest
