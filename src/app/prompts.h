// The main window's ways of asking the user: its one file dialog, behind a small interface so
// that tests answer it and no test opens a real dialog, and the message boxes every window
// shares (messageboxes.h).
#pragma once

#include "messageboxes.h"

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

// Sets up a save dialog: the remembered filters, then the proposed name. In this order because
// Qt renames the file in the dialog to the extension of a filter selected after it: with the
// text files filter left by an Open, "show.xml" would become "show.txt", and the XML save would
// propose the info file itself.
void PrepareSaveDialog(QFileDialog &dialog, const QString &proposedName,
                       const FileDialogState &state);

// The real file dialogs.
class QtFileDialogs final : public FileDialogs
{
public:
    QString showOpen(QWidget *parent, FileDialogState &state) override;
    QString showSave(QWidget *parent, const QString &proposedName, FileDialogState &state) override;
};

} // namespace tapewright
