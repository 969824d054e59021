#include "app/mainlayout.h"

#include <algorithm>
#include <cmath>

namespace tapewright {

std::optional<QRect> RestoredPlacement(const QRect &last, const QList<QRect> &screens)
{
    if (last.isEmpty())
        return std::nullopt;
    const QRect *best = nullptr;
    long long bestArea = 0;
    for (const QRect &screen : screens) {
        const QRect common = screen.intersected(last);
        const long long area = static_cast<long long>(common.width()) * common.height();
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    if (!best)
        return std::nullopt;
    QRect placed(last.topLeft(), last.size().boundedTo(best->size()));
    placed.moveLeft(std::clamp(placed.left(), best->left(), best->right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), best->top(), best->bottom() - placed.height() + 1));
    return placed;
}

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
