#include "app/mainstatusbar.h"

#include <QLabel>

namespace tapewright {

MainStatusBar::MainStatusBar(QWidget *parent)
    : QStatusBar(parent), m_coverCheck(new QLabel(this)), m_recognition(new QLabel(this))
{
    setObjectName(QStringLiteral("statusBar"));
    m_coverCheck->setObjectName(QStringLiteral("lblCoverCheck"));
    m_coverCheck->hide();
    // A long line is cut at the window's edge rather than widening the window; the tooltip
    // holds the whole of it.
    m_coverCheck->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(m_coverCheck, 1);
    m_recognition->setObjectName(QStringLiteral("lblRecognition"));
    addPermanentWidget(m_recognition);
    setRecognition(false);
}

void MainStatusBar::setRecognition(bool smart)
{
    m_recognition->setText(smart ? QStringLiteral("XML by smart recognition")
                                 : QStringLiteral("XML by the classic conversion"));
}

void MainStatusBar::setCoverCheck(const QString &summary, const QString &details)
{
    m_coverCheck->setText(summary);
    m_coverCheck->setToolTip(details.isEmpty() ? summary : details);
    m_coverCheck->setVisible(!summary.isEmpty());
}

} // namespace tapewright
