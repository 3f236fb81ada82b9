#pragma once
// 帮助 ▸ 使用说明: the operator's guide, in Chinese, in a simple window that can stay
// open beside the main window while a chain is typed.

#include <QDialog>

class QTextBrowser;

namespace trelvan {

class ManualWindow : public QDialog {
    Q_OBJECT
public:
    explicit ManualWindow(QWidget* parent = nullptr);

    // The guide of `owner`'s window, made on first use and brought to the front.
    static ManualWindow* openFor(QObject& owner);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

// The guide's text as it is compiled into the program (Markdown).
QString manualText();

}  // namespace trelvan
