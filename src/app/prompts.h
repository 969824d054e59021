// The main window's ways of asking the user: its file dialogs, behind a small interface so that
// tests answer them and no test opens a real dialog, and the message boxes every window
// shares (messageboxes.h).
#pragma once

#include "common/messageboxes.h"

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace tapewright {

// What a file dialog shows: a title saying what is opened or saved, its filters, and the folder
// it starts in when no file is proposed.
struct FileDialogRequest
{
    QString title;
    QStringList filters;    // Qt name filters, "Text Files (*.txt)"
    QString selectedFilter; // one of filters
    QString folder;         // "" for the dialog's own choice
};

// File, Open Info File: both kinds of info text in one filter first, then each kind, then any.
FileDialogRequest OpenInfoFileDialog(const QString &folder = {});
// The save dialogs offer the filters of what they save, the one that fits the proposed name
// selected (the first when none does).
FileDialogRequest SaveInfoFileDialog(const QString &proposedName, const QString &folder = {});
FileDialogRequest SaveXmlFileDialog(const QString &proposedName, const QString &folder = {});

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen file's path, or "" when the user cancelled.
    virtual QString showOpen(QWidget *parent, const FileDialogRequest &request) = 0;
    // proposedName is a full path or "". The dialog itself confirms replacing an existing file.
    virtual QString showSave(QWidget *parent, const QString &proposedName,
                             const FileDialogRequest &request) = 0;
};

// Sets up a save dialog: title and filters, then the proposed name (or else the folder). In this
// order because Qt renames the file in the dialog to the extension of a filter selected after
// it: "show.nfo" would become "show.txt".
void PrepareSaveDialog(QFileDialog &dialog, const QString &proposedName,
                       const FileDialogRequest &request);

// The real file dialogs.
class QtFileDialogs final : public FileDialogs
{
public:
    QString showOpen(QWidget *parent, const FileDialogRequest &request) override;
    QString showSave(QWidget *parent, const QString &proposedName,
                     const FileDialogRequest &request) override;
};

} // namespace tapewright
