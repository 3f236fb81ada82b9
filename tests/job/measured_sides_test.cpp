// Measured sides in job files: every measurement a job is refused for, each next to
// the sound measurement it differs from, which is accepted, computes, and is written
// back as it was read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "fuzz/job_input.h"
#include "job/job.h"
#include "job/job_support.h"

namespace trelvan::testing {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::ordered_json;

const Json meteo = {{"meteo", {{"A", 281.8}, {"B", 79.39}}}};

// One measurement of the worked example's chain: side k given as `side` (null: as
// typed), the chain's reduction settings (null: none), and a merge patch of the rest.
struct Variant {
    Json side;
    Json reduction = meteo;
    Json patch = Json::object();
    int k = 1;
};

std::string jobWith(const Variant& v) {
    Json job = Json::parse(exampleJob());
    job["trelvan"] = 2;
    if (!v.side.is_null()) job["sides"][static_cast<std::size_t>(v.k - 1)] = v.side;
    if (!v.reduction.is_null()) job["reduction"] = v.reduction;
    job.merge_patch(v.patch);
    return job.dump(2);
}

struct Row {
    const char* rule;
    Variant refused;
    std::string place, what;
    Variant accepted;
};

Json s1(Json fields) {
    Json side = {{"D", 601.6}};
    side.update(fields);
    return side;
}

TEST(MeasuredSides, EachRefusalNextToTheSoundMeasurementAccepted) {
    const std::vector<Row> rows = {
        {"a distance of 0", {s1({{"D", 0}, {"dh", 8.4}, {"Hm", 46}})}, "sides[0] (S1).D", "实测距离 D 应为大于零",
         {s1({{"dh", 8.4}, {"Hm", 46}})}},
        {"a negative distance", {s1({{"D", -601.6}, {"dh", 8.4}, {"Hm", 46}})}, "sides[0] (S1).D", "大于零",
         {s1({{"D", 601.6}, {"dh", 8.4}, {"Hm", 46}})}},
        {"a height difference as long as the slope", {s1({{"dh", -601.6}, {"Hm", 46}})}, "sides[0] (S1).dh",
         "高差 dh 的绝对值不小于改正后的斜距 D1 = 601.6000 米", {s1({{"dh", -60.16}, {"Hm", 46}})}},
        {"a zenith angle of 0", {s1({{"Z", 0}, {"Hm", 46}})}, "sides[0] (S1).Z", "天顶距 Z 应在 0° 与 180° 之间",
         {s1({{"Z", 89.3}, {"Hm", 46}})}},
        {"a zenith angle of 180°", {s1({{"Z", 180}, {"Hm", 46}})}, "sides[0] (S1).Z", "0° 与 180° 之间",
         {s1({{"Z", 90.3}, {"Hm", 46}})}},
        {"both dh and Z", {s1({{"dh", 8.4}, {"Z", 89.1}, {"Hm", 46}})}, "sides[0] (S1).Z", "其中之一",
         {s1({{"Z", 89.1}, {"Hm", 46}})}},
        {"a slope with neither dh nor Z", {s1({{"Hm", 46}})}, "sides[0] (S1)", "斜距需要 dh（高差）或 Z（天顶距）",
         {s1({{"type", "horizontal"}, {"Hm", 46}})}},
        {"a horizontal distance with dh", {s1({{"type", "horizontal"}, {"dh", 8.4}, {"Hm", 46}})},
         "sides[0] (S1).dh", "平距", {s1({{"type", "horizontal"}, {"Hm", 46}})}},
        {"a type not named", {s1({{"type", "oblique"}, {"dh", 8.4}, {"Hm", 46}})}, "sides[0] (S1).type",
         "\"slope\"（斜距）或 \"horizontal\"（平距）", {s1({{"type", "slope"}, {"dh", 8.4}, {"Hm", 46}})}},
        {"no mean height anywhere", {s1({{"dh", 8.4}})}, "sides[0] (S1).Hm", "缺少平均高程 Hm",
         {s1({{"dh", 8.4}}), {{"Hm", 45}}}},
        {"a temperature without pressure", {s1({{"dh", 8.4}, {"Hm", 46}, {"t", 20}})}, "sides[0] (S1).p",
         "缺少气压 p", {s1({{"dh", 8.4}, {"Hm", 46}, {"t", 20}, {"p", 1002}})}},
        {"a pressure without temperature", {s1({{"dh", 8.4}, {"Hm", 46}, {"p", 1002}})}, "sides[0] (S1).t",
         "缺少温度 t", {s1({{"dh", 8.4}, {"Hm", 46}, {"t", 20}, {"p", 1002}})}},
        {"ppm beside t and p", {s1({{"dh", 8.4}, {"Hm", 46}, {"ppm", 3}, {"t", 20}, {"p", 1002}})},
         "sides[0] (S1).ppm", "ppm 与 t、p 只能给其中一种", {s1({{"dh", 8.4}, {"Hm", 46}, {"ppm", 3}})}},
        {"t and p without the chain's formula", {s1({{"dh", 8.4}, {"Hm", 46}, {"t", 20}, {"p", 1002}}), Json()},
         "sides[0] (S1).t", "没有仪器的气象改正公式 meteo",
         {s1({{"dh", 8.4}, {"Hm", 46}, {"t", 20}, {"p", 1002}})}},
        {"a temperature at absolute zero", {s1({{"dh", 8.4}, {"Hm", 46}, {"t", -273.15}, {"p", 1002}})},
         "sides[0] (S1).t", "温度 t 应高于", {s1({{"dh", 8.4}, {"Hm", 46}, {"t", -30}, {"p", 1002}})}},
        {"a pressure of 0", {s1({{"dh", 8.4}, {"Hm", 46}, {"t", 20}, {"p", 0}})}, "sides[0] (S1).p",
         "气压 p 应大于零", {s1({{"dh", 8.4}, {"Hm", 4600}, {"t", -20}, {"p", 560}})}},
        {"a route side right of the route", {s1({{"dh", 8.4}, {"Hm", 46}, {"right", true}})}, "sides[0] (S1).right",
         "奇数边是推算路线本身", {s1({{"dh", 8.4}, {"Hm", 46}, {"right", false}})}},
        {"a distance made infinite", {s1({{"D", 1e308}, {"type", "horizontal"}, {"Hm", 46}, {"ppm", 1e6}})},
         "sides[0] (S1)", "D1 不是正的有限数值", {s1({{"type", "horizontal"}, {"Hm", 46}, {"ppm", 100}})}},
        {"a distance made zero", {s1({{"type", "horizontal"}, {"Hm", 46}, {"ppm", -1e6}})}, "sides[0] (S1)",
         "D1 不是正的有限数值", {s1({{"type", "horizontal"}, {"Hm", 46}, {"ppm", -100}})}},
        {"a height above the earth's radius", {s1({{"type", "horizontal"}, {"Hm", 7e6}})}, "sides[0] (S1)",
         "D3 不是正的有限数值", {s1({{"type", "horizontal"}, {"Hm", 4e3}})}},
        {"an ellipsoid not named", {s1({{"dh", 8.4}, {"Hm", 46}}), {{"ellipsoid", "WGS84"}}}, "reduction.ellipsoid",
         "未知的椭球", {s1({{"dh", 8.4}, {"Hm", 46}}), {{"ellipsoid", "Xian80"}}}},
        {"a Y written with its zone number and no false easting",
         {s1({{"dh", 8.4}, {"Hm", 46}}), meteo, {{"A", {{"Y", 38512637.225}}}, {"B", {{"Y", 38515088.829}}}}},
         "A.Y", "超出任何高斯投影带",
         {s1({{"dh", 8.4}, {"Hm", 46}}), {{"falseEasting", 38500000}},
          {{"A", {{"Y", 38512637.225}}}, {"B", {{"Y", 38515088.829}}}}}},
        {"a triangle the reduced side cannot close",
         {{{"D", 1500}, {"type", "horizontal"}, {"Hm", 46}, {"right", true}}, meteo, Json::object(), 2},
         "sides[2] (S3)", "第 1 个三角形的三条边",
         {{{"D", 848.5}, {"type", "horizontal"}, {"Hm", 46}, {"right", true}}, meteo, Json::object(), 2}},
        {"a distance as text", {s1({{"D", "601.6"}, {"dh", 8.4}, {"Hm", 46}})}, "sides[0] (S1).D", "应为数值",
         {s1({{"dh", 8.4}, {"Hm", 46}})}},
        {"a field a measurement does not have", {s1({{"dh", 8.4}, {"Hm", 46}, {"hi", 1.5}})}, "sides[0] (S1).hi",
         "未知的字段", {s1({{"dh", 8.4}, {"Hm", 46}})}},
        {"a formula without B", {s1({{"dh", 8.4}, {"Hm", 46}}), {{"meteo", {{"A", 281.8}}}}},
         "reduction.meteo.B", "缺少这个字段", {s1({{"dh", 8.4}, {"Hm", 46}})}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        const std::string refused = jobWith(row.refused);
        const JobReading reading = parseJob(refused);
        ASSERT_FALSE(reading.accepted());
        EXPECT_EQ(placeOf(*reading.problem), row.place);
        EXPECT_THAT(reading.problem->what, HasSubstr(row.what));
        EXPECT_EQ(fuzzing::runJobFile(refused), "");

        const std::string accepted = jobWith(row.accepted);
        const JobReading sound = parseJob(accepted);
        EXPECT_TRUE(sound.accepted()) << refusalMessage("job.trv", sound.problem.value_or(JobProblem{}));
        // Computed to its end, written back as read (fuzz/job_input.h).
        ComputeOutcome computed = ComputeOutcome::Failed;
        EXPECT_EQ(fuzzing::runJobFile(accepted, nullptr, &computed), "");
        EXPECT_EQ(computed, ComputeOutcome::Completed);
    }
}

}  // namespace
}  // namespace trelvan::testing
