#include "window/kept_window.h"

#include <QPointer>
#include <QWidget>

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

}  // namespace

QWidget* keptWindow(QObject& owner, const QString& name, const std::function<QWidget*()>& make) {
    auto* keeper = owner.findChild<WindowKeeper*>(name, Qt::FindDirectChildrenOnly);
    if (keeper == nullptr) keeper = new WindowKeeper(owner, name);
    if (!keeper->window) keeper->window = make();
    return keeper->window;
}

}  // namespace trelvan

#include "kept_window.moc"
