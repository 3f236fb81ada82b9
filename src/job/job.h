#pragma once
// Job files (作业文件): the data typed in one Compute action, kept in a file so that a
// chain can be kept, corrected and computed again without typing it anew.
//
// A job file is UTF-8 JSON (extension .trv), its keys in this order:
//
//   "trelvan": 1, "N": 4,
//   "A": {"name": "K07", "X": 3452118.406, "Y": 512637.225},  "B": {...},
//   "directionA": {"X": 0, "Y": 0},  "directionB": {"X": 0, "Y": 0},
//   "Ta": 312.2415, "Tb": 160.23026,  "Qa": 77.43016, "Qb": -63.29474,
//   "angleTolerance": 2.5,
//   "weights": {"model": "instrument", "a": 2, "b": 2, "sigmaQ": 2.5, "combine": "linear"},
//   "reduction": {"ellipsoid": "CGCS2000", "H0": 0, "Hm": 45, …}
//   "points": ["D1", "D2", "D3", "D4"],          the names of points 1 … N
//   "sides": [601.544, -848.482, …]               S1 … S(2N+1) as typed
//
// The direction points may be left out (0 and 0). Ta is there exactly when
// directionA is 0 and 0, Tb likewise: a direction point with both coordinates
// non-zero gives the azimuth, one with a single zero means no orientation at that
// end, as in the dialogue. An even side is negative when it lies right of the route.
// The weights may be left out: the chain is then weighted by the mean side. An
// entry of "sides" may be a side as the distance meter measured it, an object such
// as {"D": 769.5012, "dh": -12.3, "Hm": 45, "right": true}, reduced to the plane
// (reduction/reduction.h) with the chain's "reduction" settings. A job that names
// its weights, measures a side or gives reduction settings is version 2; any other
// is written as version 1, as it always was.
//
// A job is checked whole before anything of it is computed. Whatever the dialogue
// refuses, a job is refused for, by the dialogue's own checks and reasons.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

#include "adjustment/compute.h"
#include "entry/interfaces.h"
#include "reduction/reduction.h"
#include "state/chain_state.h"
#include "state/number_format.h"
#include "state/typed_values.h"

namespace trelvan {

// A job: the values of one Compute action as typed.
using Job = TypedValues;

// The newest version of the format this program reads and writes.
inline constexpr int jobFormatVersion = 2;
inline constexpr std::size_t maxJobFileBytes = std::size_t{16} * 1024 * 1024;

// Where a job goes wrong, and what is wrong there.
struct JobProblem {
    // The field: "N", "A.X", "directionB.Y", "Ta", "points[3]", "sides[6]",
    // "sides[6].dh", "reduction.K", "points" for the list as a whole; empty for the
    // file as a whole.
    std::string path;
    // For an entry of points or sides: its index, counted from 0; otherwise −1.
    int index = -1;
    // For a syntax error or ill-formed UTF-8: where, counted from 1 (the column in
    // characters); otherwise 0.
    int line = 0;
    int column = 0;
    // What is wrong, in Chinese, without a closing full stop.
    std::string what;
};

// The place as a message names it: "sides[6] (S7)", "sides[6] (S7).dh", "A.X",
// "第 3 行第 14 列".
std::string placeOf(const JobProblem& problem);

// The fields that hold side k (counted from 1, S1 … S(2N+1)) and the name of the
// unknown point at `index` (counted from 0): "sides[6]", "points[2]".
std::string sidePath(int k);
std::string pointsPath(std::size_t index);

// "作业文件 FILE：PLACE：WHAT。"
std::string refusalMessage(const std::string& fileName, const JobProblem& problem);

struct JobReading {
    Job job;                            // every field that could be read
    // The reduction of its measured sides, when it has any (their reduced lengths are
    // in the job's side list).
    reduction::Reduction reduction;
    std::optional<JobProblem> problem;  // the first problem; none when accepted
    // The file is JSON in the shape of a job, so that its fields were read (into
    // `job`, as far as each could be); false when it was refused as a whole.
    bool fieldsRead = false;
    bool accepted() const { return !problem; }
};

// Reads and checks the bytes of a job file.
JobReading parseJob(std::string_view bytes);

// Reads and checks a job file; a file that cannot be read, or is over 16 MiB, is
// refused before anything is parsed.
JobReading readJobFile(const std::string& fileName);

// The checks of a job's values, for a job read from a file and for one put together
// in an editor: N, the lengths of the lists, finite numbers, the tolerance, the
// names, every side and every triangle, in the order the dialogue asks for them.
// A triangle is checked only when its three sides pass their own checks.
std::vector<JobProblem> jobProblems(const Job& job);
std::optional<JobProblem> firstJobProblem(const Job& job);
// The same with the job's reduction already made (reduction::reduce), so that a long
// chain of measured sides is not reduced twice.
std::vector<JobProblem> jobProblems(const Job& job, const reduction::Reduction& reduced);

// Reduces the job's measured sides into its side list and checks it; the reduction
// is kept in `reduced`.
std::vector<JobProblem> reduceAndCheck(Job& job, reduction::Reduction& reduced);

// The version a job is written as: 2 when it holds what version 1 cannot say (its
// weights, a measured side, reduction settings), else 1.
int jobVersion(const Job& job);

// The job of the last completed Compute action in `record`.
Job jobOf(const ChainState& record);

// The replies that compute the job, in the dialogue's order: each value in the
// general number form and then Enter at its confirmation, each name as it is, and
// Enter at every prompt of the coordinate listing.
std::vector<std::string> jobReplies(const Job& job);

// Answers the Compute action's prompts from a list of replies, in order. Past its
// end a value prompt meets the end of the input and a pause an empty reply.
class ReplyListPrompter : public Prompter {
public:
    explicit ReplyListPrompter(std::vector<std::string> replies) : replies_(std::move(replies)) {}
    Reply ask(const std::string& prompt) override;
    Reply askPause(const std::string& prompt) override;
    std::size_t used() const { return next_; }

private:
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
};

// Computes the job: the Compute action itself on the job's replies.
ComputeOutcome computeJob(const Job& job, ChainState& record, TextBoxes& boxes,
                          Messages& messages);

// The job file's text: the keys in the order above, laid out by nlohmann/json's
// dump(2), numbers in a form that reads back as the same double, and a final
// newline. A measured side is written as its measurement, never as its reduced
// length.
std::string jobText(const Job& job);

// The system calls of an atomic save, replaceable so that a failing disk can be
// simulated.
struct FileOps {
    std::function<ssize_t(int, const void*, std::size_t)> write;
    std::function<int(int)> fsync;
    std::function<int(const char*, const char*)> rename;
    static FileOps system();
};

// Writes `bytes` to a temporary file in the same folder, flushes it to the disk and
// renames it over `fileName`. Returns empty on success, else the failure in Chinese;
// the temporary file is then removed and an old file is left byte for byte.
std::optional<std::string> writeFileAtomically(const std::string& fileName,
                                               std::string_view bytes,
                                               const FileOps& ops = FileOps::system());

// Saves the job; empty on success, else the message that names file and failure.
std::optional<std::string> saveJob(const std::string& fileName, const Job& job,
                                   const FileOps& ops = FileOps::system());

// A system error number in Chinese, with the system's own words: "磁盘空间不足（No
// space left on device）".
std::string failureText(int errorNumber);

}  // namespace trelvan
