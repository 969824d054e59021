#include "app/busyobserver.h"

#include <QGuiApplication>
#include <QLabel>

namespace tapewright {

BusyObserver::~BusyObserver()
{
    if (m_busy)
        QGuiApplication::restoreOverrideCursor();
}

void BusyObserver::busyOn()
{
    if (m_busy)
        return;
    m_busy = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_status->setText(QStringLiteral("Parsing..."));
    // The conversion runs on this thread; without an immediate repaint the text would never show.
    m_status->repaint();
}

void BusyObserver::busyOff()
{
    if (!m_busy)
        return;
    m_busy = false;
    m_status->clear();
    QGuiApplication::restoreOverrideCursor();
}

} // namespace tapewright
