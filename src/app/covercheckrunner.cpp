#include "app/covercheckrunner.h"

namespace tapewright {

CoverCheckRunner::CoverCheckRunner(QObject *parent) : QObject(parent)
{
    m_checks.setMaxThreadCount(1);
}

CoverCheckRunner::~CoverCheckRunner()
{
    // A check still running hands its answer to this object: it must end first.
    m_checks.clear();
    m_checks.waitForDone();
}

void CoverCheckRunner::check(const QString &xml)
{
    if (!m_check)
        return;
    const quint64 revision = ++m_revision;
    m_checks.clear(); // a check not yet started is of an older XML
    m_checks.start([this, check = m_check, xml, revision] {
        auto [summary, details] = check(xml);
        // Delivered to this object's thread; the destructor waits for this job.
        QMetaObject::invokeMethod(
            this,
            [this, revision, summary = std::move(summary), details = std::move(details)] {
                if (revision == m_revision)
                    emit checked(summary, details);
            },
            Qt::QueuedConnection);
    });
}

} // namespace tapewright
