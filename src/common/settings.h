// The settings file: an INI file holding the cover dialog's last choices.
#pragma once

#include "common/result.h"

#include <QString>

namespace tapewright {

// The section holding the choices. Settings files on users' disks are read by it, so it stays
// as it is whatever the program is called (productinfo.h).
inline constexpr char16_t SettingsSection[] = u"Tapewright";

// The stored value (at most 99 characters), or defaultValue when the file, section or key is
// missing. A key present with an empty value gives "" whatever the default.
QString GetINIString(const QString &section, const QString &key, const QString &defaultValue,
                     const QString &file);

// Creates the file, section or key as needed; everything else in the file stays as it was.
// The write is atomic: a failure (with a message naming the file and the reason) leaves the
// file as it was.
Result<void> WriteINIString(const QString &section, const QString &key, const QString &value,
                            const QString &file);

// Where the settings file belongs: beside the program for a copy that runs from its own folder
// (a build tree or a portable copy, with its "template" folder beside it) or when the file is
// already there; else, for an installed program, in the per-user configuration folder.
QString LocateSettingsFile(const QString &programDir, const QString &userConfigDir);
// LocateSettingsFile for this running program.
QString DefaultSettingsFilePath();

} // namespace tapewright
