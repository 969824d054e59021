// Where finished covers go: the per-user cache folder, file names made from the show, and the
// removal of covers the user has long finished with.
#pragma once

#include <QDateTime>
#include <QString>

namespace tapewright {

// Covers older than this are removed at the next run.
inline constexpr qint64 CoverKeepDays = 7;

// The per-user cache folder of Tapewright (covers/ and converted/ live below it).
QString DefaultCacheFolder();

// "Blue Lantern 1977-05-08" -> "Blue Lantern 1977-05-08 cover": characters that file systems
// refuse become "-" or "_", control characters blanks, blanks and dots are trimmed from the
// ends, and the name is kept short. An empty title gives "Tapewright cover".
QString CoverFileBaseName(const QString &title);

// A free path for a new cover of the show in folder: "<folder>/Blue Lantern 1977-05-08
// cover.ott", or with " (2)" and up when an earlier cover of the show is there (it may still be
// open in the word processor). extension includes its dot.
QString NewCoverFilePath(const QString &folder, const QString &title, const QString &extension);

// Whether fileName is one this program writes into the covers folder ("... cover.ott",
// "... cover (2).dotx").
bool IsCoverFileName(const QString &fileName);

// Removes the covers in folder last changed before now minus CoverKeepDays. Touches nothing
// else in the folder, follows no links. Returns how many were removed.
int RemoveOldCovers(const QString &folder, const QDateTime &now);

} // namespace tapewright
