#pragma once
// Puts a window beside another on the same screen, so that neither covers the other and the other
// does not move.

#include <QRect>
#include <QSize>

class QWidget;

// Where a window goes beside `anchorFrame` within `available`, all in outer (frame) pixels: right of
// the anchor when the window fits there, else on the side with more room, narrowed to that room but
// not below `minimumWidth`. When even the minimum does not fit beside the anchor, the window stays on
// the screen and covers as little of the anchor as it can. Its top is level with the anchor's as far
// as the screen allows; its height is kept.
QRect FrameBeside(const QRect& available, const QRect& anchorFrame, const QSize& frameSize, int minimumWidth);

// FrameBeside for two windows on the anchor's screen: moves and narrows `window`, never `anchor`.
void PlaceBeside(QWidget& window, const QWidget& anchor);
