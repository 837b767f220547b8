#pragma once
// Puts a window beside another on the same screen, so that neither covers the other and the other
// does not move.

class QWidget;

// Right of `anchor` when there is room, else left of it, else on the side with more room; the window
// is narrowed (not below its minimum width) to fit that side, and its top is level with the anchor's
// as far as the screen allows.
void PlaceBeside(QWidget& window, const QWidget& anchor);
