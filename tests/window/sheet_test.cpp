// The form sheet as the operator sees it. Every expected figure below was taken
// from the sheet's drawing (twips) and converted by hand at 15 twips per pixel.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>

#include "window/main_form.h"

namespace trelvan {
namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

template <class T>
QList<T*> named(const MainForm& form, const char* pattern) {
    QList<T*> found;
    const QRegularExpression re(u(pattern));
    for (T* child : form.sheet()->findChildren<T*>(QString(), Qt::FindDirectChildrenOnly))
        if (re.match(child->objectName()).hasMatch()) found << child;
    return found;
}

QSet<QString> namesOf(const auto& widgets) {
    QSet<QString> names;
    for (const auto* w : widgets) names << w->objectName();
    return names;
}

QSet<QString> numbered(const char* prefix, int first, int last, std::initializer_list<int> skip = {}) {
    QSet<QString> names;
    for (int i = first; i <= last; ++i)
        if (std::find(skip.begin(), skip.end(), i) == skip.end()) names << u(prefix) + QString::number(i);
    return names;
}

class Sheet : public ::testing::Test {
protected:
    MainForm form;
    template <class T = QWidget>
    T* control(const char* name) {
        T* found = form.sheet()->findChild<T*>(u(name), Qt::FindDirectChildrenOnly);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

TEST_F(Sheet, HasEveryControlOnceByName) {
    const auto edits = named<QLineEdit>(form, "^Text\\d+$");
    const auto labels = named<QLabel>(form, "^Label\\d+$");
    const auto lines = named<LineControl>(form, "^Line\\d+$");
    const auto buttons = named<QPushButton>(form, "^Command\\d+$");
    EXPECT_EQ(edits.size(), 32);
    EXPECT_EQ(labels.size(), 88);
    EXPECT_EQ(lines.size(), 32);
    EXPECT_EQ(buttons.size(), 3);
    EXPECT_EQ(namesOf(edits), numbered("Text", 1, 32));
    EXPECT_EQ(namesOf(labels), numbered("Label", 2, 90, {4}));
    EXPECT_EQ(namesOf(lines), numbered("Line", 1, 32));
    EXPECT_EQ(namesOf(buttons), numbered("Command", 1, 3));
}

// The sheet below the menu bar holds the whole layout; the window around it fits
// the screen (see screen_test.cpp).
TEST_F(Sheet, WindowShowsTheWholeSheetInPeach) {
    EXPECT_EQ(form.windowTitle(), u("Trelvan"));
    const QWidget* sheet = form.sheet();
    EXPECT_EQ(sheet->palette().color(QPalette::Window), QColor(255, 224, 192));
    EXPECT_GE(sheet->minimumWidth(), 904);   // 13560 twips
    EXPECT_GE(sheet->minimumHeight(), 673);  // 10100 twips
    const QRect whole(QPoint(0, 0), sheet->minimumSize());
    for (const QWidget* child : sheet->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(whole.contains(child->geometry())) << child->objectName().toStdString();
}

struct Box {
    const char* name;
    int x, y, width, height;  // pixels
};

TEST_F(Sheet, TextBoxesAndButtonsStandWhereTheSheetPutsThem) {
    const Box boxes[] = {
        {"Text1", 248, 192, 97, 18},    // 3720, 2880, 1455, 270
        {"Text10", 248, 288, 97, 17},   // 3720, 4320, 1455, 255
        {"Text32", 248, 360, 97, 19},   // 3720, 5400, 1455, 285
        {"Text26", 256, 560, 73, 18},   // 3840, 8400, 1095, 270
        {"Text9", 472, 200, 153, 18},   // 7080, 3000, 2295, 270
        {"Text15", 392, 296, 65, 18},   // 5880, 4440, 972 (64.8), 270
        {"Text24", 808, 352, 65, 18},   // 12120, 5280, 975, 270
        {"Text28", 472, 472, 121, 19},  // 7080, 7080, 1815, 285
        {"Text13", 712, 576, 97, 18},   // 10680, 8640, 1455, 270
        {"Command1", 520, 632, 65, 33}, // 7800, 9480, 975, 495
        {"Command2", 608, 632, 65, 33}, // 9120, 9480
        {"Command3", 696, 632, 65, 33}, // 10440, 9480
        {"Label11", 168, 496, 81, 25},  // 2520, 7440, 1215, 375
        {"Label18", 824, 320, 25, 17},  // 12360, 4800, 375, 255
    };
    for (const Box& b : boxes) {
        const QWidget* w = control(b.name);
        if (w == nullptr) continue;
        EXPECT_EQ(w->geometry(), QRect(b.x, b.y, b.width, b.height)) << b.name;
    }
}

TEST_F(Sheet, PositionedCaptionsReadAsDrawn) {
    struct Caption {
        const char* name;
        const char* text;
        int x, y;
    };
    const Caption captions[] = {
        {"Label2", "( 已知点座标 )", 256, 176},     // 3840, 2640
        {"Label57", "（精 度 统 计）", 568, 248},   // 8520, 3720
        {"Label70", "( 计 算 结 果 )", 600, 536},   // 9000, 8040
        {"Label16", "三角形个数说明", 496, 184},   // 7440, 2760
        {"Label83", "外方向点      Pta", 160, 48},    // 2400, 720
        {"Label86", "[ Xp2,Yp2  ]", 816, 64},    // 12240, 960
        {"Label51", "-S2", 304, 128},   // 4560, 1920
        {"Label81", "S(2n+1)", 704, 88},    // 10560, 1320
        {"Label49", "N-1", 656, 128},   // 9840, 1920
    };
    for (const Caption& c : captions) {
        const auto* label = control<QLabel>(c.name);
        if (label == nullptr) continue;
        EXPECT_EQ(label->text(), u(c.text)) << c.name;
        EXPECT_EQ(label->pos(), QPoint(c.x, c.y)) << c.name;
    }
    const auto* command1 = control<QPushButton>("Command1");
    const auto* command3 = control<QPushButton>("Command3");
    ASSERT_TRUE(command1 && command3);
    EXPECT_EQ(command1->text(), u("平差计算"));
    EXPECT_EQ(command3->text(), u("打 印"));
}

TEST_F(Sheet, CaptionsOfTheTextBoxesCarryTheirBlanks) {
    const std::pair<const char*, const char*> captions[] = {
        {"Label5", " A 点纵座标 Xa"},   {"Label87", "方向点a 纵座标 Xpa"}, {"Label69", "测边限差 Ms"},
        {"Label19", " wb"}, {"Label61", "   单位权      测角中误差"}, {"Label64", "     单位权        纵座标中误差 "},
        {"Label63", "纵座标权倒数 "}, {"Label31", "说明说明"}, {"Label55", "未知点横座标"},
    };
    for (const auto& [name, text] : captions) {
        const auto* label = control<QLabel>(name);
        if (label == nullptr) continue;
        EXPECT_EQ(label->text(), u(text)) << name;
    }
    for (const char* blank : {"Label11", "Label12", "Label18"}) {
        const auto* label = control<QLabel>(blank);
        if (label == nullptr) continue;
        EXPECT_TRUE(label->text().isEmpty()) << blank;
    }
}

TEST_F(Sheet, FontsAndColours) {
    struct Face {
        const char* name;
        const char* family;
        double points;
        bool bold;
    };
    const Face faces[] = {
        {"Text1", "宋体", 9, true},          {"Text28", "MS Sans Serif", 8.25, true},
        {"Text29", "MS Sans Serif", 8.25, true}, {"Command1", "宋体", 9, true},
        {"Command3", "MS Sans Serif", 8.25, true}, {"Label2", "MS Sans Serif", 9.75, true},
        {"Label57", "MS Sans Serif", 12, true}, {"Label42", "MS Sans Serif", 12, true},
        {"Label39", "MS Sans Serif", 9.75, true}, {"Label50", "MS Sans Serif", 8.25, true},
        {"Label11", "MS Sans Serif", 8.25, false}, {"Label18", "宋体", 10.5, true},
    };
    for (const Face& f : faces) {
        const QWidget* w = control(f.name);
        if (w == nullptr) continue;
        EXPECT_EQ(w->font().family(), u(f.family)) << f.name;
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), f.points) << f.name;
        EXPECT_EQ(w->font().bold(), f.bold) << f.name;
    }
    const auto* command1 = control("Command1");
    const auto* command2 = control("Command2");
    const auto* command3 = control("Command3");
    ASSERT_TRUE(command1 && command2 && command3);
    EXPECT_EQ(command1->palette().color(QPalette::Button), QColor(255, 255, 128));
    EXPECT_EQ(command2->palette().color(QPalette::Button), QColor(255, 255, 128));
    EXPECT_EQ(command3->palette().color(QPalette::Button), QColor(192, 192, 255));
    const auto* label = control("Label58");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 224, 192));
}

