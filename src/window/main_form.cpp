#include "window/main_form.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <string_view>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "adjustment/compute.h"
#include "window/layout.h"
#include "window/print_action.h"

namespace trelvan {

namespace {

QColor toColor(layout::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// The font a control names. Captions in "MS Sans Serif" are mostly Chinese, and
// that face has no Chinese: their Chinese comes from the Song face instead of
// whatever face the system would pick.
QFont toFont(const layout::FontSpec& spec) {
    QFont font;
    QStringList families{QString::fromUtf8(spec.family)};
    if (std::string_view(spec.family) == "MS Sans Serif") families << QStringLiteral("宋体");
    font.setFamilies(families);
    font.setPointSizeF(spec.points);
    font.setBold(spec.bold);
    return font;
}

void applyFont(QWidget* widget, const layout::FontSpec& spec) {
    if (spec.family != nullptr) widget->setFont(toFont(spec));
}

// A text long enough never to be cut short in a text box: a point name may be as
// long as a reply may be.
constexpr int textBoxMaxLength = 1 << 20;

// Keeps a flag set while an action runs, and clears it however the action ends.
class Busy {
public:
    explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
    ~Busy() { flag_ = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
};

}  // namespace

LineControl::LineControl(QWidget* parent, QPoint from, QPoint to, QColor colour, int width)
    : QWidget(parent), from_(from), to_(to), colour_(colour), width_(width) {
    const int pad = width_;
    setGeometry(QRect(from_, to_).normalized().adjusted(-pad, -pad, pad, pad));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Slanted lines are smoothed; the frame stays crisp.
    if (from_.x() != to_.x() && from_.y() != to_.y()) painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(from_ - pos(), to_ - pos());
}

MainForm::MainForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainForm"));
    dpi_ = logicalDpiX() > 0 ? logicalDpiX() : 96;
    buildSheet();
}

MainForm::~MainForm() = default;

int MainForm::pixels(int twips) const {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi_ / 1440.0));
}

void MainForm::buildSheet() {
    setWindowTitle(QString::fromUtf8(layout::window.caption));
    QPalette sheet = palette();
    sheet.setColor(QPalette::Window, toColor(layout::window.background));
    setPalette(sheet);
    setAutoFillBackground(true);
    setFont(toFont(layout::window.font));
    resize(pixels(layout::window.width), pixels(layout::window.height));

    // Edges are converted, not sizes, so that controls that touch in twips touch
    // on the screen too.
    const auto rect = [this](int left, int top, int width, int height) {
        return QRect(QPoint(pixels(left), pixels(top)),
                     QPoint(pixels(left + width) - 1, pixels(top + height) - 1));
    };

    const auto addLabel = [&](const layout::LabelSpec& spec) {
        auto* label = new QLabel(QString::fromUtf8(spec.caption), this);
        label->setObjectName(QString::fromUtf8(spec.name));
        label->setTextFormat(Qt::PlainText);
        applyFont(label, spec.font);
        switch (spec.align) {
            case layout::Align::Natural:
                label->move(pixels(spec.left), pixels(spec.top));
                label->adjustSize();
                return;
            case layout::Align::Left: label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
            case layout::Align::Bottom: label->setAlignment(Qt::AlignLeft | Qt::AlignBottom); break;
            case layout::Align::Right: label->setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
            case layout::Align::Wrap:
                label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
                label->setWordWrap(true);
                break;
        }
        QRect box = rect(spec.left, spec.top, spec.width, spec.height);
        // A caption on two lines keeps its bottom on the box it describes and grows
        // upwards when the face on this machine needs more than the given height.
        if (spec.align == layout::Align::Wrap)
            box.setTop(std::min(box.top(), box.bottom() + 1 - label->heightForWidth(box.width())));
        label->setGeometry(box);
    };

    // Captionless labels first, so that they lie under everything else; then the
    // lines, the labels, the text boxes and the buttons.
    for (const auto& spec : layout::labels)
        if (*spec.caption == '\0') addLabel(spec);

    for (const auto& spec : layout::lines) {
        auto* line = new LineControl(this, QPoint(pixels(spec.x1), pixels(spec.y1)),
                                     QPoint(pixels(spec.x2), pixels(spec.y2)),
                                     toColor(spec.colour), spec.width);
        line->setObjectName(QString::fromUtf8(spec.name));
    }

    for (const auto& spec : layout::labels)
        if (*spec.caption != '\0') addLabel(spec);

    for (const auto& spec : layout::textBoxes) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf8(spec.name));
        applyFont(edit, spec.font);
        edit->setMaxLength(textBoxMaxLength);
        edit->setGeometry(rect(spec.left, spec.top, spec.width, spec.height));
        boxes_.attach(std::stoi(std::string(spec.name).substr(4)), edit);
    }

    for (const auto& spec : layout::buttons) {
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), this);
        button->setObjectName(QString::fromUtf8(spec.name));
        applyFont(button, spec.font);
        QPalette face = button->palette();
        face.setColor(QPalette::Button, toColor(spec.background));
        button->setPalette(face);
        button->setGeometry(rect(spec.left, spec.top, spec.width, spec.height));
    }

    // The whole sheet shows at once, even where this machine's faces are wider
    // than the sheet was drawn for.
    const QRect used = childrenRect();
    const int margin = pixels(120);
    resize(std::max(width(), used.right() + 1 + margin), std::max(height(), used.bottom() + 1 + margin));

    connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &MainForm::Command1_Click);
    connect(findChild<QPushButton*>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            &MainForm::Command2_Click);
    connect(findChild<QPushButton*>(QStringLiteral("Command3")), &QPushButton::clicked, this,
            &MainForm::Command3_Click);
}

void MainForm::setPrompter(Prompter* prompter) {
    prompter_ = prompter != nullptr ? prompter : &ownPrompter_;
}

void MainForm::setMessages(Messages* messages) {
    messages_ = messages != nullptr ? messages : &ownMessages_;
}

void MainForm::Command1_Click() {
    if (busy_) return;
    Busy busy(busy_);
    try {
        trelvan::Command1_Click(record_, *prompter_, boxes_, *messages_);
    } catch (const std::exception& e) {
        // The record of the last completed computation is still whole: the action
        // replaces it only when it completes.
        messages_->say(std::string("计算中出现意外错误，本次计算没有完成：") + e.what());
    }
}

void MainForm::Command2_Click() { close(); }

void MainForm::Command3_Click() {
    if (busy_) return;
    Busy busy(busy_);
    try {
        trelvan::Command3_Click(this, record_, *messages_, printHooks_);
    } catch (const std::exception& e) {
        messages_->say(std::string("打印中出现意外错误：") + e.what());
    }
}

void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

}  // namespace trelvan
