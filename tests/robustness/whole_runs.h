#pragma once
// Whole Compute actions over the reply files of the golden runs, with every reply
// open to replacement: a Cancel here, a bad reply there.

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "adjustment/compute.h"
#include "entry/interfaces.h"
#include "state/chain_state.h"
#include "support/scripted.h"

namespace trelvan::testing {

// The replies of tests/golden/NAME.replies, one per line.
inline std::vector<Reply> goldenReplies(const std::string& name) {
    std::ifstream in(std::string(TRELVAN_SOURCE_DIR) + "/tests/golden/" + name + ".replies",
                     std::ios::binary);
    std::vector<Reply> replies;
    for (std::string line; std::getline(in, line);) replies.push_back(Reply::typed(line));
    return replies;
}

inline std::vector<Reply> typedReplies(std::initializer_list<const char*> texts) {
    std::vector<Reply> replies;
    for (const char* t : texts) replies.push_back(Reply::typed(t));
    return replies;
}

// The kinds of prompt, told by their texts.
inline bool isConfirmation(const std::string& prompt) { return prompt.rfind("确认", 0) == 0; }
inline bool isListing(const std::string& prompt) { return prompt.rfind("如果需要显示", 0) == 0; }
inline bool isName(const std::string& prompt) { return prompt.find("点名") != std::string::npos; }
inline bool isCount(const std::string& prompt) { return prompt.find("三角形个数") != std::string::npos; }

// One triangle A-P-B with sides 500, 500 (right of the route), 500 and no closing
// azimuth, between the given coordinates of A and B. With B far from where the chain
// arrives, the corrections tear the triangle apart.
inline std::vector<Reply> oneTriangle(const char* xa, const char* xb, const char* yb) {
    return typedReplies({"1", xa, "", "2000", "", xb, "", yb, "", "0", "", "0", "", "0", "", "0",
                         "", "45", "", "0", "", "0", "", "0", "", "2.5", "A", "P", "B", "500", "",
                         "-500", "", "500", ""});
}

// One Compute action on `record`, with its own recorders.
struct Action {
    Action(ChainState& record, std::vector<Reply> replies) : h(std::make_unique<Harness>()) {
        for (auto& r : replies) h->prompter.add(std::move(r));
        outcome = Command1_Click(record, h->prompter, h->boxes, h->messages);
    }
    std::string lastMessage() const { return h->messages.said.empty() ? "" : h->messages.said.back(); }
    const std::vector<std::pair<int, std::string>>& writes() const { return h->boxes.writes; }

    std::unique_ptr<Harness> h;
    ComputeOutcome outcome;
};

}  // namespace trelvan::testing
