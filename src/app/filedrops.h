// Files dropped on the main window: a dropped file loads as File, Open Info File loads it, and
// the panes do not insert its name. Dragged text goes on to the widget as before.
#pragma once

#include <QObject>

class QWidget;

namespace tapewright {

class FileDrops : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Takes the file drops of widget.
    void watch(QWidget *widget);

signals:
    // The first local file of a drop, once the drop has ended: a message box about an unreadable
    // file must not open while the drag source still waits for the drop to end.
    void fileDropped(const QString &fileName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace tapewright
