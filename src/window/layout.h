#pragma once
// The main window's form sheet as data: every control with its caption, position
// and size in twips (1/1440 inch, relative to the client area), font and colours,
// and every line of the panel frame and of the chain diagram. MainForm reads these
// tables once; nothing here is changed at run time.

#include <array>
#include <cstdint>

#include "entry/interfaces.h"
#include "state/constants.h"

namespace trelvan::layout {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

// A font as the form sheet names it. "MS Sans Serif" carries Chinese captions, so
// its Chinese characters are taken from the Song face that "宋体" resolves to.
struct FontSpec {
    const char* family = nullptr;  // nullptr: the window's default font
    double points = 0;
    bool bold = false;
};

inline constexpr FontSpec windowDefault{};
inline constexpr FontSpec sans825Bold{"MS Sans Serif", 8.25, true};
inline constexpr FontSpec sans825{"MS Sans Serif", 8.25, false};
inline constexpr FontSpec sans975Bold{"MS Sans Serif", 9.75, true};
inline constexpr FontSpec sans12Bold{"MS Sans Serif", 12, true};
inline constexpr FontSpec song9Bold{"宋体", 9, true};
inline constexpr FontSpec song105Bold{"宋体", 10.5, true};

inline constexpr Rgb peach{255, 224, 192};
inline constexpr Rgb lightYellow{255, 255, 128};
inline constexpr Rgb lightViolet{192, 192, 255};
inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb blue{0, 0, 255};
inline constexpr Rgb red{255, 0, 0};
inline constexpr Rgb darkGreen{0, 192, 0};
inline constexpr Rgb green{0, 255, 0};

// The window itself: title, background, the default font of controls without one
// of their own, and a client area that shows the whole sheet.
struct WindowSpec {
    const char* caption;
    Rgb background;
    FontSpec font;
    int width, height;  // twips
};
inline constexpr WindowSpec window{programTitle, peach, sans825Bold, 13560, 10100};

// Areas of the sheet (twips) that input boxes keep in sight or may cover.
struct Area {
    int left, top, right, bottom;
};
// The chain diagram across the top, above the frame of the panels: it shows no
// value, so an input box may stand over it.
inline constexpr Area diagramStrip{0, 0, 13560, 2520};
// The precision statistics and the computed results, which the operator reads while
// the adjusted coordinates are listed.
inline constexpr Area precisionPanel{5400, 3480, 13440, 5880};
inline constexpr Area resultsPanel{5400, 7800, 13440, 9240};

// How a label's caption sits in its box. Natural: top left, box sized to the
// caption. The others keep the given box: a caption above a text box sits on its
// bottom edge, a symbol beside a text box sits against it.
enum class Align { Natural, Left, Bottom, Right, Wrap };

struct LabelSpec {
    const char* name;
    const char* caption;
    int left, top, width, height;  // twips; width and height 0 with Align::Natural
    FontSpec font;
    Align align;
};

struct TextBoxSpec {
    const char* name;
    int left, top, width, height;
    FontSpec font;
};

struct ButtonSpec {
    const char* name;
    const char* caption;
    int left, top, width, height;
    Rgb background;
    FontSpec font;
};

struct LineSpec {
    const char* name;
    int x1, y1, x2, y2;  // twips
    Rgb colour;
    int width;           // pixels
};

// The text boxes. Every one starts empty; the program writes them, never reads them.
inline constexpr std::array<TextBoxSpec, textBoxCount> textBoxes{{
    // Known coordinates and direction points.
    {"Text1", 3720, 2880, 1455, 270, song9Bold},
    {"Text2", 3720, 3240, 1455, 270, song9Bold},
    {"Text3", 3720, 3600, 1455, 270, song9Bold},
    {"Text4", 3720, 3960, 1455, 270, song9Bold},
    {"Text10", 3720, 4320, 1455, 255, song9Bold},
    {"Text30", 3720, 4680, 1455, 285, song9Bold},
    {"Text31", 3720, 5040, 1455, 285, song9Bold},
    {"Text32", 3720, 5400, 1455, 285, song9Bold},
    // External azimuths, orientation angles, tolerances.
    {"Text5", 3720, 6360, 1455, 270, song9Bold},
    {"Text6", 3720, 6720, 1455, 270, song9Bold},
    {"Text7", 3720, 7440, 1455, 270, song9Bold},
    {"Text8", 3720, 7800, 1455, 270, song9Bold},
    {"Text26", 3840, 8400, 1095, 270, song9Bold},
    {"Text25", 3840, 8760, 1095, 270, song9Bold},
    // Chain description.
    {"Text9", 7080, 3000, 2295, 270, song9Bold},
    {"Text14", 9720, 3000, 2775, 270, song9Bold},
    // Misclosures and precision figures.
    {"Text15", 5880, 4440, 972, 270, song9Bold},
    {"Text16", 7200, 4440, 1332, 270, song9Bold},
    {"Text17", 8880, 4440, 1332, 270, song9Bold},
    {"Text18", 10560, 4440, 1092, 270, song9Bold},
    {"Text19", 12000, 4440, 1092, 270, song9Bold},
    {"Text20", 5880, 5280, 1092, 270, song9Bold},
    {"Text21", 7320, 5280, 1092, 270, song9Bold},
    {"Text22", 9000, 5280, 1095, 270, song9Bold},
    {"Text23", 10560, 5280, 1095, 270, song9Bold},
    {"Text24", 12120, 5280, 975, 270, song9Bold},
    // Side entry guide.
    {"Text28", 7080, 7080, 1815, 285, windowDefault},
    {"Text27", 8880, 7080, 1452, 270, song9Bold},
    {"Text29", 10440, 7080, 1452, 285, windowDefault},
    // Listing of the adjusted coordinates.
    {"Text11", 7560, 8640, 975, 270, song9Bold},
    {"Text12", 8880, 8640, 1455, 270, song9Bold},
    {"Text13", 10680, 8640, 1455, 270, song9Bold},
}};

inline constexpr std::array<LabelSpec, 88> labels{{
    // Without a caption; they lie under the captions they overlap.
    {"Label11", "", 2520, 7440, 1215, 375, sans825, Align::Left},
    {"Label12", "", 2640, 7800, 1095, 375, sans825, Align::Left},
    {"Label18", "", 12360, 4800, 375, 255, song105Bold, Align::Left},

    // Panel titles.
    {"Label2", "( 已知点座标 )", 3840, 2640, 0, 0, sans975Bold, Align::Natural},
    {"Label3", "( 外方位角 )", 3960, 6120, 0, 0, sans975Bold, Align::Natural},
    {"Label15", "( 定向角 )", 3960, 7200, 0, 0, sans975Bold, Align::Natural},
    {"Label77", "( 精度限差 )", 3840, 8160, 0, 0, sans975Bold, Align::Natural},
    {"Label16", "三角形个数说明", 7440, 2760, 0, 0, sans975Bold, Align::Natural},
    {"Label56", "锁的方位定向说明", 10320, 2760, 0, 0, sans975Bold, Align::Natural},
    {"Label57", "（精 度 统 计）", 8520, 3720, 0, 0, sans12Bold, Align::Natural},
    {"Label17", "( 观 测 边 长 )", 8760, 6480, 0, 0, sans12Bold, Align::Natural},
    {"Label70", "( 计 算 结 果 )", 9000, 8040, 0, 0, sans12Bold, Align::Natural},

    // Chain diagram: points.
    {"Label34", "A", 4080, 1920, 0, 0, sans12Bold, Align::Natural},
    {"Label36", "B", 11040, 1920, 0, 0, sans12Bold, Align::Natural},
    {"Label42", "1", 4680, 840, 0, 0, sans12Bold, Align::Natural},
    {"Label43", "2", 5160, 1920, 0, 0, sans12Bold, Align::Natural},
    {"Label44", "3", 5880, 720, 0, 0, sans12Bold, Align::Natural},
    {"Label45", "4", 6120, 1920, 0, 0, sans12Bold, Align::Natural},
    {"Label46", "5", 7200, 1920, 0, 0, sans12Bold, Align::Natural},
    {"Label47", "6", 7080, 720, 0, 0, sans12Bold, Align::Natural},
    {"Label82", "7", 8160, 720, 0, 0, sans12Bold, Align::Natural},
    {"Label49", "N-1", 9840, 1920, 0, 0, sans12Bold, Align::Natural},
    {"Label48", "N", 10680, 840, 0, 0, sans12Bold, Align::Natural},
    // Chain diagram: known coordinates, external directions, orientation angles.
    {"Label35", "(Xa,Ya)", 3360, 2040, 0, 0, windowDefault, Align::Natural},
    {"Label37", "(Xb,Yb)", 11280, 2040, 0, 0, windowDefault, Align::Natural},
    {"Label39", "Ta", 3480, 960, 0, 0, sans975Bold, Align::Natural},
    {"Label41", "Tb", 11760, 720, 0, 0, sans975Bold, Align::Natural},
    {"Label83", "外方向点      Pta", 2400, 720, 0, 0, sans975Bold, Align::Natural},
    {"Label84", "外方向点       Ptb", 12240, 480, 0, 0, sans975Bold, Align::Natural},
    {"Label85", "[ Xp1,Yp1 ]", 2160, 1200, 0, 0, windowDefault, Align::Natural},
    {"Label86", "[ Xp2,Yp2  ]", 12240, 960, 0, 0, windowDefault, Align::Natural},
    {"Label38", "Q1", 4080, 1440, 0, 0, windowDefault, Align::Natural},
    {"Label40", "Q2", 11400, 1680, 0, 0, windowDefault, Align::Natural},
    // Chain diagram: sides; a minus sign marks an even side right of the route.
    {"Label50", "S1", 4440, 1320, 0, 0, windowDefault, Align::Natural},
    {"Label51", "-S2", 4560, 1920, 0, 0, windowDefault, Align::Natural},
    {"Label52", "S3", 4800, 1320, 0, 0, windowDefault, Align::Natural},
    {"Label71", "S4", 5280, 840, 0, 0, windowDefault, Align::Natural},
    {"Label72", "S5", 5400, 1440, 0, 0, windowDefault, Align::Natural},
    {"Label73", "-S6", 5400, 1920, 0, 0, windowDefault, Align::Natural},
    {"Label74", "S7", 5880, 1440, 0, 0, windowDefault, Align::Natural},
    {"Label75", "-S8", 6360, 1920, 0, 0, windowDefault, Align::Natural},
    {"Label76", "S9", 6480, 1440, 0, 0, windowDefault, Align::Natural},
    {"Label78", "S10", 6360, 840, 0, 0, windowDefault, Align::Natural},
    {"Label79", "S11", 6960, 1320, 0, 0, windowDefault, Align::Natural},
    {"Label80", "S12", 7560, 840, 0, 0, windowDefault, Align::Natural},
    {"Label81", "S(2n+1)", 10560, 1320, 0, 0, windowDefault, Align::Natural},

    // Known coordinates: each caption left of its box.
    {"Label5", " A 点纵座标 Xa", 1800, 2880, 1860, 270, windowDefault, Align::Left},
    {"Label6", " A 点横座标 Ya", 1800, 3240, 1860, 270, windowDefault, Align::Left},
    {"Label7", " B 点纵座标 Xb", 1800, 3600, 1860, 270, windowDefault, Align::Left},
    {"Label8", " B 点横座标 Yb", 1800, 3960, 1860, 270, windowDefault, Align::Left},
    {"Label87", "方向点a 纵座标 Xpa", 1800, 4320, 1860, 255, windowDefault, Align::Left},
    {"Label88", "方向点a 横座标 Ypa", 1800, 4680, 1860, 285, windowDefault, Align::Left},
    {"Label89", "方向点b 纵座标 Xpb", 1800, 5040, 1860, 285, windowDefault, Align::Left},
    {"Label90", "方向点b 横座标 Ypb", 1800, 5400, 1860, 285, windowDefault, Align::Left},
    // Orientation and tolerances: each caption left of its box.
    {"Label9", "A 点外方位角 Ta", 1800, 6360, 1860, 270, windowDefault, Align::Left},
    {"Label10", "B 点外方位角 Tb", 1800, 6720, 1860, 270, windowDefault, Align::Left},
    {"Label13", "A 点定向角 Qa", 1800, 7440, 1860, 270, windowDefault, Align::Left},
    {"Label14", "B 点定向角 Qb", 1800, 7800, 1860, 270, windowDefault, Align::Left},
    {"Label69", "测边限差 Ms", 1800, 8400, 1920, 270, windowDefault, Align::Left},
    {"Label68", "测角限差 Mb", 1800, 8760, 1920, 270, windowDefault, Align::Left},

    // Misclosures and precision figures: the name above each box, its symbol left
    // of it. The names with runs of blanks take two lines.
    {"Label58", "方位角闭合差", 5880, 4035, 1260, 375, windowDefault, Align::Bottom},
    {"Label59", "纵座标闭合差", 7200, 4035, 1560, 375, windowDefault, Align::Bottom},
    {"Label60", "横座标闭合差", 8880, 4035, 1560, 375, windowDefault, Align::Bottom},
    {"Label61", "   单位权      测角中误差", 10560, 4035, 1092, 375, windowDefault, Align::Wrap},
    {"Label62", "   单位权      测边中误差", 12000, 4035, 1092, 375, windowDefault, Align::Wrap},
    {"Label19", " wb", 5460, 4440, 420, 270, windowDefault, Align::Right},
    {"Label20", "wx", 6870, 4440, 300, 270, windowDefault, Align::Right},
    {"Label21", "wy", 8550, 4440, 300, 270, windowDefault, Align::Right},
    {"Label22", " mb", 10215, 4440, 345, 270, windowDefault, Align::Right},
    {"Label23", "ms", 11670, 4440, 300, 270, windowDefault, Align::Right},
    {"Label63", "纵座标权倒数 ", 5880, 4875, 1380, 375, windowDefault, Align::Bottom},
    {"Label65", "横座标权倒数 ", 7320, 4875, 1560, 375, windowDefault, Align::Bottom},
    {"Label64", "     单位权        纵座标中误差 ", 9000, 4875, 1095, 375, windowDefault, Align::Wrap},
    {"Label66", "     单位权        横座标中误差 ", 10560, 4875, 1095, 375, windowDefault, Align::Wrap},
    {"Label67", "   单位权      点位中误差 ", 12120, 4875, 975, 375, windowDefault, Align::Wrap},
    {"Label24", "px", 5550, 5280, 300, 270, windowDefault, Align::Right},
    {"Label25", "py", 6990, 5280, 300, 270, windowDefault, Align::Right},
    {"Label26", "mx", 8670, 5280, 300, 270, windowDefault, Align::Right},
    {"Label27", "my", 10230, 5280, 300, 270, windowDefault, Align::Right},
    {"Label28", " md", 11700, 5280, 420, 270, windowDefault, Align::Right},

    // Side entry guide: each caption above its box.
    {"Label31", "说明说明", 7080, 6780, 1740, 270, windowDefault, Align::Bottom},
    {"Label32", "奇数边长", 8880, 6780, 1452, 270, windowDefault, Align::Bottom},
    {"Label33", "偶数边长", 10440, 6780, 1452, 270, windowDefault, Align::Bottom},

    // Listing: the name and coordinate captions above the boxes, symbols left of them.
    {"Label53", "待定点", 7560, 8340, 975, 270, windowDefault, Align::Bottom},
    {"Label54", "未知点纵座标", 8880, 8340, 1455, 270, windowDefault, Align::Bottom},
    {"Label55", "未知点横座标", 10680, 8340, 1455, 270, windowDefault, Align::Bottom},
    {"Label29", "Xp", 8550, 8640, 300, 270, windowDefault, Align::Right},
    {"Label30", "Yp", 10350, 8640, 300, 270, windowDefault, Align::Right},
}};

inline constexpr std::array<ButtonSpec, 3> buttons{{
    {"Command1", "平差计算", 7800, 9480, 975, 495, lightYellow, song9Bold},
    {"Command2", "结束计算", 9120, 9480, 975, 495, lightYellow, song9Bold},
    {"Command3", "打 印", 10440, 9480, 975, 495, lightViolet, windowDefault},
}};

inline constexpr std::array<LineSpec, 32> lines{{
    // The frame of the panels, and its dividers.
    {"Line23", 1680, 2520, 13440, 2520, blue, 3},
    {"Line25", 1680, 9240, 13440, 9240, blue, 3},
    {"Line24", 1680, 2520, 1680, 9240, blue, 3},
    {"Line26", 13440, 2520, 13440, 9240, blue, 3},
    {"Line28", 5400, 2520, 5400, 9240, blue, 3},
    {"Line27", 1680, 5880, 5400, 5880, blue, 3},
    {"Line32", 5400, 3480, 13440, 3480, blue, 3},
    {"Line30", 5400, 5880, 13440, 5880, blue, 3},
    {"Line29", 5400, 7800, 13440, 7800, blue, 3},
    // The chain: route sides and diagonals from A to B.
    {"Line1", 4800, 1080, 4200, 1920, black, 2},
    {"Line2", 4800, 1080, 5280, 1920, black, 2},
    {"Line3", 4800, 1080, 10680, 1080, black, 2},
    {"Line4", 4200, 1920, 11160, 1920, black, 2},
    {"Line5", 5880, 1080, 5280, 1920, black, 2},
    {"Line6", 5880, 1080, 6120, 1920, black, 2},
    {"Line7", 5880, 1080, 7200, 1920, black, 2},
    {"Line8", 7200, 1080, 7200, 1920, black, 2},
    {"Line9", 8280, 1080, 7200, 1920, black, 2},
    {"Line10", 8280, 1080, 8640, 1920, black, 2},
    {"Line11", 9480, 1080, 8640, 1920, black, 2},
    {"Line12", 9480, 1080, 9960, 1920, black, 2},
    {"Line13", 10680, 1080, 9960, 1920, black, 2},
    {"Line14", 10680, 1080, 11160, 1920, black, 2},
    // External directions with their arrowheads.
    {"Line15", 3240, 960, 4200, 1920, red, 2},
    {"Line17", 3240, 960, 3360, 1200, red, 2},
    {"Line20", 3240, 960, 3480, 1080, red, 2},
    {"Line16", 12240, 840, 11160, 1920, red, 2},
    {"Line21", 12240, 840, 12120, 1080, red, 2},
    {"Line22", 12240, 840, 12000, 960, red, 2},
    // Marks of the orientation angles at A and B.
    {"Line18", 3960, 1680, 4080, 1560, darkGreen, 2},
    {"Line31", 4320, 1560, 4440, 1560, darkGreen, 2},
    {"Line19", 11040, 1680, 11400, 1680, green, 2},
}};

}  // namespace trelvan::layout
