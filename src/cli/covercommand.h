#pragma once

#include "cover/fill/coverfiller.h"

#include <QStringList>

namespace tapewright::cli {

// tapewright-cli cover --template FILE --xml FILE [--collector NAME] [--no-collection]
//                      [--picture FILE] [--locale NAME] [--strict] --out FILE
// tapewright-cli cover --template FILE [options] --out-dir DIR --format FORMAT XML...
int runCover(const QStringList &arguments);

// What the check before a cover is made finds wrong with job's show and template, as
// sentences (what does not fit is told by the cover made).
QStringList ShowWarnings(const CoverJob &job);

} // namespace tapewright::cli
