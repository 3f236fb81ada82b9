// Edits of the job editor's sheet: each taken back and made again exactly, named for
// undo and redo; and a marked fault that goes once its place is mended.
#include <gtest/gtest.h>

#include <functional>

#include "job/job_support.h"
#include "job/sheet_edit.h"
#include "job/sheet_reduction.h"

namespace trelvan::testing {
namespace {

using F = SheetField;

JobSheet exampleSheet() { return sheetOf(parseJob(exampleJob()).job); }

void expectSame(const JobSheet& a, const JobSheet& b) {
    EXPECT_EQ(a.field, b.field);
    EXPECT_EQ(a.orientationA, b.orientationA);
    EXPECT_EQ(a.orientationB, b.orientationB);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.side, b.side);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.weights, b.weights);
    EXPECT_EQ(a.combine, b.combine);
    EXPECT_EQ(a.ellipsoid, b.ellipsoid);
    EXPECT_EQ(a.gauss, b.gauss);
    for (int k = 1; k <= std::max(a.sides(), b.sides()); ++k) {
        EXPECT_EQ(sideKind(a, k), sideKind(b, k)) << k;
        EXPECT_EQ(measurementOf(a, k), measurementOf(b, k)) << k;
    }
}

TEST(SheetEdit, EveryEditIsTakenBackAndMadeAgainExactly) {
    struct Row {
        const char* rule;
        std::function<void(JobSheet&)> change;
        const char* subject;                         // nullptr: no edit at all
        std::function<void(const JobSheet&)> after;  // what the sheet holds afterwards
    } rows[] = {
        {"a field typed", [](JobSheet& s) { s[F::Xa] = "3452118.5"; }, "起始点 A 的 X 纵座标",
         [](const JobSheet& s) { EXPECT_EQ(s[F::Xa], "3452118.5"); }},
        {"an even side typed negative lies right", [](JobSheet& s) { typeSide(s, 4, "-1101.074"); }, "第 4 条边 S4",
         [](const JobSheet& s) {
             EXPECT_EQ(s.side[3], "1101.074");
             EXPECT_TRUE(s.right[3]);
         }},
        {"the way A is oriented", [](JobSheet& s) { s.orientationA = EndOrientation::DirectionPoint; }, "A 端的定向方式",
         [](const JobSheet& s) { EXPECT_EQ(s.orientationA, EndOrientation::DirectionPoint); }},
        {"two names cleared",
         [](JobSheet& s) {
             s.name[0].clear();
             s.name[1].clear();
         },
         "2 格", [](const JobSheet& s) { EXPECT_EQ(s.name, (std::vector<std::string>{"", "", "D3", "D4"})); }},
        {"a column pasted past the end", [](JobSheet& s) { pasteSides(s, 9, 0, "799.645\n700\n-650\n800\n"); },
         "2 个三角形",
         [](const JobSheet& s) {
             EXPECT_EQ(s.triangles(), 6);
             EXPECT_EQ(s.side[9], "700");
             EXPECT_EQ(s.side[10], "-650");  // a route side keeps its sign, to be refused
             EXPECT_EQ(s.side[11], "800");
             EXPECT_EQ(s.side[12], "");
         }},
        {"the last triangle removed with what it held", [](JobSheet& s) { removeLastTriangle(s); }, "第 4 个三角形",
         [](const JobSheet& s) {
             EXPECT_EQ(s.triangles(), 3);
             EXPECT_EQ(s.side.back(), "735.633");
         }},
        {"a triangle added", [](JobSheet& s) { addTriangles(s, 1); }, "第 5 个三角形",
         [](const JobSheet& s) { EXPECT_EQ(s.sides(), 11); }},
        {"the instrument's weights chosen", [](JobSheet& s) { s.weights = SheetWeights::Instrument; }, "定权方式",
         [](const JobSheet& s) { EXPECT_EQ(s.weights, SheetWeights::Instrument); }},
        {"a and b in quadrature", [](JobSheet& s) { s.combine = WeightModel::Combine::Quadrature; },
         "测距精度的组合方式",
         [](const JobSheet& s) { EXPECT_EQ(s.combine, WeightModel::Combine::Quadrature); }},
        {"a distance typed measures a side", [](JobSheet& s) { typeMeasurement(s, 4, MeasurePart::D, "1101.09"); },
         "第 4 条边 S4 的实测距离 D", [](const JobSheet& s) { EXPECT_EQ(sideKind(s, 4), SideKind::Slope); }},
        {"a side given as a horizontal distance", [](JobSheet& s) { typeSideKind(s, 3, "平距"); },
         "第 3 条边 S3 的观测方式", [](const JobSheet& s) { EXPECT_EQ(sideKind(s, 3), SideKind::Horizontal); }},
        {"a negative distance, right of the route", [](JobSheet& s) { typeMeasurement(s, 4, MeasurePart::D, "-1101.09"); },
         "第 4 条边 S4", [](const JobSheet& s) { EXPECT_TRUE(s.right[3]); }},
        {"two sides measured by their distances, one with its dh",
         [](JobSheet& s) {
             typeMeasurement(s, 4, MeasurePart::D, "1101.09");
             typeMeasurement(s, 4, MeasurePart::dh, "2");
             typeMeasurement(s, 6, MeasurePart::D, "1049.6");
         },
         "3 格", [](const JobSheet& s) { EXPECT_EQ(measurementOf(s, 4)[MeasurePart::dh], "2"); }},
        {"the last triangle removed with its measured sides",
         [](JobSheet& s) {
             typeMeasurement(s, 9, MeasurePart::D, "799.7");
             removeLastTriangle(s);
         },
         "第 4 个三角形", [](const JobSheet& s) { EXPECT_EQ(s.sides(), 7); }},
        {"the ellipsoid", [](JobSheet& s) { s.ellipsoid = SheetEllipsoid::Beijing54; }, "椭球",
         [](const JobSheet& s) { EXPECT_EQ(s.ellipsoid, SheetEllipsoid::Beijing54); }},
        {"a reduction setting", [](JobSheet& s) { s[F::ConstantR] = "2.3"; }, "测距仪乘常数 R",
         [](const JobSheet& s) { EXPECT_EQ(s[F::ConstantR], "2.3"); }},
        {"nothing changed", [](JobSheet& s) { s[F::Qa] = "77.43016"; }, nullptr, [](const JobSheet&) {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        const JobSheet before = exampleSheet();
        JobSheet after = before;
        row.change(after);
        row.after(after);
        const SheetEdit edit = editOf(before, row.change);
        EXPECT_EQ(edit.empty(), row.subject == nullptr);
        if (row.subject != nullptr) {
            EXPECT_EQ(editSubject(edit), row.subject);
        }

        // Undone and redone twice over, the sheet is each time exactly as it was.
        JobSheet sheet = before;
        for (int round = 0; round < 2; ++round) {
            edit.redo(sheet);
            expectSame(sheet, after);
            edit.undo(sheet);
            expectSame(sheet, before);
        }
    }
    // Typing in a field is an edit of that field alone.
    const SheetEdit typed = fieldEdit(exampleSheet(), F::Tolerance, "2.0");
    ASSERT_EQ(typed.fields.size(), 1u);
    EXPECT_EQ(typed.fields[0].before, "2.5");
    EXPECT_TRUE(fieldEdit(exampleSheet(), F::Tolerance, "2.5").empty());
}

// The sheet weighted by a distance meter of a mm + b mm/km, orientation angles 2.5″.
std::function<void(JobSheet&)> instrument(const char* a, const char* b) {
    return [=](JobSheet& s) {
        s.weights = SheetWeights::Instrument;
        s[F::InstrumentA] = a;
        s[F::InstrumentB] = b;
        s[F::SigmaQ] = "2.5";
    };
}

// S1 measured as a slope distance with its height difference, but no mean height.
void measuredWithoutHeight(JobSheet& s) {
    typeMeasurement(s, 1, MeasurePart::D, "601.6");
    typeMeasurement(s, 1, MeasurePart::dh, "8.4");
}

// A fault marked in the editor stays until an edit reaches its place and mends it; an
// edit there that leaves another fault tells that one instead.
TEST(SheetEdit, AMarkedFaultGoesOnceItsPlaceIsMended) {
    struct Row {
        const char* rule;
        std::function<void(JobSheet&)> fault;
        std::function<void(JobSheet&)> edit;
        const char* message;  // afterwards; "" once mended
    } rows[] = {
        {"an empty coordinate filled", [](JobSheet& s) { s[F::Xa] = ""; },
         [](JobSheet& s) { s[F::Xa] = "3452118.406"; }, ""},
        {"another field filled", [](JobSheet& s) { s[F::Xa] = ""; }, [](JobSheet& s) { s[F::Ya] = "1"; },
         "起始点 A 的 X 纵座标：没有填写数值。"},
        {"a decimal comma made a full stop", [](JobSheet& s) { s[F::Qa] = "77,43016"; },
         [](JobSheet& s) { s[F::Qa] = "77.43016"; }, ""},
        {"a decimal comma made another mistake", [](JobSheet& s) { s[F::Qa] = "77,43016"; },
         [](JobSheet& s) { s[F::Qa] = "77.43O16"; }, "A 端定向角 Qa：输入的不是一个数。"},
        {"a zero route side typed negative", [](JobSheet& s) { typeSide(s, 5, "0"); },
         [](JobSheet& s) { typeSide(s, 5, "-796.97"); },
         "第 5 条边 S5：边长 S5 不能为负数：只有偶数边用负值表示位于推算路线的右侧。"},
        // S7 + S8 = 1785.209 m falls short of S9 = 2000 m; S8 = 1300 m closes it.
        {"a triangle closed by another of its sides", [](JobSheet& s) { typeSide(s, 9, "2000"); },
         [](JobSheet& s) { typeSide(s, 8, "1300"); }, ""},
        {"another side of the triangle that does not close it", [](JobSheet& s) { typeSide(s, 7, "2000"); },
         [](JobSheet& s) { typeSide(s, 5, "900"); },
         "第 7 条边 S7：第 3 个三角形的三条边 S5=900，S6=1049.501，S7=2000 构不成三角形：最长边不短于另外两边之和。"},
        {"an empty direction point given up for the azimuth",
         [](JobSheet& s) { s.orientationB = EndOrientation::DirectionPoint; },
         [](JobSheet& s) { s.orientationB = EndOrientation::Azimuth; }, ""},
        {"a name of two lines made one", [](JobSheet& s) { s.name[1] = "D\n2"; }, [](JobSheet& s) { s.name[1] = "D2"; },
         ""},
        {"a and b both zero, b typed", instrument("0", "0"), [](JobSheet& s) { s[F::InstrumentB] = "2"; }, ""},
        {"a negative, b typed", instrument("-1", "0"), [](JobSheet& s) { s[F::InstrumentB] = "2"; },
         "测距精度 a：测距精度不能为负数。"},
        {"a that is no number, the mean side chosen", instrument("2,5", "2"),
         [](JobSheet& s) { s.weights = SheetWeights::MeanSide; }, ""},
        // S1 measured with no mean height anywhere: the side's own, or the chain's.
        {"a mean height typed for the side", measuredWithoutHeight,
         [](JobSheet& s) { typeMeasurement(s, 1, MeasurePart::Hm, "46"); }, ""},
        {"a mean height typed for the chain", measuredWithoutHeight, [](JobSheet& s) { s[F::DefaultHm] = "46"; }, ""},
        {"another side measured", measuredWithoutHeight,
         [](JobSheet& s) { typeMeasurement(s, 3, MeasurePart::Hm, "46"); },
         "第 1 条边 S1 的平均高程 Hm：缺少平均高程 Hm：这条边和边长归算设置中都没有填写。"},
        {"made a plane length again", measuredWithoutHeight, [](JobSheet& s) { typeSideKind(s, 1, "平面"); }, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = exampleSheet();
        row.fault(sheet);
        const std::optional<JobProblem> marked = checkSheet(sheet).problem;
        ASSERT_TRUE(marked);
        const SheetEdit edit = editOf(sheet, row.edit);
        edit.redo(sheet);
        std::optional<JobProblem> now = marked;
        if (editReaches(edit, sheetPlaceOf(*marked))) now = problemStillAt(sheet, *marked);
        EXPECT_EQ(now ? sheetMessage(*now) : std::string(), row.message);
    }
}

}  // namespace
}  // namespace trelvan::testing
