#pragma once

#include <QStringList>

namespace tapewright::cli {

// tapewright-cli cover --template FILE --xml FILE [--collector NAME] [--no-collection]
//                      [--locale NAME] [--strict] --out FILE
int runCover(const QStringList &arguments);

} // namespace tapewright::cli
