#include "gui/WorkInputGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool IsFocusKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
}

} // namespace

WorkInputGuard::WorkInputGuard(QWidget& window, QList<const QWidget*> passThrough, std::function<void()> onEscape)
    : QObject(&window), window_(window), passThrough_(std::move(passThrough)), onEscape_(std::move(onEscape))
{
}

void WorkInputGuard::Engage()
{
    QCoreApplication::instance()->installEventFilter(this);
}

void WorkInputGuard::Release()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool WorkInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &window_ || !IsUserInput(event->type()))
        return false;
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            if (event->type() == QEvent::KeyPress && onEscape_)
                onEscape_();
            return true;
        }
        if (IsFocusKey(key))
            return false;
    }
    return !passThrough_.contains(widget);
}
