#pragma once
// Colours a person can read whatever the desktop's palette: the window takes its colours from the
// palette's roles and only moves one that would be too faint on its ground (a dark palette that
// keeps the light palette's blue link, a grey disabled text on a grey button) far enough towards
// black or white to be read. Contrast is WCAG 2.1's ratio of relative luminances.
#include <QColor>

namespace ReadableColours {

// Normal text needs 4.5:1 against its ground; a disabled control's caption only needs to be seen.
constexpr double TextContrast = 4.5;
constexpr double DisabledContrast = 3.0;

double Contrast(const QColor& a, const QColor& b);
bool IsDark(const QColor& colour);
// `colour` when it stands `minimum` against `ground`; otherwise the nearest mix of it with black (on
// a light ground) or white (on a dark one) that does.
QColor Readable(const QColor& colour, const QColor& ground, double minimum = TextContrast);
// A disabled caption: the palette's own disabled colour when it can be seen on the ground, else the
// enabled text faded towards the ground only as far as DisabledContrast allows.
QColor Disabled(const QColor& paletteDisabled, const QColor& enabledText, const QColor& ground);

} // namespace ReadableColours
