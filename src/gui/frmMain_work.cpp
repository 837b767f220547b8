// The main window while a command's pipeline works: the slow steps run on a worker thread while the
// click handler waits in a local event loop, so the window repaints and resizes, the busy indicator
// moves, and Quit (or Escape, or closing the window) stops the run and then quits. Everything else a
// user could start meanwhile is held back, so nothing runs beside the pipeline.
#include "gui/frmMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>

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

// Holds back the user's input to the main window while a command works, except for the Quit button,
// moving the focus, and Escape (which stops the run). Dialogs the pipeline shows are windows of their
// own and are not held back.
class WorkInputGuard : public QObject {
  public:
    explicit WorkInputGuard(frmMain& window) : QObject(&window), window_(window) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != &window_ || !IsUserInput(event->type()))
            return false;
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                if (event->type() == QEvent::KeyPress)
                    window_.StopWork();
                return true;
            }
            if (IsFocusKey(key))
                return false;
        }
        return widget != window_.cmdQuit;
    }

  private:
    frmMain& window_;
};

RunControl frmMain::BeginWork()
{
    RunStop.Reset();
    QuitAfterWork = false;
    CommandWorking = true;
    if (WorkGuard == nullptr)
        WorkGuard = new WorkInputGuard(*this);
    qApp->installEventFilter(WorkGuard);
    return {&SlowSteps, &RunStop};
}

bool frmMain::EndWork()
{
    qApp->removeEventFilter(WorkGuard);
    CommandWorking = false;
    prgWork->hide();
    const bool quit = QuitAfterWork;
    QuitAfterWork = false;
    return quit;
}

bool frmMain::Working() const
{
    return CommandWorking;
}

void frmMain::StopWork()
{
    if (!CommandWorking)
        return;
    RunStop.Request();
    QuitAfterWork = true;
}
