// The checks of a job's values: the dialogue's own, and what a job must be besides
// (lists as long as N says, finite numbers, names that can be typed as one reply).

#include <cmath>
#include <utility>
#include <functional>

#include "entry/value_checks.h"
#include "job/job.h"
#include "reduction/reduction.h"
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

// What the side checks need of a side: whether it passes on its own, and its length
// for the triangles it belongs to, signed as typed.
struct SideView {
    std::function<void(int k, Problems&)> check;  // adds side k's problems
    std::function<double(int k)> value;
};

// The sides in the order they are typed; each triangle once its closing side is in,
// when its three sides are acceptable each on its own.
void checkSides(int n, const SideView& view, Problems& problems) {
    std::vector<bool> sideOk(static_cast<std::size_t>(2 * n) + 2, false);
    for (int k = 1; k <= 2 * n + 1; ++k) {
        const std::size_t before = problems.list.size();
        view.check(k, problems);
        sideOk[static_cast<std::size_t>(k)] = problems.list.size() == before;
        if (k % 2 == 1 && k >= 3) {
            const int i = (k - 1) / 2;
            if (sideOk[2 * i - 1] && sideOk[2 * i] && sideOk[2 * i + 1])
                problems.addIf(sidePath(k),
                               triangleProblem(i, view.value(2 * i - 1), std::fabs(view.value(2 * i)),
                                               view.value(2 * i + 1)),
                               k - 1);
        }
    }
}

std::optional<std::string> typedSideProblem(int k, double typed) {
    return std::isfinite(typed) ? sideProblem(k, typed) : std::optional<std::string>(notFinite);
}

// A job that measures sides: the reduction's own checks, the chain's settings first
// and each measured side in its place among the typed ones; the triangles with the
// reduced lengths, or with the horizontal ones when the chain could not be reduced.
void checkReducedSides(const Job& job, const reduction::Reduction& r, Problems& problems) {
    const int n = job.N;
    std::vector<std::vector<const reduction::Problem*>> atSide(static_cast<std::size_t>(2 * n) + 2);
    std::vector<const reduction::Problem*> afterSides;
    for (const reduction::Problem& p : r.problems) {
        if (p.index >= 0 && p.index < 2 * n + 1)
            atSide[static_cast<std::size_t>(p.index) + 1].push_back(&p);
        else if (p.path.rfind("sides", 0) == 0)
            afterSides.push_back(&p);
        else
            problems.add(p.path, p.what);
    }
    std::vector<double> value(job.side.begin(), job.side.end());
    std::vector<bool> measured(value.size(), false);
    for (const MeasuredSide& m : job.jobOnly.measuredSides)
        if (m.k >= 1 && m.k <= 2 * n + 1) measured[static_cast<std::size_t>(m.k)] = true;
    for (const reduction::SideReduction& s : r.sides) {
        const double length = r.reduced ? s.D4 : s.D2;
        value[static_cast<std::size_t>(s.k)] = s.right ? -length : length;
    }
    const SideView view{[&](int k, Problems& list) {
                            const auto at = static_cast<std::size_t>(k);
                            for (const reduction::Problem* p : atSide[at]) list.add(p->path, p->what, p->index);
                            if (!measured[at]) list.addIf(sidePath(k), typedSideProblem(k, value[at]), k - 1);
                        },
                        [&](int k) { return value[static_cast<std::size_t>(k)]; }};
    checkSides(n, view, problems);
    for (const reduction::Problem* p : afterSides) problems.add(p->path, p->what, p->index);
}

}  // namespace

std::vector<JobProblem> jobProblems(const Job& job) {
    if (!reduction::hasReduction(job.jobOnly)) return jobProblems(job, reduction::Reduction{});
    return jobProblems(job, reduction::reduce(job));
}

std::vector<JobProblem> reduceAndCheck(Job& job, reduction::Reduction& reduced) {
    reduced = reduction::hasReduction(job.jobOnly) ? reduction::reduce(job) : reduction::Reduction{};
    reduction::applyReduction(job, reduced);
    return jobProblems(job, reduced);
}

std::vector<JobProblem> jobProblems(const Job& job, const reduction::Reduction& reduced) {
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

    if (reduction::hasReduction(job.jobOnly)) {
        checkReducedSides(job, reduced, problems);
        return problems.list;
    }
    const SideView typed{[&](int k, Problems& list) {
                             list.addIf(sidePath(k), typedSideProblem(k, job.side[static_cast<std::size_t>(k)]), k - 1);
                         },
                         [&](int k) { return job.side[static_cast<std::size_t>(k)]; }};
    checkSides(n, typed, problems);
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
    // A side is named after its entry, before any field of it: "sides[6] (S7).dh".
    if (problem.index >= 0 && problem.path.rfind("sides[", 0) == 0) {
        const std::size_t entry = problem.path.find(']') + 1;
        return problem.path.substr(0, entry) + " (" + sideName(problem.index + 1) + ")" +
               problem.path.substr(entry);
    }
    return problem.path;
}

std::string refusalMessage(const std::string& fileName, const JobProblem& problem) {
    const std::string place = placeOf(problem);
    return "作业文件 " + fileName + "：" + (place.empty() ? "" : place + "：") + problem.what + "。";
}

}  // namespace trelvan
