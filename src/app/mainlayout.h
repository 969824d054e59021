// The main window's geometry in twips: the designed rectangles and the rule that keeps the two
// panes side by side, filling the window, whatever its size.
#pragma once

#include <QList>
#include <QRect>

#include <optional>

namespace tapewright {

// The client area as designed, in twips.
inline constexpr int DesignedClientWidth = 10680;
inline constexpr int DesignedClientHeight = 5790;

// Designed rectangles (left, top, width, height) in twips.
inline constexpr QRect DesignedInputLabel{90, 120, 855, 225};
inline constexpr QRect DesignedInputPane{60, 360, 5115, 5235};
inline constexpr QRect DesignedOutputLabel{5280, 120, 1725, 225};
inline constexpr QRect DesignedStatusLabel{8640, 120, 1725, 225};
inline constexpr QRect DesignedOutputPane{5280, 360, 5115, 5235};

// The separator under the menu bar: a dark line at this y and a light one a pixel below.
inline constexpr int SeparatorTop = 20;

// What the resize rule reads from the window, in twips.
struct LayoutInput
{
    double clientWidth = 0;
    double clientHeight = 0;
    double inputLeft = 0; // the margin m: the input pane's Left
    double inputTop = 0;
    double outputTop = 0;
    double statusWidth = 0;
};

// What it sets, in twips. Sizes are never negative: below the margins they stay at zero.
struct PaneLayout
{
    double inputWidth = 0;
    double inputHeight = 0;
    double outputLeft = 0;
    double outputWidth = 0;
    double outputHeight = 0;
    double outputLabelLeft = 0;
    double statusLeft = 0;
};

// Panes with margin m on the left, between them and on the right, and 2m at the bottom; the
// output label over the output pane's left edge, the status label's right edge on its right edge.
PaneLayout ComputePaneLayout(const LayoutInput &in);

// Where the window reopens, in pixels: its last rectangle, shrunk and moved as little as needed
// to lie wholly within the screen it overlaps most (screens: their available rectangles).
// Nothing when it overlaps none (a screen since unplugged) or is empty; the window then opens
// at its designed size, centred.
std::optional<QRect> RestoredPlacement(const QRect &last, const QList<QRect> &screens);

} // namespace tapewright