// Chinese must never show as empty boxes: the Song face has the characters, and
// captions in the sans face take their Chinese from it.
TEST_F(Sheet, ChineseComesFromASongFace) {
    const auto* text1 = control("Text1");
    const auto* label5 = control("Label5");
    ASSERT_TRUE(text1 && label5);
    EXPECT_TRUE(QFontMetrics(text1->font()).inFontUcs4(0x5EA7));  // 座
    EXPECT_TRUE(label5->font().families().contains(u("宋体")));
    QFont song(label5->font());
    song.setFamilies({u("宋体")});
    EXPECT_TRUE(QFontMetrics(song).inFontUcs4(0x7EB5));  // 纵
}

TEST_F(Sheet, LinesRunWhereTheSheetDrawsThem) {
    struct Stroke {
        const char* name;
        QPoint from, to;
        QColor colour;
        int width;
    };
    const QColor blue(0, 0, 255), red(255, 0, 0), black(0, 0, 0);
    const Stroke strokes[] = {
        {"Line23", {112, 168}, {896, 168}, blue, 3},    // 1680, 2520 - 13440, 2520
        {"Line28", {360, 168}, {360, 616}, blue, 3},    // 5400, 2520 - 5400, 9240
        {"Line29", {360, 520}, {896, 520}, blue, 3},    // 5400, 7800 - 13440, 7800
        {"Line1", {320, 72}, {280, 128}, black, 2},     // 4800, 1080 - 4200, 1920
        {"Line8", {480, 72}, {480, 128}, black, 2},     // 7200, 1080 - 7200, 1920
        {"Line15", {216, 64}, {280, 128}, red, 2},      // 3240, 960 - 4200, 1920
        {"Line22", {816, 56}, {800, 64}, red, 2},       // 12240, 840 - 12000, 960
        {"Line18", {264, 112}, {272, 104}, QColor(0, 192, 0), 2},  // 3960, 1680 - 4080, 1560
        {"Line19", {736, 112}, {760, 112}, QColor(0, 255, 0), 2},  // 11040, 1680 - 11400, 1680
    };
    for (const Stroke& s : strokes) {
        const auto* line = control<LineControl>(s.name);
        if (line == nullptr) continue;
        EXPECT_EQ(line->from(), s.from) << s.name;
        EXPECT_EQ(line->to(), s.to) << s.name;
        EXPECT_EQ(line->colour(), s.colour) << s.name;
        EXPECT_EQ(line->lineWidth(), s.width) << s.name;
    }
}

