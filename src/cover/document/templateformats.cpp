#include "cover/document/templateformats.h"

#include <QFileInfo>

namespace tapewright {

const TemplateFormat *TemplateFormatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    for (const TemplateFormat &format : TemplateFormats) {
        if (suffix.compare(QStringView(format.extension), Qt::CaseInsensitive) == 0)
            return &format;
    }
    return nullptr;
}

const TemplateFormat &FilledFormat(FormatFamily family, bool macroEnabled, PackageKind kind)
{
    if (family == FormatFamily::LegacyWord)
        family = FormatFamily::OpenDocument;
    for (const TemplateFormat &format : TemplateFormats) {
        if (format.family == family && format.kind == kind && format.macroEnabled == macroEnabled)
            return format;
    }
    // Only a macro-enabled OpenDocument is missing from the table; there is no such thing.
    return FilledFormat(family, false, kind);
}

const TemplateFormat &FilledFormat(const TemplateFormat &templateFormat, PackageKind kind)
{
    return FilledFormat(templateFormat.family, templateFormat.macroEnabled, kind);
}

QStringList FormatExtensions(FormatFamily family)
{
    QStringList extensions;
    for (const TemplateFormat &format : TemplateFormats) {
        if (format.family == family)
            extensions << u'.' + QString::fromUtf16(format.extension);
    }
    return extensions;
}

} // namespace tapewright
