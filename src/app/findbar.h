// Find in a text pane, as text editors have it: a bar under the panes with the text to find and
// Previous and Next. Typing finds as it goes; Enter finds the next, Shift+Enter the previous,
// Esc closes the bar. The search goes on from the other end of the text, and the bar says so, or
// says that the text is not there.
#pragma once

#include <QToolBar>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tapewright {

class FindBar : public QToolBar
{
    Q_OBJECT

public:
    explicit FindBar(QPlainTextEdit *pane, QWidget *parent = nullptr);

public slots:
    // Shows the bar with the pane's selection (a part of one line) as the text to find, its text
    // selected for typing over.
    void open();
    // Selects the next or the previous place of the text in the pane; false when it is not there.
    bool findNext() { return find(false); }
    bool findPrevious() { return find(true); }

private:
    bool find(bool backward);
    void close();

    QPlainTextEdit *m_pane;
    QLineEdit *m_text;
    QLabel *m_note;
};

} // namespace tapewright
