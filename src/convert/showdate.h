// Finding the show's date in the first six lines of an info text.
#pragma once

#include "convert/infolines.h"
#include "convert/records.h"

#include <QLocale>

namespace tapewright {

// The date record: Element holds <LITERALDATE>, SecondElement <DATE>; both or neither are set.
HeaderField FindShowDate(const InfoLines &lines, const QLocale &locale);

} // namespace tapewright
