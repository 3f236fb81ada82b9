#include "adjustment/compute.h"

#include <new>

#include "adjustment/stages.h"
#include "entry/dialogue.h"
#include "entry/entry.h"
#include "state/failure.h"

namespace trelvan {

ComputeOutcome Command1_Click(ChainState& record, Prompter& prompter, TextBoxes& boxes,
                              Messages& messages) {
    Dialogue dialogue(prompter, boxes, messages);
    ChainState run = record;  // scalars carry over; the arrays are re-created after N
    RunValues values;
    try {
        enterTriangleCount(dialogue, run, values);
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
        messages.say(failure.what());
        return ComputeOutcome::Failed;
    } catch (const Cancelled&) {
        messages.say("平差计算已取消，上次完成的计算结果保持不变。");
        return ComputeOutcome::Cancelled;
    } catch (const InputEnded&) {
        messages.say("输入已结束，平差计算没有完成。");
        return ComputeOutcome::InputEnded;
    } catch (const std::bad_alloc&) {
        messages.say("内存不足，平差计算没有完成。");
        return ComputeOutcome::Failed;
    }
    record = std::move(run);
    return ComputeOutcome::Completed;
}

}  // namespace trelvan
