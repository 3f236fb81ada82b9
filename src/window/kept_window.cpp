#include "window/kept_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QPointer>
#include <QSettings>
#include <QWidget>

#include "window/placement.h"
#include "window/qt_seams.h"

namespace trelvan {

namespace {

// A plain child of the owner that holds the window and deletes it with the owner.
class WindowKeeper : public QObject {
    Q_OBJECT
public:
    WindowKeeper(QObject& owner, const QString& name) : QObject(&owner) { setObjectName(name); }
    ~WindowKeeper() override { delete window; }
    QPointer<QWidget> window;
};

QString placeKey(const QWidget& window) { return QStringLiteral("windows/") + window.objectName(); }

// Keeps the place and size of the window it watches whenever the window is hidden
// or closed.
class PlaceKeeper : public QObject {
    Q_OBJECT
public:
    explicit PlaceKeeper(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close) {
            // Where its frame stands, and its size within the frame.
            const auto* window = static_cast<QWidget*>(watched);
            programSettings().setValue(placeKey(*window), QRect(window->pos(), window->size()));
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

QWidget* keptWindow(QObject& owner, const QString& name, const std::function<QWidget*()>& make) {
    auto* keeper = owner.findChild<WindowKeeper*>(name, Qt::FindDirectChildrenOnly);
    if (keeper == nullptr) keeper = new WindowKeeper(owner, name);
    if (!keeper->window) keeper->window = make();
    return keeper->window;
}

void placeKept(QWidget& window, const std::function<QRect(const QWidget& window)>& place) {
    const QMargins margins = windowFrame(&window);
    const QRect kept = programSettings().value(placeKey(window)).toRect();
    QRect frame;
    if (kept.isValid()) {
        // Wholly on the screen it was left on, or on the first one when that one is gone.
        const QScreen* screen = QGuiApplication::screenAt(kept.center());
        if (screen == nullptr) screen = QGuiApplication::primaryScreen();
        frame = QRect(kept.topLeft(), kept.size().grownBy(margins));
        if (screen != nullptr) frame = onScreen(frame, screen->availableGeometry());
    } else {
        frame = place(window);
    }
    window.move(frame.topLeft());
    window.resize(frame.size().shrunkBy(margins));
    if (window.findChild<PlaceKeeper*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) new PlaceKeeper(window);
}

}  // namespace trelvan

#include "kept_window.moc"
