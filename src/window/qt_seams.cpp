#include "window/qt_seams.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "state/constants.h"

namespace trelvan {

namespace {

// Wide enough that the longest prompts (the orientation-angle explanations) wrap
// into a few readable lines instead of one line across the screen.
constexpr int inputBoxWidth = 520;

}  // namespace

Reply InputBoxPrompter::ask(const std::string& prompt) {
    QInputDialog box(parent_);
    box.setWindowTitle(QString::fromUtf8(programTitle));
    box.setInputMode(QInputDialog::TextInput);
    box.setLabelText(QString::fromStdString(prompt));
    box.setTextValue(QString());
    if (auto* label = box.findChild<QLabel*>()) {
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
    }
    // Let an over-long paste through whole, so that the dialogue refuses it with a
    // message instead of the field cutting it short without a word.
    // The box's layout sizes it to its contents, so the field sets its width.
    if (auto* edit = box.findChild<QLineEdit*>()) {
        edit->setMaxLength(static_cast<int>(maxReplyBytes) + 1);
        edit->setMinimumWidth(inputBoxWidth);
    }
    if (box.exec() != QDialog::Accepted) return Reply::cancel();
    return Reply::typed(box.textValue().toStdString());
}

void MessageBoxMessages::say(const std::string& message) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(programTitle),
                    QString::fromStdString(message), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void LineEditBoxes::attach(int box, QLineEdit* edit) {
    if (box >= 1 && box < static_cast<int>(edits_.size())) edits_[box] = edit;
}

void LineEditBoxes::setText(int box, const std::string& text) {
    if (box < 1 || box >= static_cast<int>(edits_.size()) || edits_[box] == nullptr) return;
    QLineEdit* edit = edits_[box];
    edit->setText(QString::fromStdString(text));
    edit->setCursorPosition(0);
}

}  // namespace trelvan
