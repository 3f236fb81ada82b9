#pragma once
// The three small seams between the core and a front end: the input box, the text
// boxes of the window, and the program's own messages. The window, batch mode and
// the tests each implement them.

#include <string>
#include <string_view>

namespace trelvan {

struct Reply {
    enum class Kind { Text, Cancel, EndOfInput };
    Kind kind = Kind::Text;
    std::string text;  // UTF-8; only for Kind::Text

    static Reply typed(std::string t) { return {Kind::Text, std::move(t)}; }
    static Reply cancel() { return {Kind::Cancel, {}}; }
    static Reply endOfInput() { return {Kind::EndOfInput, {}}; }
};

// A modal input box: shows the prompt with an empty edit field, OK and Cancel.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Reply ask(const std::string& prompt) = 0;
    // The pause before each listed point. Any reply continues; where the input can
    // end (batch mode) its end reads as an empty reply.
    virtual Reply askPause(const std::string& prompt) { return ask(prompt); }
};

// The text boxes Text1..Text32 of the main window, addressed by number. A write
// replaces the whole text.
class TextBoxes {
public:
    virtual ~TextBoxes() = default;
    virtual void setText(int box, const std::string& text) = 0;
};

// The program's own messages: why a reply was refused, why an action was abandoned.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void say(const std::string& message) = 0;
};

// "Text" followed by the number, as the window names its boxes.
std::string boxName(int box);

// Replaces every ill-formed UTF-8 sequence by U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

// The offset of the first ill-formed UTF-8 sequence, or npos when there is none.
std::size_t firstIllFormedUtf8(std::string_view bytes);

}  // namespace trelvan
