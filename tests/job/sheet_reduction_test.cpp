// Measured sides and the reduction settings in the job editor's sheet: what a typed
// value, a choice or a pasted column makes of a side; the job the sheet makes, byte
// for byte where nothing was edited; refusals in the editor's words; and each
// measured side's reduced length and corrections as they are typed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "job/job_support.h"
#include "job/sheet_reduction.h"
#include "job/sheet_wording.h"

namespace trelvan::testing {
namespace {

using F = SheetField;
using P = MeasurePart;

const std::string& measuredJob() {
    static const std::string text =
        fileContents(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/job_measured_n4.trv");
    return text;
}

std::string corpusJob(const char* name) {
    return fileContents(std::string(TRELVAN_SOURCE_DIR) + "/fuzz/job_corpus/" + name);
}

JobSheet sheetOfText(const std::string& text) {
    const JobReading reading = parseJob(text);
    EXPECT_TRUE(reading.accepted()) << (reading.problem ? reading.problem->what : "");
    return sheetOf(reading.job);
}

// Side k measured as a slope distance with a height difference and a mean height.
std::function<void(JobSheet&)> measure(int k, const char* D, const char* dh, const char* Hm) {
    return [=](JobSheet& s) {
        typeMeasurement(s, k, P::D, D);
        typeMeasurement(s, k, P::dh, dh);
        typeMeasurement(s, k, P::Hm, Hm);
    };
}

// The worked example's side S1 (601.544 m) as a job file writes it when measured.
const char* const measuredS1 = "    {\n      \"D\": 601.6,\n      \"dh\": 8.4,\n      \"Hm\": 46\n    },\n";

// A job opened in the editor, corrected and saved keeps every measured side and
// setting it holds byte for byte, but what was edited.
TEST(SheetReduction, TheJobComesBackByteForByteButWhatWasEdited) {
    const std::string golden = measuredJob();
    const std::string zone = corpusJob("7e65fb78b9fa6c71c8034d517af17d67bd03817b");
    const std::string everySetting = corpusJob("99b8b25bffb619ad0dd41c935074cc1b81e9ea20");
    const auto asRead = [](JobSheet&) {};
    struct Row {
        const char* rule;
        std::string read;
        std::function<void(JobSheet&)> edit;
        std::string written;
    } rows[] = {
        {"as read", golden, asRead, golden},
        {"a zone number in Y, the settings after the sides", zone, asRead, jobText(parseJob(zone).job)},
        {"every setting, a type and a side of the route named", everySetting, asRead,
         jobText(parseJob(everySetting).job)},
        {"a plane side measured", golden, measure(4, "1101.09", "-3.2", ""),
         edited(golden, "    1101.074,\n", "    {\n      \"D\": 1101.09,\n      \"dh\": -3.2\n    },\n")},
        {"a measured side moved left of the route", golden, [](JobSheet& s) { typeSidePosition(s, 2, "左"); },
         edited(golden, "\"ppm\": 3.1,\n      \"right\": true", "\"ppm\": 3.1,\n      \"right\": false")},
        {"a horizontal distance made a slope one", golden,
         [](JobSheet& s) {
             typeSideKind(s, 3, "斜距");
             typeMeasurement(s, 3, P::Z, "90.0012");
         },
         edited(golden, "\"type\": \"horizontal\",\n      \"Hm\": 52.8", "\"Z\": 90.0012,\n      \"Hm\": 52.8")},
        {"a dh a horizontal distance does not use", golden, [](JobSheet& s) { typeMeasurement(s, 3, P::dh, "2"); },
         golden},
        {"the additive constant left empty", golden, [](JobSheet& s) { s[F::ConstantK] = ""; },
         edited(golden, "    \"K\": 1.2,\n", "")},
        {"another ellipsoid, on the projection surface", golden,
         [](JobSheet& s) {
             setChoice(s, SheetChoice::Ellipsoid, static_cast<int>(SheetEllipsoid::Xian80));
             setChoice(s, SheetChoice::Gauss, static_cast<int>(SheetGauss::Off));
         },
         edited(golden, "\"ellipsoid\": \"CGCS2000\",\n", "\"ellipsoid\": \"Xian80\",\n    \"gauss\": false,\n")},
        {"a typed chain with a side measured and a constant", exampleJob(),
         [](JobSheet& s) {
             measure(1, "601.6", "8.4", "46")(s);
             s[F::ConstantK] = "1.2";
         },
         edited(edited(edited(exampleJob(), "\"trelvan\": 1", "\"trelvan\": 2"), "  \"angleTolerance\": 2.5,\n",
                       "  \"angleTolerance\": 2.5,\n  \"reduction\": {\n    \"K\": 1.2\n  },\n"),
                "    601.544,\n", measuredS1)},
        {"measured, then a plane length again", exampleJob(),
         [](JobSheet& s) {
             measure(1, "601.6", "8.4", "46")(s);
             typeSideKind(s, 1, "平面");
         },
         exampleJob()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = sheetOfText(row.read);
        row.edit(sheet);
        const SheetCheck check = checkSheet(sheet);
        ASSERT_FALSE(check.problem) << sheetMessage(*check.problem);
        EXPECT_EQ(jobText(check.job), row.written);
    }
}

// What typing, choosing and pasting make of a side.
TEST(SheetReduction, WhatTypingChoosingAndPastingMakeOfASide) {
    struct Row {
        const char* rule;
        std::function<void(JobSheet&)> edit;
        int k;
        SideKind kind;
        bool right;
        std::vector<std::string> parts;  // D, dh, Z, Hm, ppm, t, p as the sheet holds them
    } rows[] = {
        {"a distance typed measures a plane side", [](JobSheet& s) { typeMeasurement(s, 4, P::D, " 1101.0900 "); }, 4,
         SideKind::Slope, false, {"1101.09", "", "", "", "", "", ""}},
        {"a negative distance puts an even side right of the route",
         [](JobSheet& s) { typeMeasurement(s, 4, P::D, "-1101.09"); }, 4, SideKind::Slope, true,
         {"1101.09", "", "", "", "", "", ""}},
        {"a negative route side is kept to be refused", [](JobSheet& s) { typeMeasurement(s, 3, P::D, "-769.5"); }, 3,
         SideKind::Slope, false, {"-769.5", "", "", "", "", "", ""}},
        {"a decimal comma kept as typed", [](JobSheet& s) { measure(1, "601.6", "8,4", "")(s); }, 1, SideKind::Slope,
         false, {"601.6", "8,4", "", "", "", "", ""}},
        {"chosen horizontal", [](JobSheet& s) { typeSideKind(s, 1, "平距"); }, 1, SideKind::Horizontal, false,
         {"", "", "", "", "", "", ""}},
        {"a length typed over a measured side", [](JobSheet& s) {
             measure(1, "601.6", "8.4", "46")(s);
             typeSide(s, 1, "601.5");
         },
         1, SideKind::Plane, false, {"601.6", "8.4", "", "46", "", "", ""}},
        {"a word that names no way changes nothing", [](JobSheet& s) { EXPECT_FALSE(typeSideKind(s, 1, "斜")); }, 1,
         SideKind::Plane, false, {"", "", "", "", "", "", ""}},
        {"a column of distances pasted into D",
         [](JobSheet& s) { EXPECT_EQ(pasteSides(s, 1, firstMeasureColumn, "601.6\n-848.5\n").count, 2); }, 2,
         SideKind::Slope, true, {"848.5", "", "", "", "", "", ""}},
        {"a row pasted across D, dh, Z and Hm",
         [](JobSheet& s) { pasteSides(s, 3, firstMeasureColumn, "769.5\t1.2\t\t50\n"); }, 3, SideKind::Slope, false,
         {"769.5", "1.2", "", "50", "", "", ""}},
        {"the way and the distance pasted",
         [](JobSheet& s) { pasteSides(s, 1, sideKindColumn, "平距\t601.6\t\t\t\t\t20\t1002\n"); }, 1,
         SideKind::Horizontal, false, {"601.6", "", "", "", "", "20", "1002"}},
        {"distances pasted where the way is chosen",
         [](JobSheet& s) { EXPECT_EQ(pasteSides(s, 1, sideKindColumn, "601.6\t8.4\n-848.5\n").count, 2); }, 2,
         SideKind::Slope, true, {"848.5", "", "", "", "", "", ""}},
        {"a distance with a decimal comma pasted there kept as typed",
         [](JobSheet& s) { pasteSides(s, 3, sideKindColumn, "769,5\t1.2\n"); }, 3, SideKind::Slope, false,
         {"769,5", "1.2", "", "", "", "", ""}},
        {"distances pasted past the end grow the chain",
         [](JobSheet& s) { pasteSides(s, 9, firstMeasureColumn, "799.7\n700\n800\n"); }, 11, SideKind::Slope, false,
         {"800", "", "", "", "", "", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = sheetOfText(exampleJob());
        row.edit(sheet);
        EXPECT_EQ(sideKind(sheet, row.k), row.kind);
        EXPECT_EQ(static_cast<bool>(sheet.right[static_cast<std::size_t>(row.k - 1)]), row.right);
        const SheetMeasurement& m = measurementOf(sheet, row.k);
        EXPECT_EQ(std::vector<std::string>(m.text.begin(), m.text.end()), row.parts);
    }

    // A horizontal distance takes no height difference or zenith angle; a plane side
    // nothing but a distance, which measures it.
    JobSheet sheet = sheetOfText(measuredJob());
    EXPECT_FALSE(partInJob(sheet, 3, P::dh));
    EXPECT_TRUE(partInJob(sheet, 3, P::Hm));
    EXPECT_TRUE(partInJob(sheet, 4, P::D));
    EXPECT_FALSE(partInJob(sheet, 4, P::Hm));
    // The corrections are worked out, not pasted.
    EXPECT_TRUE(pasteSides(sheet, 1, firstCorrectionColumn, "1\n").refusal);
}

// The first fault of a measured chain, named as the editor labels the field and its
// column; the reduction's words for a file's fields become the editor's.
TEST(SheetReduction, RefusalsInTheEditorsWords) {
    const int dhColumn = firstMeasureColumn + 1;
    struct Row {
        const char* rule;
        std::function<void(JobSheet&)> edit;
        const char* path;  // "" when accepted
        int column;
        const char* message;
    } rows[] = {
        // D1 = 601.5994 + 0.0012 + 601.5994 × 8.964e-6 = 601.6060 m
        {"a height difference as long as the slope", [](JobSheet& s) { typeMeasurement(s, 1, P::dh, "601.7"); },
         "sides[0].dh", dhColumn, "第 1 条边 S1 的高差 dh：高差 dh 的绝对值不小于改正后的斜距 D1 = 601.6060 米。"},
        {"a decimal comma", [](JobSheet& s) { typeMeasurement(s, 1, P::dh, "8,413"); }, "sides[0].dh", dhColumn,
         "第 1 条边 S1 的高差 dh：输入的不是一个数：小数点要用句点，应输入 8.413。"},
        {"no distance", [](JobSheet& s) { typeMeasurement(s, 1, P::D, ""); }, "sides[0].D", firstMeasureColumn,
         "第 1 条边 S1 的实测距离 D：没有填写数值。"},
        {"a zenith angle of 180°", [](JobSheet& s) { typeMeasurement(s, 9, P::Z, "180"); }, "sides[8].Z",
         firstMeasureColumn + 2, "第 9 条边 S9 的天顶距 Z：天顶距 Z 应在 0° 与 180° 之间。"},
        {"both dh and Z", [](JobSheet& s) { typeMeasurement(s, 2, P::dh, "1"); }, "sides[1].Z", firstMeasureColumn + 2,
         "第 2 条边 S2 的天顶距 Z：斜距只能给 dh（高差）和 Z（天顶距）其中之一。"},
        {"no mean height anywhere", [](JobSheet& s) { s[F::DefaultHm] = ""; }, "sides[1].Hm", firstMeasureColumn + 3,
         "第 2 条边 S2 的平均高程 Hm：缺少平均高程 Hm：这条边和边长归算设置中都没有填写。"},
        {"half of the atmospheric formula", [](JobSheet& s) { s[F::MeteoB] = ""; }, "reduction.meteo.B", 0,
         "气象改正公式的 B：没有填写数值。"},
        {"weather without the formula",
         [](JobSheet& s) {
             s[F::MeteoA] = "";
             s[F::MeteoB] = "";
         },
         "sides[0].t", firstMeasureColumn + 5,
         "第 1 条边 S1 的温度 t：填写了 t 和 p，但边长归算设置中没有仪器的气象改正公式的 A 和 B。"},
        {"a temperature without the pressure", [](JobSheet& s) { typeMeasurement(s, 1, P::p, ""); }, "sides[0].p",
         firstMeasureColumn + 6, "第 1 条边 S1 的气压 p：给了温度 t，缺少气压 p。"},
        {"ppm beside the weather",
         [](JobSheet& s) {
             typeMeasurement(s, 8, P::t, "20");
             typeMeasurement(s, 8, P::p, "1000");
         },
         "sides[7].ppm", firstMeasureColumn + 4, "第 8 条边 S8 的气象改正 ppm：ppm 与 t、p 只能给其中一种。"},
        {"a constant with a decimal comma", [](JobSheet& s) { s[F::ConstantK] = "1,2"; }, "reduction.K", 0,
         "测距仪加常数 K：输入的不是一个数：小数点要用句点，应输入 1.2。"},
        {"an ellipsoid a file named that is not known",
         [](JobSheet& s) {
             s.ellipsoid = SheetEllipsoid::AsRead;
             s.ellipsoidAsRead = "Krassowsky";
         },
         "reduction.ellipsoid", 0, "椭球：未知的椭球：请选 CGCS2000、西安80 或北京54。"},
        {"a zone number in Y without its false easting", [](JobSheet& s) { s[F::Ya] = "38512637.225"; }, "A.Y", 0,
         "起始点 A 的 Y 横座标：离中央子午线 38012637.225 米（Y 减去东伪偏移），超出任何高斯投影带：带号写在 Y "
         "前面时，边长归算设置的东伪偏移应为带号 × 1000000 + 500000。"},
        {"a route side a file put right of the route",
         [](JobSheet& s) { measurementAt(s, 1).rightAsRead = s.right[0] = true; }, "sides[0].right", 1,
         "第 1 条边 S1 的位置：奇数边是推算路线本身，不能位于路线的右侧。"},
        {"the route side put back on the route",
         [](JobSheet& s) {
             measurementAt(s, 1).rightAsRead = s.right[0] = true;
             EXPECT_TRUE(typeSidePosition(s, 1, "路线边"));
         },
         "", 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = sheetOfText(measuredJob());
        row.edit(sheet);
        const SheetCheck check = checkSheet(sheet);
        if (*row.path == '\0') {
            EXPECT_FALSE(check.problem) << sheetMessage(*check.problem);
            continue;
        }
        ASSERT_TRUE(check.problem);
        EXPECT_EQ(check.problem->path, row.path);
        EXPECT_EQ(sheetPlaceOf(*check.problem).column, row.column);
        EXPECT_EQ(sheetMessage(*check.problem), row.message);
    }
}

// Each measured side shows its reduced length D4 and the four corrections as its
// values and the chain's settings are typed. The worked side S1: ppm = 281.8 −
// 79.39 × 1002.3 / 291.65 = +8.964; D1 = 601.60599, D2 = 601.54717, D3 = 601.54280,
// D4 = 601.54401 m (the steps worked by hand in the README).
TEST(SheetReduction, EachMeasuredSideShowsItsReductionAsTyped) {
    const auto asRead = [](JobSheet&) {};
    const char* const any = nullptr;  // not looked at
    struct Row {
        const char* rule;
        std::function<void(JobSheet&)> edit;
        int k;
        const char* length;
        std::array<const char*, 4> corrections;
        bool warned;
    } rows[] = {
        {"the worked side", asRead, 1, "601.5440", {"+6.59", "-58.83", "-4.37", "+1.21"}, false},
        // 601.5994 × 8.964e-6 = 5.39 mm without the additive constant
        {"no additive constant", [](JobSheet& s) { s[F::ConstantK] = ""; }, 1, any, {"+5.39", "-58.83", any, any},
         false},
        {"on the projection surface", [](JobSheet& s) { setChoice(s, SheetChoice::Gauss, 2); }, 1, "601.5428",
         {"+6.59", "-58.83", "-4.37", "0.00"}, false},
        {"the projection surface at the side's own height", [](JobSheet& s) { s[F::H0] = "46.2"; }, 1, any,
         {"+6.59", "-58.83", "0.00", any}, false},
        {"a chain that cannot be solved yet", [](JobSheet& s) { s[F::Xa] = ""; }, 1, "", {"+6.59", "-58.83", "", ""},
         false},
        {"its own values refused", [](JobSheet& s) { typeMeasurement(s, 1, P::dh, "8,413"); }, 1, "",
         {"", "", "", ""}, false},
        {"230 m high", asRead, 6, any, {any, any, any, any}, true},
        {"a plane side", asRead, 4, "", {"", "", "", ""}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = sheetOfText(measuredJob());
        row.edit(sheet);
        const MeasuredRow shown = measuredRow(sheet, reduceSheet(sheet), row.k);
        if (row.length != any) EXPECT_EQ(shown.length, row.length);
        for (std::size_t i = 0; i < 4; ++i)
            if (row.corrections[i] != any) EXPECT_EQ(shown.correction[i], row.corrections[i]) << i;
        EXPECT_EQ(shown.warned, row.warned);
    }

    // A measured side's standard error under the instrument comes from its reduced
    // length: 2 mm + 2 mm/km × 0.601544 km = 3.20 mm.
    JobSheet sheet = sheetOfText(measuredJob());
    sheet.weights = SheetWeights::Instrument;
    sheet[F::InstrumentA] = "2";
    sheet[F::InstrumentB] = "2";
    EXPECT_EQ(sideRow(sheet, 1, measuredRow(sheet, reduceSheet(sheet), 1).reduced).sigma, "3.20");
    // Its own fault is told where its length would be.
    typeMeasurement(sheet, 1, P::dh, "8,413");
    const MeasuredRow refused = measuredRow(sheet, reduceSheet(sheet), 1);
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(refused.lengthTip, "高差 dh：输入的不是一个数：小数点要用句点，应输入 8.413");
}

}  // namespace
}  // namespace trelvan::testing
