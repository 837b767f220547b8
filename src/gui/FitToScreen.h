#pragma once
// A top-level window that opens wholly on its screen, whatever the screen's size and scale: at the top
// left of the screen's free area (not under a panel), as large as designed where there is room, else
// as large as the free area allows, never below its minimum size (it stays resizable down to that).

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// The window's inner geometry (its frame at the area's top left) for a window that would like to be
// `wanted` and cannot be smaller than `minimum`, in a free area `available`, with a frame of
// `frame` around it (title bar and borders).
QRect FitIntoArea(const QRect& available, const QSize& wanted, const QSize& minimum, const QMargins& frame);

// Places and sizes `window` (not shown yet) on its screen by FitIntoArea. The window manager's frame
// is known only once the window is shown; until then a generous guess stands in for it, and the
// window is fitted again as soon as the real frame is known.
void FitToScreen(QWidget& window, const QSize& wanted);
