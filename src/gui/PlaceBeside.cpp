#include "gui/PlaceBeside.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void PlaceBeside(QWidget& window, const QWidget& anchor)
{
    const QScreen* screen = anchor.screen() != nullptr ? anchor.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    const QRect anchorFrame = anchor.frameGeometry();
    // The window's own frame is not known before it is first shown; the anchor's stands in for it.
    const int frameWidth = anchorFrame.width() - anchor.width();
    const int frameHeight = anchorFrame.height() - anchor.height();

    const int roomRight = available.right() - anchorFrame.right();
    const int roomLeft = anchorFrame.left() - available.left();
    const bool right = roomRight >= window.width() + frameWidth || roomRight >= roomLeft;
    const int room = (right ? roomRight : roomLeft) - frameWidth;
    window.resize(std::max(window.minimumWidth(), std::min(window.width(), room)), window.height());

    const int outerWidth = window.width() + frameWidth;
    const int outerHeight = window.height() + frameHeight;
    int left = right ? anchorFrame.right() + 1 : anchorFrame.left() - outerWidth;
    left = std::clamp(left, available.left(), std::max(available.left(), available.right() + 1 - outerWidth));
    const int top =
        std::clamp(anchorFrame.top(), available.top(), std::max(available.top(), available.bottom() + 1 - outerHeight));
    window.move(left, top);
}
