// Paths the program finds and names it derives.
#include "common/paths.h"

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

QString ProposedXmlFileName(const QString &infoFileName)
{
    if (infoFileName.isEmpty())
        return {};
    // Only a dot in the file's own name starts an extension, not one in a folder's name.
    const qsizetype nameStart = infoFileName.lastIndexOf(u'/') + 1;
    const qsizetype dot = infoFileName.lastIndexOf(u'.');
    if (dot < nameStart)
        return infoFileName + QStringLiteral(".xml");
    return infoFileName.first(dot + 1) + QStringLiteral("xml");
}

} // namespace tapewright
