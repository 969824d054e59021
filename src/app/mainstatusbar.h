// The main window's status bar: which recognition made the XML shown, and a place for a short
// check of the cover the XML would make.
#pragma once

#include <QStatusBar>

class QLabel;

namespace tapewright {

class MainStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MainStatusBar(QWidget *parent = nullptr);

public slots:
    // Smart recognition or the classic conversion made the XML.
    void setRecognition(bool smart);
    // The cover check of the XML in one line (band · date · venue · discs/tracks, and what is
    // missing), with more in its tooltip; "" hides it.
    void setCoverCheck(const QString &summary, const QString &details = {});

private:
    QLabel *m_coverCheck;
    QLabel *m_recognition;
};

} // namespace tapewright
