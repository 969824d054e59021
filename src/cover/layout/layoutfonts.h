// The fonts a layout measures its text with: each face loaded once for a fitting, and the
// first reason a face could not be loaded, kept to tell the user.
#pragma once

#include "cover/layout/typefit.h"

#include <QHash>
#include <QString>

#include <memory>

namespace tapewright {

class FontMetrics;

// A face of a layout's type, as its table names it.
struct Face
{
    const char *family;
    bool bold;
    bool italic;
};

class LayoutFonts
{
public:
    // Widths in face, and in its family's bold face for runs in bold; null when either cannot
    // be loaded.
    MeasureText measure(const Face &face);
    // Why a face could not be loaded, the first time one could not; else empty.
    const QString &error() const { return m_error; }

private:
    std::shared_ptr<const FontMetrics> get(const char *family, bool bold, bool italic);

    QHash<QString, std::shared_ptr<const FontMetrics>> m_loaded;
    QString m_error;
};

} // namespace tapewright
