#pragma once
// Entering a key as the user does: cmdQuickKey opens the modal key-entry window, the key is typed
// there and one of its buttons leaves it. Used by the window tests and the screenshot program.
#include "gui/frmKeyboardWithDisplay.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace key_entry {

// Runs `inside` while the key-entry window is open; `opener` is the click that should open it.
// Returns whether the window opened at all. A window left open is cancelled, so nothing hangs.
inline bool WithKeyWindow(QWidget& mainWindow, const std::function<void(frmKeyboardWithDisplay&)>& inside,
                          const std::function<void()>& opener)
{
    bool opened = false;
    QTimer::singleShot(0, &mainWindow, [&] {
        auto* keyWindow = qobject_cast<frmKeyboardWithDisplay*>(QApplication::activeModalWidget());
        if (keyWindow == nullptr)
            return;
        opened = true;
        inside(*keyWindow);
        if (keyWindow->isVisible())
            keyWindow->reject();
    });
    opener();
    return opened;
}

inline void Type(frmKeyboardWithDisplay& keyWindow, const QString& key)
{
    QTest::keyClicks(keyWindow.findChild<QLineEdit*>(QStringLiteral("txbKey")), key);
}

inline void Press(frmKeyboardWithDisplay& keyWindow, const char* buttonName)
{
    QTest::mouseClick(keyWindow.findChild<QPushButton*>(QLatin1String(buttonName)), Qt::LeftButton);
}

// Types `key` into the key-entry window that cmdQuickKey opens and leaves it by `leaveBy`; whether
// the window opened.
inline bool EnterKey(QWidget& mainWindow, const QString& key, const char* leaveBy = "cmdYes")
{
    return WithKeyWindow(
        mainWindow,
        [&](frmKeyboardWithDisplay& keyWindow) {
            Type(keyWindow, key);
            Press(keyWindow, leaveBy);
        },
        [&] { QTest::mouseClick(mainWindow.findChild<QPushButton*>(QStringLiteral("cmdQuickKey")), Qt::LeftButton); });
}

} // namespace key_entry
