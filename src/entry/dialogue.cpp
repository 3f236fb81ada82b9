#include "entry/dialogue.h"

#include "entry/value_checks.h"
#include "state/failure.h"
#include "state/number_format.h"

namespace trelvan {

Reply Dialogue::read(const std::string& prompt, bool pause) {
    for (;;) {
        Reply reply = pause ? prompter_.askPause(prompt) : prompter_.ask(prompt);
        if (reply.kind == Reply::Kind::Text) {
            if (const auto problem = replyLengthProblem(reply.text)) {
                messages_.say(refusal::askAgain(*problem));
                continue;
            }
        }
        return reply;
    }
}

double Dialogue::askNumber(const std::string& prompt) {
    std::string typed;
    return askNumber(prompt, typed);
}

double Dialogue::askNumber(const std::string& prompt, std::string& typed) {
    for (;;) {
        const Reply reply = read(prompt);
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
    const Reply reply = read(prompt);
    if (reply.kind == Reply::Kind::Cancel) throw Cancelled{};
    if (reply.kind == Reply::Kind::EndOfInput) throw InputEnded{};
    return reply.text;
}

bool Dialogue::confirm(const std::string& text, std::string& confirmReply) {
    const Reply reply = read(text);
    if (reply.kind == Reply::Kind::EndOfInput) throw InputEnded{};
    confirmReply = reply.text;
    if (reply.kind == Reply::Kind::Cancel) return true;
    const auto value = parseNumber(reply.text);
    return !(value && *value == 0.0);
}

void Dialogue::pause(const std::string& prompt) { (void)read(prompt, true); }

}  // namespace trelvan
