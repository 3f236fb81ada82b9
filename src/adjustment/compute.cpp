#include "adjustment/compute.h"

#include <chrono>
#include <new>
#include <string>

#include "adjustment/stages.h"
#include "entry/dialogue.h"
#include "entry/entry.h"
#include "state/failure.h"

namespace trelvan {

namespace {

// The boxes are told first, so that the window shows the last completed result
// again while the operator reads why this action stopped.
ComputeOutcome abandon(TextBoxes& boxes, Messages& messages, const std::string& why,
                       ComputeOutcome outcome) {
    boxes.actionEnded(false);
    messages.say(why);
    return outcome;
}

}  // namespace

ComputeOutcome Command1_Click(ChainState& record, Prompter& prompter, TextBoxes& boxes,
                              Messages& messages, const JobOnlyValues& jobOnly) {
    Dialogue dialogue(prompter, boxes, messages);
    ChainState run = record;  // scalars carry over; the arrays are re-created after N
    RunValues values;
    try {
        enterTriangleCount(dialogue, run, values);
        run.typed.jobOnly = jobOnly;  // the typed values start afresh with N
        enterKnownData(dialogue, run, values);
        enterNamesAndSides(dialogue, run, values);
        solveTriangles(run, values);
        computeMisclosures(run, values, boxes);
        formConditions(run, values);
        solveNormals(run, values);
        assessPrecision(run, values, boxes);
        adjustCoordinates(run, values);
        listCoordinates(dialogue, run);
    } catch (const ComputeFailure& failure) {
        return abandon(boxes, messages, failure.what(), ComputeOutcome::Failed);
    } catch (const Cancelled&) {
        return abandon(boxes, messages, "平差计算已取消，上次完成的计算结果保持不变。",
                       ComputeOutcome::Cancelled);
    } catch (const InputEnded&) {
        return abandon(boxes, messages, "输入已结束，平差计算没有完成。", ComputeOutcome::InputEnded);
    } catch (const std::bad_alloc&) {
        return abandon(boxes, messages, "内存不足，平差计算没有完成。", ComputeOutcome::Failed);
    }
    run.computedAt = std::chrono::system_clock::now();
    record = std::move(run);
    boxes.actionEnded(true);
    return ComputeOutcome::Completed;
}

}  // namespace trelvan
