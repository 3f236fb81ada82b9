#include "window/qt_seams.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

#include "state/constants.h"
#include "window/check_marks.h"

namespace trelvan {

namespace {

// A window system's usual frame, for a window that has not been shown yet: a title
// bar above, thin borders elsewhere.
constexpr QMargins usualFrame{4, 30, 4, 4};

// The scene of a window that says nothing about its surroundings: keep clear of the
// window itself where the screen allows.
InputBoxScene plainScene(const QWidget* parent) {
    InputBoxScene scene;
    const QWidget* window = parent != nullptr ? parent->window() : nullptr;
    const QScreen* screen = window != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    scene.screen = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    scene.window = window != nullptr ? window->frameGeometry() : QRect(scene.screen.center(), QSize(1, 1));
    return scene;
}

// Tooltips of very long texts are broken into lines, so that the tip stays a
// readable block on the screen instead of one line many screens wide, and end after
// a few thousand characters: the box itself holds the whole text, to select and copy.
constexpr int tipLineLength = 100;
constexpr int tipLines = 40;

QString tipFor(const QString& text) {
    if (text.size() <= tipLineLength) return text;
    QString tip;
    int at = 0;
    for (int line = 0; line < tipLines && at < text.size(); ++line) {
        int end = std::min<int>(at + tipLineLength, text.size());
        if (end < text.size() && text.at(end).isLowSurrogate()) --end;  // keep pairs whole
        if (!tip.isEmpty()) tip += QLatin1Char('\n');
        tip += text.mid(at, end - at);
        at = end;
    }
    if (at < text.size()) tip += QStringLiteral("…");
    return tip;
}

// The width a line edit shows its text in: its contents less the frame and the
// margins it keeps on either side of the text.
int textRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    constexpr int sideMargin = 2;  // the line edit's own, beside the text
    return contents.width() - margins.left() - margins.right() - 2 * sideMargin;
}

void showMessage(QWidget* parent, QMessageBox::Icon icon, const std::string& message) {
    QMessageBox box(icon, QString::fromUtf8(programTitle), QString::fromStdString(message),
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

QString chooseOpenFile(QWidget* parent, const QString& title, const QStringList& filters,
                       const QString& folder) {
    QFileDialog dialog(parent, title, folder.isEmpty() ? QDir::homePath() : folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QSettings programSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(programTitle),
                     QString::fromUtf8(programTitle));
}

bool askYesNo(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QString::fromUtf8(programTitle), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

QString chooseSaveFile(QWidget* parent, const QString& title, const QStringList& filters,
                       const QString& suggested) {
    // "svg" of "SVG 矢量图 (*.svg)".
    const auto suffixOf = [](const QString& filter) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
        return m.hasMatch() ? m.captured(1) : QString();
    };
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixOf(filters.value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QMargins windowFrame(const QWidget* window) {
    if (window == nullptr || !window->isVisible()) return usualFrame;
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

Reply InputBoxPrompter::open(const std::string& prompt, int box, bool pause) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(QString::fromUtf8(programTitle));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString());
    if (auto* label = dialog.findChild<QLabel*>()) {
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
    }
    // Let an over-long paste through whole, so that the dialogue refuses it with a
    // message instead of the field cutting it short without a word.
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(static_cast<int>(maxReplyBytes) + 1);

    // The box's height is what its prompt needs at its narrowest; its frame is taken
    // to be the window's, which the same window system draws.
    const QMargins frame = windowFrame(parent_ != nullptr ? parent_->window() : nullptr);
    const InputBoxScene scene = scene_ ? scene_(box, pause) : plainScene(parent_);
    const QRect place =
        placeInputBox(scene, QSize(inputBoxWidth, dialog.sizeHint().height() + frame.top() + frame.bottom()));
    dialog.resize(place.size().shrunkBy(frame));
    dialog.move(place.topLeft());

    if (dialog.exec() != QDialog::Accepted) return Reply::cancel();
    return Reply::typed(dialog.textValue().toStdString());
}

void MessageBoxMessages::say(const std::string& message) { show(QMessageBox::Warning, message); }

void MessageBoxMessages::inform(const std::string& message) { show(QMessageBox::Information, message); }

void MessageBoxMessages::show(int icon, const std::string& message) {
    if (!scene_) {
        showMessage(parent_, static_cast<QMessageBox::Icon>(icon), message);
        return;
    }
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), QString::fromUtf8(programTitle),
                    QString::fromStdString(message), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    const QMargins frame = windowFrame(parent_ != nullptr ? parent_->window() : nullptr);
    const QSize size = box.sizeHint().grownBy(frame);
    box.move(placeInputBox(scene_(), size).topLeft());
    box.exec();
}

void LineEditBoxes::attach(int box, QLineEdit* edit) {
    if (box >= 1 && box < static_cast<int>(edits_.size())) edits_[box] = edit;
}

QLineEdit* LineEditBoxes::edit(int box) const {
    return box >= 1 && box < static_cast<int>(edits_.size()) ? edits_[box] : nullptr;
}

void LineEditBoxes::setText(int box, const std::string& text) {
    QLineEdit* edit = this->edit(box);
    if (edit == nullptr) return;
    const QString shown = QString::fromStdString(text);
    edit->setText(shown);
    edit->setCursorPosition(0);
    const bool cut = edit->fontMetrics().horizontalAdvance(shown) > textRoom(edit);
    edit->setToolTip(cut ? tipFor(shown) : QString());
    clearMark(edit);
}

void HeldTexts::release() {
    held_ = false;
    for (std::size_t box = 1; box < pending_.size(); ++box) {
        if (!pending_[box]) continue;
        shown_.setText(static_cast<int>(box), *pending_[box]);
        pending_[box].reset();
    }
}

void HeldTexts::setText(int box, const std::string& text) {
    if (held_ && box >= 1 && box < static_cast<int>(pending_.size())) {
        pending_[static_cast<std::size_t>(box)] = text;
        return;
    }
    shown_.setText(box, text);
}

void HeldTexts::actionEnded(bool completed) {
    // Before the action's closing message: the boxes show what they hold by then.
    release();
    shown_.actionEnded(completed);
}

}  // namespace trelvan
