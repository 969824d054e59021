// The formats a cover template may come in, in one table: the template list, the cover
// documents, tapewright-cli and the names of finished covers all read it.
#pragma once

#include <QString>
#include <QStringList>

namespace tapewright {

enum class FormatFamily
{
    OpenDocument,  // ODF text packages
    OfficeOpenXml, // Word packages
    LegacyWord,    // Word 97–2003, filled after LibreOffice has converted it to OpenDocument
};

enum class PackageKind
{
    Document, // opens as the file itself
    Template, // opens as a new, untitled document
};

struct TemplateFormat
{
    const char16_t *extension; // without the dot, lower case
    FormatFamily family;
    PackageKind kind;
    bool macroEnabled;
    // What the package says it is: ODF's mimetype, or the content type of Word's main part.
    const char *mediaType;
};

inline constexpr TemplateFormat TemplateFormats[] = {
    {u"odt", FormatFamily::OpenDocument, PackageKind::Document, false,
     "application/vnd.oasis.opendocument.text"},
    {u"ott", FormatFamily::OpenDocument, PackageKind::Template, false,
     "application/vnd.oasis.opendocument.text-template"},
    {u"docx", FormatFamily::OfficeOpenXml, PackageKind::Document, false,
     "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"},
    {u"dotx", FormatFamily::OfficeOpenXml, PackageKind::Template, false,
     "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"},
    {u"docm", FormatFamily::OfficeOpenXml, PackageKind::Document, true,
     "application/vnd.ms-word.document.macroEnabled.main+xml"},
    {u"dotm", FormatFamily::OfficeOpenXml, PackageKind::Template, true,
     "application/vnd.ms-word.template.macroEnabledTemplate.main+xml"},
    {u"doc", FormatFamily::LegacyWord, PackageKind::Document, false, "application/msword"},
};

// The format of a file by the extension of its name, in any letter case; nullptr when the
// name has none of the table's extensions.
const TemplateFormat *TemplateFormatOf(const QString &fileName);

// The format of a filled cover written as kind: the family and macro setting of the template's
// format (a legacy .doc is filled as OpenDocument).
const TemplateFormat &FilledFormat(FormatFamily family, bool macroEnabled, PackageKind kind);
const TemplateFormat &FilledFormat(const TemplateFormat &templateFormat, PackageKind kind);

// The extensions of a family in the table's order, with their dots: ".odt", ".ott".
QStringList FormatExtensions(FormatFamily family);

} // namespace tapewright
