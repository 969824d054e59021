#include "appicons.h"

#include <QDir>

namespace tapewright {

namespace {

// Every rendered size of one drawing ("<name>-<size>.png"), so that the desktop picks the
// sharpest for each place instead of scaling one image.
QIcon IconFromResources(const QString &name)
{
    QIcon icon;
    const QDir dir(QStringLiteral(":/icons"));
    const QStringList files = dir.entryList({name + QStringLiteral("-*.png")}, QDir::Files);
    for (const QString &file : files)
        icon.addFile(dir.filePath(file));
    return icon;
}

} // namespace

QIcon TapewrightIcon()
{
    return IconFromResources(QStringLiteral("tapewright"));
}

QIcon EmblemIcon()
{
    return IconFromResources(QStringLiteral("emblem"));
}

} // namespace tapewright
