// The discs of a show and their tracks, read from the classified lines: numbered tracks kept in
// sequence (a restart at 1 after a break starts the next disc), disc headings in any spelling,
// set headings that start no disc, and unnumbered titles inside a set list.
#pragma once

#include "smart/infotext.h"
#include "smart/smartrecords.h"

#include <QList>

namespace tapewright::smart {

// afterLine: the last line of the header block; a set list without numbers and without
// headings is looked for only below it.
QList<SmartDisc> ReadSetList(const InfoText &text, qsizetype afterLine);

} // namespace tapewright::smart
