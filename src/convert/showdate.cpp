#include "showdate.h"

namespace tapewright {

HeaderField FindShowDate(const InfoLines &lines, const QLocale &locale)
{
    Q_UNUSED(lines);
    Q_UNUSED(locale);
    return {};
}

} // namespace tapewright
