// The checks of a job's values: the dialogue's own, and what a job must be besides
// (lists as long as N says, finite numbers, names that can be typed as one reply).

#include <cmath>
#include <utility>

#include "entry/value_checks.h"
#include "job/job.h"
#include "state/number_format.h"

namespace trelvan {

namespace {

class Problems {
public:
    void add(std::string path, std::string what, int index = -1) {
        list.push_back(JobProblem{std::move(path), index, 0, 0, std::move(what)});
    }
    void addIf(std::string path, const std::optional<std::string>& what, int index = -1) {
        if (what) add(std::move(path), *what, index);
    }
    std::vector<JobProblem> list;
};

const char* const notFinite = "应为有限的数值";

// The field that holds the name of point i.
std::string namePath(int i, int n) {
    if (i == 0) return "A.name";
    if (i == n + 1) return "B.name";
    return pointsPath(static_cast<std::size_t>(i - 1));
}

// A name is one reply: it cannot hold a line break, and it has the reply's bound.
std::optional<std::string> nameProblem(const std::string& name) {
    if (name.find_first_of("\r\n") != std::string::npos) return "点名中不能有换行符";
    return replyLengthProblem(name);
}

// The instrument's stated accuracy: a and b not negative and not both zero, so that
// every side has a standard error; the orientation angles' standard error positive.
void weightProblems(const WeightModel& weights, Problems& problems) {
    if (!weights.byInstrument()) return;
    bool usable = true;
    for (const auto& [path, value] : {std::pair{"weights.a", weights.a}, std::pair{"weights.b", weights.b}}) {
        if (!std::isfinite(value))
            problems.add(path, notFinite);
        else if (value < 0)
            problems.add(path, "测距精度不能为负数");
        usable = usable && std::isfinite(value) && value >= 0;
    }
    if (usable && weights.a == 0 && weights.b == 0)
        problems.add("weights", "测距精度的 a 与 b 不能都为零：边长的权将为无穷大");
    if (!std::isfinite(weights.sigmaQ))
        problems.add("weights.sigmaQ", notFinite);
    else if (!(weights.sigmaQ > 0))
        problems.add("weights.sigmaQ", "定向角的中误差应大于零");
}

}  // namespace

std::vector<JobProblem> jobProblems(const Job& job) {
    Problems problems;
    const int n = job.N;
    if (!triangleCountOf(n)) {
        problems.add("N", triangleCountRangeReason());
        return problems.list;
    }
    const std::size_t points = job.pointName.size() < 2 ? 0 : job.pointName.size() - 2;
    if (points != static_cast<std::size_t>(n))
        problems.add("points", "有 " + digits(static_cast<long long>(points)) + " 个点名，N = " +
                                   digits(n) + " 时应有 " + digits(n) + " 个");
    const std::size_t sides = job.side.empty() ? 0 : job.side.size() - 1;
    if (sides != 2 * static_cast<std::size_t>(n) + 1)
        problems.add("sides", "有 " + digits(static_cast<long long>(sides)) + " 条边长，N = " +
                                  digits(n) + " 时应有 2N+1 = " + digits(2 * n + 1) + " 条");
    if (!problems.list.empty()) return problems.list;

    const bool typedTa = job.Xpa == 0 && job.Ypa == 0;
    const bool typedTb = job.Xpb == 0 && job.Ypb == 0;
    const std::pair<const char*, double> numbers[] = {
        {"A.X", job.Xa}, {"A.Y", job.Ya}, {"B.X", job.Xb}, {"B.Y", job.Yb},
        {"directionA.X", job.Xpa}, {"directionA.Y", job.Ypa},
        {"directionB.X", job.Xpb}, {"directionB.Y", job.Ypb},
        {"Ta", typedTa ? job.Ta : 0}, {"Tb", typedTb ? job.Tb : 0},
        {"Qa", job.Qa}, {"Qb", job.Qb}, {"angleTolerance", job.angleTolerance}};
    for (const auto& [path, value] : numbers)
        if (!std::isfinite(value)) problems.add(path, notFinite);
    if (std::isfinite(job.angleTolerance))
        problems.addIf("angleTolerance", toleranceProblem(job.angleTolerance));
    if (job.jobOnly.weights) weightProblems(*job.jobOnly.weights, problems);

    for (int i = 0; i <= n + 1; ++i)
        problems.addIf(namePath(i, n), nameProblem(job.pointName[static_cast<std::size_t>(i)]),
                       i == 0 || i == n + 1 ? -1 : i - 1);

    // The sides in the order they are typed; each triangle once its closing side is in,
    // when its three sides are acceptable each on its own.
    std::vector<bool> sideOk(job.side.size(), false);
    for (int k = 1; k <= 2 * n + 1; ++k) {
        const double typed = job.side[static_cast<std::size_t>(k)];
        const std::optional<std::string> problem =
            std::isfinite(typed) ? sideProblem(k, typed) : std::optional<std::string>(notFinite);
        sideOk[static_cast<std::size_t>(k)] = !problem;
        problems.addIf(sidePath(k), problem, k - 1);
        if (k % 2 == 1 && k >= 3) {
            const int i = (k - 1) / 2;
            if (sideOk[2 * i - 1] && sideOk[2 * i] && sideOk[2 * i + 1])
                problems.addIf(sidePath(k),
                               triangleProblem(i, job.side[2 * i - 1], std::fabs(job.side[2 * i]),
                                             job.side[2 * i + 1]),
                             k - 1);
        }
    }
    return problems.list;
}

std::optional<JobProblem> firstJobProblem(const Job& job) {
    auto problems = jobProblems(job);
    if (problems.empty()) return std::nullopt;
    return std::move(problems.front());
}

std::string sidePath(int k) { return "sides[" + digits(k - 1) + "]"; }

std::string pointsPath(std::size_t index) { return "points[" + digits(index) + "]"; }

std::string placeOf(const JobProblem& problem) {
    if (problem.line > 0) {
        std::string place = "第 " + digits(problem.line) + " 行第 " + digits(problem.column) + " 列";
        if (!problem.path.empty()) place += "（" + problem.path + "）";
        return place;
    }
    if (problem.index >= 0 && problem.path.rfind("sides[", 0) == 0)
        return problem.path + " (" + sideName(problem.index + 1) + ")";
    return problem.path;
}

std::string refusalMessage(const std::string& fileName, const JobProblem& problem) {
    const std::string place = placeOf(problem);
    return "作业文件 " + fileName + "：" + (place.empty() ? "" : place + "：") + problem.what + "。";
}

}  // namespace trelvan
