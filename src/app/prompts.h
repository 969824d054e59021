// The main window's ways of asking the user: its one file dialog and its message boxes. They sit
// behind these small interfaces so that tests answer them and no test opens a real dialog.
#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace tapewright {

// What the window's one file dialog remembers from command to command: the save dialogs show the
// filters the last Open left (none before the first Open), with the one chosen there selected.
struct FileDialogState
{
    QStringList filters;    // Qt name filters, "Text Files (*.txt)"
    QString selectedFilter; // one of filters, or ""
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen file's path, or "" when the user cancelled. Updates state.selectedFilter.
    virtual QString showOpen(QWidget *parent, FileDialogState &state) = 0;
    // proposedName is a full path or "". The dialog itself confirms replacing an existing file.
    virtual QString showSave(QWidget *parent, const QString &proposedName,
                             FileDialogState &state) = 0;
};

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
};

// Sets up a save dialog: the remembered filters, then the proposed name. In this order because
// Qt renames the file in the dialog to the extension of a filter selected after it: with the
// text files filter left by an Open, "show.xml" would become "show.txt", and the XML save would
// propose the info file itself.
void PrepareSaveDialog(QFileDialog &dialog, const QString &proposedName,
                       const FileDialogState &state);

// The real dialogs, titled "Tapewright".
class QtFileDialogs final : public FileDialogs
{
public:
    QString showOpen(QWidget *parent, FileDialogState &state) override;
    QString showSave(QWidget *parent, const QString &proposedName, FileDialogState &state) override;
};

class QtMessageBoxes final : public MessageBoxes
{
public:
    Answer askYesNoCancel(QWidget *parent, const QString &text) override;
    void showError(QWidget *parent, const QString &text) override;
};

} // namespace tapewright
