#include "cover/layout/layoutfonts.h"

#include "cover/layout/fontmetrics.h"

namespace tapewright {

namespace {

// Measured widths are taken this much wider than the font says: the word processor places
// glyphs on its own grid and may round each advance up.
constexpr double WidthSafety = 1.02;

} // namespace

std::shared_ptr<const FontMetrics> LayoutFonts::get(const char *family, bool bold, bool italic)
{
    const QString key = QStringLiteral("%1/%2/%3").arg(QLatin1String(family)).arg(bold).arg(italic);
    if (auto it = m_loaded.constFind(key); it != m_loaded.constEnd())
        return *it;
    QString why;
    auto metrics = FontMetrics::load({QString::fromLatin1(family), bold, italic}, &why);
    if (!metrics && m_error.isEmpty())
        m_error = why;
    m_loaded.insert(key, metrics);
    return metrics;
}

MeasureText LayoutFonts::measure(const Face &face)
{
    const auto regular = get(face.family, face.bold, face.italic);
    const auto bold = get(face.family, true, face.italic);
    if (!regular || !bold)
        return {};
    return [regular, bold](QStringView text, bool inBold) {
        return (inBold ? bold : regular)->width(text) * WidthSafety;
    };
}

} // namespace tapewright
