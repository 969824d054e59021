#include "prompts.h"

#include <QFileDialog>

namespace tapewright {

namespace {

QString joinedFilters(const FileDialogState &state)
{
    return state.filters.join(QStringLiteral(";;"));
}

} // namespace

QString QtFileDialogs::showOpen(QWidget *parent, FileDialogState &state)
{
    // No caption and no folder: Qt's dialog then starts in the folder it last showed.
    return QFileDialog::getOpenFileName(parent, QString(), QString(), joinedFilters(state),
                                        &state.selectedFilter);
}

void PrepareSaveDialog(QFileDialog &dialog, const QString &proposedName,
                       const FileDialogState &state)
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // No default suffix: a name typed without an extension is used as typed. Replacing an
    // existing file is confirmed (Qt's default), as nobody asks afterwards.
    if (!state.filters.isEmpty())
        dialog.setNameFilters(state.filters);
    if (!state.selectedFilter.isEmpty())
        dialog.selectNameFilter(state.selectedFilter);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
}

QString QtFileDialogs::showSave(QWidget *parent, const QString &proposedName,
                                FileDialogState &state)
{
    QFileDialog dialog(parent);
    PrepareSaveDialog(dialog, proposedName, state);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (!state.filters.isEmpty())
        state.selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().value(0);
}

} // namespace tapewright
