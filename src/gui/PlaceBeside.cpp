#include "gui/PlaceBeside.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect FrameBeside(const QRect& available, const QRect& anchorFrame, const QSize& frameSize, int minimumWidth)
{
    const int roomRight = available.right() - anchorFrame.right();
    const int roomLeft = anchorFrame.left() - available.left();
    const bool right = roomRight >= frameSize.width() || roomRight >= roomLeft;
    const int width = std::max(minimumWidth, std::min(frameSize.width(), right ? roomRight : roomLeft));
    const int left = std::clamp(right ? anchorFrame.right() + 1 : anchorFrame.left() - width, available.left(),
                                std::max(available.left(), available.right() + 1 - width));
    const int top = std::clamp(anchorFrame.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - frameSize.height()));
    return {left, top, width, frameSize.height()};
}

void PlaceBeside(QWidget& window, const QWidget& anchor)
{
    const QScreen* screen = anchor.screen() != nullptr ? anchor.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect anchorFrame = anchor.frameGeometry();
    // The window's own frame is not known before it is first shown; the anchor's stands in for it.
    const QSize frame = anchorFrame.size() - anchor.size();
    const QRect placed = FrameBeside(screen->availableGeometry(), anchorFrame, window.size() + frame,
                                     window.minimumWidth() + frame.width());
    window.resize(placed.width() - frame.width(), window.height());
    // A top-level window's position is that of its frame.
    window.move(placed.topLeft());
}
