// Writing a file in one step, for every file the program writes: the window's saves, the
// settings file, the command line's outputs and the finished covers.
#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QString>

namespace tapewright {

// Writes bytes to a temporary file beside fileName, which then replaces fileName once all of
// them are on the disk: a save that fails (a full disk included) leaves the previous file as it
// was. A link is followed and stays a link. What is not a regular file (a folder, named pipe,
// device or socket, or a link to one) is refused, not replaced. The message names the file and
// the reason.
Result<void> SaveFile(const QString &fileName, const QByteArray &bytes);

// Why a write failed, from its error code (errno): "the disk is full" and "the disk quota is
// used up" in plain words, else the system's own text. No final full stop.
QString WriteErrorReason(int errorCode);

} // namespace tapewright
