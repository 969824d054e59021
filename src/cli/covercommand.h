#pragma once

#include <QStringList>

namespace tapewright::cli {

// tapewright-cli cover --template FILE --xml FILE [--collector NAME] [--no-collection]
//                      [--picture FILE] [--locale NAME] --out FILE
int runCover(const QStringList &arguments);

} // namespace tapewright::cli
