#include "app/findbar.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace tapewright {

FindBar::FindBar(QPlainTextEdit *pane, QWidget *parent)
    : QToolBar(parent), m_pane(pane), m_text(new QLineEdit(this)), m_note(new QLabel(this))
{
    setObjectName(QStringLiteral("findBar"));
    setWindowTitle(QStringLiteral("Find"));
    setMovable(false);
    setFloatable(false);
    // Shown by Ctrl+F only; the toolbar's own context menu would offer it always.
    toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::PreventContextMenu);

    auto *label = new QLabel(QStringLiteral("Find:"), this);
    label->setBuddy(m_text);
    addWidget(label);
    m_text->setObjectName(QStringLiteral("txtFind"));
    m_text->setClearButtonEnabled(true);
    m_text->setMaximumWidth(fontMetrics().averageCharWidth() * 40);
    addWidget(m_text);
    addAction(QStringLiteral("Previous"), this, &FindBar::findPrevious);
    addAction(QStringLiteral("Next"), this, &FindBar::findNext);
    m_note->setObjectName(QStringLiteral("lblFindNote"));
    addWidget(m_note);
    QAction *closeAction = addAction(QStringLiteral("Close"), this, &FindBar::close);
    closeAction->setShortcut(Qt::Key_Escape);
    closeAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);

    connect(m_text, &QLineEdit::returnPressed, this,
            [this] { find(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier)); });
    // Finding as the text is typed: from where the last place found begins, so that it grows.
    connect(m_text, &QLineEdit::textEdited, this, [this] {
        QTextCursor cursor = m_pane->textCursor();
        cursor.setPosition(cursor.selectionStart());
        m_pane->setTextCursor(cursor);
        if (!m_text->text().isEmpty())
            findNext();
        else
            m_note->clear();
    });
}

void FindBar::open()
{
    const QTextCursor cursor = m_pane->textCursor();
    const QString selected = cursor.selectedText();
    if (!selected.isEmpty() && cursor.block().contains(cursor.selectionEnd()) &&
        cursor.block().contains(cursor.selectionStart()))
        m_text->setText(selected);
    m_note->clear();
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

bool FindBar::find(bool backward)
{
    if (m_text->text().isEmpty()) {
        open();
        return false;
    }
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextDocument *document = m_pane->document();
    QTextCursor found = document->find(m_text->text(), m_pane->textCursor(), flags);
    QString note;
    if (found.isNull()) {
        QTextCursor from(document);
        if (backward)
            from.movePosition(QTextCursor::End);
        found = document->find(m_text->text(), from, flags);
        note = backward ? QStringLiteral("Went on from the end")
                        : QStringLiteral("Went on from the start");
    }
    m_note->setText(found.isNull() ? QStringLiteral("Not found") : note);
    if (found.isNull())
        return false;
    m_pane->setTextCursor(found);
    return true;
}

void FindBar::close()
{
    hide();
    m_pane->setFocus();
}

} // namespace tapewright
