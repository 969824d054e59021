// The settings file: an INI file holding the cover dialog's last choices.
#pragma once

#include "common/result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

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

// The values of several keys of one section, read in one go and not cut (a path may be long),
// in the order of keys; "" for a key, section or file that is missing. Otherwise read as
// GetINIString reads.
QStringList GetINIStrings(const QString &section, const QStringList &keys, const QString &file);

// Sets several keys of one section in one atomic write, as WriteINIString sets one; a key whose
// value is nullopt is removed.
using INIValues = QList<std::pair<QString, std::optional<QString>>>;
Result<void> WriteINIStrings(const QString &section, const INIValues &values, const QString &file);

// Where the settings file belongs: beside the program for a copy that runs from its own folder
// (a build tree or a portable copy, with its "template" folder beside it) or when the file is
// already there; else, for an installed program, in the per-user configuration folder.
QString LocateSettingsFile(const QString &programDir, const QString &userConfigDir);
// LocateSettingsFile for this running program.
QString DefaultSettingsFilePath();

} // namespace tapewright
