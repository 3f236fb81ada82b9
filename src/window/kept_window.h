#pragma once
// A window that belongs to another object without being its child window: so that
// neither always stands in front of the other (the main window comes to the front
// when its Compute button is pressed, and its input boxes with it), yet the window
// lives no longer than its owner.

#include <functional>

#include <QRect>
#include <QString>

class QObject;
class QWidget;

namespace trelvan {

// The window `owner` keeps under `name`: the one made earlier while it still exists
// (a window deleted on closing is made anew), else a new one from `make`. The owner
// deletes it when the owner is deleted.
QWidget* keptWindow(QObject& owner, const QString& name, const std::function<QWidget*()>& make);

// Puts `window` (not yet shown) where it was last left and at the size it had, kept in
// the user's settings under its object name, so that a window the operator has
// arranged opens there again, in this run and the next; the first time, where
// `place` puts its frame. Keeps its place and size each time it is hidden or closed.
void placeKept(QWidget& window, const std::function<QRect(const QWidget& window)>& place);

}  // namespace trelvan
