// The main window's two text panes. Each shows a document of CR LF lines as a pane shows text,
// quickly even for texts of megabytes: the info text pane gives back exactly the text it was
// given, as edited; the XML pane replaces only what changed when it shows a new document.
#pragma once

#include <QPlainTextEdit>

namespace tapewright {

// Lines, no wrapping, scroll bars as needed.
class TextPane : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TextPane(const QString &name, QWidget *parent = nullptr);
};

class InfoPane : public TextPane
{
    Q_OBJECT

public:
    using TextPane::TextPane;

    // Shows a document; textChanged is not emitted for it.
    void setDocumentText(const QString &text);
    // The text as it stands: the pane's lines joined by CR LF, no-break spaces kept.
    QString documentText() const;
    // The lines of the text, however the pane groups them.
    qsizetype lineCount() const;

private:
    // Lines of the text longer than a pane line are shown cut into pieces, each piece after the
    // first a block marked as continuing the line before it.
    bool m_hasCutLines = false;
    // A text of many lines is shown several lines to a block, U+2028 between them.
    int m_linesPerBlock = 1;
};

// Read-only, with a keyboard caret.
class XmlPane : public TextPane
{
    Q_OBJECT

public:
    explicit XmlPane(const QString &name, QWidget *parent = nullptr);

    // Shows a document, changing only the lines where it differs from the one shown before, so
    // that the reader keeps their place.
    void showDocument(const QString &text);

private:
    QString m_shown; // the pane's text
};

} // namespace tapewright
