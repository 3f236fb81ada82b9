#pragma once
// The operator's side of the Compute action: asks, echoes, confirms and says, over
// the three seams. Every reply rule of the dialogue is decided here, once.

#include <string>

#include "entry/interfaces.h"

namespace trelvan {

class Dialogue {
public:
    Dialogue(Prompter& prompter, TextBoxes& boxes, Messages& messages)
        : prompter_(prompter), boxes_(boxes), messages_(messages) {}

    // `box`, where given, is the text box that shows the value asked for or
    // confirmed: the input box keeps clear of it.

    // A value prompt. Asks until the reply is a number; anything else (the empty
    // reply included) changes nothing, is refused with a message, and the same
    // prompt is shown again. Cancel throws Cancelled; end of input, InputEnded.
    double askNumber(const std::string& prompt, int box = 0);
    // The same, also handing back the accepted reply exactly as it was typed.
    double askNumber(const std::string& prompt, std::string& typed, int box = 0);

    // A name prompt: any text, the empty text included. A reply over the length
    // bound is refused and asked again. Cancel throws Cancelled.
    std::string askText(const std::string& prompt);

    // A confirmation box. Returns false when the reply is the number zero ("0",
    // "00", " 0", "-0"): re-enter. Any other reply confirms: the empty reply, text
    // that is not a number, and Cancel. The reply text is kept in `reply`.
    bool confirm(const std::string& text, std::string& reply, int box = 0);

    // A pause before the next listed point: any reply, Cancel and the end of input
    // included, continues.
    void pause(const std::string& prompt);

    void setText(int box, const std::string& text) { boxes_.setText(box, text); }
    void say(const std::string& message) { messages_.say(message); }

private:
    // The reply to a prompt, with over-long replies refused and re-asked.
    Reply read(const std::string& prompt, int box, bool pause = false);

    Prompter& prompter_;
    TextBoxes& boxes_;
    Messages& messages_;
};

// The program's own wording for refused replies.
namespace refusal {
inline constexpr const char* notANumber = "输入的不是一个数，请重新输入。";
// A reason of value_checks.h, said with the request to type the value again.
inline std::string askAgain(const std::string& reason) { return reason + "，请重新输入。"; }
}  // namespace refusal

}  // namespace trelvan
