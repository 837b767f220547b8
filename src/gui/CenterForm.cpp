#include "gui/CenterForm.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

void CenterForm(QWidget& form)
{
    const QScreen* screen = form.screen() != nullptr ? form.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    const QRect frame = form.frameGeometry();
    form.move(available.left() + (available.width() - frame.width()) / 2,
              available.top() + (available.height() - frame.height()) / 2);
}
