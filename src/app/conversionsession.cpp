#include "app/conversionsession.h"

#include "smart/recogniseinfotext.h"

namespace tapewright {

namespace {

// Up to this many characters an info text is converted after every edit: at that size the
// reading of the pane and the conversion take a few milliseconds. Larger texts are converted
// once typing pauses for PauseBeforeConversion, on another thread.
constexpr qsizetype DeferredConversionSize = 2'000'000;
constexpr int PauseBeforeConversion = 300; // milliseconds

// Above this many lines a text is converted after a pause too, however few its characters:
// the converter's cost goes with lines as much as with characters.
constexpr qsizetype DeferredConversionLines = 100'000;

QString convertText(const QString &text, bool smart, const ConvertOptions &options)
{
    return smart ? RecogniseInfoText(text, options) : ConvertInfoText(text, options);
}

} // namespace

ConversionSession::ConversionSession(TextSource text, QObject *parent)
    : QObject(parent), m_text(std::move(text)), m_deferredSize(DeferredConversionSize)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseBeforeConversion);
    connect(&m_pause, &QTimer::timeout, this, &ConversionSession::startDeferred);
    m_conversions.setMaxThreadCount(1);
}

ConversionSession::~ConversionSession()
{
    // A conversion still running hands its result to this object: it must end first.
    m_conversions.clear();
    m_conversions.waitForDone();
}

QString ConversionSession::convertNow(const QString &infoText)
{
    // Whatever way the conversion ends, the observer must not stay busy.
    struct EndBusy
    {
        ConvertObserver *observer;
        ~EndBusy()
        {
            if (observer)
                observer->busyOff();
        }
    } endBusy{m_observer};
    return convertText(infoText, m_smart, {m_locale, m_observer, m_infoPath});
}

void ConversionSession::loaded(const QString &xml)
{
    stopDeferred();
    take(xml, m_smart, ++m_revision);
}

void ConversionSession::edited(qsizetype characters, qsizetype lines)
{
    ++m_revision;
    if (characters > m_deferredSize || lines > DeferredConversionLines) {
        m_pause.start(); // again from the start at every edit
        return;
    }
    stopDeferred();
    take(convertNow(m_text()), m_smart, m_revision);
}

void ConversionSession::settle()
{
    if (isSettled())
        return;
    stopDeferred();
    take(convertNow(m_text()), m_smart, m_revision);
}

void ConversionSession::take(const QString &xml, bool smart, quint64 revision)
{
    m_xmlRevision = revision;
    if (m_parsing) {
        m_parsing = false;
        emit parsing(false);
    }
    if (smart != m_xmlIsSmart) {
        m_xmlIsSmart = smart;
        emit recognitionChanged(smart);
    }
    if (xml == m_xml)
        return;
    m_xml = xml;
    emit xmlChanged(m_xml);
}

void ConversionSession::stopDeferred()
{
    m_pause.stop();
    m_conversions.clear(); // one not yet started; a running one is dropped when it ends
}

// Typing has paused on a large text: its text is taken now and converted on another thread, and
// the result is taken only if no edit came in the meantime.
void ConversionSession::startDeferred()
{
    const QString text = m_text();
    const quint64 revision = m_revision;
    const bool smart = m_smart;
    const ConvertOptions options{m_locale, nullptr, m_infoPath};
    if (!m_parsing) {
        m_parsing = true;
        emit parsing(true);
    }
    m_conversions.clear(); // a conversion not yet started is of an older text
    m_conversions.start([this, text, revision, smart, options] {
        QString xml = convertText(text, smart, options);
        // Delivered to this object's thread; the destructor waits for this job.
        QMetaObject::invokeMethod(
            this,
            [this, revision, smart, xml = std::move(xml)] {
                if (revision == m_revision) // else the text has changed: another one follows
                    take(xml, smart, revision);
            },
            Qt::QueuedConnection);
    });
}

} // namespace tapewright
