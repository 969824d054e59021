#include "app/mainstatusbar.h"

#include <QLabel>

namespace tapewright {

MainStatusBar::MainStatusBar(QWidget *parent)
    : QStatusBar(parent), m_coverCheck(new QLabel(this)), m_recognition(new QLabel(this))
{
    setObjectName(QStringLiteral("statusBar"));
    m_coverCheck->setObjectName(QStringLiteral("lblCoverCheck"));
    m_coverCheck->hide();
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
    m_coverCheck->setToolTip(details);
    m_coverCheck->setVisible(!summary.isEmpty());
}

} // namespace tapewright
