#include "entry/dialogue.h"

#include "entry/value_checks.h"
#include "state/failure.h"
#include "state/number_format.h"

namespace trelvan {

Reply Dialogue::read(const std::string& prompt, int box, bool pause) {
    for (;;) {
        Reply reply = pause ? prompter_.askPause(prompt) : prompter_.askAbout(prompt, box);
        if (reply.kind == Reply::Kind::Text) {
            if (const auto problem = replyLengthProblem(reply.text)) {
                messages_.say(refusal::askAgain(*problem));
                continue;
            }
        }
        return reply;
    }
}

double Dialogue::askNumber(const std::string& prompt, int box) {
    std::string typed;
    return askNumber(prompt, typed, box);
}

double Dialogue::askNumber(const std::string& prompt, std::string& typed, int box) {
    for (;;) {
        const Reply reply = read(prompt, box);
        if (reply.kind == Reply::Kind::Cancel) throw Cancelled{};
        if (reply.kind == Reply::Kind::EndOfInput) throw InputEnded{};
        if (const auto value = parseNumber(reply.text)) {
            typed = reply.text;
            return *value;
        }
        messages_.say(refusal::notANumber);
    }
}

std::string Dialogue::askText(const std::string& prompt) {
    const Reply reply = read(prompt, 0);
    if (reply.kind == Reply::Kind::Cancel) throw Cancelled{};
    if (reply.kind == Reply::Kind::EndOfInput) throw InputEnded{};
    return reply.text;
}

bool Dialogue::confirm(const std::string& text, std::string& confirmReply, int box) {
    const Reply reply = read(text, box);
    if (reply.kind == Reply::Kind::EndOfInput) throw InputEnded{};
    confirmReply = reply.text;
    if (reply.kind == Reply::Kind::Cancel) return true;
    const auto value = parseNumber(reply.text);
    return !(value && *value == 0.0);
}

void Dialogue::pause(const std::string& prompt) { (void)read(prompt, 0, true); }

}  // namespace trelvan
