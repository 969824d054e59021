// The cover check of the XML the main window shows, kept up to date away from the window's
// thread: the check reads the whole XML, and one of megabytes must not hold up typing. Only the
// answer for the latest XML is taken.
#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <utility>

namespace tapewright {

class CoverCheckRunner : public QObject
{
    Q_OBJECT

public:
    // The check of an XML in one line and its details ("" for an XML that makes no cover); run
    // on another thread, so it holds on to nothing of a window.
    using Check = std::function<std::pair<QString, QString>(const QString &xml)>;

    explicit CoverCheckRunner(QObject *parent = nullptr);
    // Waits for a check still running on the other thread.
    ~CoverCheckRunner() override;

    void setCheck(Check check) { m_check = std::move(check); }
    // Checks xml; an answer still to come for an earlier one is dropped.
    void check(const QString &xml);

signals:
    void checked(const QString &summary, const QString &details);

private:
    Check m_check;
    quint64 m_revision = 0; // counts the XMLs given
    QThreadPool m_checks;   // one at a time
};

} // namespace tapewright
