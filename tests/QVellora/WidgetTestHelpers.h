// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QChildEvent>
#include <QDrag>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Helpers for driving widgets that open modal windows or menus, shared by the widget tests.
namespace WidgetTestHelpers {

// Runs action, which may open a modal window or menu (found by openWidget once it shows). The
// window is handed to whileOpen and then closed, so that action returns. Returns whether it opened.
inline bool opensModal(const std::function<QWidget*()>& openWidget, const std::function<void()>& action,
                       const std::function<void(QWidget*)>& whileOpen = {})
{
    bool opened = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* open = openWidget();
        if (!open || !open->isVisible())
            return;
        opened = true;
        if (whileOpen)
            whileOpen(open);
        open->close();
    });
    poll.start();
    action();
    poll.stop();
    return opened;
}

// A mouse event sent straight to a widget; ignored presses and moves travel on to its parents as
// they would for a real mouse.
inline void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

// Catches the QDrag that a widget creates as its child (install it as the widget's event filter).
// The offscreen platform ends every drag at once, so the test takes the drag's MIME data and drops
// it on the target itself.
class DragCatcher : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            child = static_cast<QChildEvent*>(event)->child();
            children.append(child);
        }
        return false;
    }
    // The QDrag among the children; a child is still being built when it is added, so the type is
    // only known later. On a display server other children may come along.
    QDrag* drag() const
    {
        for (const QPointer<QObject>& added : children)
            if (auto* found = qobject_cast<QDrag*>(added.data()))
                return found;
        return nullptr;
    }
    QPointer<QObject> child;
    QList<QPointer<QObject>> children;
};

} // namespace WidgetTestHelpers
