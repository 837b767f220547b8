#include "gui/FitToScreen.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// How long after showing the window the real frame may still arrive from the window manager.
constexpr int FrameSettleMs = 3000;

const QScreen* ScreenOf(const QWidget& window)
{
    return window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
}

// A title bar and borders as large as a desktop draws them, or larger.
QMargins GuessedFrame(const QWidget& window)
{
    const int border = std::max(4, window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth));
    const int titleBar =
        std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight), window.fontMetrics().height() * 2);
    return {border, titleBar + border, border, border};
}

void Fit(QWidget& window, const QSize& wanted, const QMargins& frame)
{
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr)
        return;
    const QRect placed = FitIntoArea(screen->availableGeometry(), wanted, window.minimumSize(), frame);
    window.resize(placed.size());
    // A top-level window's position is that of its frame.
    window.move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

// Fits the window again once its real frame is known, if with it the window would reach past the
// screen's free area. It only acts while the window manager settles; what the user does to the
// window afterwards is left alone.
class RefitWhenFramed : public QObject {
  public:
    explicit RefitWhenFramed(QWidget& window) : QObject(&window), window_(&window)
    {
        window.installEventFilter(this);
        QTimer::singleShot(FrameSettleMs, this, &QObject::deleteLater);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == window_ && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
            RefitIfOutside();
        return QObject::eventFilter(watched, event);
    }

  private:
    void RefitIfOutside()
    {
        const QScreen* screen = ScreenOf(*window_);
        const QWindow* handle = window_->windowHandle();
        if (screen == nullptr || handle == nullptr || !window_->isVisible())
            return;
        const QMargins frame = handle->frameMargins();
        if (frame.isNull() || screen->availableGeometry().contains(window_->frameGeometry()))
            return;
        // Never larger than it is now: only what reaches past the screen is taken back.
        Fit(*window_, window_->size(), frame);
    }

    QPointer<QWidget> window_;
};

} // namespace

QRect FitIntoArea(const QRect& available, const QSize& wanted, const QSize& minimum, const QMargins& frame)
{
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = wanted.boundedTo(room).expandedTo(minimum);
    return {available.topLeft() + QPoint(frame.left(), frame.top()), size};
}

void FitToScreen(QWidget& window, const QSize& wanted)
{
    Fit(window, wanted, GuessedFrame(window));
    new RefitWhenFramed(window);
}
