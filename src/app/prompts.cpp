#include "app/prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tapewright {

namespace {

const QString TextFiles = QStringLiteral("Text Files (*.txt)");
const QString InfoFiles = QStringLiteral("Info Files (*.nfo)");
const QString AllFiles = QStringLiteral("All Files (*)");

// "Info Texts (*.txt *.nfo)" gives "*.txt" and "*.nfo".
QStringList PatternsOf(const QString &filter)
{
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    if (open < 0 || close < open)
        return {};
    return filter.sliced(open + 1, close - open - 1).split(u' ', Qt::SkipEmptyParts);
}

// The request with the first filter whose patterns match the file's name selected.
FileDialogRequest SaveRequest(const QString &title, const QStringList &filters,
                              const QString &proposedName, const QString &folder)
{
    FileDialogRequest request{title, filters, filters.first(), folder};
    const QString name = QFileInfo(proposedName).fileName();
    if (name.isEmpty())
        return request;
    for (const QString &filter : filters) {
        if (QDir::match(PatternsOf(filter), name)) {
            request.selectedFilter = filter;
            break;
        }
    }
    return request;
}

} // namespace

FileDialogRequest OpenInfoFileDialog(const QString &folder)
{
    const QStringList filters{QStringLiteral("Info Texts (*.txt *.nfo)"), TextFiles, InfoFiles,
                              AllFiles};
    return {QStringLiteral("Open Info File"), filters, filters.first(), folder};
}

FileDialogRequest SaveInfoFileDialog(const QString &proposedName, const QString &folder)
{
    return SaveRequest(QStringLiteral("Save Info File"), {TextFiles, InfoFiles, AllFiles},
                       proposedName, folder);
}

FileDialogRequest SaveXmlFileDialog(const QString &proposedName, const QString &folder)
{
    return SaveRequest(QStringLiteral("Save XML File"),
                       {QStringLiteral("XML Files (*.xml)"), AllFiles}, proposedName, folder);
}

QString QtFileDialogs::showOpen(QWidget *parent, const FileDialogRequest &request)
{
    QString selected = request.selectedFilter;
    return QFileDialog::getOpenFileName(parent, request.title, request.folder,
                                        request.filters.join(QStringLiteral(";;")), &selected);
}

void PrepareSaveDialog(QFileDialog &dialog, const QString &proposedName,
                       const FileDialogRequest &request)
{
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // No default suffix: a name typed without an extension is used as typed. Replacing an
    // existing file is confirmed (Qt's default), as nobody asks afterwards.
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.selectedFilter);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    else if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
}

QString QtFileDialogs::showSave(QWidget *parent, const QString &proposedName,
                                const FileDialogRequest &request)
{
    QFileDialog dialog(parent);
    PrepareSaveDialog(dialog, proposedName, request);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace tapewright