// The boxes display; nothing reads them, so none takes typing (display_test.cpp).
TEST_F(Sheet, TextBoxesStartEmptyAndOnlyDisplay) {
    for (const QLineEdit* edit : named<QLineEdit>(form, "^Text\\d+$")) {
        EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
        EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
    }
}

// The captions placed beside or above their boxes must be readable: each fits its
// place, the two-line ones show both lines, and none covers another caption, a
// text box or a button.
TEST_F(Sheet, PlacedCaptionsFitAndDoNotOverlap) {
    QList<const QLabel*> placed;
    for (int n : {5, 6, 7, 8, 9, 10, 13, 14, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32,
                  33, 53, 54, 55, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 87, 88, 89, 90}) {
        const std::string name = "Label" + std::to_string(n);
        const auto* label = control<QLabel>(name.c_str());
        if (label != nullptr) placed << label;
    }
    for (const QLabel* label : placed) {
        const std::string name = label->objectName().toStdString();
        const QFontMetrics metrics(label->font());
        if (label->wordWrap()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
            EXPECT_GE(label->heightForWidth(label->width()), 2 * metrics.height()) << name;
        } else {
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width()) << name;
            EXPECT_LE(metrics.height(), label->height()) << name;
        }
        for (const QLabel* other : placed) {
            if (other == label) continue;
            EXPECT_FALSE(label->geometry().intersects(other->geometry()))
                << name << " covers " << other->objectName().toStdString();
        }
        for (const QWidget* w : named<QWidget>(form, "^(Text|Command)\\d+$"))
            EXPECT_FALSE(label->geometry().intersects(w->geometry()))
                << name << " covers " << w->objectName().toStdString();
    }
}

}  // namespace
}  // namespace trelvan
