// A job as the replies that compute it, and the Compute action run on them.

#include "job/job.h"
#include "state/number_format.h"

namespace trelvan {

std::vector<std::string> jobReplies(const Job& job) {
    const int n = job.N;
    std::vector<std::string> replies;
    replies.reserve(static_cast<std::size_t>(8 * n + 40));
    const auto confirmed = [&](double value) {
        replies.push_back(replyNumber(value));
        replies.emplace_back();  // Enter at its confirmation
    };
    replies.push_back(digits(n));
    for (double value : {job.Xa, job.Ya, job.Xb, job.Yb, job.Xpa, job.Ypa, job.Xpb, job.Ypb})
        confirmed(value);
    if (job.Xpa == 0 && job.Ypa == 0) confirmed(job.Ta);
    if (job.Xpb == 0 && job.Ypb == 0) confirmed(job.Tb);
    confirmed(job.Qa);
    confirmed(job.Qb);
    replies.push_back(replyNumber(job.angleTolerance));
    for (const std::string& name : job.pointName) replies.push_back(name);
    for (std::size_t k = 1; k < job.side.size(); ++k) confirmed(job.side[k]);
    for (int i = 0; i < n + 2; ++i) replies.emplace_back();  // the coordinate listing
    return replies;
}

Reply ReplyListPrompter::ask(const std::string&) {
    if (next_ == replies_.size()) return Reply::endOfInput();
    return Reply::typed(replies_[next_++]);
}

Reply ReplyListPrompter::askPause(const std::string& prompt) {
    if (next_ == replies_.size()) return Reply::typed("");
    return ask(prompt);
}

ComputeOutcome computeJob(const Job& job, ChainState& record, TextBoxes& boxes,
                          Messages& messages) {
    ReplyListPrompter prompter(jobReplies(job));
    return Command1_Click(record, prompter, boxes, messages, job.jobOnly);
}

Job jobOf(const ChainState& record) { return record.typed; }

}  // namespace trelvan
