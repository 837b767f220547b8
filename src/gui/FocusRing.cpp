#include "gui/FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int RingWidth = 2;
constexpr int RingGap = 1; // between the control's edge and the ring
const QColor RingOnLight(0x00, 0x3C, 0xB4);
const QColor RingOnDark(0xFF, 0xD8, 0x40);

bool IsDark(const QColor& colour)
{
    return colour.lightnessF() < 0.5;
}

} // namespace

FocusRing::FocusRing(QWidget& window) : QWidget(&window), window_(window)
{
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

void FocusRing::Follow(QWidget* focused)
{
    if (target_ != nullptr)
        target_->removeEventFilter(this);
    target_ = focused != nullptr && focused != this && focused->window() == &window_ ? focused : nullptr;
    if (target_ == nullptr) {
        hide();
        return;
    }
    target_->installEventFilter(this);
    // A sibling of the control, so the ring moves and clips with it.
    setParent(target_->parentWidget());
    Place();
}

void FocusRing::Place()
{
    if (target_ == nullptr || !target_->isVisible()) {
        hide();
        return;
    }
    const int margin = RingWidth + RingGap;
    setGeometry(target_->geometry().adjusted(-margin, -margin, margin, margin));
    show();
    raise();
    update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == target_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            Place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*)
{
    const QWidget* ground = parentWidget() != nullptr ? parentWidget() : &window_;
    const QColor background = ground->palette().color(ground->backgroundRole());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(IsDark(background) ? RingOnDark : RingOnLight, RingWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal half = RingWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}
