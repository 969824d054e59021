#pragma once

#include <QStringList>

namespace tapewright::cli {

// tapewright-cli convert [--locale NAME] (FILE | -)
// tapewright-cli convert [--locale NAME] --out-dir DIR FILE...
int runConvert(const QStringList &arguments);

} // namespace tapewright::cli
