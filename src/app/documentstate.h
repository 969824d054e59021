// The main window's document state, apart from the window: the two file names, whether the info
// text and the XML are unsaved, the caption, and the rules of the question asked on closing.
#pragma once

#include "common/messageboxes.h"
#include "common/textfile.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace tapewright {

class DocumentState : public QObject
{
    Q_OBJECT

public:
    enum class Document
    {
        Info,
        Xml,
    };

    using QObject::QObject;

    // The full path of the info file last loaded, and the path proposed when the XML is saved;
    // both "" until a file has been loaded. Saving under another name changes neither.
    const QString &infoFileName() const { return mInfoFileName; }
    const QString &xmlFileName() const { return mXmlFileName; }
    bool infoChanged() const { return mInfoChanged; }
    bool xmlChanged() const { return mXmlChanged; }
    // How the loaded file was written; none before a load.
    std::optional<TextEncoding> infoEncoding() const { return m_infoEncoding; }

    // The window's caption: the program's name, then " - " and the info file's name, with Qt's
    // mark "[*]" where a modified info text shows its asterisk.
    QString caption() const;
    // The name a save proposes: the loaded file's, or "".
    const QString &proposedName(Document which) const;

    // A file was loaded: the info text counts as saved, its new XML as unsaved.
    void loaded(const QString &infoFileName, TextEncoding encoding);
    // The info text was edited; the XML was rebuilt and differs from the one before.
    void infoEdited();
    void xmlRebuilt() { mXmlChanged = true; }
    // The document was written (under any name).
    void saved(Document which);

    // Asks about each unsaved document, info first, both in one closing even when the first
    // answer cancels it. `ask` gets the name to show (the file's, or "<untitled>" or
    // "untitled.xml"); on Yes, `save` saves and says whether it did. True when the window is to
    // stay open: Cancel, or Yes whose save was cancelled or failed (the edits would be lost).
    bool queryUnload(const std::function<Answer(const QString &name)> &ask,
                     const std::function<bool(Document)> &save);

signals:
    // Whether the info text is unsaved, whenever that changes: the caption's mark.
    void infoChangedChanged(bool changed);
    void captionChanged(const QString &caption);

private:
    void setInfoChanged(bool changed);

    QString mInfoFileName;
    QString mXmlFileName;
    bool mInfoChanged = false;
    bool mXmlChanged = false;
    std::optional<TextEncoding> m_infoEncoding;
};

} // namespace tapewright
