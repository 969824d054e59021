// tapewright-cli cover --out-dir: a cover for each of many track lists, named after them, with
// every PDF printed in one run of LibreOffice.
#pragma once

#include "cover/fill/coverfiller.h"

#include <QCommandLineParser>
#include <QString>

namespace tapewright::cli {

// --out-dir, --format, --verbose and the XML arguments, for the help of tapewright-cli cover.
void addCoverBatchOptions(QCommandLineParser &parser);

// With --out-dir: what is wrong with the command line, or an empty text.
QString coverBatchUsageProblem(const QCommandLineParser &parser);

// Makes a cover of each XML argument into --out-dir, in --format; shared holds what every cover
// shares (template, choices, locale and date). Each failure (an XML that cannot be read, a cover
// that cannot be made, a PDF that LibreOffice did not write) is told on standard error and the
// other covers are made, as are the check's warnings on each show. The exit code: 1 when any
// failed, else 3 with --strict when any was made with warnings, else 0.
int runCoverBatch(const QCommandLineParser &parser, const CoverJob &shared);

} // namespace tapewright::cli
