#pragma once
// Holds back the user's input to one window while a command works there, so that nothing else starts
// beside the running pipeline. Let through: the controls that stop the work (the window's Stop and
// Quit), Tab and Shift+Tab (moving the focus), and Escape, which calls onEscape instead of reaching
// any control. Windows of their own (the dialogs the pipeline shows) are not held back.
#include <QList>
#include <QObject>

#include <functional>

class QWidget;

class WorkInputGuard : public QObject {
  public:
    WorkInputGuard(QWidget& window, QList<const QWidget*> passThrough, std::function<void()> onEscape);

    // Installed on the application while the work lasts (it sees every widget's events first).
    void Engage();
    void Release();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    QList<const QWidget*> passThrough_;
    std::function<void()> onEscape_;
};
