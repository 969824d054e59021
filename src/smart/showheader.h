// The show's fields as a collector reads them from the head of an info text: the band (the
// artist alone), the show date, venue, city and state, in any of the usual layouts (one field a
// line, everything on the first line split by commas or dashes, keyword lines anywhere), and the
// source, lineage and notes.
#pragma once

#include "convert/daterecogniser.h"
#include "smart/infotext.h"

#include <QDate>
#include <QString>

namespace tapewright::smart {

struct ShowHeader
{
    QString band;
    QString literalDate;
    QDate date;
    QString venue;
    QString city;
    QString state;
    QString source;
    QString notes;
    // The last line the header block took a field from, -1 when none: a set list without
    // numbers or headings is looked for after it.
    qsizetype lastLine = -1;
};

class FieldCandidates;

// candidates, when given, receives every candidate for the band, date, venue, city and state,
// the rules below each winner weighed too.
ShowHeader ReadShowHeader(const InfoText &text, const DateLocale &locale,
                          FieldCandidates *candidates = nullptr);

} // namespace tapewright::smart
