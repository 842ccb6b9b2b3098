#pragma once

#include <QRect>
#include <QSize>

#include <span>

class QWidget;

namespace quendral {

// Window geometry is drawn up in twips, 15 to a device-independent pixel.
// Qt's controls and the fonts of a Linux desktop need more room than the
// captions were measured for, so a whole window may be scaled by one
// factor: every control keeps its place in the arrangement, only larger.
class TwipsLayout
{
public:
    static constexpr int TwipsPerPixel = 15;

    // What a caption needs against the room its control has at scale 1.
    struct Fit
    {
        QSize needed;
        QSize available;
    };

    explicit TwipsLayout(double scale = 1.0) : m_scale(scale) {}

    double scale() const { return m_scale; }

    int pixels(int twips) const;
    QRect rect(int left, int top, int width, int height) const;
    QSize size(int width, int height) const;

    // The smallest scale, in steps of 1/20 and never below 1, at which every
    // caption fits.
    static double scaleToFit(std::span<const Fit> fits);

private:
    double m_scale;
};

} // namespace quendral
