// How a window asks the user a question or tells of a failure: one small interface for the
// main window and the cover dialog, so that tests answer it and no test opens a real box.
#pragma once

#include <QString>

class QWidget;

namespace tapewright {

enum class Answer
{
    Yes,
    No,
    Cancel,
};

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A question with Yes (the default), No and Cancel. Closing the box answers Cancel.
    virtual Answer askYesNoCancel(QWidget *parent, const QString &text) = 0;
    // Tells the user what failed.
    virtual void showError(QWidget *parent, const QString &text) = 0;
    // Tells the user something to know about work that was done all the same.
    virtual void showNotice(QWidget *parent, const QString &text) = 0;
    // The same, with OK (the default) and one more button captioned action: true when the user
    // chose that one.
    virtual bool showNoticeWithAction(QWidget *parent, const QString &text,
                                      const QString &action) = 0;
};

// The real message boxes, titled with the program's name.
class QtMessageBoxes final : public MessageBoxes
{
public:
    Answer askYesNoCancel(QWidget *parent, const QString &text) override;
    void showError(QWidget *parent, const QString &text) override;
    void showNotice(QWidget *parent, const QString &text) override;
    bool showNoticeWithAction(QWidget *parent, const QString &text, const QString &action) override;
};

} // namespace tapewright
