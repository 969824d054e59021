#include "mainlayout.h"

#include <algorithm>
#include <cmath>

namespace tapewright {

PaneLayout ComputePaneLayout(const LayoutInput &in)
{
    // The window has no minimum size: a client area smaller than the margins gives negative
    // sizes, which are clamped (a minimised window has an empty client area).
    const auto whole = [](double v) { return static_cast<long long>(std::llround(v)); };
    const long long w = whole(in.clientWidth);
    const long long h = whole(in.clientHeight);
    const long long m = whole(in.inputLeft);

    PaneLayout out;
    out.inputHeight = std::max(0.0, static_cast<double>(h) - (in.inputTop + 2 * m));
    out.outputHeight = std::max(0.0, static_cast<double>(h) - (in.outputTop + 2 * m));
    // The halving is exact, not rounded.
    out.inputWidth = std::max(0.0, static_cast<double>(w - 3 * m) / 2);
    out.outputWidth = out.inputWidth;
    out.outputLeft = out.inputWidth + in.inputLeft + static_cast<double>(m);
    out.outputLabelLeft = out.outputLeft;
    out.statusLeft = out.outputWidth + out.outputLeft - in.statusWidth;
    return out;
}

} // namespace tapewright
