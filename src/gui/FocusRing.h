#pragma once
// A clearly visible mark around the control that has the keyboard focus in one window: a ring two
// pixels wide, drawn a little outside the control so it hides nothing. The style's own focus mark is
// a faint line that is lost on a button or the dark mode band. The ring is dark on a light
// background and light on a dark one, at least 3:1 against either.
#include <QPointer>
#include <QWidget>

class FocusRing : public QWidget {
  public:
    explicit FocusRing(QWidget& window);

    // The control the ring stands around now; nullptr while the focus is outside the window.
    const QWidget* Target() const { return target_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Follow(QWidget* focused);
    void Place();

    QWidget& window_;
    QPointer<QWidget> target_;
};
