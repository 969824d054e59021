#pragma once

#include <QStringList>

namespace tapewright::cli {

// tapewright-cli cover --template FILE --xml FILE [--collector NAME] [--no-collection]
//                      [--locale NAME] --out FILE
// tapewright-cli cover --template FILE [options] --out-dir DIR --format FORMAT XML...
int runCover(const QStringList &arguments);

} // namespace tapewright::cli
