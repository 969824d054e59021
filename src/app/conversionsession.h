// When and where the info text is converted while it is edited, apart from the window that shows
// it: a small text at once after every edit, a large one once typing pauses and on another
// thread, so that no keystroke waits for the converter. Every edit counts a revision; a result is
// taken only while it is of the latest one.
#pragma once

#include "convert/convertinfotext.h"
#include "convert/daterecogniser.h"

#include <QLocale>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>

namespace tapewright {

class ConversionSession : public QObject
{
    Q_OBJECT

public:
    // Gives the info text as it stands. Taking it out of a pane of megabytes costs, so it is
    // asked for only when a conversion starts.
    using TextSource = std::function<QString()>;

    explicit ConversionSession(TextSource text, QObject *parent = nullptr);
    // Waits for a conversion still running on the other thread.
    ~ConversionSession() override;

    // The locale dates are recognised and written in; UserDateLocale() by default.
    void setLocale(const QLocale &locale) { m_locale = locale; }
    // The info text's file (empty for none), whose name and folder's name smart recognition
    // reads a band and date from when the text names none.
    void setInfoPath(const QString &path) { m_infoPath = path; }
    // Told when a conversion on the window's thread starts and ends (not those of the pause).
    void setObserver(ConvertObserver *observer) { m_observer = observer; }
    // An info text of more characters than this is converted after a pause in typing; tests lower
    // it to see the pause at work on small texts.
    void setDeferredSize(qsizetype characters) { m_deferredSize = characters; }
    // Smart recognition or the classic conversion, for the conversions that follow.
    void setSmart(bool smart) { m_smart = smart; }
    bool smart() const { return m_smart; }

    // Converts a text on this thread, now, whatever its size, without taking the result.
    QString convertNow(const QString &infoText);
    // A text was loaded and its XML made by convertNow: whatever waits or runs for the text
    // before is dropped, and xml becomes the XML, changed or not.
    void loaded(const QString &xml);
    // The text was edited (or is to be converted anew): characters and lines (as the pane counts
    // them) decide whether it is converted now or after the pause, which starts again at every
    // edit.
    void edited(qsizetype characters, qsizetype lines);
    // Makes the XML that of the text as it stands, converting it now if it is not. Before the XML
    // is saved, given to the cover or asked about.
    void settle();

    // The latest XML taken, and whether smart recognition made it.
    const QString &xml() const { return m_xml; }
    bool xmlIsSmart() const { return m_xmlIsSmart; }
    bool isSettled() const { return m_xmlRevision == m_revision; }

signals:
    // A conversion gave an XML other than the one before.
    void xmlChanged(const QString &xml);
    // The XML taken was made by the other recognition than the one before.
    void recognitionChanged(bool smart);
    // A conversion after the pause has started (true), or its XML was taken or is no longer
    // wanted (false).
    void parsing(bool busy);

private:
    void take(const QString &xml, bool smart, quint64 revision);
    void startDeferred();
    void stopDeferred();

    TextSource m_text;
    QLocale m_locale = UserDateLocale();
    QString m_infoPath;
    ConvertObserver *m_observer = nullptr;
    qsizetype m_deferredSize;
    bool m_smart = false;
    QString m_xml;
    bool m_xmlIsSmart = false;
    quint64 m_revision = 0;    // counts the edits
    quint64 m_xmlRevision = 0; // the revision m_xml is of
    bool m_parsing = false;
    QTimer m_pause;            // the pause in typing before a large text is converted
    QThreadPool m_conversions; // where a large text is converted, one at a time
};

} // namespace tapewright
