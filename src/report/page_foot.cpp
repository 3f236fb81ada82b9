// The foot of the printed pages.

#include "report/page_foot.h"

#include <algorithm>

#include "state/number_format.h"

namespace trelvan {

namespace {

// Long enough for any name a file system allows, in display cells.
constexpr int longestShownName = 300;

}  // namespace

PageFoot pageFootOf(const ChainState& record, const std::string& jobFile, bool unsaved) {
    PageFoot foot;
    if (record.computedAt != std::chrono::system_clock::time_point{}) foot.computedAt = dateTimeText(record.computedAt);
    // A name may hold what no page can show (a line break, say): shown, not obeyed.
    if (!jobFile.empty()) foot.jobFile = drawnText(jobFile.substr(jobFile.find_last_of('/') + 1), longestShownName);
    // A result corrected in the editor and not saved is not what the file holds.
    if (!foot.jobFile.empty() && unsaved) foot.jobFile += "（修改后未保存）";
    return foot;
}

std::vector<FootText> layOutFoot(const PageFoot& foot, int page, int pages, double width, double em,
                                 const TextWidth& measure) {
    std::vector<FootText> texts;
    double leftEnd = 0;
    if (!foot.computedAt.empty()) {
        texts.push_back({0, "计算时间：" + foot.computedAt});
        leftEnd = measure(texts.back().text, em);
    }
    const std::string number = "第 " + digits(page) + " 页 共 " + digits(pages) + " 页";
    const double numberLeft = width - measure(number, em);
    if (!foot.jobFile.empty()) {
        // Two ems apart from its neighbours.
        const double from = leftEnd + (leftEnd > 0 ? 2 * em : 0), to = numberLeft - 2 * em;
        const std::string name = fitText("作业文件：" + foot.jobFile, to - from, em, measure);
        const double w = measure(name, em);
        if (to - from >= measure("作业文件：…", em))
            texts.push_back({std::clamp((width - w) / 2, from, std::max(from, to - w)), name});
    }
    texts.push_back({numberLeft, number});
    return texts;
}

}  // namespace trelvan
