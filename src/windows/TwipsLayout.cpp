#include "windows/TwipsLayout.h"

#include <algorithm>
#include <cmath>

namespace quendral {

namespace {

constexpr double ScaleStep = 20.0;

double ratio(int needed, int available)
{
    if (needed <= 0)
        return 1.0;
    // A box with no room at all cannot be fitted by scaling; it is left as
    // it is rather than blowing the window up.
    if (available <= 0)
        return 1.0;
    return static_cast<double>(needed) / available;
}

} // namespace

int TwipsLayout::pixels(int twips) const
{
    return static_cast<int>(std::lround(twips * m_scale / TwipsPerPixel));
}

QRect TwipsLayout::rect(int left, int top, int width, int height) const
{
    // Edges are scaled rather than sizes, so neighbours that touch at one
    // scale still touch, and never overlap, at another.
    const int x = pixels(left);
    const int y = pixels(top);
    return QRect(x, y, pixels(left + width) - x, pixels(top + height) - y);
}

QSize TwipsLayout::size(int width, int height) const
{
    return QSize(pixels(width), pixels(height));
}

double TwipsLayout::scaleToFit(std::span<const Fit> fits)
{
    double scale = 1.0;
    for (const Fit& fit : fits) {
        scale = std::max(scale, ratio(fit.needed.width(), fit.available.width()));
        scale = std::max(scale, ratio(fit.needed.height(), fit.available.height()));
    }
    // Rounded up to a step so that a caption a pixel too wide does not give
    // an odd factor, and so that the same fonts always give the same window.
    return std::ceil(scale * ScaleStep - 1e-9) / ScaleStep;
}

} // namespace quendral
