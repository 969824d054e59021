// Writing a file in one step, for every file the program writes: the window's saves, the
// settings file, the command line's outputs and the finished covers.
#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

namespace tapewright {

// Writes bytes to a temporary file beside fileName, which then replaces fileName: a save that
// fails leaves the previous file as it was. The message names the file and the reason.
Result<void> SaveFile(const QString &fileName, const QByteArray &bytes);

} // namespace tapewright
