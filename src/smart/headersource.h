// The source and the notes of an info text: source and lineage lines with or without their
// keyword, and the notes paragraph.
#pragma once

#include "smart/infotext.h"

#include <QString>

namespace tapewright::smart {

// Every source, lineage and recording line, joined with " | ".
QString ReadSource(const InfoText &t);
// The notes a "Notes:" line begins, up to the paragraph's end, blanks collapsed.
QString ReadNotes(const InfoText &t);

} // namespace tapewright::smart
