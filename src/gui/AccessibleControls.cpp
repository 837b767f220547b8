#include "gui/AccessibleControls.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// The name set for the control, else what `fallback` gives.
QString NameOr(const QWidget* widget, const QString& fallback)
{
    const QString name = widget->accessibleName();
    return name.isEmpty() ? fallback : name;
}

class LinkAccessible : public QAccessibleWidget {
  public:
    explicit LinkAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return NameOr(widget(), Link()->text());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& action) override
    {
        if (action == pressAction())
            Link()->activate();
        else
            QAccessibleWidget::doAction(action);
    }

  private:
    LinkLabel* Link() const { return static_cast<LinkLabel*>(widget()); }
};

// Its one child is the list that drops down, as with Qt's own combo box.
class LabelledComboAccessible : public QAccessibleWidget {
  public:
    explicit LabelledComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return NameOr(widget(), QAccessibleWidget::text(t));
        if (t == QAccessible::Value)
            return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() == Combo()->view() ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Combo()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            Combo()->view()->isVisible() ? Combo()->hidePopup() : Combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

  private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* ControlInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(LinkLabel::staticMetaObject.className()))
        return new LinkAccessible(static_cast<LinkLabel*>(object));
    if (className == QLatin1String(LabelledComboBox::staticMetaObject.className()))
        return new LabelledComboAccessible(static_cast<LabelledComboBox*>(object));
    return nullptr;
}

void InstallInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlInterface);
        return true;
    }();
    (void)installed;
}

bool IsActivationKey(const QKeyEvent* event)
{
    const int key = event->key();
    return event->modifiers() == Qt::NoModifier &&
           (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space);
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    InstallInterfaces();
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
}

void LinkLabel::activate()
{
    emit activated();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        activate();
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (IsActivationKey(event)) {
        activate();
        return;
    }
    QLabel::keyPressEvent(event);
}

LabelledComboBox::LabelledComboBox(QWidget* parent) : QComboBox(parent)
{
    InstallInterfaces();
}
