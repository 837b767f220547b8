#include "gui/ReadableColours.h"

#include <algorithm>
#include <cmath>

namespace ReadableColours {

namespace {

double Luminance(const QColor& colour)
{
    const auto channel = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

// `from` moved the share `t` (0 to 1) of the way to `to`.
QColor Mix(const QColor& from, const QColor& to, double t)
{
    const auto channel = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
    const QColor a = from.toRgb(), b = to.toRgb();
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

// The least share of the way from `from` to `to` at which the contrast against `ground` reaches
// `minimum` (contrast grows along the way when `to` is the far end from the ground); 1 when it never
// does.
QColor MixUntil(const QColor& from, const QColor& to, const QColor& ground, double minimum)
{
    double low = 0.0, high = 1.0;
    for (int step = 0; step < 16; ++step) {
        const double middle = (low + high) / 2;
        (Contrast(Mix(from, to, middle), ground) >= minimum ? high : low) = middle;
    }
    return Mix(from, to, high);
}

} // namespace

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDark(const QColor& colour)
{
    // Where black and white stand equally far from it.
    return Luminance(colour) < 0.179;
}

QColor Readable(const QColor& colour, const QColor& ground, double minimum)
{
    if (Contrast(colour, ground) >= minimum)
        return colour;
    return MixUntil(colour, IsDark(ground) ? QColor(Qt::white) : QColor(Qt::black), ground, minimum);
}

QColor Disabled(const QColor& paletteDisabled, const QColor& enabledText, const QColor& ground)
{
    if (Contrast(paletteDisabled, ground) >= DisabledContrast)
        return paletteDisabled;
    // From the ground towards the text: the faintest caption that is still seen.
    const QColor text = Readable(enabledText, ground, DisabledContrast);
    return MixUntil(ground, text, ground, DisabledContrast);
}

} // namespace ReadableColours
