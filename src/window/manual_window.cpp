#include "window/manual_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "state/constants.h"
#include "window/kept_window.h"

// The guide is compiled into the window library; a static library's resources are
// registered by hand.
static void registerManualResource() { Q_INIT_RESOURCE(manual); }

namespace trelvan {

QString manualText() {
    registerManualResource();
    QFile file(QStringLiteral(":/manual/manual.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

ManualWindow::ManualWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ManualWindow"));
    setWindowTitle(QString::fromUtf8(programTitle) + QStringLiteral(" 使用说明"));
    setModal(false);

    browser_ = new QTextBrowser;
    browser_->setObjectName(QStringLiteral("ManualText"));
    browser_->setOpenLinks(false);  // the guide links nowhere; nothing leaves the program
    browser_->setMarkdown(manualText());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_, 1);
    layout->addWidget(buttons);

    // About forty characters of Chinese wide and most of a laptop's screen high.
    const QFontMetrics metrics = browser_->fontMetrics();
    resize(metrics.horizontalAdvance(QStringLiteral("测")) * 44, metrics.lineSpacing() * 36);
}

ManualWindow* ManualWindow::openFor(QObject& owner) {
    auto* window = static_cast<ManualWindow*>(keptWindow(owner, QStringLiteral("ManualWindowKeeper"), [] {
        auto* made = new ManualWindow;
        made->setAttribute(Qt::WA_DeleteOnClose);
        return made;
    }));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace trelvan
