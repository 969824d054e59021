#include "app/filedrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace tapewright {

namespace {

// The first local file a drag carries, or "" when it carries none (dragged text, for example).
QString draggedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

void FileDrops::watch(QWidget *widget)
{
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString fileName = draggedFile(drop->mimeData());
        if (fileName.isEmpty())
            return false;
        drop->acceptProposedAction();
        if (event->type() == QEvent::Drop)
            QMetaObject::invokeMethod(
                this, [this, fileName] { emit fileDropped(fileName); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

} // namespace tapewright
