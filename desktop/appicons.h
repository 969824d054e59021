// The program's icons, compiled into every window's program as resources.
#pragma once

#include <QIcon>

namespace tapewright {

// A written page with a compact disc in front of its left edge: the icon of the application and
// of all its windows, in every size drawn (16 to 256 pixels).
QIcon TapewrightIcon();

// The round emblem of the About dialog.
QIcon EmblemIcon();

} // namespace tapewright
