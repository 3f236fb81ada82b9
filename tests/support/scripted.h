#pragma once
// Test doubles for the core's seams: a prompter that answers from a list, and
// recorders for text-box writes and messages. One event log keeps their order.

#include <deque>
#include <string>
#include <vector>

#include "entry/interfaces.h"

namespace trelvan::testing {

// Every event in order, in the transcript's own form: "? prompt", "> reply",
// "TextN: text", "! message".
struct EventLog {
    std::vector<std::string> events;
};

class ScriptedPrompter : public Prompter {
public:
    explicit ScriptedPrompter(EventLog& log, std::vector<Reply> replies = {})
        : log_(log), replies_(replies.begin(), replies.end()) {}

    void add(Reply reply) { replies_.push_back(std::move(reply)); }
    void add(const std::string& text) { replies_.push_back(Reply::typed(text)); }
    void cancel() { replies_.push_back(Reply::cancel()); }

    Reply ask(const std::string& prompt) override {
        log_.events.push_back("? " + prompt);
        prompts.push_back(prompt);
        if (replies_.empty()) return Reply::endOfInput();
        Reply reply = std::move(replies_.front());
        replies_.pop_front();
        if (reply.kind == Reply::Kind::Text) log_.events.push_back("> " + reply.text);
        return reply;
    }
    Reply askPause(const std::string& prompt) override {
        Reply reply = ask(prompt);
        if (reply.kind == Reply::Kind::EndOfInput) {
            log_.events.push_back("> ");
            return Reply::typed("");
        }
        return reply;
    }
    std::size_t remaining() const { return replies_.size(); }

    std::vector<std::string> prompts;

private:
    EventLog& log_;
    std::deque<Reply> replies_;
};

class RecordingBoxes : public TextBoxes {
public:
    explicit RecordingBoxes(EventLog& log) : log_(log) {}
    void setText(int box, const std::string& text) override {
        log_.events.push_back(boxName(box) + ": " + text);
        current[box] = text;
        writes.emplace_back(box, text);
    }
    std::string text(int box) const { return current[box]; }

    std::string current[33];
    std::vector<std::pair<int, std::string>> writes;

private:
    EventLog& log_;
};

class RecordingMessages : public Messages {
public:
    explicit RecordingMessages(EventLog& log) : log_(log) {}
    void say(const std::string& message) override {
        log_.events.push_back("! " + message);
        said.push_back(message);
    }
    std::vector<std::string> said;

private:
    EventLog& log_;
};

// All three together, for tests that run the Compute action.
struct Harness {
    EventLog log;
    ScriptedPrompter prompter{log};
    RecordingBoxes boxes{log};
    RecordingMessages messages{log};
};

}  // namespace trelvan::testing
