// What the main window keeps in the settings file from one run to the next: File, Smart
// Recognition (in the section the cover dialog's choices share), the window's place, the zoom of
// its panes and the folder its file dialogs start in (section "Window"), and the files opened
// last (section "Recent Files", File1 the latest). Without a file nothing is read or kept.
#pragma once

#include "common/result.h"

#include <QRect>
#include <QString>
#include <QStringList>

namespace tapewright {

// The most files File, Open Recent lists.
inline constexpr qsizetype MostRecentFiles = 8;

// files with path first, and no other entry for the same file, cut to MostRecentFiles.
QStringList WithRecentFile(const QStringList &files, const QString &path);

class MainSettings
{
public:
    explicit MainSettings(const QString &file = {}) : m_file(file) {}
    const QString &file() const { return m_file; }

    // Off unless the file says "1".
    bool smartRecognition() const;
    Result<void> setSmartRecognition(bool on) const;

    struct Window
    {
        QRect normal; // the rectangle of the window when not maximised, in pixels
        bool maximized = false;
        int zoom = 0;   // the panes' zoom, in steps from the designed size
        QString folder; // where the file dialogs start; "" for none yet
    };
    // What is missing or not a number reads as zero.
    Window window() const;
    // Kept as the window closes: a failure is not worth a message then, and the file stays as
    // it was.
    void storeWindow(const Window &window) const;

    QStringList recentFiles() const;
    Result<void> storeRecentFiles(const QStringList &files) const;

private:
    QString m_file;
};

} // namespace tapewright
