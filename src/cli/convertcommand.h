#pragma once

#include <QStringList>

namespace tapewright::cli {

// tapewright-cli convert [--locale NAME] [--smart] (FILE | -)
// tapewright-cli convert [--locale NAME] [--smart] --out-dir DIR FILE...
int runConvert(const QStringList &arguments);

} // namespace tapewright::cli
