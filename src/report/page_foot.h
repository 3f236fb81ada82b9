#pragma once
// The foot of every printed page, below the report's lines and apart from them: when
// the computation completed, the job file the chain came from, and the page's number
// out of the whole document's, so that a loose page can be put back and traced to
// its computation.

#include <string>
#include <vector>

#include "state/chain_state.h"
#include "state/text_width.h"

namespace trelvan {

struct PageFoot {
    std::string computedAt;  // "2026-12-08 14:03:27"; empty: not dated
    std::string jobFile;     // the job file's name, without its folder; empty: none
};

// The foot of the pages of `record`'s report: dated by its computation, with the
// name of `jobFile` (a path, or empty when the chain came from no job file), said to
// hold other data than the result when `unsaved`.
PageFoot pageFootOf(const ChainState& record, const std::string& jobFile, bool unsaved = false);

// A text of the foot, its left edge along the line.
struct FootText {
    double left = 0;
    std::string text;
};

// The foot of page `page` of `pages` on a line `width` long, in texts `em` high as
// `measure` measures them: "计算时间：…" at the left, "作业文件：…" in the middle and
// "第 i 页 共 n 页" at the right. The job file's name stands centred when it can, else
// between the other two, cut short with "…" to the room there.
std::vector<FootText> layOutFoot(const PageFoot& foot, int page, int pages, double width, double em,
                                 const TextWidth& measure);

}  // namespace trelvan
