#include "paths.h"

#include <QDir>
#include <QFileInfo>

namespace tapewright {

QString TemplateFolderFor(const QString &programDir)
{
    const QString beside = QDir::cleanPath(programDir + QStringLiteral("/template"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(programDir + QStringLiteral("/../share/tapewright/template"));
}

} // namespace tapewright
