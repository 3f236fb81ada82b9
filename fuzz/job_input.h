#pragma once
// Arbitrary bytes as a job file, with the checks that must hold whatever the file
// holds. The fuzz target feeds it raw bytes; the robustness tests replay the job
// corpus and every past finding through it.
//
// A refused job:
//   - is refused with a message in well-formed UTF-8 that says what is wrong and,
//     unless the file as a whole is at fault, where (a field path, or a line and
//     column for the syntax).
// An accepted job:
//   - passes the value checks that an editor would run on it;
//   - written out, reads back as the very same values, bit for bit, its measured
//     sides and reduction settings included;
//   - computed, never meets a refusal of the dialogue: its replies are all accepted,
//     every one of them is used, and the action either completes or stops on
//     impossible arithmetic with that one message;
//   - completed, it has shown every result, holds a whole chain with finite figures,
//     and its job is the job that was computed.

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/reply_stream.h"
#include "job/job.h"

namespace trelvan::fuzzing {

inline bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

inline bool sameOptional(const std::optional<double>& a, const std::optional<double>& b) {
    return a.has_value() == b.has_value() && (!a || sameBits(*a, *b));
}

// The measured sides and the reduction settings, value for value.
inline bool sameJobOnly(const JobOnlyValues& a, const JobOnlyValues& b) {
    const auto sameSide = [](const MeasuredSide& x, const MeasuredSide& y) {
        return x.k == y.k && sameBits(x.D, y.D) && x.type == y.type && sameOptional(x.dh, y.dh) &&
               sameOptional(x.Z, y.Z) && sameOptional(x.Hm, y.Hm) && sameOptional(x.ppm, y.ppm) &&
               sameOptional(x.t, y.t) && sameOptional(x.p, y.p) && x.right == y.right;
    };
    const auto sameSettings = [](const ReductionSettings& x, const ReductionSettings& y) {
        const auto meteo = [](const std::optional<MeteoFormula>& m, bool b) {
            return m ? std::optional<double>(b ? m->B : m->A) : std::nullopt;
        };
        return x.ellipsoid == y.ellipsoid && sameOptional(x.falseEasting, y.falseEasting) &&
               sameOptional(x.H0, y.H0) && x.gauss == y.gauss && sameOptional(x.K, y.K) &&
               sameOptional(x.R, y.R) && sameOptional(meteo(x.meteo, false), meteo(y.meteo, false)) &&
               sameOptional(meteo(x.meteo, true), meteo(y.meteo, true)) && sameOptional(x.Hm, y.Hm);
    };
    return a.measuredSides.size() == b.measuredSides.size() &&
           std::equal(a.measuredSides.begin(), a.measuredSides.end(), b.measuredSides.begin(), sameSide) &&
           a.reduction.has_value() == b.reduction.has_value() &&
           (!a.reduction || sameSettings(*a.reduction, *b.reduction));
}

inline bool sameJob(const Job& a, const Job& b) {
    const auto sameList = [](const std::vector<double>& x, const std::vector<double>& y) {
        return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), sameBits);
    };
    return a.N == b.N && sameBits(a.Xa, b.Xa) && sameBits(a.Ya, b.Ya) && sameBits(a.Xb, b.Xb) &&
           sameBits(a.Yb, b.Yb) && sameBits(a.Xpa, b.Xpa) && sameBits(a.Ypa, b.Ypa) &&
           sameBits(a.Xpb, b.Xpb) && sameBits(a.Ypb, b.Ypb) &&
           (!(a.Xpa == 0 && a.Ypa == 0) || sameBits(a.Ta, b.Ta)) &&
           (!(a.Xpb == 0 && a.Ypb == 0) || sameBits(a.Tb, b.Tb)) && sameBits(a.Qa, b.Qa) &&
           sameBits(a.Qb, b.Qb) && sameBits(a.angleTolerance, b.angleTolerance) &&
           a.pointName == b.pointName && sameList(a.side, b.side) && sameJobOnly(a.jobOnly, b.jobOnly) &&
           a.jobOnly.weights == b.jobOnly.weights;
}

// Runs the checks on the bytes of a job file; returns the first fault, or empty.
inline std::string runJobFile(std::string_view bytes, JobReading* read = nullptr,
                              ComputeOutcome* computed = nullptr) {
    Verdict verdict;
    const JobReading reading = parseJob(bytes);
    if (read != nullptr) *read = reading;
    if (!reading.accepted()) {
        const JobProblem& problem = *reading.problem;
        const std::string message = refusalMessage("job.trv", problem);
        if (!isWellFormedUtf8(message)) verdict.flag("refusal is not UTF-8: " + message);
        // One line of reasonable length, whatever the file holds.
        if (message.find_first_of("\r\n") != std::string::npos || message.size() > 2000)
            verdict.flag("refusal is not one short line: " + message);
        if (problem.what.empty()) verdict.flag("refusal says nothing");
        if (problem.line < 0 || problem.column < 0 || (problem.line > 0) != (problem.column > 0))
            verdict.flag("refusal placed at a line without a column: " + message);
        return verdict.fault;
    }

    const Job& job = reading.job;
    if (const auto problem = firstJobProblem(job))
        verdict.flag("accepted job fails its own checks: " + refusalMessage("job.trv", *problem));
    const JobReading again = parseJob(jobText(job));
    if (!again.accepted()) verdict.flag("written job is refused: " + refusalMessage("job.trv", *again.problem));
    else if (!sameJob(again.job, job)) verdict.flag("written job reads back different values");
    if (!verdict.fault.empty()) return verdict.fault;

    CheckingBoxes boxes(verdict);
    CheckingMessages messages(verdict);
    const std::vector<std::string> replies = jobReplies(job);
    ReplyListPrompter prompter(replies);
    ChainState record;
    const ComputeOutcome outcome = Command1_Click(record, prompter, boxes, messages, job.jobOnly);
    if (computed != nullptr) *computed = outcome;
    switch (outcome) {
        case ComputeOutcome::Completed:
            if (messages.said != 0) verdict.flag("the dialogue refused a reply of an accepted job");
            if (prompter.used() != replies.size()) verdict.flag("a reply of the job was not used");
            checkCompleted(record, verdict);
            checkShown(record, boxes, verdict);
            if (!sameJob(jobOf(record), job)) verdict.flag("the completed action's job is not the job computed");
            break;
        case ComputeOutcome::Failed:
            if (messages.said != 1) verdict.flag("a job stopped with a refusal before its failure");
            break;
        case ComputeOutcome::Cancelled:
        case ComputeOutcome::InputEnded:
            verdict.flag("the job's replies did not carry the action to its end");
            break;
    }
    return verdict.fault;
}

}  // namespace trelvan::fuzzing
