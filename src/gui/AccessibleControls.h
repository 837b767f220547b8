#pragma once
// Two controls whose kind a screen reader must hear but that Qt's own interfaces misname:
// - LinkLabel, a label that opens something when clicked or when Enter or Space is pressed on it,
//   heard as a link (not as static text) under its accessible name;
// - LabelledComboBox, a drop-down list heard under its accessible name (Qt on Linux names a combo
//   box by the entry chosen, so "English" would be read where "Language" is meant), its chosen entry
//   as its value.
#include <QComboBox>
#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent = nullptr);
    // What a click does: emits activated.
    void activate();

  signals:
    void activated();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class LabelledComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit LabelledComboBox(QWidget* parent = nullptr);
};
