#pragma once
// Answers the real modal input boxes as an operator would, one step per box that
// opens: type a reply and press Enter, or press Cancel. Gives up after a bound and
// then cancels whatever opens, so that a stuck dialogue fails instead of hanging.

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace trelvan {

class Operator : public QObject {
public:
    struct Step {
        bool cancel;
        QString reply;
    };
    explicit Operator(std::vector<Step> steps) : steps_(std::move(steps)) {
        connect(&timer_, &QTimer::timeout, this, &Operator::look);
        timer_.start(5);
        clock_.start();
    }

    // Noted for each box that opens, in order.
    std::vector<std::string> prompts;
    std::vector<QRect> frames;       // where the box stands on the screen
    std::vector<std::string> seen;   // what `watch` said then
    std::function<std::string()> watch;
    std::function<void(QInputDialog*)> onBox;  // looks at each box before it is answered

    std::vector<std::string> faults;
    bool sawBoxWithTitle = true, sawEmptyField = true, sawWrapping = true, sawButtons = true;

private:
    void look() {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        auto* field = box->findChild<QLineEdit*>();
        auto* buttons = box->findChild<QDialogButtonBox*>();
        auto* label = box->findChild<QLabel*>();
        prompts.push_back(box->labelText().toStdString());
        frames.push_back(box->frameGeometry());
        if (watch) seen.push_back(watch());
        if (onBox) onBox(box);
        sawBoxWithTitle = sawBoxWithTitle && box->windowTitle() == QStringLiteral("Trelvan");
        sawEmptyField = sawEmptyField && field != nullptr && field->text().isEmpty();
        sawWrapping = sawWrapping && label != nullptr && label->wordWrap();
        sawButtons = sawButtons && buttons != nullptr && buttons->button(QDialogButtonBox::Ok) &&
                     buttons->button(QDialogButtonBox::Cancel);
        if (next_ >= steps_.size() || clock_.elapsed() > 20000) {
            faults.push_back("unexpected or late box: " + prompts.back());
            box->reject();
            return;
        }
        const Step step = steps_[next_++];
        if (step.cancel) {
            buttons->button(QDialogButtonBox::Cancel)->click();
            return;
        }
        field->setFocus();
        QTest::keyClicks(field, step.reply);
        QTest::keyClick(field, Qt::Key_Return);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QTimer timer_;
    QElapsedTimer clock_;
};

}  // namespace trelvan
