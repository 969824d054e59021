// The show fields found by keyword or by the first characters of a line: source, band, venue,
// city, state and notes. Each is one linear pass over the lines.
#pragma once

#include "infolines.h"
#include "records.h"

namespace tapewright {

HeaderField FindSource(const InfoLines &lines);
HeaderField FindBand(const InfoLines &lines);
HeaderField FindVenue(const InfoLines &lines);
HeaderField FindCity(const InfoLines &lines);
HeaderField FindState(const InfoLines &lines);
HeaderField FindNotes(const InfoLines &lines);

} // namespace tapewright
