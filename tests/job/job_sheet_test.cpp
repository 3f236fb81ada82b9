// The job as the editor holds it: texts that keep what was typed, the job they make,
// and the first fault found in the dialogue's order, in the dialogue's words.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "fuzz/job_input.h"
#include "job/job_sheet.h"
#include "job/job_support.h"
#include "job/sheet_wording.h"
#include "state/constants.h"

namespace trelvan::testing {
namespace {

namespace fs = std::filesystem;
using F = SheetField;

JobSheet exampleSheet() {
    const JobReading reading = parseJob(exampleJob());
    EXPECT_TRUE(reading.accepted());
    return sheetOf(reading.job);
}

// Every accepted job of the fuzz corpus (long chains, odd numbers, names of every
// kind, both ends oriented each way) comes back from the editor bit for bit; a job
// refused for its values is refused by the editor for the same fault.
TEST(JobSheet, EveryJobComesBackFromTheEditorAsItWent) {
    std::size_t accepted = 0, refused = 0;
    for (const char* dir : {"fuzz/job_corpus", "tests/golden"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(TRELVAN_SOURCE_DIR) / dir)) {
            if (std::string(dir) == "tests/golden" && entry.path().extension() != ".trv") continue;
            const JobReading reading = parseJob(fileContents(entry.path().string()));
            const Job& job = reading.job;
            const SheetCheck back = checkSheet(sheetOf(job));
            SCOPED_TRACE(entry.path().string());
            if (reading.accepted()) {
                ++accepted;
                EXPECT_FALSE(back.problem) << sheetMessage(*back.problem);
                // A direction point of 0 and 0 is no direction point, whatever the
                // signs of its zeros.
                Job unsigned_ = job;
                for (double* zero : {&unsigned_.Xpa, &unsigned_.Ypa, &unsigned_.Xpb, &unsigned_.Ypb})
                    if (*zero == 0) *zero = 0;
                EXPECT_TRUE(fuzzing::sameJob(back.job, unsigned_));
                continue;
            }
            // Refused for a value, not for the file's form (the sheet's lists and N
            // are as long as the chain, so their lengths are no longer at fault).
            const auto valueFault = firstJobProblem(job);
            if (!valueFault || valueFault->path != reading.problem->path ||
                valueFault->what != reading.problem->what || valueFault->path == "points" ||
                valueFault->path == "sides" || valueFault->path == "N")
                continue;
            ++refused;
            ASSERT_TRUE(back.problem);
            EXPECT_EQ(back.problem->path, reading.problem->path);
            EXPECT_EQ(back.problem->what, reading.problem->what);
        }
    }
    EXPECT_GT(accepted, 20u);
    EXPECT_GT(refused, 5u);
}

// What a typed side becomes: numbers in the general number form, a negative even
// side right of the route, anything else kept as typed to be corrected.
// A job's measured sides and reduction settings ride through the editor's sheet: a
// measured side keeps its measurement while its cell shows what it was given (its
// reduced length), takes the side of the route chosen for it, becomes a typed side
// when typed over, and goes with its triangle.
TEST(JobSheet, MeasuredSidesRideThroughTheSheet) {
    const JobReading reading =
        parseJob(fileContents(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/job_measured_n4.trv"));
    ASSERT_TRUE(reading.accepted());
    struct Row {
        const char* what;
        std::function<void(JobSheet&)> edit;
        std::vector<int> measured;  // the sides still measured
        double s2;                  // S2 in the job's side list
    };
    const std::vector<Row> rows = {
        {"nothing edited", [](JobSheet&) {}, {1, 2, 3, 5, 6, 8, 9}, -848.482},
        {"S3 typed over", [](JobSheet& s) { typeSide(s, 3, "769.475"); }, {1, 2, 5, 6, 8, 9}, -848.482},
        {"S3 given the same length again", [](JobSheet& s) { typeSide(s, 3, s.side[2]); }, {1, 2, 3, 5, 6, 8, 9},
         -848.482},
        {"S2 moved left of the route", [](JobSheet& s) { typeSidePosition(s, 2, "左"); }, {1, 2, 3, 5, 6, 8, 9},
         848.482},
        {"the last triangle removed", [](JobSheet& s) { removeLastTriangle(s); }, {1, 2, 3, 5, 6}, -848.482},
    };
    for (const Row& row : rows) {
        JobSheet sheet = sheetOf(reading.job);
        EXPECT_EQ(sheet.side[0].substr(0, 8), "601.5440") << "the reduced S1 on show";
        row.edit(sheet);
        const SheetCheck check = checkSheet(sheet);
        std::vector<int> measured;
        for (const MeasuredSide& m : check.job.jobOnly.measuredSides) measured.push_back(m.k);
        EXPECT_EQ(measured, row.measured) << row.what;
        EXPECT_EQ(check.job.jobOnly.reduction.has_value(), true) << row.what;
        EXPECT_NEAR(check.job.side[2], row.s2, 1e-3) << row.what;
    }
}

TEST(JobSheet, TypedSidesKeepTheirSideOfTheRoute) {
    struct Step {
        int k;
        const char* typed;
        const char* shown;
        bool right;
    } steps[] = {
        {2, "-848.482", "848.482", true},
        {2, "848.4820", "848.482", true},  // a new length, the same side of the route
        {4, " 1.1e3 ", "1100", false},
        {4, "-0", "0", true},
        {1, "-601.544", "-601.544", false},  // an odd side keeps its sign, to be refused
        {3, "769,475", "769,475", false},    // a decimal comma is no number
        {3, "12abc", "12abc", false},
        {3, "", "", false},
    };
    JobSheet sheet = newSheet();
    addTriangles(sheet, 1);
    for (const Step& s : steps) {
        SCOPED_TRACE(std::to_string(s.k) + " " + s.typed);
        typeSide(sheet, s.k, s.typed);
        EXPECT_EQ(sheet.side[s.k - 1], s.shown);
        EXPECT_EQ(static_cast<bool>(sheet.right[s.k - 1]), s.right);
    }

    struct Position {
        int k;
        const char* typed;
        bool accepted;
        bool right;
    } positions[] = {
        {2, "左", true, false}, {2, " R ", true, true}, {2, "left", true, false}, {2, "右侧", true, true},
        {2, "x", false, true},  {3, "右", false, false}, {4, "L", true, false},
    };
    for (const Position& p : positions) {
        SCOPED_TRACE(std::to_string(p.k) + " " + p.typed);
        EXPECT_EQ(typeSidePosition(sheet, p.k, p.typed), p.accepted);
        EXPECT_EQ(static_cast<bool>(sheet.right[p.k - 1]), p.right);
    }
    EXPECT_EQ(shownNumber(" 3452118.4060 "), "3452118.406");
    EXPECT_EQ(shownNumber("-.5"), "-0.5");
    EXPECT_EQ(shownNumber("K07"), "K07");
}

// The sheet weighted by the instrument, its a, b and σQ typed as given.
std::function<void(JobSheet&)> byInstrument(const char* a, const char* b, const char* sigmaQ) {
    return [=](JobSheet& s) {
        s.weights = SheetWeights::Instrument;
        s[F::InstrumentA] = a;
        s[F::InstrumentB] = b;
        s[F::SigmaQ] = sigmaQ;
    };
}

// The first fault in the order the dialogue asks, named in its words; fields of an
// orientation or weights that are not chosen are not part of the job.
TEST(JobSheet, TheFirstFaultIsFoundInTheDialoguesOrder) {
    struct Row {
        const char* rule;
        std::function<void(JobSheet&)> edit;
        const char* path;  // "" when the job is accepted
        const char* message;
    } rows[] = {
        {"an empty coordinate", [](JobSheet& s) { s[F::Xa] = ""; }, "A.X", "起始点 A 的 X 纵座标：没有填写数值。"},
        {"a decimal comma", [](JobSheet& s) { s[F::Qa] = "77,43016"; }, "Qa",
         "A 端定向角 Qa：输入的不是一个数：小数点要用句点，应输入 77.43016。"},
        {"the earlier of two faults",
         [](JobSheet& s) {
             s.side[6] = "";
             typeSide(s, 3, "0");
         },
         "sides[2]", "第 3 条边 S3：边长 S3 不能为零。"},
        {"a fault in the known data before one in the sides",
         [](JobSheet& s) {
             typeSide(s, 1, "-1");
             s[F::Tolerance] = "x";
         },
         "angleTolerance", "测角限差：输入的不是一个数。"},
        {"a negative route side", [](JobSheet& s) { typeSide(s, 5, "-796.97"); }, "sides[4]",
         "第 5 条边 S5：边长 S5 不能为负数：只有偶数边用负值表示位于推算路线的右侧。"},
        {"a triangle that cannot be formed", [](JobSheet& s) { typeSide(s, 9, "2000"); }, "sides[8]",
         "第 9 条边 S9：第 4 个三角形的三条边 S7=735.633，S8=1049.576，S9=2000 构不成三角形：最长边不短于另外两边之和。"},
        {"a name of two lines", [](JobSheet& s) { s.name[1] = "D\n2"; }, "points[1]",
         "点 2 的点名：点名中不能有换行符。"},
        {"a tolerance no float holds", [](JobSheet& s) { s[F::Tolerance] = "1e39"; }, "angleTolerance",
         "测角限差：测角限差的数值过大。"},
        {"a direction point left empty",
         [](JobSheet& s) { s.orientationB = EndOrientation::DirectionPoint; }, "directionB.X",
         "B 端外方向点 Ptb 的 X 纵座标：没有填写数值。"},
        {"the azimuth of an end oriented by its direction point is not read",
         [](JobSheet& s) {
             s.orientationA = EndOrientation::DirectionPoint;
             s[F::Xpa] = "3452000";
             s[F::Ypa] = "512000";
             s[F::Ta] = "rubbish";
         },
         "", ""},
        {"no orientation reads neither", [](JobSheet& s) {
             s.orientationB = EndOrientation::None;
             s[F::Tb] = "";
             s[F::Xpb] = "rubbish";
         },
         "", ""},
        {"a negative constant part", byInstrument("-1", "2", "2.5"), "weights.a", "测距精度 a：测距精度不能为负数。"},
        {"a and b both zero", byInstrument("0", "0", "2.5"), "weights",
         "测距精度 a 与 b：测距精度的 a 与 b 不能都为零：边长的权将为无穷大。"},
        {"no σQ", byInstrument("2", "2", ""), "weights.sigmaQ", "定向角中误差 σQ：没有填写数值。"},
        {"σQ of zero", byInstrument("2", "2", "-0"), "weights.sigmaQ", "定向角中误差 σQ：定向角的中误差应大于零。"},
        {"σQ with a decimal comma", byInstrument("2", "2", "2,5"), "weights.sigmaQ",
         "定向角中误差 σQ：输入的不是一个数：小数点要用句点，应输入 2.5。"},
        {"the weights before the sides", [](JobSheet& s) { byInstrument("2", "-2", "1")(s); typeSide(s, 1, "0"); },
         "weights.b", "测距精度 b：测距精度不能为负数。"},
        {"by the mean side the instrument is not read",
         [](JobSheet& s) { byInstrument("-1", "x", "")(s); s.weights = SheetWeights::MeanSide; }, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = exampleSheet();
        row.edit(sheet);
        const SheetCheck check = checkSheet(sheet);
        if (*row.path == '\0') {
            EXPECT_FALSE(check.problem) << sheetMessage(*check.problem);
            continue;
        }
        ASSERT_TRUE(check.problem);
        EXPECT_EQ(check.problem->path, row.path);
        EXPECT_EQ(sheetMessage(*check.problem), row.message);
    }

    JobSheet none = exampleSheet();
    none.orientationA = EndOrientation::None;
    const SheetCheck check = checkSheet(none);
    ASSERT_FALSE(check.problem);
    EXPECT_EQ(check.job.Ta, 0);
    EXPECT_EQ(check.job.Xpa, 0);
    EXPECT_EQ(check.job.Ypa, 0);
    EXPECT_EQ(check.job.side[2], -848.482);
}

// The weights a job names come into the editor and go back into the job byte for
// byte; a job that names none is written without them, as version 1, unless the
// operator chooses a model.
TEST(JobSheet, TheWeightsGoFromTheJobToTheSheetAndBack) {
    const std::string meanSide = weightedExample("{\n    \"model\": \"meanSide\"\n  }");
    const std::string quadrature = weightedExample(
        "{\n    \"model\": \"instrument\",\n    \"a\": 0.8,\n    \"b\": 1.5,\n    \"sigmaQ\": 0.7,\n"
        "    \"combine\": \"quadrature\"\n  }");
    const auto asRead = [](JobSheet&) {};
    struct Row {
        const char* rule;
        std::string read;
        std::function<void(JobSheet&)> edit;
        std::string written;
    } rows[] = {
        {"none named", exampleJob(), asRead, exampleJob()},
        {"the mean side named", meanSide, asRead, meanSide},
        {"2 mm + 2 mm/km, 2.5 seconds", instrumentExample(), asRead, instrumentExample()},
        {"in quadrature", quadrature, asRead, quadrature},
        {"the instrument chosen and typed", exampleJob(), byInstrument(" 2.0", "2", "2.5"), instrumentExample()},
        {"the instrument given up for the mean side", instrumentExample(),
         [](JobSheet& s) { s.weights = SheetWeights::MeanSide; }, meanSide},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = sheetOf(parseJob(row.read).job);
        row.edit(sheet);
        const SheetCheck check = checkSheet(sheet);
        ASSERT_FALSE(check.problem) << sheetMessage(*check.problem);
        EXPECT_EQ(jobText(check.job), row.written);
    }
}

// Under the instrument each side shows its standard error from its length as typed,
// to the hundredth of a millimetre; blank where it cannot be worked out yet.
TEST(JobSheet, EachSideShowsItsStandardErrorUnderTheInstrument) {
    const auto quadrature = [](JobSheet& s) {
        byInstrument("3", "5", "1")(s);
        s.combine = WeightModel::Combine::Quadrature;
    };
    struct Row {
        const char* rule;
        std::function<void(JobSheet&)> edit;
        int k;
        const char* sigma;
    } rows[] = {
        {"2 + 2 × 0.601544", byInstrument("2", "2", "2.5"), 1, "3.20"},
        {"right of the route, 2 + 2 × 0.848482", byInstrument("2", "2", "2.5"), 2, "3.70"},
        {"√(3² + (5 × 1.101074)²) = √39.3091", quadrature, 4, "6.27"},
        {"a length with a decimal comma", [](JobSheet& s) { byInstrument("2", "2", "")(s); typeSide(s, 3, "7,5"); }, 3, ""},
        {"a with a decimal comma", byInstrument("2,5", "2", "2.5"), 1, ""},
        {"a and b both zero", byInstrument("0", "0", "2.5"), 1, ""},
        {"by the mean side", [](JobSheet& s) { byInstrument("2", "2", "2.5")(s); s.weights = SheetWeights::MeanSide; },
         1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = exampleSheet();
        row.edit(sheet);
        EXPECT_EQ(sideRow(sheet, row.k).sigma, row.sigma);
    }
}

// A text that is no number says why; one with a decimal comma is told the number
// it means, typed with a full stop.
TEST(JobSheet, ADecimalCommaIsToldToUseAFullStop) {
    struct Case {
        const char* typed;
        const char* reason;
    } cases[] = {
        {"", "没有填写数值"},
        {"  ", "没有填写数值"},
        {"769,475", "输入的不是一个数：小数点要用句点，应输入 769.475"},
        {" -0,25 ", "输入的不是一个数：小数点要用句点，应输入 -0.25"},
        {"3452118,4060", "输入的不是一个数：小数点要用句点，应输入 3452118.406"},
        {"1,5e3", "输入的不是一个数：小数点要用句点，应输入 1500"},
        {"1,234,5", "输入的不是一个数"},  // no number with either sign
        {"12abc", "输入的不是一个数"},
    };
    for (const Case& c : cases) EXPECT_EQ(notANumberReason(c.typed), c.reason) << c.typed;
}

// What the editor shows of a job a file holds, also of one refused for its lists or
// its N: every value read, in as many triangles as it takes.
TEST(JobSheet, ARefusedJobShowsEverythingItHolds) {
    struct Row {
        const char* rule;
        std::string bytes;
        int triangles;
        EndOrientation a, b;
    } rows[] = {
        {"one point and two sides more than N says",
         example("\"D4\"", "\"D4\", \"D5\"") + "", 5, EndOrientation::Azimuth, EndOrientation::Azimuth},
        {"N out of range", example("\"N\": 4", "\"N\": 0"), 4, EndOrientation::Azimuth, EndOrientation::Azimuth},
        {"no azimuth at A, a direction point at B with one zero",
         edited(example("\"Ta\": 312.2415", "\"Ta\": 0"), "\"directionB\": {\n    \"X\": 0,\n    \"Y\": 0\n  }",
                "\"directionB\": {\"X\": 3452000.5, \"Y\": 0}"),
         4, EndOrientation::None, EndOrientation::DirectionPoint},
    };
    rows[0].bytes = edited(rows[0].bytes, "799.645", "799.645, 700, 800");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        const JobReading reading = parseJob(row.bytes);
        const JobSheet sheet = sheetOf(reading.job);
        EXPECT_EQ(sheet.triangles(), row.triangles);
        ASSERT_EQ(sheet.sides(), 2 * row.triangles + 1);
        EXPECT_EQ(sheet.orientationA, row.a);
        EXPECT_EQ(sheet.orientationB, row.b);
        EXPECT_EQ(sheet.name[3], "D4");
        EXPECT_EQ(sheet.side[1], "848.482");
        EXPECT_TRUE(sheet.right[1]);
        EXPECT_EQ(sheet[F::NameB], "K08");
    }
    const JobSheet longer = sheetOf(parseJob(rows[0].bytes).job);
    EXPECT_EQ(longer.name[4], "D5");
    EXPECT_EQ(longer.side[10], "800");
    const JobSheet oneZero = sheetOf(parseJob(rows[2].bytes).job);
    EXPECT_EQ(oneZero[F::Xpb], "3452000.5");
    EXPECT_EQ(oneZero[F::Ypb], "0");
    EXPECT_FALSE(checkSheet(oneZero).problem);
}

// A column pasted from a spreadsheet fills consecutive cells from the current one and
// lengthens the chain by whole triangles where it runs past the end.
TEST(JobSheet, PastedColumnsFillConsecutiveCells) {
    EXPECT_TRUE(pastedRows("").empty());
    EXPECT_EQ(pastedRows("a\n\nb\n"), (std::vector<std::vector<std::string>>{{"a"}, {""}, {"b"}}));
    EXPECT_EQ(pastedRows("1\t右\r\n2\r"), (std::vector<std::vector<std::string>>{{"1", "右"}, {"2"}}));

    struct Row {
        const char* rule;
        int first, column;
        const char* text;
        int filled, triangles;
        std::vector<std::string> sides;  // S1.. afterwards
        std::vector<bool> right;
    } rows[] = {
        {"a column from S1", 1, 0, "601.544\n-848.482\n769.475\n", 3, 1, {"601.544", "848.482", "769.475"},
         {false, true, false}},
        {"Windows line ends, past the end", 2, 0, "1\r\n2\r\n3\r\n4\r\n", 4, 2, {"", "1", "2", "3", "4"},
         {false, false, false, false, false}},
        {"lengths with their side of the route", 2, 0, "100\t右\n200\t左", 2, 1, {"", "100", "200"},
         {false, true, false}},
        {"the side of the route alone", 1, 1, "右\n右\n右", 3, 1, {"", "", ""}, {false, true, false}},
        {"one more than the chain", 3, 0, "5\n6", 2, 2, {"", "", "5", "6", ""}, {false, false, false, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        JobSheet sheet = newSheet();
        const Pasted pasted = pasteSides(sheet, row.first, row.column, row.text);
        EXPECT_FALSE(pasted.refusal);
        EXPECT_EQ(pasted.count, row.filled);
        EXPECT_EQ(sheet.triangles(), row.triangles);
        EXPECT_EQ(sheet.side, row.sides);
        EXPECT_EQ(std::vector<bool>(sheet.right.begin(), sheet.right.end()), row.right);
        EXPECT_EQ(sheet.name.size(), static_cast<std::size_t>(row.triangles));
    }

    // More rows than the largest chain holds: refused whole, nothing changed.
    JobSheet sheet = newSheet();
    std::string many;
    for (int k = 0; k < 2 * maxTriangles + 2; ++k) many += "1\n";
    const Pasted tooMany = pasteSides(sheet, 1, 0, many);
    EXPECT_EQ(tooMany.count, 0);
    ASSERT_TRUE(tooMany.refusal);
    EXPECT_EQ(sheet.sides(), 3);
    EXPECT_EQ(sheet.side[0], "");
    many.resize(many.size() - 2);  // exactly 2N+1 sides of the largest chain
    EXPECT_EQ(pasteSides(sheet, 1, 0, many).count, 2 * maxTriangles + 1);
    EXPECT_EQ(sheet.triangles(), maxTriangles);

    // The standard errors are worked out, not typed: nothing goes there.
    const Pasted onErrors = pasteSides(sheet, 1, 2, "3.2\n");
    EXPECT_EQ(onErrors.count, 0);
    EXPECT_TRUE(onErrors.refusal);

    JobSheet names = newSheet();
    EXPECT_EQ(pasteNames(names, 1, "D1\tx\nD2\n\nD4\n").count, 4);
    EXPECT_EQ(names.name, (std::vector<std::string>{"D1", "D2", "", "D4"}));
    EXPECT_EQ(names.sides(), 9);
}

TEST(JobSheet, TrianglesAreAddedAndRemovedAtTheEnd) {
    JobSheet sheet = exampleSheet();
    EXPECT_FALSE(lastTriangleIsEmpty(sheet));
    ASSERT_TRUE(addTriangles(sheet, 2));
    EXPECT_EQ(sheet.triangles(), 6);
    EXPECT_EQ(sheet.sides(), 13);
    EXPECT_TRUE(lastTriangleIsEmpty(sheet));
    typeSide(sheet, 12, "-5");
    EXPECT_FALSE(lastTriangleIsEmpty(sheet));
    ASSERT_TRUE(removeLastTriangle(sheet));
    ASSERT_TRUE(removeLastTriangle(sheet));
    EXPECT_EQ(sheet.side.back(), "799.645");
    EXPECT_FALSE(checkSheet(sheet).problem);
    EXPECT_FALSE(addTriangles(sheet, maxTriangles - 3));
    EXPECT_EQ(sheet.triangles(), 4);

    JobSheet one = newSheet();
    EXPECT_FALSE(removeLastTriangle(one));
    EXPECT_EQ(one.triangles(), 1);
}

TEST(JobSheet, EveryPlaceAProblemNamesIsFoundOnTheSheet) {
    using K = SheetPlace::Kind;
    struct Row {
        JobProblem problem;
        K kind;
        int index;
    } rows[] = {
        {{"A.name", -1, 0, 0, ""}, K::Field, 0},
        {{"directionB.Y", -1, 0, 0, ""}, K::Field, 0},
        {{"angleTolerance", -1, 0, 0, ""}, K::Field, 0},
        {{"points[3]", 3, 0, 0, ""}, K::Name, 4},
        {{"sides[6]", 6, 0, 0, ""}, K::Side, 7},
        {{"points", -1, 0, 0, ""}, K::Names, 0},
        {{"sides", -1, 0, 0, ""}, K::Sides, 0},
        {{"N", -1, 0, 0, ""}, K::Count, 0},
        {{"", -1, 3, 14, ""}, K::None, 0},
        {{"sides", -1, 2, 5, ""}, K::None, 0},  // a syntax error inside the list
        {{"trelvan", -1, 0, 0, ""}, K::None, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.problem.path);
        const SheetPlace place = sheetPlaceOf(row.problem);
        EXPECT_EQ(place.kind, row.kind);
        EXPECT_EQ(place.index, row.index);
    }
    for (int f = 0; f < sheetFieldCount; ++f) {
        const SheetPlace place = sheetPlaceOf({fieldPath(static_cast<F>(f)), -1, 0, 0, ""});
        EXPECT_EQ(place.kind, K::Field);
        EXPECT_EQ(place.field, static_cast<F>(f));
    }
    // Faults of the weights in no one field: a and b together, and a model or a
    // combination a file names wrongly, mended by choosing one.
    const SheetPlace both = sheetPlaceOf({"weights", -1, 0, 0, ""});
    EXPECT_EQ(placeLabel(both), "测距精度 a 与 b");
    EXPECT_EQ(placeFields(both), (std::vector<F>{F::InstrumentA, F::InstrumentB}));
    EXPECT_EQ(placeChoices(sheetPlaceOf({"weights.combine", -1, 0, 0, ""})), std::vector{SheetChoice::Combine});
}

}  // namespace
}  // namespace trelvan::testing
