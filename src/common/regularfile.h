// Reading and writing only ordinary files: a named pipe would wait for a writer that never
// comes, a device may never end, and neither is a show's text, a template or a settings file.
// Nor is either a place to save one: a save replaces what stands at its name.
#pragma once

#include "common/result.h"

#include <QFile>

namespace tapewright {

// Opens file (its name set) read-only and unbuffered (every caller reads the whole file in
// large pieces) when the name leads to a regular file, following links.
// A folder, named pipe, device or socket is refused without waiting, as is what cannot be
// opened. A failure gives the bare reason ("it is a named pipe, not a file", "there is no such
// file"), for the caller to frame with the file's name.
Result<void> OpenRegularFile(QFile &file);

// Why what stands at path, links followed, is no regular file ("it is a device, not a file");
// empty when it is one or when nothing is there.
QString NotARegularFile(const QString &path);

} // namespace tapewright
