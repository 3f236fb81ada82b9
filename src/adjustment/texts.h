#pragma once
// The adjustment's own words on the window: units after the figures, the word shown
// when there is no closing azimuth, and the pause before each listed point.

namespace trelvan::adjustment_texts {

inline constexpr const char* seconds = "秒";
inline constexpr const char* millimetres = "毫米";
inline constexpr const char* noClosingAzimuth = "不存在";
inline constexpr const char* listingPrompt =
    "如果需要显示计算的座标结果，请输入 M 为不等于零的任意数";

}  // namespace trelvan::adjustment_texts
