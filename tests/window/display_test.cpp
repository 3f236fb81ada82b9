// The window as a display: boxes that cannot be typed into but can be copied from,
// the focus on 平差计算, whole values as tooltips, captions that stand on the lines,
// buttons in their own colours, and Qt's dialogs in Chinese.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "window/main_form.h"
#include "window/qt_seams.h"

namespace trelvan {
namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

template <class T = QWidget>
T* control(const MainForm& form, const char* name) {
    T* found = form.sheet()->findChild<T*>(u(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Whatever the operator types, pastes, cuts, deletes or undoes in a box, its text
// stays; selecting and copying it still works.
TEST(Display, TypingIntoATextBoxChangesNothing) {
    MainForm form;
    LineEditBoxes boxes;
    const std::pair<int, const char*> values[] = {{1, " 3452118.406"}, {11, " K07"}, {24, " 4.66毫米"}, {26, ""}};
    for (const auto& [box, text] : values) {
        auto* edit = control<QLineEdit>(form, ("Text" + std::to_string(box)).c_str());
        ASSERT_NE(edit, nullptr);
        boxes.attach(box, edit);
        boxes.setText(box, text);
        edit->setFocus();
        QApplication::clipboard()->setText(u("999"));
        QTest::keyClicks(edit, u("12.5"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), u(text)) << "Text" << box;
        if (*text == '\0') continue;
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), u(text)) << "Text" << box;
    }
}

TEST(Display, TheFocusStartsOnCompute) {
    MainForm form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), u("Command1"));
}

// A value wider than its box shows whole as the box's tooltip; one that fits has
// none, also after a wider one.
TEST(Display, ACutValueShowsWholeAsTheTooltip) {
    MainForm form;
    LineEditBoxes boxes;
    struct Case {
        int box;
        std::string text;
        bool cut;
    } cases[] = {
        {24, " 1441.04毫米", true}, {24, " 4.66毫米", false},
        {15, "-408.67秒", false},    {15, "-12345678.12秒", true},
        {11, " K07", false},        {11, " 第三号山顶上的三角点旁的水准点", true},
    };
    for (const Case& c : cases) {
        auto* edit = control<QLineEdit>(form, ("Text" + std::to_string(c.box)).c_str());
        ASSERT_NE(edit, nullptr);
        boxes.attach(c.box, edit);
        boxes.setText(c.box, c.text);
        EXPECT_EQ(edit->toolTip().toStdString(), c.cut ? c.text : "") << c.text;
    }
    // A name as long as a reply may be: the tooltip stays a block of readable lines.
    const std::string huge = " " + std::string(65536, 'x');
    boxes.setText(11, huge);
    const QString tip = control<QLineEdit>(form, "Text11")->toolTip();
    EXPECT_TRUE(tip.startsWith(u(huge.substr(0, 100).c_str())));
    EXPECT_LE(tip.count(QLatin1Char('\n')), 40);
    EXPECT_EQ(control<QLineEdit>(form, "Text11")->text().size(), static_cast<qsizetype>(huge.size()));
}

// A caption of the diagram stands on its line: within the caption's box the form
// shows exactly what the caption alone shows, no line drawn across it.
TEST(Display, CaptionsStandOnTheLinesOfTheDiagram) {
    MainForm form;
    const QImage sheet = form.sheet()->grab().toImage();
    for (const char* name : {"Label50", "Label72", "Label74", "Label76", "Label79", "Label39", "Label52"}) {
        auto* label = control<QLabel>(form, name);
        ASSERT_NE(label, nullptr);
        const QImage alone = label->grab().toImage().convertToFormat(sheet.format());
        const qreal scale = sheet.devicePixelRatio();
        const QRect area(label->geometry().topLeft() * scale, alone.size());
        EXPECT_EQ(sheet.copy(area), alone) << name << " " << label->text().toStdString();
    }
}

// The faces of the buttons are exactly their colours, not lightened by the style.
TEST(Display, ButtonsShowTheirExactColours) {
    MainForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const std::pair<const char*, QColor> faces[] = {
        {"Command1", QColor(255, 255, 128)}, {"Command2", QColor(255, 255, 128)}, {"Command3", QColor(192, 192, 255)}};
    for (const auto& [name, colour] : faces) {
        auto* button = control<QPushButton>(form, name);
        ASSERT_NE(button, nullptr);
        const QImage face = button->grab().toImage();
        int exact = 0;
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x) exact += face.pixelColor(x, y).rgb() == colour.rgb();
        EXPECT_GT(exact, face.width() * face.height() * 6 / 10) << name;
    }
}

// Qt's own texts come in Chinese, whatever the desktop's language.
TEST(Display, StandardDialogsSpeakChinese) {
    const std::pair<const char*, const char*> texts[] = {
        {"OK", "确定"}, {"Cancel", "取消"}, {"&Yes", "是(&Y)"}, {"&No", "否(&N)"}, {"Save", "保存"}};
    for (const auto& [english, chinese] : texts)
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", english), u(chinese)) << english;
}

// A refusal or failure is a warning; a success reads as information; both close
// with 确定.
TEST(Display, MessagesWarnOrInform) {
    MainForm form;
    MessageBoxMessages messages(&form);
    struct Seen {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text, button;
    } seen;
    const auto answer = [&] {
        QTimer::singleShot(20, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = {box->icon(), box->text(), box->button(QMessageBox::Ok)->text()};
            box->accept();
        });
    };
    answer();
    messages.say("输入的不是一个数，请重新输入。");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.text, u("输入的不是一个数，请重新输入。"));
    EXPECT_EQ(seen.button.remove(QLatin1Char('&')), u("确定"));
    answer();
    messages.inform("报告已保存为 /tmp/报告.pdf");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.text, u("报告已保存为 /tmp/报告.pdf"));
}

}  // namespace
}  // namespace trelvan
